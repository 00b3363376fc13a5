#pragma once
// Ctrl-C (SIGINT), a closed terminal (SIGHUP) or the end of the session (SIGTERM): the first one
// is noted and the operation stops at its next step, tidying up as Esc does in the windows (a
// save gives up its temporary file, the port is closed); a second one of the same kind ends the
// program at once.

namespace velkor::cli {

// Starts listening for SIGINT, SIGTERM and SIGHUP.
void catchInterrupt();

// Whether one of them has come since catchInterrupt.
bool interrupted();

// The exit status of a run so stopped: 128 plus the signal's number (130 for Ctrl-C).
int interruptedStatus();

}  // namespace velkor::cli
