// The spread and trend of a series of passes with figures missing here and there, over the spans
// a racer picks; and a pass's figures taken from the run analysis.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "analysis/RunAnalysis.h"
#include "logbook/Consistency.h"

namespace velkor::test {
namespace {

using Value = std::optional<double>;

Pass pass(const char* date, Value et, Value sixty, Value trap, Value reaction) {
    Pass p;
    p.downloadDate = date;
    p.et1320 = et;
    p.et60 = sixty;
    p.trapMph = trap;
    p.bestReaction = reaction;
    return p;
}

// Oldest first, over three race days.
const std::vector<Pass> Series = {
    pass("2026-05-02", 10.40, 1.50, 128.0, 0.30),
    pass("2026-05-02T16:40:00", 10.20, std::nullopt, 130.0, 0.25),
    pass("2026-05-16", std::nullopt, 1.46, std::nullopt, 0.20),
    pass("2026-05-16T18:05", 10.30, 1.44, 129.5, std::nullopt),
    pass("2026-05-30", 10.10, 1.42, 131.5, 0.15),
};

// ET: 10.40 10.20 10.30 10.10, mean 10.25, squares 0.0225 + 0.0025 + 0.0025 + 0.0225 = 0.05,
// sd = sqrt(0.05 / 3) = 0.1290994.
TEST(Consistency, MissingFiguresAreSkippedNotZero) {
    const Consistency all = consistency(Series, PassSpan::all());
    EXPECT_EQ(all.passes, 5);
    EXPECT_EQ(all.et.count, 4);
    EXPECT_NEAR(*all.et.mean, 10.25, 1e-12);
    EXPECT_NEAR(*all.et.standardDeviation, 0.1290994, 1e-7);
    EXPECT_EQ(*all.et.min, 10.10);
    EXPECT_EQ(*all.et.max, 10.40);
    EXPECT_EQ(all.sixtyFoot.count + all.trapMph.count + all.reaction.count, 12);
    const FigureSummary one = summarise({std::nan(""), 10.5});
    EXPECT_EQ(one.count, 1);
    EXPECT_FALSE(one.standardDeviation);
}

TEST(Consistency, Spans) {
    // The last three passes count whether or not they have the figure: ET rests on two.
    const Consistency last = consistency(Series, PassSpan::last(3));
    EXPECT_EQ(last.passes, 3);
    EXPECT_EQ(last.et.count, 2);
    EXPECT_NEAR(*last.et.standardDeviation, std::sqrt(0.02), 1e-12);
    // A date span takes both of its days whole, whatever a pass's time of day.
    const Consistency days = consistency(Series, PassSpan::between("2026-05-02", "2026-05-16"));
    EXPECT_EQ(days.passes, 4);
    EXPECT_NEAR(*days.et.mean, 10.30, 1e-12);
    EXPECT_EQ(consistency(Series, PassSpan::between("2026-05-03", "2026-05-15")).passes, 0);
}

// ET's rolling mean of 2: the third pass has none and the first value has no partner yet.
TEST(Consistency, RollingMeanOverTheValuesPresent) {
    const std::vector<Value> two = rollingMean(Series, PassFigure::Et, 2);
    ASSERT_EQ(two.size(), 5u);
    EXPECT_FALSE(two[0] || two[2]);
    EXPECT_NEAR(two[1].value_or(0), 10.30, 1e-12);
    EXPECT_NEAR(two[3].value_or(0), 10.25, 1e-12);
    EXPECT_NEAR(two[4].value_or(0), 10.20, 1e-12);
}

// The time slip's marks go to their own figures; a run without a mark leaves it empty.
TEST(Pass, FiguresFromTheRunAnalysis) {
    RunResult run;
    run.slip.elapsed = {1.45, 4.1, 6.4, std::nullopt, 10.05};
    run.slip.trapQuarterMph = 131.2;
    run.accelMph = {1.9, 3.8, std::nullopt};
    run.bestReaction = 0.18;
    run.peakRpm = 7150;
    const Pass p = passFromRun(run, "/logs/saturday.log", 2, "2026-05-30T14:12:00");
    EXPECT_EQ(figureOf(p, PassFigure::SixtyFoot), 1.45);
    EXPECT_FALSE(p.et1000);
    EXPECT_EQ(figureOf(p, PassFigure::Et), 10.05);
    EXPECT_EQ(figureOf(p, PassFigure::TrapMph), 131.2);
    EXPECT_EQ(p.zeroToSixty, 3.8);
    EXPECT_EQ(figureOf(p, PassFigure::Reaction), 0.18);
    EXPECT_FALSE(passFromRun(RunResult{}, "", 1, "").peakRpm);
}

}  // namespace
}  // namespace velkor::test
