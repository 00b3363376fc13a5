#pragma once
// Where the options dialogs open.

class QWidget;

namespace velkor {

// Centres the dialog on the window that opened it, or on the screen while that window is not
// shown yet (the display options open during start-up, before the main window appears).
void centreOnOpener(QWidget& dialog);

}  // namespace velkor
