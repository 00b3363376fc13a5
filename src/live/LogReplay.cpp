#include "live/LogReplay.h"

#include <algorithm>
#include <cmath>

#include "base/DataLog.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

// What a controller's throttle scale factors usually are; also used when they cannot be read.
constexpr float UsualTPSMin = 26;
constexpr float UsualTPSMax = 230;
// Beyond this a time does not fit the slider's hundredths.
constexpr double LongestSliderTime = 2.0e7;

double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

LogReplay::LogReplay(const DataLog& log, Clock& clock) : m_log(log), m_clock(clock) {
    m_times.reserve(SampleCount);
    double last = finiteOrZero(log.ElapsedTime.at(1));
    for (int sample = 1; sample <= SampleCount; ++sample) {
        const double time = log.ElapsedTime.at(sample);
        if (std::isfinite(time) && time > last) {
            last = time;
        }
        m_times.push_back(last);
    }
    m_position = start();
    m_movedAt = m_clock.now();
}

void LogReplay::play() {
    if (m_position >= end()) {
        m_position = start();
    }
    m_playing = true;
    m_movedAt = m_clock.now();
}

void LogReplay::pause() {
    advance();
    m_playing = false;
}

void LogReplay::togglePlay() {
    if (m_playing) {
        pause();
    } else {
        play();
    }
}

void LogReplay::setSpeedIndex(int index) {
    advance();  // the time so far counts at the old speed
    m_speedIndex = std::clamp(index, 0, int(ReplaySpeeds.size()) - 1);
}

void LogReplay::seek(double seconds) {
    m_position = std::clamp(finiteOrZero(seconds), start(), end());
    m_movedAt = m_clock.now();
}

void LogReplay::stepForward() {
    pause();
    const std::size_t next = std::min(index() + 1, m_times.size() - 1);
    seek(m_times[next]);
}

void LogReplay::stepBack() {
    pause();
    const std::size_t at = index();
    if (m_position > m_times[at] || at == 0) {
        seek(m_times[at]);
        return;
    }
    seek(m_times[at - 1]);
}

void LogReplay::home() {
    seek(start());
}

void LogReplay::advance() {
    const Clock::time_point now = m_clock.now();
    if (m_playing) {
        const double elapsed = std::chrono::duration<double>(now - m_movedAt).count();
        m_position =
            std::min(end(), m_position + elapsed * ReplaySpeeds.at(std::size_t(m_speedIndex)));
        if (m_position >= end()) {
            m_playing = false;
        }
    }
    m_movedAt = now;
}

std::size_t LogReplay::index() const {
    const auto after = std::upper_bound(m_times.begin(), m_times.end(), m_position);
    return after == m_times.begin() ? 0 : std::size_t(after - m_times.begin() - 1);
}

int LogReplay::sample() const {
    return int(index()) + 1;
}

LiveReadings LogReplay::readings() const {
    const std::size_t at = index();
    const int here = int(at) + 1;
    // The share of the way to the next sample, 0 on a sample and at the end.
    double share = 0;
    if (at + 1 < m_times.size() && m_times[at + 1] > m_times[at]) {
        share = std::clamp((m_position - m_times[at]) / (m_times[at + 1] - m_times[at]), 0.0, 1.0);
    }
    const int next = share > 0 ? here + 1 : here;
    auto between = [&](const SampleColumn& column) {
        const double from = column.at(here);
        const double value = share > 0 ? from + (double(column.at(next)) - from) * share : from;
        return float(finiteOrZero(value));
    };

    const ThrottleFactors factors = throttleFactors();
    LiveReadings r;
    r[Reading::State] = float(storedWhole(m_log.StatusData.at(here)));
    r[Reading::Throttle] = throttleCount(between(m_log.TPSData), factors.min, factors.max);
    r[Reading::Battery] = between(m_log.BatVoltsData);
    r[Reading::EngineSpeed] = between(m_log.RPMData);
    r[Reading::RoadSpeed] = between(m_log.VSSData);
    r[Reading::Input1] = between(m_log.Input1VoltsData);
    r[Reading::Input2] = between(m_log.Input2VoltsData);
    r[Reading::InputBits] = float(storedWhole(m_log.InputData.at(here)));
    r[Reading::OutputBits] = float(storedWhole(m_log.OutputData.at(here)));
    return r;
}

ThrottleFactors LogReplay::throttleFactors() const {
    if (m_log.TPSMax > m_log.TPSMin && std::isfinite(m_log.TPSMax) && std::isfinite(m_log.TPSMin)) {
        return {m_log.TPSMin, m_log.TPSMax};
    }
    return {UsualTPSMin, UsualTPSMax};
}

int replaySliderValue(double seconds) {
    return int(std::lround(
        100.0 * std::clamp(finiteOrZero(seconds), -LongestSliderTime, LongestSliderTime)));
}

double replaySliderTime(int value) {
    return value / 100.0;
}

}  // namespace velkor
