// The drag run's truth against its own log and against physics: what the run analysis is
// measured by has to be what the log really shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "sim/DragPhysics.h"
#include "sim/DragRun.h"
#include "sim/Protocol.h"

namespace velkor::sim {
namespace {

constexpr double FeetPerSecondPerMph = 5280.0 / 3600.0;

struct Sample {
    double time = 0;
    double rpm = 0;
    double mph = 0;
    double throttle = 0;
    bool launchLight = false;
    bool armed = false;
};

// The log as the controller wrote it, from a ring that starts at 368 and so does not wrap.
std::vector<Sample> samples(const DragRun& run) {
    std::vector<Sample> log;
    for (int i = 0; i < 2700; ++i) {
        const std::uint8_t* r = run.fram.data() + 368 + 12 * i;
        log.push_back({run.truth.interval * (i + 1), double(r[0] | r[1] << 8),
                       double(r[2] | r[3] << 8) / 128, (r[4] - 26) / 204.0, (r[9] & OutLaunch) != 0,
                       r[10] == 2});
    }
    return log;
}

// Logged road speed between samples, straight from one to the next.
double mphAt(const std::vector<Sample>& log, double t) {
    const auto after = std::find_if(log.begin(), log.end(), [t](auto& s) { return s.time >= t; });
    if (after == log.begin() || after == log.end()) {
        return after == log.end() ? log.back().mph : after->mph;
    }
    const Sample& before = *(after - 1);
    return before.mph + (after->mph - before.mph) * (t - before.time) / (after->time - before.time);
}

// The feet covered in `seconds` from first motion at `from`, by the logged speed taken as
// straight between samples and rising from standstill at first motion.
double loggedFeet(const std::vector<Sample>& log, double from, double seconds) {
    const double to = from + seconds;
    double feet = 0;
    double t0 = from;
    double v0 = 0;
    for (const Sample& s : log) {
        if (s.time <= from) {
            continue;
        }
        const double t1 = std::min(s.time, to);
        const double v1 = v0 + (s.mph - v0) * (t1 - t0) / (s.time - t0);
        feet += (v0 + v1) / 2 * (t1 - t0) * FeetPerSecondPerMph;
        if (s.time >= to) {
            break;
        }
        t0 = s.time;
        v0 = s.mph;
    }
    return feet;
}

std::string where(unsigned seed, double interval) {
    return "seed " + std::to_string(seed) + " at " + std::to_string(interval) + " s";
}

TEST(DragRun, TimeSlipAndTrapsAgreeWithTheLoggedSpeedOverAFullQuarterMile) {
    for (const unsigned seed : {1u, 2u, 7u}) {
        for (const double interval : {0.016, 0.096, 0.24}) {
            const DragRun run = generateDragRun(interval, 368, seed);
            const DragTruth& truth = run.truth;
            const std::vector<Sample> log = samples(run);
            const std::string at = where(seed, interval);

            EXPECT_EQ(truth.firstMotion, truth.launch) << at;
            for (std::size_t i = 0; i < truth.slipTimes.size(); ++i) {
                ASSERT_TRUE(truth.slipTimes[i]) << at << ", mark " << i;
                EXPECT_TRUE(i == 0 || *truth.slipTimes[i] > *truth.slipTimes[i - 1]) << at;
            }
            EXPECT_TRUE(*truth.slipTimes[4] > 12 && *truth.slipTimes[4] < 14) << at;
            // The launch is not on a sample, and the car stands until it.
            EXPECT_GT(std::abs(std::remainder(truth.firstMotion, interval)), 1e-6) << at;
            for (const Sample& s : log) {
                EXPECT_TRUE(s.time >= truth.firstMotion || s.mph == 0) << at << " at " << s.time;
            }
            // The distance under the logged speed reaches each mark at the truth's time, within
            // what straight lines between samples miss.
            const std::array<double, 5> feet = {60, 330, 660, 1000, 1320};
            for (std::size_t i = 0; i < feet.size(); ++i) {
                EXPECT_NEAR(loggedFeet(log, truth.firstMotion, *truth.slipTimes[i]), feet[i],
                            1 + feet[i] * 0.004 + interval * 15)
                    << at << ", mark " << i;
            }
            // Each trap's mean speed lies between the speeds logged around it.
            for (const auto& [trap, end] : {std::pair{truth.trapEighthMph, truth.slipTimes[2]},
                                            std::pair{truth.trapQuarterMph, truth.slipTimes[4]}}) {
                ASSERT_TRUE(trap) << at;
                const double to = truth.firstMotion + *end;
                const double from = to - 66 / FeetPerSecondPerMph / *trap;
                double low = 1e9;
                double high = 0;
                for (const Sample& s : log) {
                    if (s.time > from - interval && s.time < to + interval) {
                        low = std::min(low, s.mph);
                        high = std::max(high, s.mph);
                    }
                }
                EXPECT_TRUE(*trap > low - 0.1 && *trap < high + 0.1) << at << ": " << *trap;
            }
            EXPECT_TRUE(*truth.trapEighthMph > 75 && *truth.trapQuarterMph < 115) << at;
            EXPECT_GT(*truth.trapQuarterMph, *truth.trapEighthMph + 15) << at;

            // Armed before the launch light, full throttle from the launch through the quarter
            // mile, and the short lift only after it; a few seconds of idle close the log.
            const double quarter = truth.firstMotion + *truth.slipTimes[4];
            EXPECT_GT(truth.throttleLift, quarter) << at;
            for (const Sample& s : log) {
                EXPECT_TRUE(!s.launchLight || s.armed) << at;
                EXPECT_TRUE(s.time <= truth.firstMotion || s.time >= quarter || s.throttle > 0.99)
                    << at << " at " << s.time;
            }
            const auto moving =
                std::find_if(log.rbegin(), log.rend(), [](auto& s) { return s.mph > 0; });
            EXPECT_LT(moving->time, 2700 * 0.016 - 3) << at;
        }
    }
}

TEST(DragRun, ClutchGearsAndBestShiftPointsMatchTheLog) {
    for (const unsigned seed : {1u, 3u, 9u}) {
        for (const double interval : {0.016, 0.24}) {
            const DragRun run = generateDragRun(interval, 368, seed);
            const DragTruth& truth = run.truth;
            const std::vector<Sample> log = samples(run);
            const std::string at = where(seed, interval);
            ASSERT_EQ(truth.rpmPerMph.size(), 4u) << at;
            ASSERT_EQ(truth.shifts.size(), 3u) << at;
            ASSERT_EQ(truth.bestShiftRpm.size(), 3u) << at;

            // The clutch slips, engine speed running ahead of first gear's, until it locks.
            const double locked = truth.firstMotion + truth.launchSlip;
            EXPECT_TRUE(truth.launchSlip > 0.5 && truth.launchSlip < 2.5) << at;
            for (const Sample& s : log) {
                if (s.time > truth.firstMotion && s.mph > 3 && s.time < locked - 0.1) {
                    EXPECT_GT(s.rpm / s.mph, truth.rpmPerMph[0] * 1.02) << at << " at " << s.time;
                } else if (s.time > locked + 0.05 && s.time < truth.shifts[0].time) {
                    EXPECT_NEAR(s.rpm / s.mph, truth.rpmPerMph[0], 3) << at << " at " << s.time;
                }
            }
            for (std::size_t i = 0; i < 3; ++i) {
                const TruthShift& shift = truth.shifts[i];
                const double best = truth.bestShiftRpm[i];
                const double ratio = truth.rpmPerMph[i + 1] / truth.rpmPerMph[i];
                // The last sample before the shift is in the lower gear, at most at the shift's
                // engine speed; the driver shifted past both the light and the best point.
                const auto last = std::find_if(log.rbegin(), log.rend(),
                                               [&](auto& s) { return s.time <= shift.time; });
                EXPECT_NEAR(last->rpm / last->mph, truth.rpmPerMph[i], 0.02 * truth.rpmPerMph[i])
                    << at;
                EXPECT_LT(last->rpm, shift.rpm + 25) << at;
                EXPECT_GE(shift.rpm, 6000) << at;
                EXPECT_TRUE(best > 5600 && best < 6500) << at << ": " << best;
                EXPECT_LT(best, shift.rpm - 50) << at << ", shift " << i;
                // ... and above where the gear began.
                const double entry =
                    i == 0 ? 3500
                           : truth.shifts[i - 1].rpm * truth.rpmPerMph[i] / truth.rpmPerMph[i - 1];
                EXPECT_GT(best, entry) << at;
                // Below the best point the lower gear pulls harder, above it the higher one.
                const auto lead = [&](double rpm) {
                    return drag::driveForce(i, rpm) - drag::driveForce(i + 1, rpm * ratio);
                };
                EXPECT_GT(lead(best - 100), 0) << at;
                EXPECT_LT(lead(best + 100), 0) << at;
            }
        }
    }
}

TEST(DragRun, SpinsComeOnlyWhenAskedAndTheLoggedSpeedRunsAheadOfTheCar) {
    const Wheelspin kinds[] = {Wheelspin::None, Wheelspin::Launch, Wheelspin::AfterShift,
                               Wheelspin::Both};
    for (const unsigned seed : {1u, 4u, 11u}) {
        for (const double interval : {0.016, 0.048}) {
            const DragTruth calm = generateDragRun(interval, 368, seed).truth;
            for (const Wheelspin kind : kinds) {
                const DragRun run = generateDragRun(interval, 368, seed, kind);
                const DragTruth& truth = run.truth;
                const std::vector<Sample> log = samples(run);
                const std::string at = where(seed, interval) + " spin " + std::to_string(int(kind));
                const bool atLaunch = kind == Wheelspin::Launch || kind == Wheelspin::Both;
                const bool afterShift = kind == Wheelspin::AfterShift || kind == Wheelspin::Both;
                ASSERT_EQ(truth.spins.size(), std::size_t(atLaunch) + std::size_t(afterShift))
                    << at;
                for (std::size_t i = 0; i < truth.spins.size(); ++i) {
                    const TruthSpin& spin = truth.spins[i];
                    const bool launchSpin = atLaunch && i == 0;
                    const double from = launchSpin ? truth.firstMotion : truth.shifts[0].time;
                    EXPECT_TRUE(spin.start > from && spin.start < from + 0.4) << at;
                    EXPECT_TRUE(spin.end - spin.start > 0.15 && spin.end - spin.start < 1) << at;
                    EXPECT_TRUE(spin.peakExcessMph >= 4 && spin.peakExcessMph <= 12) << at;
                    // The car gains speed evenly while the tyres spin, and the wheels run ahead
                    // of it by the peak, above the 1 MPH at each end of the spin.
                    double ahead = 0;
                    for (const Sample& s : log) {
                        if (s.time > spin.start && s.time < spin.end) {
                            const double share = (s.time - spin.start) / (spin.end - spin.start);
                            const double even =
                                mphAt(log, spin.start) +
                                share * (mphAt(log, spin.end) - mphAt(log, spin.start));
                            ahead = std::max(ahead, s.mph - even);
                        }
                    }
                    EXPECT_NEAR(ahead, spin.peakExcessMph - 1, 0.3 + interval * 8) << at;
                }
                // A spin costs the car time, and only from where it happens.
                if (atLaunch) {
                    EXPECT_GT(*truth.slipTimes[0], *calm.slipTimes[0] + 0.05) << at;
                } else {
                    EXPECT_EQ(truth.slipTimes[0], calm.slipTimes[0]) << at;
                }
                EXPECT_EQ(afterShift || atLaunch, *truth.slipTimes[4] > *calm.slipTimes[4]) << at;
            }
        }
    }
}

TEST(DragRun, TruthJsonHoldsEveryMarkAndNullForThoseNotReached) {
    DragTruth partial;
    partial.slipTimes[0] = 2.25;
    partial.shifts.push_back({3, 2.5, 0.5, 1, 2, 6480});
    const std::string json = truthJson(partial);
    for (const char* part : {"\"ft60_s\": 2.2500, \"ft330_s\": null", "\"trap_1320_mph\": null",
                             "\"rpm\": 6480.0000}", "\"spins\": []", "\"best_shift_rpm\": []"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " in " << json;
    }
    const DragTruth full = generateDragRun(0.016, 368, 1, Wheelspin::Both).truth;
    const std::string all = truthJson(full);
    EXPECT_EQ(all.find("null"), std::string::npos) << all;
    for (const char* key : {"first_motion", "launch_slip", "trap_660_mph", "ft1000_s",
                            "rpm_per_mph", "best_shift_rpm", "peak_excess_mph"}) {
        EXPECT_NE(all.find(std::string("\"") + key + "\": "), std::string::npos) << key;
    }
}

}  // namespace
}  // namespace velkor::sim
