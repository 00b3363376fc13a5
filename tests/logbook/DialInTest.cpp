// The dial-in's line of elapsed time against density altitude, worked by hand, and the passes
// it will not rest a prediction on.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "logbook/DensityAltitude.h"
#include "logbook/DialIn.h"
#include "logbook/Pass.h"

namespace velkor::test {
namespace {

// Passes (density altitude ft, ET s): (1000, 10.00) (2000, 10.10) (3000, 10.15) (4000, 10.30)
// mean x = 2500, mean ET = 10.1375; x - mean = -1500, -500, 500, 1500; Sxx = 5,000,000
// ET - mean = -0.1375, -0.0375, 0.0125, 0.1625; Sxy = 206.25 + 18.75 + 6.25 + 243.75 = 475
// slope = 475 / 5e6 = 0.000095 s/ft (0.095 s per 1000 ft); intercept 10.1375 - 0.2375 = 9.9
// fitted 9.995, 10.090, 10.185, 10.280; residuals 0.005, 0.010, -0.035, 0.020
// SSE = 0.000025 + 0.0001 + 0.001225 + 0.0004 = 0.00175; s = sqrt(0.00175 / 2) = 0.0295804
// at 3500 ft: ET 9.9 + 0.3325 = 10.2325, SE = s sqrt(1 + 1/4 + 1000^2 / 5e6) = 0.0356195
// at -500 ft, 3000 ft from the mean, the error widens: s sqrt(1 + 1/4 + 3000^2 / 5e6)
TEST(DialIn, HandWorkedLine) {
    const std::vector<WeatherPoint> passes = {
        {4000, 10.30}, {1000, 10.00}, {3000, 10.15}, {2000, 10.10}};
    const DialIn dialIn = predictDialIn(passes, 3500);
    ASSERT_TRUE(dialIn.et) << dialIn.note;
    EXPECT_NEAR(*dialIn.et, 10.2325, 1e-9);
    EXPECT_NEAR(*dialIn.standardError, 0.0356195, 1e-7);
    EXPECT_NEAR(*dialIn.slopePer1000Ft, 0.095, 1e-12);
    EXPECT_EQ(dialIn.passes, 4);
    EXPECT_TRUE(dialIn.note.empty());
    EXPECT_NEAR(fitDialInLine(passes)->standardErrorAt(-500), 0.0295804 * std::sqrt(3.05), 1e-7);
}

TEST(DialIn, TooFewPassesGiveNoPrediction) {
    for (const std::vector<WeatherPoint>& points :
         {std::vector<WeatherPoint>{},
          {{1000, 10.0}, {3000, 10.2}},
          {{1000, 10.0}, {3000, 10.2}, {std::nan(""), 10.1}}}) {
        const DialIn dialIn = predictDialIn(points, 2000);
        EXPECT_FALSE(dialIn.et || dialIn.standardError || dialIn.slopePer1000Ft);
        EXPECT_EQ(dialIn.note, "needs at least 3 passes with weather");
        EXPECT_LE(dialIn.passes, 2);
    }
}

// Passes all run in the same air say nothing of how the air moves the elapsed time.
TEST(DialIn, PassesInOneAirGiveNoSlope) {
    const DialIn dialIn =
        predictDialIn({{2345.1, 10.0}, {2345.6, 10.2}, {2345.1, 10.1}, {2345.3, 10.05}}, 3000);
    EXPECT_FALSE(dialIn.et || dialIn.slopePer1000Ft);
    EXPECT_EQ(dialIn.passes, 4);
    EXPECT_EQ(dialIn.note, "needs passes with weather at more than one density altitude");
}

// Only passes with an elapsed time and all of their weather, and weather that can be, count.
TEST(DialIn, WeatherPointsOfPasses) {
    Pass pass;
    pass.et1320 = 10.1;
    pass.tempF = 85;
    pass.baroInHg = 29.1;
    pass.humidityPct = 40;
    std::vector<Pass> passes(4, pass);
    passes[1].et1320.reset();
    passes[2].humidityPct.reset();
    passes[3].baroInHg = 991;  // hPa
    const std::vector<WeatherPoint> points = weatherPoints(passes);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_DOUBLE_EQ(points[0].densityAltitudeFt, *densityAltitude({85, 29.1, 40}).feet);
}

}  // namespace
}  // namespace velkor::test
