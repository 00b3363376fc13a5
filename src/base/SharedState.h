#pragma once
// The flags and texts the main window's operations share.

#include <string>

namespace velkor {

struct SharedState {
    bool AbortRequested = false;  // Esc pressed; long operations stop at their next check
    bool RealTimeActive = false;  // a live view is running
    int CommErrorCount = 0;       // line errors reported since start-up or the live view's start
    std::string BaseCaption;      // the main window's designed title
    // The main window has closed: every operation ends at its next step without a prompt, and
    // the port is not opened again.
    bool ShuttingDown = false;
};

}  // namespace velkor
