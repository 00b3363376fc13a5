// A pass against the reference: hand-made traces of constant acceleration, whose time behind is
// known in closed form, identical passes, a pass cut short, and the trace of a simulated pass
// against its own time slip.

#include <gtest/gtest.h>

#include <cmath>

#include "logbook/PassComparison.h"
#include "sim/DragRun.h"
#include "support/Drives.h"

namespace velkor::test {
namespace {

constexpr double Fps = 5280.0 / 3600.0;  // feet a second per MPH

// A car pulling `mphPerSecond` from rest, sampled every 0.05 s until it has covered `feet`.
PassTrace steadyPull(double mphPerSecond, double feet = 1400) {
    PassTrace trace;
    trace.points.push_back({0, 0, 0});
    for (int i = 1; trace.points.back().feet < feet; ++i) {
        const double t = 0.05 * i;
        trace.points.push_back({t, 0.5 * mphPerSecond * Fps * t * t, mphPerSecond * t});
    }
    return trace;
}

// Closed form: d = a t^2 / 2 with a in feet a second squared.
double secondsTo(double feet, double mphPerSecond) {
    return std::sqrt(2 * feet / (mphPerSecond * Fps));
}

TEST(PassComparison, SteadyPullsAreApartAsTheirClosedFormSays) {
    const PassComparison c = comparePasses(steadyPull(20), steadyPull(22));
    ASSERT_EQ(c.steps.size(), 265u);  // 0, 5, ... 1320 ft
    for (const CompareStep& step : c.steps) {
        const double behind = secondsTo(step.feet, 20) - secondsTo(step.feet, 22);
        EXPECT_NEAR(step.behindSeconds, behind, 1e-9) << step.feet;
        EXPECT_NEAR(step.passMph, 20 * secondsTo(step.feet, 20), 1e-9) << step.feet;
        EXPECT_NEAR(step.referenceMph, 22 * secondsTo(step.feet, 22), 1e-9) << step.feet;
    }
    for (const SplitCompare& split : c.splits) {
        ASSERT_TRUE(split.behindSeconds) << split.feet;
        EXPECT_NEAR(*split.passSeconds, secondsTo(split.feet, 20), 1e-9);
        EXPECT_NEAR(*split.behindSeconds, secondsTo(split.feet, 20) - secondsTo(split.feet, 22),
                    1e-9);
    }
    // Behind grows as the root of the distance: of the five sections, 60-330 ft adds the most.
    ASSERT_EQ(c.sections.size(), 5u);
    ASSERT_TRUE(c.mostLost);
    EXPECT_EQ(c.mostLost->fromFeet, 60);
    EXPECT_EQ(c.mostLost->toFeet, 330);
    EXPECT_EQ(c.lossText, "Most time lost from 60 to 330 ft: 0.127 s.");
    EXPECT_EQ(c.standing, "At 1/4 mile: 0.441 s behind the reference.");

    // The other way round the pass is ahead and lost nothing.
    const PassComparison ahead = comparePasses(steadyPull(22), steadyPull(20));
    EXPECT_FALSE(ahead.mostLost);
    EXPECT_EQ(ahead.standing, "At 1/4 mile: 0.441 s ahead of the reference.");
    EXPECT_EQ(ahead.lossText, "No time lost to the reference over any stretch.");
}

TEST(PassComparison, IdenticalPassesAreLevelEverywhere) {
    PassTrace pass = steadyPull(18);
    pass.run.shifts = {ShiftEvent{}, ShiftEvent{}};
    pass.run.shifts[0].rpmBefore = 6500;
    pass.run.shifts[0].reaction = 0.21;
    pass.run.shifts[1].rpmBefore = 6400;
    const PassComparison c = comparePasses(pass, pass);
    for (const CompareStep& step : c.steps) {
        EXPECT_EQ(step.behindSeconds, 0) << step.feet;
    }
    EXPECT_FALSE(c.mostLost);
    EXPECT_EQ(c.standing, "At 1/4 mile: level with the reference.");

    const CompareTable table = compareTable(c, "06-14 run 1", "06-02 run 3");
    EXPECT_EQ(table.headers[2], "06-02 run 3 (reference)");
    ASSERT_EQ(table.rows.size(), 5u + 2 * 2);
    EXPECT_EQ(table.rows[0][0], "60 ft");
    EXPECT_EQ(table.rows[0][3], "0.000 s");  // no sign on nothing
    EXPECT_EQ(table.rows[5], (std::vector<std::string>{"1-2 shift RPM", "6500", "6500", "0"}));
    EXPECT_EQ(table.rows[6][3], "0.000 s");
    EXPECT_EQ(table.rows[8][1], "");  // the 2-3 shift came without the light
}

TEST(PassComparison, APassCutShortIsComparedAsFarAsItWent) {
    PassTrace pass = steadyPull(20, 800);
    const double reach = pass.reachFeet();
    PassTrace reference = steadyPull(21);
    reference.run.shifts.resize(3);
    reference.run.shifts[2].rpmBefore = 6300;
    const PassComparison c = comparePasses(pass, reference);
    ASSERT_FALSE(c.steps.empty());
    EXPECT_EQ(c.steps.back().feet, std::floor(reach / 5) * 5);
    EXPECT_TRUE(c.splits[2].behindSeconds);  // 660 ft
    EXPECT_FALSE(c.splits[3].passSeconds);   // 1000 ft
    EXPECT_TRUE(c.splits[3].referenceSeconds);
    EXPECT_FALSE(c.splits[3].behindSeconds);
    EXPECT_EQ(c.sections.size(), 3u);
    EXPECT_EQ(c.standing.rfind("At " + std::to_string(int(c.steps.back().feet)) + " ft: ", 0), 0u)
        << c.standing;
    // The reference's third shift has nothing of the pass's beside it.
    ASSERT_EQ(c.shifts.size(), 3u);
    EXPECT_FALSE(c.shifts[2].passRpm);
    EXPECT_EQ(c.shifts[2].referenceRpm, 6300);
    const CompareTable table = compareTable(c, "a", "b");
    EXPECT_EQ(table.rows[9], (std::vector<std::string>{"3-4 shift RPM", "", "6300", ""}));

    PassTrace rolling;
    rolling.reason = "Run 2 is not a standing start.";
    const PassComparison none = comparePasses(rolling, reference);
    EXPECT_TRUE(none.steps.empty());
    EXPECT_EQ(none.standing, "Run 2 is not a standing start.");
    EXPECT_EQ(none.lossText, "The passes do not both reach 60 ft.");
}

DataLog simulatedPass(unsigned seed, sim::Wheelspin spin) {
    const double interval = 0.048;
    DataLog log;
    loadDrive(log, sim::generateDragRun(interval, 368, seed, spin).fram, float(interval));
    return log;
}

TEST(PassTrace, ReachesEachMarkAtTheTimeSlipsTimeThroughWheelspin) {
    for (const auto spin : {sim::Wheelspin::None, sim::Wheelspin::Both}) {
        const PassTrace trace = passTrace(simulatedPass(3, spin), 1);
        ASSERT_TRUE(trace.reason.empty()) << trace.reason;
        ASSERT_GE(trace.reachFeet(), CompareFeet);
        EXPECT_EQ(spin == sim::Wheelspin::None, trace.run.wheelspin.empty());
        for (std::size_t m = 0; m < SlipFeet.size(); ++m) {
            const auto at = reachedAt(trace.points, SlipFeet[m]);
            ASSERT_TRUE(at && trace.run.slip.elapsed[m]);
            EXPECT_NEAR(at->time, *trace.run.slip.elapsed[m], 1e-9) << SlipFeet[m];
        }
        // The distance is integrated as far as the 1/4 mile and no farther.
        EXPECT_LT(trace.points[trace.points.size() - 2].feet, CompareFeet);
    }
    const PassTrace none = passTrace(simulatedPass(3, sim::Wheelspin::None), 2);
    EXPECT_TRUE(none.points.empty());
    EXPECT_EQ(none.reason, "The log has no run 2.");
}

}  // namespace
}  // namespace velkor::test
