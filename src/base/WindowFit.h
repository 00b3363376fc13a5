#pragma once
// A window's first size on a small screen (a laptop's 1366 x 768): what it asks for, but no larger
// than the screen's free area leaves once the window manager has added its title bar and borders,
// so that all of it, its buttons at the foot included, starts in sight.

namespace velkor {

struct Extent {
    int width = 0;
    int height = 0;
};

// What a window manager's title bar and borders take, at most, on the usual desktops.
constexpr Extent FrameAllowance{16, 48};

// The size to open a window at: `wanted`, narrowed and shortened to fit `room` (a screen's free
// area) with FrameAllowance around it.
Extent fitOnScreen(Extent wanted, Extent room);

}  // namespace velkor
