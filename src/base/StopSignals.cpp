#include "base/StopSignals.h"

#include <csignal>
#include <initializer_list>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace velkor {

namespace {

volatile std::sig_atomic_t g_signal = 0;
volatile std::sig_atomic_t g_wakeFd = -1;

#ifndef _WIN32
extern "C" void onStopSignal(int signal) {
    g_signal = signal;
    if (g_wakeFd >= 0) {
        const char byte = static_cast<char>(signal);
        // Nothing can be done here about a full pipe: the reader is woken already.
        [[maybe_unused]] const ssize_t written = ::write(g_wakeFd, &byte, 1);
    }
}
#endif

}  // namespace

void catchStopSignals(int wakeFd) {
    g_wakeFd = wakeFd;
#ifndef _WIN32
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        // The handler runs once: the same signal again ends the program at once.
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
#else
    std::signal(SIGINT, [](int signal) { g_signal = signal; });
    std::signal(SIGTERM, [](int signal) { g_signal = signal; });
#endif
}

int stopSignal() {
    return g_signal;
}

}  // namespace velkor
