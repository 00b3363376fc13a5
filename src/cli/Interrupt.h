#pragma once
// Ctrl-C (SIGINT) on the terminal: the first one is noted and the operation stops at its next
// step, tidying up as Esc does in the windows; a second one ends the program at once.

namespace velkor::cli {

// Starts listening for SIGINT.
void catchInterrupt();

// Whether SIGINT has come since catchInterrupt.
bool interrupted();

}  // namespace velkor::cli
