// The gauges' scale arithmetic (labels, places along a linear gauge, colour bands, dial angles),
// the gauges and the frame "Real Time Data" as widgets, offscreen, and a live view on the main
// window against velkor-sim on a pseudo-terminal, with a picture of it.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "app/frmMain.h"
#include "base/SerialPort.h"
#include "live/CircularGauge.h"
#include "live/GaugeDesign.h"
#include "live/GaugeScale.h"
#include "live/LampShape.h"
#include "live/LinearGauge.h"
#include "live/RealTimePanel.h"
#include "sim/Simulator.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

using Labels = std::vector<double>;

TEST(LabelValues, RunFromFirstToLastWhateverTheStep) {
    EXPECT_EQ(labelValues(0, 5, 0.5), Labels({0, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5}));
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
    EXPECT_EQ((Labels{niceStep(140, 10), niceStep(25, 10), niceStep(-50, 10), niceStep(0, 10),
                      dialLabelStep(10), dialLabelStep(0)}),
              (Labels{20, 2.5, -5, 0, 1, 1}));
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

TEST(LinearGaugeWidget, MembersAddressTheCurrentSectionAndTheFirstBand) {
    LinearGauge gauge(linearGaugeDesign(GaugeId::gauBatVolts));
    gauge.setMember(GaugeMember::BandStart, 0);
    EXPECT_EQ(gauge.bands()[0].start, 0);
    EXPECT_EQ(gauge.bands()[1].start, 11);  // the design's further bands stay

    LinearGauge throttle(linearGaugeDesign(GaugeId::gauTPSPercent));
    throttle.setMember(GaugeMember::ScaleIndex, 1);
    throttle.setMember(GaugeMember::ScaleMaximum, 110);
    throttle.setMember(GaugeMember::LabelStep, 2);
    const auto& sections = throttle.sections();
    EXPECT_EQ((std::vector<double>{sections[0].scale.maximum, sections[0].labels.step,
                                   sections[1].scale.maximum, sections[1].labels.step}),
              (std::vector<double>{90, 10, 110, 2}));
    // An index beyond the sections is pinned to the nearest one.
    throttle.setMember(GaugeMember::ScaleIndex, 7);
    EXPECT_EQ(throttle.scaleIndex(), 1);
    throttle.setMember(GaugeMember::ScaleIndex, -2);
    EXPECT_EQ(throttle.scaleIndex(), 0);
}

TEST(RealTimePanelWidget, ATickTakesEffectAtOnceAndIsDrawnWhenItEnds) {
    RealTimePanel panel;
    LiveDisplay& display = panel;
    display.beginRefresh();
    display.setGaugeMember(GaugeId::gauBatVolts, GaugeMember::Value, 13.8);
    display.setLampColour(LampId::shpLED_Shift, LampLit);
    EXPECT_DOUBLE_EQ(panel.gauge(GaugeId::gauBatVolts)->value(), 13.8);
    EXPECT_EQ(panel.lamp(LampId::shpLED_Shift)->fillColour(), LampLit);
    EXPECT_FALSE(panel.gauge(GaugeId::gauBatVolts)->updatesEnabled());
    display.setStatusText("Armed\r\nTPS Volts: 2.50");
    EXPECT_EQ(panel.lblStatus->text(), "Armed\nTPS Volts: 2.50");
    display.endRefresh();
    EXPECT_TRUE(panel.gauge(GaugeId::gauBatVolts)->updatesEnabled());
    EXPECT_TRUE(panel.lamp(LampId::shpLED_Shift)->updatesEnabled());
    // Outside a tick every write is drawn as it comes.
    display.setGaugeMember(GaugeId::gauBatVolts, GaugeMember::Value, 12);
    EXPECT_TRUE(panel.gauge(GaugeId::gauBatVolts)->updatesEnabled());
}

TEST(LiveViewOnTheSimulator, TheMainWindowPollsMovingValuesUntilClosed) {
    const QString ports = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Velkor/ports";
    ASSERT_TRUE(QDir().mkpath(ports));
    sim::Config config;
    config.eeprom = sim::makeEeprom(6, 26, 230);
    config.linkPath = (ports + "/com1").toStdString();
    sim::Simulator simulator(config);
    simulator.start();

    auto data = std::make_unique<AppData>();
    data->prefs.CommPortNumber = 1;
    data->prefs.Input1Type = "MAP 2 bar";
    data->prefs.PressureUnits = "psi";
    data->prefs.Input2Type = "AFR";
    data->prefs.VSSUnits = "KPH";
    ScriptedPrompts prompts;
    frmMain window(*data, prompts, {});
    window.show();

    window.mnuViewRealTime->trigger();
    QTest::qWait(20);
    ASSERT_TRUE(data->state.RealTimeActive);
    const auto shown = [&](GaugeId gauge) {
        return window.fraRealTimeData->gauge(gauge)->isVisible();
    };
    EXPECT_TRUE(window.fraRealTimeData->isVisible() && shown(GaugeId::gauMAP) &&
                shown(GaugeId::gauInput2AFR) && !shown(GaugeId::gauInput1Analog));

    // The simulated car idles for 3 s and then pulls: the readings move from tick to tick.
    QSet<QString> readouts;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 9000 && (readouts.size() < 4 || window.gauTach->value() < 4.0)) {
        QTest::qWait(50);
        readouts.insert(window.gauTach->textItem(3));
    }
    EXPECT_GE(readouts.size(), 4);
    EXPECT_GE(window.gauTach->value(), 4.0);  // what the wait above waited for
    EXPECT_EQ(window.fraRealTimeData->lblStatus->text(), "Power On - Not Armed");
    EXPECT_EQ(window.gauSpeedometer->textItem(1), "KPH");
    EXPECT_GT(window.fraRealTimeData->gauge(GaugeId::gauTPSPercent)->value(), 85);  // pulling
    EXPECT_NEAR(window.fraRealTimeData->gauge(GaugeId::gauBatVolts)->value(), 13.8, 0.3);
    window.grab().save(QDir::current().filePath("live_view.png"));

    QTest::mouseClick(window.cmdCloseRealTimeData, Qt::LeftButton);
    EXPECT_FALSE(data->state.RealTimeActive);
    EXPECT_TRUE(window.fraIdle->isVisible());
    EXPECT_FALSE(window.context().port.isOpen());
}

}  // namespace
}  // namespace velkor::test
