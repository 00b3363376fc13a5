// Scale arithmetic of the gauges: labels (a step of 0 included), places along a linear gauge,
// colour bands on sections, dial angles.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "live/GaugeDesign.h"
#include "live/GaugeScale.h"

namespace velkor {
namespace {

using Labels = std::vector<double>;

TEST(LabelValues, RunFromFirstToLastWhateverTheStep) {
    EXPECT_EQ(labelValues(0, 5, 0.5), Labels({0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5}));
    EXPECT_EQ(labelValues(90, 100, 5), Labels({90, 95, 100}));
    // A step that does not divide the range stops at the last label below `last`.
    EXPECT_EQ(labelValues(0, 10, 4), Labels({0, 4, 8}));
    // Steps that are not exact in binary still reach the last label.
    EXPECT_EQ(labelValues(0, 0.3, 0.1).size(), 4u);
    EXPECT_EQ(labelValues(100, 0, -10), Labels({100, 90, 80, 70, 60, 50, 40, 30, 20, 10, 0}));
    // Degenerate ends give one label or none.
    EXPECT_EQ(labelValues(7, 7, 2), Labels({7}));
    EXPECT_TRUE(labelValues(std::nan(""), 5, 1).empty());
    EXPECT_TRUE(labelValues(0, std::numeric_limits<double>::infinity(), 1).empty());
    // A step of 0, or one that cannot reach the last label, still labels the scale: the
    // default scaled input 2 runs from 0 to 5 with a step of 0.
    EXPECT_EQ(labelValues(0, 5, 0), Labels({0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5}));
    EXPECT_EQ(labelValues(0, 150, 0), Labels({0, 20, 40, 60, 80, 100, 120, 140}));
    EXPECT_EQ(labelValues(0, 5, -1), labelValues(0, 5, 0));
    EXPECT_EQ(labelValues(5, 0, 1), Labels({5, 4.5, 4, 3.5, 3, 2.5, 2, 1.5, 1, 0.5, 0}));
    EXPECT_EQ(labelValues(0, 5, std::nan("")), labelValues(0, 5, 0));
    // Far too many labels for the gauge, and ends too far apart to step.
    EXPECT_EQ(labelValues(0, 1e9, 1e-9).size(), 11u);
    EXPECT_EQ(labelValues(-1e300, 1e300, 0).size(), 11u);
    EXPECT_EQ(labelValues(-1e308, 1e308, 1), Labels({-1e308, 1e308}));
}

TEST(NiceStep, PicksOneTwoTwoAndAHalfOrFiveTimesAPowerOfTen) {
    EXPECT_DOUBLE_EQ(niceStep(140, 10), 20);
    EXPECT_DOUBLE_EQ(niceStep(25, 10), 2.5);
    EXPECT_DOUBLE_EQ(niceStep(-50, 10), -5);
    EXPECT_DOUBLE_EQ(niceStep(0, 10), 0);
    EXPECT_DOUBLE_EQ(dialLabelStep(10), 1);
    EXPECT_DOUBLE_EQ(dialLabelStep(0), 1);
}

TEST(PlaceAlong, SectionsRunFrom095To009WithTheThrottlesTopTenthAtTwiceTheSpacing) {
    const auto& throttle = linearGaugeDesign(GaugeId::gauTPSPercent).sections;
    ASSERT_EQ(throttle.size(), 2u);
    const ScaleSection& lower = throttle[0].scale;
    const ScaleSection& upper = throttle[1].scale;
    EXPECT_DOUBLE_EQ(placeAlong(90, lower), 0.27);
    EXPECT_DOUBLE_EQ(placeAlong(90, upper), 0.27);
    EXPECT_DOUBLE_EQ(placeAlong(-0.5, lower), 0.95);  // off the section: pinned to its ends
    EXPECT_DOUBLE_EQ(placeAlong(102, upper), 0.09);
    const double perPercentBelow = (placeAlong(0, lower) - placeAlong(10, lower)) / 10;
    const double perPercentAbove = (placeAlong(90, upper) - placeAlong(100, upper)) / 10;
    EXPECT_NEAR(perPercentAbove / perPercentBelow, 2.0, 0.02);

    // Single sections run from 0.95 to 0.09 and survive odd ranges.
    const ScaleSection battery = linearGaugeDesign(GaugeId::gauBatVolts).sections.at(0).scale;
    EXPECT_DOUBLE_EQ(placeAlong(19, battery), 0.09);
    EXPECT_DOUBLE_EQ(placeAlong(9, battery), 0.52);
    EXPECT_DOUBLE_EQ(placeAlong(std::nan(""), battery), 0.95);
    EXPECT_DOUBLE_EQ(placeAlong(5, ScaleSection{3, 3, 0.95, 0.09}), 0.95);
    // A falling scale keeps its minimum at the foot.
    const ScaleSection falling{100, 0, 0.95, 0.09};
    EXPECT_DOUBLE_EQ(placeAlong(100, falling), 0.95);
    EXPECT_DOUBLE_EQ(placeAlong(0, falling), 0.09);
}

TEST(BandOnSection, BandsAreCutToTheSectionTheyLieOn) {
    const auto& throttle = linearGaugeDesign(GaugeId::gauTPSPercent);
    const ColourBand& band = throttle.bands.at(0);
    const auto lower = bandOnSection(band.start, band.end, throttle.sections[0].scale);
    ASSERT_TRUE(lower);
    EXPECT_DOUBLE_EQ(lower->top, 0.27);
    EXPECT_DOUBLE_EQ(lower->bottom, 0.95);
    // The band only touches the upper section at 90.
    EXPECT_FALSE(bandOnSection(band.start, band.end, throttle.sections[1].scale));

    const ScaleSection map{-1, 16, 0.95, 0.09};
    const auto psi = bandOnSection(16, 0, map);  // either order
    ASSERT_TRUE(psi);
    EXPECT_NEAR(psi->bottom, placeAlong(0, map), 1e-12);
    EXPECT_DOUBLE_EQ(psi->top, 0.09);
    EXPECT_FALSE(bandOnSection(20, 30, map));
}

TEST(LabelStrideAndDialAngle, ThinCollidingLabelsAndPinTheNeedleAtTheEnds) {
    EXPECT_EQ(labelStride(20, 14), 1);
    EXPECT_EQ(labelStride(7, 14), 2);
    EXPECT_EQ(labelStride(5, 14), 3);
    EXPECT_EQ(labelStride(std::nan(""), 14), 1);
    EXPECT_EQ(labelStride(1e-300, 14), MaxLabels);
    // The dial sweeps clockwise from the lower left.
    EXPECT_DOUBLE_EQ(dialAngle(5, 10), 90);
    EXPECT_DOUBLE_EQ(dialAngle(12, 10), -45);
    EXPECT_DOUBLE_EQ(dialAngle(-1, 10), 225);
    EXPECT_DOUBLE_EQ(dialAngle(3, 0), 225);
    // A bar's read-out has two decimals on spans up to 6, one up to 60, none beyond.
    EXPECT_EQ((std::vector<int>{readoutDecimals(-6), readoutDecimals(6.5), readoutDecimals(60),
                                readoutDecimals(61)}),
              (std::vector<int>{2, 1, 1, 0}));
}

}  // namespace
}  // namespace velkor
