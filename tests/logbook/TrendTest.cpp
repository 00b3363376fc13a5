// The trend of a figure over the passes: which passes the span takes in, the mean and spread
// over them, and the four figures' table.

#include <gtest/gtest.h>

#include "logbook/Trend.h"

namespace velkor::test {
namespace {

// Twelve passes a day apart, ET 12.00, 12.10, ... with pass 4 missing its ET.
std::vector<Pass> season() {
    std::vector<Pass> passes;
    for (int i = 0; i < 12; ++i) {
        Pass pass;
        pass.id = 100 + i;
        pass.downloadDate = "2026-06-" + std::to_string(10 + i) + "T14:00:00";
        if (i != 3) {
            pass.et1320 = 12.0 + 0.1 * i;
        }
        pass.trapMph = 110 + i;
        passes.push_back(pass);
    }
    return passes;
}

TEST(Trend, TheSpanTakesTheLatestPassesAndTheirMeanAndSpread) {
    const FigureTrend last5 = figureTrend(season(), PassFigure::Et, PassSpan::last(5));
    ASSERT_EQ(last5.points.size(), 11u);  // pass 4 has no ET
    EXPECT_EQ(last5.points[3].number, 5);
    EXPECT_EQ(last5.points[3].date, "2026-06-14");
    EXPECT_EQ(last5.firstInSpan, 8);
    EXPECT_EQ(last5.lastInSpan, 12);
    int inSpan = 0;
    for (const TrendPoint& point : last5.points) {
        inSpan += point.inSpan ? 1 : 0;
        EXPECT_EQ(point.inSpan, point.number >= 8) << point.number;
    }
    EXPECT_EQ(inSpan, 5);
    // 12.7 .. 13.1: mean 12.9, sample SD sqrt(0.1 / 4) = 0.158.
    EXPECT_NEAR(*last5.summary.mean, 12.9, 1e-9);
    EXPECT_NEAR(*last5.summary.standardDeviation, 0.1581139, 1e-6);

    // A span reaching back past pass 4 counts it among the passes but not among the values.
    const FigureTrend last10 = figureTrend(season(), PassFigure::Et, PassSpan::last(10));
    EXPECT_EQ(last10.firstInSpan, 3);
    EXPECT_EQ(last10.summary.count, 9);
    EXPECT_EQ(trendText(season(), PassFigure::Et, last10, "Last 10"),
              "Passes 1 to 12, 2026-06-10 to 2026-06-21. Mean and spread over passes 3 to 12 "
              "(Last 10).");
}

TEST(Trend, TableSummarisesEachFigureOverTheSpan) {
    const TrendTable table = trendTable(season(), PassSpan::last(2));
    ASSERT_EQ(table.rows.size(), 4u);
    EXPECT_EQ(table.rows[0],
              (std::vector<std::string>{"ET (s)", "2", "13.050", "0.071", "13.000", "13.100"}));
    EXPECT_EQ(table.rows[2], (std::vector<std::string>{"Trap speed (MPH)", "2", "120.50", "0.71",
                                                       "120.00", "121.00"}));
    EXPECT_EQ(table.rows[3], (std::vector<std::string>{"Reaction (s)", "0", "", "", "", ""}));
    EXPECT_EQ(trendText({}, PassFigure::Et, {}, "All passes"), "No passes in the logbook yet.");
}

}  // namespace
}  // namespace velkor::test
