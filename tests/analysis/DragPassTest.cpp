// The drag pass against the simulated car's own travel: first motion, the time slip, the
// spins of the driven wheels and the launch, over seeds and the controller's intervals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/RunAnalysis.h"
#include "sim/DragRun.h"
#include "support/Drives.h"

namespace velkor::test {
namespace {

constexpr int IntervalBytes[] = {1, 3, 7, 12, 15};  // 0.016 s to 0.24 s

struct Pass {
    sim::DragRun run;
    RunAnalysis analysis;
    std::string where;
};

Pass drive(unsigned seed, int intervalByte, sim::Wheelspin spin = sim::Wheelspin::None) {
    const double interval = 0.016 * intervalByte;
    Pass pass{sim::generateDragRun(interval, 368, seed, spin), {}, {}};
    DataLog log;
    loadDrive(log, pass.run.fram, float(interval));
    pass.analysis = analyseRuns(log);
    pass.where = "seed " + std::to_string(seed) + " at " + std::to_string(interval) + " s";
    return pass;
}

TEST(DragPass, TimeSlipMatchesTheCarsTravelWithinTheStatedUncertainty) {
    for (const int intervalByte : IntervalBytes) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            const Pass p = drive(seed, intervalByte);
            const sim::DragTruth& truth = p.run.truth;
            ASSERT_EQ(p.analysis.runs.size(), 1u) << p.where;
            const RunResult& run = p.analysis.runs[0];
            ASSERT_TRUE(run.fromStandstill && run.firstMotion) << p.where;
            const double interval = truth.interval;
            const double u = run.slip.uncertainty;
            EXPECT_GT(u, 0) << p.where;
            EXPECT_LE(u, interval + 1e-6) << p.where;  // the log holds the interval as a float
            EXPECT_NEAR(*run.firstMotion, truth.firstMotion, interval) << p.where;
            for (std::size_t d = 0; d < SlipFeet.size(); ++d) {
                const std::string at = p.where + ", " + std::to_string(int(SlipFeet[d])) + " ft";
                ASSERT_TRUE(truth.slipTimes[d] && run.slip.elapsed[d]) << at;
                EXPECT_NEAR(*run.slip.elapsed[d], *truth.slipTimes[d], d == 0 ? interval : u) << at;
            }
            // A trap's two ends carry the same error from first motion, which its speed does
            // not feel; what is left is the integration's.
            ASSERT_TRUE(run.slip.trapEighthMph && run.slip.trapQuarterMph) << p.where;
            EXPECT_NEAR(*run.slip.trapEighthMph, *truth.trapEighthMph, 0.5) << p.where;
            EXPECT_NEAR(*run.slip.trapQuarterMph, *truth.trapQuarterMph, 0.5) << p.where;
            EXPECT_TRUE(run.wheelspin.empty()) << p.where;
            ASSERT_TRUE(run.launchSlip) << p.where;
            EXPECT_NEAR(*run.launchSlip, truth.launchSlip, interval + 0.01) << p.where;
        }
    }
}

TEST(DragPass, EverySpinIsFoundAndNoneInvented) {
    for (const int intervalByte : IntervalBytes) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            for (const auto spin :
                 {sim::Wheelspin::Launch, sim::Wheelspin::AfterShift, sim::Wheelspin::Both}) {
                const Pass p = drive(seed, intervalByte, spin);
                ASSERT_EQ(p.analysis.runs.size(), 1u) << p.where;
                const RunResult& run = p.analysis.runs[0];
                const double interval = p.run.truth.interval;
                const auto overlaps = [interval](double a0, double a1, double b0, double b1) {
                    return a0 <= b1 + interval && b0 <= a1 + interval;
                };
                for (const sim::TruthSpin& want : p.run.truth.spins) {
                    const bool found =
                        std::any_of(run.wheelspin.begin(), run.wheelspin.end(), [&](auto& got) {
                            return overlaps(got.start, got.end, want.start, want.end);
                        });
                    EXPECT_TRUE(found || want.peakExcessMph < 4)
                        << p.where << ", spin at " << want.start;
                }
                for (const WheelspinEvent& got : run.wheelspin) {
                    const bool real = std::any_of(
                        p.run.truth.spins.begin(), p.run.truth.spins.end(), [&](auto& want) {
                            return overlaps(got.start, got.end, want.start, want.end);
                        });
                    EXPECT_TRUE(real) << p.where << ", invented spin at " << got.start;
                }
                // The distance is the car's even while the wheels spin.
                for (std::size_t d = 1; d < SlipFeet.size(); ++d) {
                    ASSERT_TRUE(p.run.truth.slipTimes[d] && run.slip.elapsed[d]) << p.where;
                    EXPECT_NEAR(*run.slip.elapsed[d], *p.run.truth.slipTimes[d],
                                run.slip.uncertainty)
                        << p.where << ", " << SlipFeet[d] << " ft";
                }
            }
        }
    }
}

// At 0.192 s a launch's first full-throttle sample may already read over 2 MPH; the sample
// before it shows the car at rest, and the run is a standing start with its times.
TEST(DragPass, ALaunchSeenMovingAtItsFirstSampleIsAStandingStart) {
    DataLog log;
    log.DataLogInterval = 0.192f;
    BuildElapsedTime(log);
    const int launch = 500;
    for (int i = 1; i <= SampleCount; ++i) {
        const double moving = (i - launch + 0.85) * 0.192;  // seconds since first motion
        log.TPSData.at(i) = i >= launch && i < launch + 100 ? 100 : 5;
        log.VSSData.at(i) = i >= launch && i < launch + 100 ? float(14 * moving) : 0;
        log.RPMData.at(i) = i >= launch && i < launch + 100 ? 4000 : 850;
    }
    const RunAnalysis analysis = analyseRuns(log);
    ASSERT_EQ(analysis.runs.size(), 1u);
    const RunResult& run = analysis.runs[0];
    EXPECT_GT(log.VSSData.at(launch), 2.0f);
    EXPECT_TRUE(run.fromStandstill);
    ASSERT_TRUE(run.firstMotion && run.accelMph[0] && run.accelMph[1]);
    EXPECT_NEAR(*run.firstMotion, (launch - 0.85) * 0.192, 0.01);
    EXPECT_NEAR(*run.accelMph[0], 30.0 / 14, 0.01);
    EXPECT_NEAR(*run.accelMph[1], 60.0 / 14, 0.01);
    ASSERT_TRUE(run.slip.elapsed[0]);
    EXPECT_NEAR(*run.slip.elapsed[0], std::sqrt(2 * 60 / (14 * 5280.0 / 3600)), 0.01);
}

}  // namespace
}  // namespace velkor::test
