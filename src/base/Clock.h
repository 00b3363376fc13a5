#pragma once
// A monotonic clock for deadlines and pauses, so that a wait spanning midnight still ends after
// its limit and tests can run time-outs without waiting for them.

#include <chrono>
#include <string>

namespace velkor {

// A moment on the local calendar and clock, to the second.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Clock {
public:
    using time_point = std::chrono::steady_clock::time_point;
    using duration = std::chrono::steady_clock::duration;

    virtual ~Clock() = default;
    virtual time_point now() = 0;
    // The local date and time as the system writes it: its short date, then its time.
    virtual std::string localDateTimeText() = 0;
    virtual LocalDateTime localDateTime() = 0;
    // Sleeps (without yielding to the window system) until the time has come.
    virtual void sleepUntil(time_point when) = 0;
};

class SteadyClock : public Clock {
public:
    SteadyClock();
    time_point now() override;
    std::string localDateTimeText() override;
    LocalDateTime localDateTime() override;
    void sleepUntil(time_point when) override;
};

}  // namespace velkor
