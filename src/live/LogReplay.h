#pragma once
// Playing the log in memory back on the live display: a position in the log's elapsed time that
// moves, while playing, at the chosen speed as the clock runs, and the readings at that position.
// Between two samples the continuous quantities (engine and road speed, throttle, battery, the
// two inputs) are interpolated; the state and the input and output bits switch at their sample.

#include <array>
#include <vector>

#include "base/Clock.h"
#include "live/LiveReadings.h"

namespace velkor {

struct DataLog;

// The speeds offered, slowest first, as multiples of the log's own time.
constexpr std::array<double, 6> ReplaySpeeds = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};
constexpr int NormalReplaySpeed = 2;  // the index of 1x

class LogReplay {
public:
    // Reads the log's columns when asked for readings; the log must outlive the replay and stay
    // as it is. A time column that goes backwards or holds a non-number (a damaged file) is read
    // as standing still there, so the position always moves forward through the samples.
    LogReplay(const DataLog& log, Clock& clock);

    double start() const { return m_times.front(); }
    double end() const { return m_times.back(); }
    double position() const { return m_position; }
    bool playing() const { return m_playing; }
    int speedIndex() const { return m_speedIndex; }

    // Plays from the position; at the end it starts again from the first sample.
    void play();
    void pause();
    void togglePlay();
    // One of ReplaySpeeds, by index (held within their range); playing goes on from here.
    void setSpeedIndex(int index);
    // Moves to a time, held within start..end; playing goes on from there.
    void seek(double seconds);
    // Pauses at the next sample, or at the sample before (the one shown, when the position lies
    // between two).
    void stepForward();
    void stepBack();
    // Back to the first sample; playing goes on from there.
    void home();
    // Moves the position on by the clock's time since the last move at the chosen speed; at the
    // end the position stops there and playing pauses.
    void advance();

    // The sample (1..2700) whose state and bits are shown: the last at or before the position.
    int sample() const;
    // The readings at the position, in the units of the controller's live reads (the throttle as
    // a raw count by the factors below). A value that is not a number shows as 0.
    LiveReadings readings() const;
    // The log's throttle factors, or the controller's usual 26 and 230 when the log holds none
    // (a log opened from a file before any download).
    ThrottleFactors throttleFactors() const;

private:
    std::size_t index() const;  // sample() - 1

    const DataLog& m_log;
    Clock& m_clock;
    std::vector<double> m_times;  // non-decreasing, one a sample
    double m_position = 0;
    bool m_playing = false;
    int m_speedIndex = NormalReplaySpeed;
    Clock::time_point m_movedAt{};
};

// The slider's scale: hundredths of a second, held within what a slider can count.
int replaySliderValue(double seconds);
double replaySliderTime(int value);

}  // namespace velkor
