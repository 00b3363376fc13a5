#pragma once
// The main window's operations of the program's shell: start-up, port choice, About, shutdown.

#include "base/AppContext.h"

namespace velkor {

// The start-up sequence. A failing step goes to the error prompt: Retry repeats it, Ignore goes
// on with the next step, Abort skips the rest (the window then shows what was done so far).
void runStartUp(AppContext& ctx);

// The port list's choice changed: store the port number and close an open port, so that the
// next controller operation opens the new one.
void choosePort(AppContext& ctx, int listIndex);

// The display options dialog from the menu (and once at start-up); a running live view ends
// when it closes.
void openDisplayOptions(AppContext& ctx);

void showAbout(AppContext& ctx);

// Closing the main window, however it is closed: the port is closed; nothing is asked or saved.
// An operation that is still running ends at its next step, shows no further prompt and never
// opens the port again.
void shutDown(AppContext& ctx);

}  // namespace velkor
