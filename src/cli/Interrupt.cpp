#include "cli/Interrupt.h"

#include <csignal>

#include "base/StopSignals.h"

namespace velkor::cli {

void catchInterrupt() {
    catchStopSignals();
}

bool interrupted() {
    return stopSignal() != 0;
}

int interruptedStatus() {
    return stopStatus(interrupted() ? stopSignal() : SIGINT);
}

}  // namespace velkor::cli
