// The drag run's truth: gathered on the model's step and written as JSON.

#include "sim/DragTruth.h"

#include <algorithm>
#include <cstdio>

namespace velkor::sim {

namespace {

constexpr double FeetPerSecondPerMph = 5280.0 / 3600.0;
// The time slip's distances with the start of each trap before its end: 60, 330, the eighth's
// trap, 660, 1000, the quarter's trap, 1320 ft.
constexpr std::array<double, 7> Feet = {60, 330, 594, 660, 1000, 1254, 1320};
constexpr std::array<std::size_t, 5> SlipMarks = {0, 1, 3, 4, 6};
constexpr double TrapFeet = 66;
constexpr std::array<double, 3> Speeds = {30, 60, 100};
constexpr double SpinMph = 1;  // the wheels' lead over the car that counts as a spin

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

std::string number(const std::optional<double>& value) {
    return value ? number(*value) : "null";
}

std::string list(const std::vector<double>& values) {
    std::string json = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        json += (i == 0 ? "" : ", ") + number(values[i]);
    }
    return json + "]";
}

}  // namespace

void TruthMarks::step(double t, double dt, double mphBefore, double mphAfter, double excessMph) {
    // Within a step the car's speed changes by a hair, so its travel is taken as linear there.
    const double feetBefore = m_feet;
    m_feet += (mphBefore + mphAfter) / 2 * dt * FeetPerSecondPerMph;
    for (std::size_t i = 0; i < Feet.size(); ++i) {
        if (!m_feetAt[i] && m_feet >= Feet[i] && m_feet > feetBefore) {
            m_feetAt[i] = t - dt + dt * (Feet[i] - feetBefore) / (m_feet - feetBefore);
        }
    }
    for (std::size_t i = 0; i < Speeds.size(); ++i) {
        if (!m_speedAt[i] && mphBefore < Speeds[i] && mphAfter >= Speeds[i]) {
            m_speedAt[i] = t - dt + dt * (Speeds[i] - mphBefore) / (mphAfter - mphBefore);
        }
    }
    if (excessMph > SpinMph) {
        if (!m_spinning) {
            m_spins.push_back({t, t, excessMph});
        }
        m_spins.back().end = t;
        m_spins.back().peakExcessMph = std::max(m_spins.back().peakExcessMph, excessMph);
    }
    m_spinning = excessMph > SpinMph;
}

void TruthMarks::fill(DragTruth& truth) const {
    for (std::size_t i = 0; i < SlipMarks.size(); ++i) {
        if (const auto& at = m_feetAt[SlipMarks[i]]) {
            truth.slipTimes[i] = *at - m_start;
        }
    }
    const auto trap = [this](std::size_t from, std::size_t to) -> std::optional<double> {
        if (m_feetAt[from] && m_feetAt[to]) {
            return TrapFeet / (*m_feetAt[to] - *m_feetAt[from]) / FeetPerSecondPerMph;
        }
        return std::nullopt;
    };
    truth.trapEighthMph = trap(2, 3);
    truth.trapQuarterMph = trap(5, 6);
    truth.zeroTo30 = m_speedAt[0] ? *m_speedAt[0] - m_start : 0;
    truth.zeroTo60 = m_speedAt[1] ? *m_speedAt[1] - m_start : 0;
    truth.sixtyTo100 = m_speedAt[1] && m_speedAt[2] ? *m_speedAt[2] - *m_speedAt[1] : 0;
    truth.spins = m_spins;
}

std::string truthJson(const DragTruth& truth) {
    std::string json = "{\n  \"interval\": " + number(truth.interval) +
                       ",\n  \"launch\": " + number(truth.launch) +
                       ",\n  \"first_motion\": " + number(truth.firstMotion) +
                       ",\n  \"launch_slip\": " + number(truth.launchSlip) +
                       ",\n  \"zero_to_30_mph\": " + number(truth.zeroTo30) +
                       ",\n  \"zero_to_60_mph\": " + number(truth.zeroTo60) +
                       ",\n  \"sixty_to_100_mph\": " + number(truth.sixtyTo100) +
                       ",\n  \"time_slip\": {\"ft60_s\": " + number(truth.slipTimes[0]) +
                       ", \"ft330_s\": " + number(truth.slipTimes[1]) +
                       ", \"ft660_s\": " + number(truth.slipTimes[2]) +
                       ", \"ft1000_s\": " + number(truth.slipTimes[3]) +
                       ", \"ft1320_s\": " + number(truth.slipTimes[4]) +
                       ", \"trap_660_mph\": " + number(truth.trapEighthMph) +
                       ", \"trap_1320_mph\": " + number(truth.trapQuarterMph) +
                       "},\n  \"throttle_lift\": " + number(truth.throttleLift) +
                       ",\n  \"braking\": " + number(truth.braking) +
                       ",\n  \"rpm_per_mph\": " + list(truth.rpmPerMph) +
                       ",\n  \"best_shift_rpm\": " + list(truth.bestShiftRpm) +
                       ",\n  \"shifts\": [";
    for (std::size_t i = 0; i < truth.shifts.size(); ++i) {
        const TruthShift& s = truth.shifts[i];
        json += std::string(i == 0 ? "\n" : ",\n") + "    {\"time\": " + number(s.time) +
                ", \"light_on\": " + number(s.lightOn) + ", \"reaction\": " + number(s.reaction) +
                ", \"gear_before\": " + std::to_string(s.gearBefore) +
                ", \"gear_after\": " + std::to_string(s.gearAfter) + ", \"rpm\": " + number(s.rpm) +
                "}";
    }
    json += std::string(truth.shifts.empty() ? "" : "\n  ") + "],\n  \"spins\": [";
    for (std::size_t i = 0; i < truth.spins.size(); ++i) {
        const TruthSpin& s = truth.spins[i];
        json += std::string(i == 0 ? "\n" : ",\n") + "    {\"start\": " + number(s.start) +
                ", \"end\": " + number(s.end) +
                ", \"peak_excess_mph\": " + number(s.peakExcessMph) + "}";
    }
    return json + std::string(truth.spins.empty() ? "" : "\n  ") + "]\n}\n";
}

}  // namespace velkor::sim
