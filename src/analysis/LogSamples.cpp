#include "analysis/LogSamples.h"

#include <cmath>

#include "base/DataLog.h"

namespace velkor {

namespace {

constexpr int ShiftLightBit = 1;
constexpr int LaunchLightBit = 2;
// Half the last decimal the time column keeps, and a little for the float it is held in.
constexpr double TimeRounding = 0.0051;

double finite(float value) {
    return std::isfinite(value) ? double(value) : 0.0;
}

bool bitSet(float value, int bit) {
    const double v = finite(value);
    if (v < 0 || v > 255) {
        return false;
    }
    return (int(std::nearbyint(v)) & bit) != 0;
}

// Puts the exact times of a regular log in place of the rounded ones.
void unroundTimes(LogSamples& s) {
    const double interval = s.interval;
    if (!(interval > 0) || !std::isfinite(interval)) {
        return;
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::fabs(s.time[i] - interval * double(i + 1)) > TimeRounding) {
            return;
        }
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        s.time[i] = interval * double(i + 1);
    }
}

}  // namespace

LogSamples samplesOf(const DataLog& log) {
    LogSamples s;
    const std::size_t n = SampleCount;
    for (auto* column : {&s.time, &s.rpm, &s.mph, &s.tps}) {
        column->reserve(n);
    }
    s.shiftLight.reserve(n);
    s.launchLight.reserve(n);
    for (int i = 1; i <= SampleCount; ++i) {
        s.time.push_back(finite(log.ElapsedTime.at(i)));
        s.rpm.push_back(finite(log.RPMData.at(i)));
        s.mph.push_back(finite(log.VSSData.at(i)));
        s.tps.push_back(finite(log.TPSData.at(i)));
        s.shiftLight.push_back(bitSet(log.OutputData.at(i), ShiftLightBit));
        s.launchLight.push_back(bitSet(log.OutputData.at(i), LaunchLightBit));
    }
    s.interval = finite(log.DataLogInterval);
    unroundTimes(s);
    return s;
}

}  // namespace velkor
