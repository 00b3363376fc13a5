// Starting the live view: the link checks, the warnings, and the gauges chosen and
// scaled from the preferences.

#include "app/StartUp.h"
#include "live/LiveTestSupport.h"

namespace velkor::test {
namespace {

// The writes to one gauge, in order, each "member=value" and a blank between.
std::string writesTo(const RecordingLiveDisplay& display, const std::string& name) {
    std::string found;
    for (const auto& write : display.writes) {
        if (write.rfind(name + ".", 0) == 0) {
            found += (found.empty() ? "" : " ") + write.substr(name.size() + 1);
        }
    }
    return found;
}

// Every gauge whose visibility was set, by name, "+" shown and "-" hidden.
std::string gaugesSet(const RecordingLiveDisplay& display) {
    std::string found;
    for (const auto& [name, on] : display.shown) {
        found += (found.empty() ? "" : " ") + name + (on ? "+" : "-");
    }
    return found;
}

using RealTimeViewTest = LiveTest;

TEST_F(RealTimeViewTest, NoControllerShowsOnlyTheLinkMessageAndNothingStarts) {
    unplugged = true;
    data->state.CommErrorCount = 4;
    prompts.answerMessages({Answer::Ok});
    mnuViewRealTime_Click(link);

    const ShownPrompt shown = prompts.messages().at(0);
    EXPECT_EQ(
        shown.title + ": " + shown.text,
        "View Real Time Data: Cannot establish RS-232 link. Check cable and controller power.");
    EXPECT_EQ(shown.icon, Icon::Exclamation);
    EXPECT_FALSE(view.realTimeShown);
    EXPECT_FALSE(data->state.RealTimeActive);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(live().writes.empty());
    EXPECT_EQ(data->state.CommErrorCount, 4);
}

TEST_F(RealTimeViewTest, ControllerAnsweringTheThirdReSyncStartsWithoutAMessage) {
    sim::Faults faults;
    faults.resyncIgnored = 2;
    controller.setFaults(faults);
    data->state.CommErrorCount = 3;
    data->log.FRAMBuffer[100] = 7;
    data->log.RPMData.at(1) = 4321;  // a downloaded log stays
    start();

    auto bytes = port.writtenValues();
    bytes.resize(4);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{51, 51, 51, 16}));
    EXPECT_EQ(data->state.CommErrorCount, 0);
    EXPECT_EQ(data->log.ControllerType, "Shift Light");
    EXPECT_EQ(data->log.TPSMin, 26);
    EXPECT_EQ(data->log.TPSMax, 230);
    EXPECT_EQ(data->log.FRAMBuffer[100], 0);
    EXPECT_EQ(data->log.RPMData.at(1), 4321);
}

TEST_F(RealTimeViewTest, UnidentifiedControllerAndUnreadableScaleFactorsWarnButStillStart) {
    controller.setFirmwareId("");
    // The controller will not take address 21, where the scale factors are.
    intercept = refusingAddress(controller, 21);
    data->log.TPSMin = 1;
    data->log.TPSMax = 2;
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuViewRealTime_Click(link);

    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{
                  "Error - invalid firmware ID. Unable to identify controller version.\r\n"
                  "Some data may be incorrectly scaled.",
                  "Error - unable to read TPS scale factors.\r\n"
                  "TPS percent data may be incorrectly scaled."}));
    for (const auto& shown : prompts.messages()) {
        EXPECT_EQ(shown.title, "View Real Time Data");
        EXPECT_EQ(shown.icon, Icon::Exclamation);
    }
    EXPECT_EQ(data->log.ControllerType, "Unknown");
    EXPECT_EQ(data->log.TPSMin, 26);
    EXPECT_EQ(data->log.TPSMax, 230);
    EXPECT_TRUE(data->state.RealTimeActive);
}

TEST_F(RealTimeViewTest, DefaultPreferencesShowPercentThrottleAnalogInputsAndTheSpeedUnit) {
    data->prefs.VSSUnits = "KPH";
    start();
    // The battery gauge is not touched.
    EXPECT_EQ(gaugesSet(live()),
              "gauInput1AFR- gauInput1Analog+ gauInput2AFR- gauInput2Analog+ gauMAP- "
              "gauTPSPercent+ gauTPSVolts-");
    // Input 2 "Analog" is given the 0 V to 5 V scale again.
    EXPECT_EQ(writesTo(live(), "gauInput2Analog"),
              "visible=1 10=-0.2 11=5.2 57=-0.2 56=5.2 72=0 73=5 62=0.5");
    EXPECT_EQ(live().member(DialId::gauSpeedometer, DialMember::TextSelector), 1);
    EXPECT_EQ(live().text(DialId::gauSpeedometer, 1), "KPH");

    // Volts mode and ratio inputs swap the gauges.
    cmdCloseRealTimeData_Click(ctx);
    data->prefs.TPSPercentDisplay = false;
    data->prefs.Input1Type = "AFR";
    data->prefs.Input2Type = "AFR";
    start();
    EXPECT_EQ(gaugesSet(live()),
              "gauInput1AFR+ gauInput1Analog- gauInput2AFR+ gauInput2Analog- gauMAP- "
              "gauTPSPercent- gauTPSVolts+");
}

TEST_F(RealTimeViewTest, ScaledInput2GaugeSpansTheScaledValuesOf0To5Volts) {
    const struct {
        float minVolts, maxVolts, minValue, maxValue;
        const char* scale;  // gauInput2Analog after it is shown
        float atThreeVolts;
    } scalings[] = {{1, 4, 100, 400, "10=0 11=500 57=0 56=500 72=0 73=500 62=50", 300},
                    // A span of 0 is not above 0.1, so the range is divided by 0.1.
                    {2, 2, 0, 5, "10=-100 11=150 57=-100 56=150 72=-100 73=150 62=25", 50},
                    // Falling values: the scale runs from 100 down to 0 in steps of -10.
                    {0, 5, 100, 0, "10=100 11=0 57=100 56=0 72=100 73=0 62=-10", 40}};
    data->prefs.Input2Type = "Scaled Analog";
    readings = idleReadings();
    readings->input2 = 153;  // 3 V
    for (const auto& c : scalings) {
        data->prefs.MinInput2Volts = c.minVolts;
        data->prefs.MaxInput2Volts = c.maxVolts;
        data->prefs.MinInput2ScaledValue = c.minValue;
        data->prefs.MaxInput2ScaledValue = c.maxValue;
        live().writes.clear();
        start();
        EXPECT_EQ(writesTo(live(), "gauInput2Analog"), std::string("visible=1 ") + c.scale);
        // The ticks scale input 2 with what the start worked out.
        tmrDataRead_Timer(link);
        EXPECT_NEAR(live().member(GaugeId::gauInput2Analog, GaugeMember::Value), c.atThreeVolts,
                    1e-3)
            << c.scale;
        cmdCloseRealTimeData_Click(ctx);
    }
}

TEST_F(RealTimeViewTest, PressureGaugeIsLaidOutFromThePressureTableForTheTypesItKnows) {
    data->prefs.Input1Type = "MAP 2 bar";
    data->prefs.PressureUnits = "psi";
    start();
    // Members 55, 3 and 64 first, then the scale in the table's column order; the band starts
    // at 0 on the psi rows.
    EXPECT_EQ(writesTo(live(), "gauMAP"),
              "visible=1 55=0 3=0 64=0 10=-1 11=31 57=0 56=31 72=0 73=30 62=5");
    EXPECT_FLOAT_EQ(data->prefs.Input1Slope, 5.802f);

    // The In-Hg rows start the band at the scale minimum.
    cmdCloseRealTimeData_Click(ctx);
    data->prefs.Input1Type = "MAP 3 bar";
    data->prefs.PressureUnits = "In-Hg";
    live().writes.clear();
    start();
    EXPECT_EQ(writesTo(live(), "gauMAP"),
              "visible=1 55=0 3=0 64=0 10=-1 11=92 57=-1 56=92 72=0 73=90 62=10");

    // A type this program does not know leaves the input 1 gauges and scaling as they were.
    cmdCloseRealTimeData_Click(ctx);
    data->prefs.Input1Type = "Oil Pressure";
    data->prefs.Input1Slope = 1.5f;
    live().writes.clear();
    start();
    EXPECT_EQ(writesTo(live(), "gauInput1Analog") + writesTo(live(), "gauInput1AFR") +
                  writesTo(live(), "gauMAP"),
              "");
    EXPECT_FLOAT_EQ(data->prefs.Input1Slope, 1.5f);
}

}  // namespace
}  // namespace velkor::test
