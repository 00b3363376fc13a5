// The run analysis against drag runs whose truth is known, and against logs meant to trip it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "analysis/RunAnalysis.h"
#include "chart/RunSummary.h"
#include "sim/DragRun.h"
#include "support/Drives.h"

namespace velkor::test {
namespace {

TEST(RunAnalysis, FindsEveryShiftOfDragRunsWithinOneIntervalAndInventsNone) {
    struct Case {
        unsigned seed;
        int intervalByte;  // 16 ms steps
        int ringStart;
    };
    const Case cases[] = {{1, 3, 368},   {2, 3, 12368},  {3, 3, 32756}, {7, 3, 368},
                          {1, 12, 368},  {2, 12, 20000}, {5, 12, 368},  {9, 12, 368},
                          {8, 1, 14000}, {13, 1, 368},   {5, 15, 368}};
    for (const Case& c : cases) {
        const double interval = 0.016 * c.intervalByte;
        const sim::DragRun run = sim::generateDragRun(interval, c.ringStart, c.seed);
        DataLog log;
        loadDrive(log, run.fram, float(interval));
        const RunAnalysis analysis = analyseRuns(log);
        const std::string where =
            "seed " + std::to_string(c.seed) + " at " + std::to_string(interval) + " s";
        // The time column holds two decimals, so each time read off it may be 0.005 s out.
        const double within = interval + 0.005;

        ASSERT_EQ(analysis.runs.size(), 1u) << where;
        const RunResult& found = analysis.runs[0];
        EXPECT_TRUE(found.fromStandstill) << where;
        EXPECT_LT(found.endTime, run.truth.braking) << where;
        EXPECT_GT(found.endTime, run.truth.throttleLift + 0.5) << where;  // the lift kept the run
        ASSERT_TRUE(found.accelMph[0] && found.accelMph[1] && found.accelMph[2]) << where;
        EXPECT_NEAR(*found.accelMph[0], run.truth.zeroTo30, within) << where;
        EXPECT_NEAR(*found.accelMph[1], run.truth.zeroTo60, within) << where;
        // Speed noise of 0.1 MPH at 5 MPH a second moves each end of 60-100 by up to 0.02 s.
        EXPECT_NEAR(*found.accelMph[2], run.truth.sixtyTo100, within + 0.04) << where;
        EXPECT_EQ(analysis.gearRatios.size(), 4u) << where;

        ASSERT_EQ(found.shifts.size(), run.truth.shifts.size()) << where;
        for (std::size_t i = 0; i < found.shifts.size(); ++i) {
            const ShiftEvent& got = found.shifts[i];
            const sim::TruthShift& want = run.truth.shifts[i];
            EXPECT_NEAR(got.time, want.time, within) << where << ", shift " << i;
            ASSERT_TRUE(got.reaction) << where << ", shift " << i;
            EXPECT_NEAR(*got.reaction, want.reaction, within) << where << ", shift " << i;
            EXPECT_NEAR(*got.lightOnset, want.lightOn, 0.005) << where << ", shift " << i;
            EXPECT_EQ(got.gearBefore, want.gearBefore) << where << ", shift " << i;
            EXPECT_EQ(got.gearAfter, want.gearAfter) << where << ", shift " << i;
            EXPECT_GT(got.dropPercent, 15) << where << ", shift " << i;
        }
    }
}

TEST(RunAnalysis, HostileLogsNeitherCrashNorInventRunsOrShifts) {
    using Fill = std::function<void(DataLog&, int)>;
    struct Case {
        const char* name;
        float interval;
        Fill fill;  // sets sample i's values
        std::size_t runs;
    };
    const Case cases[] = {
        {"all zeros", 0, [](DataLog&, int) {}, 0},
        {"constant values", 0.1f,
         [](DataLog& log, int i) {
             log.RPMData.at(i) = 3000;
             log.VSSData.at(i) = 50;
             log.TPSData.at(i) = 90;
             log.OutputData.at(i) = 3;
         },
         0},
        {"speed without engine speed", 0.1f,
         [](DataLog& log, int i) { log.VSSData.at(i) = float(i % 300) / 3; }, 0},
        {"engine speed without speed", 0.1f,
         [](DataLog& log, int i) {
             log.RPMData.at(i) = float(1000 + (i % 40) * 150);
             log.OutputData.at(i) = float(i % 40 > 30);
         },
         0},
        {"2700 maximum values", 0.1f,
         [](DataLog& log, int i) {
             log.RPMData.at(i) = 65535;
             log.VSSData.at(i) = 511.9921875f;
             log.TPSData.at(i) = 100;
             log.OutputData.at(i) = 255;
             log.StatusData.at(i) = 255;
         },
         0},
        {"not numbers", 0.1f,
         [](DataLog& log, int i) {
             log.RPMData.at(i) = std::nanf("");
             log.VSSData.at(i) = -INFINITY;
             log.TPSData.at(i) = i % 2 == 0 ? INFINITY : 0;
         },
         0},
        // A rolling run, then hard braking in gear with the throttle still open and the clutch
        // in at the end: no shift.
        {"braking under throttle", 0.1f,
         [](DataLog& log, int i) {
             const float mph = i < 100 ? 30 : i < 190 ? float(i - 70) / 2 : float(250 - i);
             log.TPSData.at(i) = i >= 100 && i < 400 ? 100 : 0;
             log.VSSData.at(i) = std::max(mph, 0.0f);
             log.RPMData.at(i) = mph > 20 ? 100 * mph : 850;
         },
         1},
        // A rolling run in one gear with a lift and a dipped clutch half-way: no shift.
        {"dipped clutch mid-run", 0.1f,
         [](DataLog& log, int i) {
             const bool dipped = i >= 200 && i < 205;
             const float mph = 30 + float(std::clamp(i - 100, 0, 300)) * 0.08f;
             log.TPSData.at(i) = i >= 100 && i < 400 ? (dipped ? 30 : 100) : 0;
             log.VSSData.at(i) = mph;
             log.RPMData.at(i) = 100 * mph * (dipped ? 0.75f : 1);
         },
         1},
        // A full-throttle stretch of engine-speed saw teeth at a standing car: a run, no shifts.
        {"throttle with teeth but no speed", 0.1f,
         [](DataLog& log, int i) {
             log.TPSData.at(i) = i > 100 && i < 400 ? 100 : 0;
             log.RPMData.at(i) = float(2000 + (i % 30) * 150);
         },
         1},
    };
    for (const Case& c : cases) {
        DataLog log;
        log.DataLogInterval = c.interval;
        for (int i = 1; i <= SampleCount; ++i) {
            c.fill(log, i);
            log.ElapsedTime.at(i) = c.interval * float(i);
        }
        const RunAnalysis analysis = analyseRuns(log);
        EXPECT_EQ(analysis.runs.size(), c.runs) << c.name;
        for (const RunResult& run : analysis.runs) {
            EXPECT_TRUE(run.shifts.empty()) << c.name;
            EXPECT_FALSE(run.accelKph[0] || run.accelKph[1] || run.accelKph[2]) << c.name;
            EXPECT_FALSE(run.firstMotion || run.slip.elapsed[0] || run.launchSlip) << c.name;
            EXPECT_TRUE(run.wheelspin.empty()) << c.name;
        }
        for (const ShiftPoint& point : analysis.shiftPoints) {
            EXPECT_FALSE(point.bestRpm) << c.name;
        }
    }
}

TEST(RunSummary, ColumnsShareTheRoomToSpareInProportionAndKeepTheirWidthsWithoutIt) {
    EXPECT_EQ(spreadColumns({40, 80, 40}, 320), (std::vector<int>{80, 160, 80}));
    EXPECT_EQ(spreadColumns({30, 30, 30}, 100), (std::vector<int>{33, 33, 34}));
    EXPECT_EQ(spreadColumns({40, 80}, 60), (std::vector<int>{40, 80}));
}

}  // namespace
}  // namespace velkor::test
