#include "base/Clock.h"

#include <ctime>
#include <thread>

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace velkor {

SteadyClock::SteadyClock() {
#ifdef __linux__
    // Wake within microseconds of a pause's end rather than the default 50 us later: a FRAM
    // transfer holds a thousand 2 ms pauses.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

Clock::time_point SteadyClock::now() {
    return std::chrono::steady_clock::now();
}

void SteadyClock::sleepUntil(time_point when) {
    // A sleep may wake some tens of microseconds late on a busy or virtual machine; the last
    // stretch of a pause is waited out on the clock so that pauses end on time.
    constexpr auto finish = std::chrono::microseconds(100);
    if (when - now() > finish) {
        std::this_thread::sleep_until(when - finish);
    }
    while (now() < when) {
    }
}

std::string SteadyClock::localDateTimeText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128] = {};
    std::strftime(text, sizeof text, "%x %X", &local);
    return text;
}

LocalDateTime SteadyClock::localDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace velkor
