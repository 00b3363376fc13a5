// The gauges and the frame "Real Time Data" as widgets, offscreen, and a live view on the main
// window against velkor-sim on a pseudo-terminal, with a picture of it.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <limits>
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

// Paints a widget into an image at its size; returns once the painting is done.
QImage painted(QWidget& widget, QSize size) {
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget.render(&image);
    return image;
}

TEST(LinearGaugeWidget, MembersAddressTheCurrentSectionAndTheFirstBand) {
    LinearGauge gauge(linearGaugeDesign(GaugeId::gauTPSPercent));
    gauge.setMember(GaugeMember::ScaleIndex, 1);
    gauge.setMember(GaugeMember::ScaleMaximum, 110);
    gauge.setMember(GaugeMember::LabelStep, 2);
    gauge.setMember(GaugeMember::BandEnd, 95);
    EXPECT_EQ(gauge.sections()[1].scale.maximum, 110);
    EXPECT_EQ(gauge.sections()[1].labels.step, 2);
    EXPECT_EQ(gauge.sections()[0].scale.maximum, 90);
    EXPECT_EQ(gauge.sections()[0].labels.step, 10);
    EXPECT_EQ(gauge.bands()[0].end, 95);
    // An index beyond the sections is pinned to the nearest one.
    gauge.setMember(GaugeMember::ScaleIndex, 7);
    EXPECT_EQ(gauge.scaleIndex(), 1);
    gauge.setMember(GaugeMember::ScaleIndex, -2);
    EXPECT_EQ(gauge.scaleIndex(), 0);

    LinearGauge battery(linearGaugeDesign(GaugeId::gauBatVolts));
    battery.setMember(GaugeMember::ScaleIndex, 1);
    EXPECT_EQ(battery.scaleIndex(), 0);
    battery.setMember(GaugeMember::BandStart, 0);
    EXPECT_EQ(battery.bands()[0].start, 0);
    EXPECT_EQ(battery.bands()[1].start, 11);  // the design's further bands stay
    for (const auto member : {GaugeMember::Member38, GaugeMember::Member55, GaugeMember::Member3,
                              GaugeMember::Member64}) {
        battery.setMember(member, 4);
        EXPECT_EQ(battery.keptMember(member), 4);
    }
    EXPECT_EQ(battery.sections()[0].scale.minimum, -1);
    EXPECT_EQ(battery.value(), 0);
}

TEST(LinearGaugeWidget, PaintsAnyScaleItIsGivenIncludingALabelStepOf0) {
    LinearGauge gauge(linearGaugeDesign(GaugeId::gauInput2Analog));
    const struct {
        double min, max, first, last, step, value;
    } scales[] = {
        {0, 5, 0, 5, 0, 2.5},                       // the default scaled input 2
        {0, 500, 0, 500, 50, 250},                  // 1 V..4 V as 100..400
        {100, 0, 100, 0, -10, 30},                  // falling values
        {-100, 150, -100, 150, 25, 1e9},            // a reading off the scale
        {0, 1e9, 0, 1e9, 1e-9, std::nan("")},       // far too many labels
        {3, 3, 3, 3, 0, 3},                         // no range at all
        {-1e308, 1e308, -1e308, 1e308, 0, -1e308},  // ends too far apart to step
        {0, 5, 0, 5, std::numeric_limits<double>::infinity(), 1},
    };
    for (const auto& s : scales) {
        gauge.setMember(GaugeMember::ScaleMinimum, s.min);
        gauge.setMember(GaugeMember::ScaleMaximum, s.max);
        gauge.setMember(GaugeMember::FirstLabel, s.first);
        gauge.setMember(GaugeMember::LastLabel, s.last);
        gauge.setMember(GaugeMember::LabelStep, s.step);
        gauge.setMember(GaugeMember::Value, s.value);
        QElapsedTimer timer;
        timer.start();
        const QImage image = painted(gauge, {84, 300});
        EXPECT_LT(timer.elapsed(), 1000) << s.min << ".." << s.max << " step " << s.step;
        EXPECT_FALSE(image.isNull());
    }
}

TEST(CircularGaugeWidget, TheCaptionWritesTheSelectedTextItem) {
    CircularGauge dial("MPH", "SPEED");
    EXPECT_EQ(dial.textItem(3), "0");
    dial.setTextSelector(1);
    dial.setCaption("KPH");
    dial.setTextSelector(3);
    dial.setCaption("97");
    EXPECT_EQ(dial.textItem(1), "KPH");
    EXPECT_EQ(dial.textItem(2), "SPEED");
    EXPECT_EQ(dial.textItem(3), "97");
    dial.setTextSelector(9);
    dial.setCaption("lost");
    EXPECT_EQ(dial.textItem(3), "97");
    dial.setFullScale(0);
    dial.setValue(-5);
    EXPECT_FALSE(painted(dial, {200, 200}).isNull());
}

TEST(RealTimePanelWidget, EveryElementCarriesItsNameAndDesignText) {
    RealTimePanel panel;
    EXPECT_EQ(panel.objectName(), "fraRealTimeData");
    EXPECT_EQ(panel.title(), "Real Time Data");
    QStringList labels;
    for (const char* name :
         {"lblInputs", "lblArm", "lblGPI", "lblOutputs", "lblShiftLED", "lblLaunchLED",
          "lblAlarmVSS", "lblAlarm1", "lblAlarm2", "lblGPO", "lblStatusLegend", "lblStatus"}) {
        const auto* label = panel.findChild<QLabel*>(name);
        labels << (label != nullptr ? label->text() : QString("?") + name);
    }
    EXPECT_EQ(labels.join('|'),
              "INPUTS|ARM INPUT|GPI|OUTPUTS|SHIFT LIGHT|LAUNCH LIGHT|VSS ALARM|ALARM 1|ALARM 2|"
              "GPO (ACTIVE LOW)|STATUS|");
    EXPECT_NE(panel.findChild<QFrame*>("Frame1")->findChild<LampShape*>("shpLED_ArmIn"), nullptr);
    EXPECT_NE(panel.findChild<QFrame*>("fraOutputStatus")->findChild<LampShape*>("shpLED_GPO"),
              nullptr);
    EXPECT_EQ(panel.findChild<QPushButton*>("cmdCloseRealTimeData")->text(), "Close");

    // Before any live view the gauges of the default preferences show, one of each kind.
    QStringList gauges;
    for (const char* name : {"gauTPSPercent", "gauTPSVolts", "gauBatVolts", "gauInput1Analog",
                             "gauInput1AFR", "gauMAP", "gauInput2Analog", "gauInput2AFR"}) {
        const auto* gauge = panel.findChild<LinearGauge*>(name);
        gauges << (gauge != nullptr ? gauge->caption() + (gauge->isVisibleTo(&panel) ? "+" : "")
                                    : QString("?"));
    }
    EXPECT_EQ(gauges.join('|'), "TPS%+|TPS V|BAT V+|INPUT1+|AFR 1|MAP|INPUT2+|AFR 2");
    EXPECT_EQ(panel.gauTach->textItem(2) + "|" + panel.gauTach->textItem(1), "RPM|x 1000");
    EXPECT_EQ(panel.gauSpeedometer->textItem(2) + "|" + panel.gauSpeedometer->textItem(1),
              "SPEED|MPH");

    // Green until the first poll, the arm input and the GPO red.
    for (int i = 0; i < LampCount; ++i) {
        const auto id = static_cast<LampId>(i);
        const bool red = id == LampId::shpLED_ArmIn || id == LampId::shpLED_GPO;
        EXPECT_EQ(panel.lamp(id)->fillColour(), red ? ColourRed : ColourGreen) << lampName(id);
    }
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
    EXPECT_TRUE(panel.gauge(GaugeId::gauMAP)->updatesEnabled());  // not written
    display.setDialMember(DialId::gauTach, DialMember::Value, 6.5);
    display.setDialMember(DialId::gauTach, DialMember::TextSelector, 3);
    display.setDialCaption(DialId::gauTach, "6500");
    display.setStatusText("Armed\r\nTPS Volts: 2.50");
    EXPECT_DOUBLE_EQ(panel.gauTach->value(), 6.5);
    EXPECT_EQ(panel.gauTach->textItem(3), "6500");
    EXPECT_EQ(panel.lblStatus->text(), "Armed\nTPS Volts: 2.50");
    display.endRefresh();
    EXPECT_TRUE(panel.gauge(GaugeId::gauBatVolts)->updatesEnabled());
    EXPECT_TRUE(panel.gauTach->updatesEnabled());
    EXPECT_TRUE(panel.lamp(LampId::shpLED_Shift)->updatesEnabled());
    EXPECT_TRUE(panel.lblStatus->updatesEnabled());
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
    window.setTachometerLimits(6.5, 10);
    window.setSpeedometerLimits(85, 140);
    window.show();
    EXPECT_TRUE(window.tmrDataRead->isActive());
    EXPECT_EQ(window.tmrDataRead->interval(), 500);

    window.mnuViewRealTime->trigger();
    QTest::qWait(20);
    ASSERT_TRUE(data->state.RealTimeActive) << ::testing::PrintToString(prompts.messageTexts());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(window.fraRealTimeData->isVisible());
    EXPECT_FALSE(window.fraIdle->isVisible());
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
    EXPECT_TRUE(prompts.shown().empty());
    window.grab().save(QDir::current().filePath("live_view.png"));

    QTest::mouseClick(window.cmdCloseRealTimeData, Qt::LeftButton);
    EXPECT_FALSE(data->state.RealTimeActive);
    EXPECT_FALSE(window.fraRealTimeData->isVisible());
    EXPECT_TRUE(window.fraIdle->isVisible());
    EXPECT_FALSE(window.context().port.isOpen());
    const auto bytes = simulator.received().size();
    QTest::qWait(1200);
    EXPECT_EQ(simulator.received().size(), bytes);  // the timer ticks on, reading nothing
}

}  // namespace
}  // namespace velkor::test
