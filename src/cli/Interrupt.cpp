#include "cli/Interrupt.h"

#include <csignal>

namespace velkor::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
    // A second Ctrl-C is not held back: it ends the program as it would any other.
    std::signal(SIGINT, SIG_DFL);
}

}  // namespace

void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

bool interrupted() {
    return g_interrupted != 0;
}

}  // namespace velkor::cli
