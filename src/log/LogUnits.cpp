#include "log/LogUnits.h"

#include <cmath>

#include "base/Numbers.h"
#include "base/Preferences.h"

namespace velkor {

namespace {

constexpr double SpeedStep = 0.0078125;  // the controller counts speed in 1/128 MPH
constexpr double SmallestSpan = 0.1;     // stands in for a span too small to divide by

}  // namespace

float rpmFromRaw(int low, int high) {
    return static_cast<float>(low + 256 * high);
}

float speedFromRaw(int low, int high) {
    return static_cast<float>((low + 256 * high) * SpeedStep);
}

float inputVoltsFromRaw(int raw) {
    return roundToFloat(5.0 * raw / 255.0, 1);
}

float batteryVoltsFromRaw(int raw) {
    return roundToFloat(18.0 * raw / 255.0, 1);
}

float tpsPercentFromRaw(int raw, float tpsMin, float tpsMax) {
    // The span is the difference of the two stored factors, kept as a float like they are.
    float span = tpsMax - tpsMin;
    if (span == 0.0f) {
        span = static_cast<float>(SmallestSpan);
    }
    const double percent = roundTo((raw - static_cast<double>(tpsMin)) * 100.0 / span, 0);
    if (percent < 0.0) {
        return 0.0f;
    }
    if (percent > 100.0) {
        return 100.0f;
    }
    return static_cast<float>(percent);
}

std::int32_t storedWhole(float stored) {
    // A value read from a damaged file may be far outside any byte; it then has no bits.
    if (!(std::fabs(stored) < 2147483520.0f)) {
        return 0;
    }
    return toWhole(stored);
}

std::string stateName(std::int32_t state, const char* invalid) {
    switch (state) {
        case StatePowerOff:
            return "Power Off";
        case StateNotArmed:
            return "Power On - Not Armed";
        case StateArmed:
            return "Armed";
        default:
            return invalid;
    }
}

bool bitSet(float storedByte, int mask) {
    return (storedWhole(storedByte) & mask) != 0;
}

std::string elapsedTimeText(double seconds) {
    return formatNumber(seconds, "##0.0") + " Sec ";
}

double speedInUnits(float mph, const std::string& vssUnits) {
    return vssUnits == "MPH" ? mph : mph * KphPerMph;
}

double afrFromVolts(double volts) {
    return 2.0 * volts + 10.0;
}

double pressureFromVolts(double volts, const Preferences& prefs) {
    return static_cast<double>(prefs.Input1Slope) * volts + prefs.Input1Offset;
}

Input2Scaling input2Scaling(const Preferences& prefs) {
    const float span = prefs.MaxInput2Volts - prefs.MinInput2Volts;
    const float range = prefs.MaxInput2ScaledValue - prefs.MinInput2ScaledValue;
    const float slope = span > 0.1f ? range / span : range / 0.1f;
    const float offset = prefs.MinInput2ScaledValue - slope * prefs.MinInput2Volts;
    return {slope, offset};
}

double scaledInput2(double volts, const Preferences& prefs) {
    const double span = static_cast<double>(prefs.MaxInput2Volts) - prefs.MinInput2Volts;
    const double range =
        static_cast<double>(prefs.MaxInput2ScaledValue) - prefs.MinInput2ScaledValue;
    const double slope = range / (span > SmallestSpan ? span : SmallestSpan);
    const double offset = prefs.MinInput2ScaledValue - slope * prefs.MinInput2Volts;
    return slope * volts + offset;
}

}  // namespace velkor
