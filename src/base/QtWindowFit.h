#pragma once
// Opening a window at its size, or at what the free area of its screen leaves room for.

class QWidget;

namespace velkor {

// Resizes a top-level `window` to `width` x `height`, made to fit its screen's free area with its
// title bar and borders; never below what its layout needs.
void resizeWithinScreen(QWidget& window, int width, int height);

}  // namespace velkor
