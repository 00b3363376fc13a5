#pragma once
// Ctrl-C (SIGINT), the end of a session (SIGTERM, sent at log-out or by kill) and a closed
// terminal (SIGHUP) all ask the program to stop. The handler only notes which came; the running
// operation stops at its next step, a save gives up its temporary file, the port is closed and the
// program ends with 128 plus the signal's number. A second signal of the same kind ends the
// program at once.

namespace velkor {

// Starts listening for SIGINT, SIGTERM and SIGHUP. When `wakeFd` is a file descriptor (the
// writing end of a pipe), one byte is written to it for each signal, so that an event loop can
// wake and close its windows.
void catchStopSignals(int wakeFd = -1);

// The signal that asked the program to stop, or 0 while none has come.
int stopSignal();

// The exit status of a program ended by `signal`: 128 plus its number, as a shell reports it.
inline int stopStatus(int signal) {
    constexpr int SignalBase = 128;
    return SignalBase + signal;
}

}  // namespace velkor
