// The gauges and the frame "Real Time Data" as widgets, offscreen, and a live view on the main
// window against velkor-sim on a pseudo-terminal, with a picture of it.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <memory>

#include "app/frmMain.h"
#include "base/SerialPort.h"
#include "live/CircularGauge.h"
#include "live/LampShape.h"
#include "live/LinearGauge.h"
#include "live/RealTimePanel.h"
#include "sim/Simulator.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

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

TEST(CircularGaugeWidget, TheCaptionWritesTheSelectedTextItem) {
    CircularGauge dial("MPH", "SPEED");
    dial.setTextSelector(1);
    dial.setCaption("KPH");
    dial.setTextSelector(3);
    dial.setCaption("97");
    dial.setTextSelector(9);  // no such item
    dial.setCaption("lost");
    EXPECT_EQ(dial.textItem(1) + "|" + dial.textItem(2) + "|" + dial.textItem(3), "KPH|SPEED|97");
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
    ScriptedPrompts prompts;
    frmMain window(*data, prompts, {});
    window.show();

    window.mnuViewRealTime->trigger();
    QTest::qWait(20);
    ASSERT_TRUE(data->state.RealTimeActive);
    EXPECT_TRUE(window.fraRealTimeData->isVisible());
    EXPECT_TRUE(window.fraRealTimeData->gauge(GaugeId::gauMAP)->isVisible());
    EXPECT_TRUE(window.fraRealTimeData->gauge(GaugeId::gauInput2AFR)->isVisible());
    EXPECT_FALSE(window.fraRealTimeData->gauge(GaugeId::gauInput1Analog)->isVisible());

    // The simulated car idles for 3 s and then pulls: the readings move from tick to tick.
    QSet<QString> readouts;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 9000 && (readouts.size() < 4 || window.gauTach->value() < 4.0)) {
        QTest::qWait(50);
        readouts.insert(window.gauTach->textItem(3));
    }
    EXPECT_GE(readouts.size(), 4);
    EXPECT_GT(window.gauTach->value(), 4.0);
    EXPECT_EQ(window.fraRealTimeData->lblStatus->text(), "Power On - Not Armed");
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
