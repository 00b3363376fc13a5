#pragma once
// The flags and texts the main window's operations share.

#include <string>

#include "base/Activity.h"

namespace velkor {

struct SharedState {
    // Esc pressed while an operation ran; it stops at its next check. Set only through
    // requestAbort, and cleared as each operation begins and ends.
    bool AbortRequested = false;
    Activity running = Activity::None;  // the long operation under way
    bool RealTimeActive = false;  // a live view is running
    int CommErrorCount = 0;       // line errors reported since start-up or the live view's start
    std::string BaseCaption;      // the main window's designed title
    // The main window has closed: every operation ends at its next step without a prompt, and
    // the port is not opened again.
    bool ShuttingDown = false;
};

}  // namespace velkor
