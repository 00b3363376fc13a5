// The live view against the controller logic: starting it (the link checks, the warnings, the
// gauges chosen and scaled from the preferences) and the polling tick (the reads in their order,
// what each shows, Esc and Close part-way, ticks that must not overlap, the cable pulled).

#include <array>

#include "app/StartUp.h"
#include "live/LiveTestSupport.h"
#include "log/LogFile.h"

namespace velkor::test {
namespace {

constexpr std::uint8_t Status = 46, TPS = 41, BAT = 38, RPM = 39, VSS = 40, VIN1 = 42, VIN2 = 43,
                       Inputs = 44, Outputs = 45;

class LivePollTest : public LiveTest {
protected:
    LivePollTest() { readings = idleReadings(); }

    // One tick; returns the command bytes it sent.
    std::vector<std::uint8_t> tick() {
        const auto from = port.written.size();
        tmrDataRead_Timer(link);
        return writtenSince(from);
    }

    // Runs `action` once, in the pause after the next tick sends `command`.
    void atRead(std::uint8_t command, std::function<void()> action) {
        intercept = [this, command, action, armed = true](std::uint8_t byte,
                                                          ScriptedPort&) mutable {
            if (armed && byte == command) {
                prompts.onYield = action;
                armed = false;
            }
            return false;
        };
    }
};

// The writes to the gauge `name` as "member=value", or with no name every write as
// "name.member=value", in order, a blank between.
std::string writesTo(const RecordingLiveDisplay& display, const std::string& name = "") {
    const std::string prefix = name.empty() ? "" : name + ".";
    std::string found;
    for (const auto& write : display.writes) {
        if (write.rfind(prefix, 0) == 0) {
            found += (found.empty() ? "" : " ") + write.substr(prefix.size());
        }
    }
    return found;
}

TEST_F(LivePollTest, ATickReadsTheNineValuesInOrderAndShowsEach) {
    readings->rpm = 6500;
    readings->speed = 60 * 128;
    readings->battery = 255;
    readings->tps = 230;
    readings->inputs = 3;
    readings->outputs = 0x60;
    data->prefs.VSSUnits = "KPH";
    start();
    live().writes.clear();
    EXPECT_EQ(tick(),
              (std::vector<std::uint8_t>{Status, TPS, BAT, RPM, VSS, VIN1, VIN2, Inputs, Outputs}));
    // The throttle's section is set before its value; the speed unit in text item 1 stays.
    // Input bits 3 light both inputs; output bits 0x60 light only the GPO (bit 32 has no lamp).
    EXPECT_EQ(writesTo(live()),
              "lblStatus=Power On - Not Armed gauTPSPercent.43=1 gauTPSPercent.51=100 "
              "gauBatVolts.51=18 gauTach.43=6.5 gauTach.30=3 gauTach.caption=6500 "
              "gauSpeedometer.43=96.558 gauSpeedometer.30=3 gauSpeedometer.caption=97 "
              "gauInput1Analog.51=1 gauInput2Analog.51=1 shpLED_GPI=255 shpLED_ArmIn=255 "
              "shpLED_Shift=0 shpLED_Launch=0 shpLED_AlarmVSS=0 shpLED_Alarm1=0 shpLED_Alarm2=0 "
              "shpLED_GPO=255");
    EXPECT_TRUE(port.isOpen());  // left open for the next tick
}

TEST(Throttle, PercentIsDrawnOnTheRightSection) {
    const struct {
        float raw, tpsMin, tpsMax;
        int section;
        float value;
    } counts[] = {{10, 26, 230, 0, 0},          {209.5f, 26, 230, 0, 89.95098f},
                  {210, 26, 230, 1, 90.19608f}, {230, 26, 230, 1, 100},
                  {240, 26, 230, 1, 100},       {101, 100, 100, 1, 100},  // a span of 0 is 0.1
                  {100, 100, 100, 0, 0}};
    for (const auto& c : counts) {
        const ThrottleShown shown = throttleShown(c.raw, c.tpsMin, c.tpsMax);
        EXPECT_EQ(shown.scaleIndex, c.section) << c.raw;
        EXPECT_NEAR(shown.value, c.value, 1e-4) << c.raw;
    }
}

TEST_F(LivePollTest, VoltsModeShowsThePreviousTicksVoltageKeptAcrossLiveViews) {
    data->prefs.TPSPercentDisplay = false;
    readings->tps = 128;
    start();
    tick();
    // Nothing was read in volts mode since start-up.
    EXPECT_EQ(live().status, "Power On - Not Armed\r\nTPS Volts: 0.00");
    EXPECT_NEAR(live().member(GaugeId::gauTPSVolts, GaugeMember::Value), 2.5098, 1e-4);
    readings->tps = 47;  // 0.92 V, shown as 0.90
    tick();
    EXPECT_EQ(live().status, "Power On - Not Armed\r\nTPS Volts: 2.50");

    // The display options end the view; the next one starts with the voltage the last one read.
    openDisplayOptions(ctx);
    EXPECT_EQ(view.displayOptionsShown, 1);
    EXPECT_FALSE(data->state.RealTimeActive || view.realTimeShown || port.isOpen());
    start();
    tick();
    EXPECT_EQ(live().status, "Power On - Not Armed\r\nTPS Volts: 0.90");
}

TEST(LiveStatus, NamesTheControllerState) {
    EXPECT_EQ(statusText(0, true, 0), "Power Off");
    EXPECT_EQ(statusText(2, true, 3.3f), "Armed");
    EXPECT_EQ(statusText(7, true, 0), "Invalid");
    EXPECT_EQ(statusText(-1, false, 1.0f), "Invalid\r\nTPS Volts: 1.00");
    // 20 x 2.375 = 47.5 goes to the even 48: 2.40.
    EXPECT_EQ(statusText(1, false, 2.375f), "Power On - Not Armed\r\nTPS Volts: 2.40");
}

TEST_F(LivePollTest, InputsAreConvertedByTheirType) {
    Preferences prefs;
    prefs.Input1Type = "MAP 1 bar";
    prefs.PressureUnits = "psi";
    applyPressureScaling(prefs);
    prefs.Input2Type = "AFR";
    RecordingLiveDisplay display;
    showInput1(display, prefs, 2.5f);
    showInput2(display, prefs, 0, 0, 2.5f);
    EXPECT_NEAR(display.member(GaugeId::gauMAP, GaugeMember::Value), 8.3465, 1e-5);
    EXPECT_DOUBLE_EQ(display.member(GaugeId::gauInput2AFR, GaugeMember::Value), 15);

    prefs.Input1Type = "AFR";
    prefs.Input2Type = "Scaled Analog";
    showInput1(display, prefs, 5.0f);
    showInput2(display, prefs, 100, 0, 2.5f);
    EXPECT_DOUBLE_EQ(display.member(GaugeId::gauInput1AFR, GaugeMember::Value), 20);
    EXPECT_DOUBLE_EQ(display.member(GaugeId::gauInput2Analog, GaugeMember::Value), 250);
    // An input-1 type this program does not know is shown as pressure.
    prefs.Input1Type = "Oil";
    showInput1(display, prefs, 0.0f);
    EXPECT_FLOAT_EQ(display.member(GaugeId::gauMAP, GaugeMember::Value), prefs.Input1Offset);
}

TEST_F(LivePollTest, EscOrCloseDuringATickEndsItAtTheNextCheck) {
    start();
    atRead(BAT, [&] { data->state.AbortRequested = true; });  // Esc
    EXPECT_EQ(tick(), (std::vector<std::uint8_t>{Status, TPS, BAT}));
    EXPECT_EQ(live().refreshing, 0);  // the display draws again after a tick cut short
    EXPECT_TRUE(!data->state.AbortRequested && data->state.RealTimeActive);
    EXPECT_EQ(live().lamp(LampId::shpLED_GPO), -1);  // no lost-link display

    // The next tick refreshes everything.
    EXPECT_EQ(tick().size(), 9u);
    EXPECT_FLOAT_EQ(live().member(DialId::gauTach, DialMember::Value), 0.9);
    EXPECT_EQ(live().lamp(LampId::shpLED_GPO), 0);

    // Esc pressed between ticks stops the next one after the status line.
    data->state.AbortRequested = true;
    EXPECT_EQ(tick(), std::vector<std::uint8_t>{Status});
    EXPECT_EQ(live().status, "Power On - Not Armed");
    EXPECT_FALSE(data->state.AbortRequested);

    atRead(RPM, [&] { cmdCloseRealTimeData_Click(ctx); });
    EXPECT_EQ(tick(), (std::vector<std::uint8_t>{Status, TPS, BAT, RPM}));
    EXPECT_FALSE(view.realTimeShown || port.isOpen());
    EXPECT_TRUE(tick().empty());  // the timer ticks on, reading nothing
}

TEST_F(LivePollTest, TicksNeverOverlapAndOtherOperationsWaitTheirTurn) {
    start();
    std::vector<std::uint8_t> nested;
    // The next tick falls due, and the person asks for the live view again, while a tick yields.
    atRead(VSS, [&] {
        const auto from = port.written.size();
        tmrDataRead_Timer(link);
        mnuViewRealTime_Click(link);
        nested = writtenSince(from);
    });
    EXPECT_EQ(tick().size(), 9u);
    EXPECT_TRUE(nested.empty() && data->state.RealTimeActive && !link.busy());
    EXPECT_EQ(view.busyShown, 1);
}

class UnpluggedTest : public LivePollTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(UnpluggedTest, TheTimeOutIsFollowedByTheLostLinkDisplayAndTheViewEnds) {
    start();
    live().writes.clear();

    unplugged = true;
    prompts.answerMessages({GetParam()});
    EXPECT_EQ(tick(), std::vector<std::uint8_t>{Status});
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"RS-232 timeout. Check cable and click Abort."});
    // In this order; the ratio gauges rest at 15 and the GPI lamp shows red.
    EXPECT_EQ(writesTo(live()),
              "lblStatus= gauTPSPercent.43=0 gauTPSPercent.51=0 gauTPSVolts.43=0 gauTPSVolts.51=0 "
              "gauInput1Analog.51=0 gauInput1AFR.38=0 gauInput1AFR.51=15 gauMAP.38=0 gauMAP.51=0 "
              "gauInput2Analog.51=0 gauInput2AFR.38=0 gauInput2AFR.51=15 gauTach.43=0 gauTach.30=3 "
              "gauTach.caption=0 gauSpeedometer.43=0 gauSpeedometer.30=3 gauSpeedometer.caption=0 "
              "gauBatVolts.51=0 shpLED_GPI=255 shpLED_ArmIn=0 shpLED_Shift=0 shpLED_Launch=0 "
              "shpLED_AlarmVSS=0 shpLED_Alarm1=0 shpLED_Alarm2=0 shpLED_GPO=0");
    EXPECT_FALSE(data->state.RealTimeActive || view.realTimeShown || port.isOpen());
    EXPECT_EQ(live().refreshing, 0);

    EXPECT_TRUE(tick().empty());  // the timer goes on ticking, quietly
}

INSTANTIATE_TEST_SUITE_P(Answers, UnpluggedTest, ::testing::Values(Answer::Abort, Answer::Ignore));

TEST_F(LivePollTest, AbortAtALaterReadsTimeOutEndsTheViewAtTheNextCheck) {
    start();
    intercept = [&](std::uint8_t byte, ScriptedPort&) { return byte == VIN1; };  // no answer
    prompts.answerMessages({Answer::Abort});
    EXPECT_EQ(tick(), (std::vector<std::uint8_t>{Status, TPS, BAT, RPM, VSS, VIN1}));
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_FALSE(data->state.RealTimeActive || view.realTimeShown || port.isOpen());
    // The failed read showed its 0 as it came; the lost-link display is not shown.
    EXPECT_EQ(live().member(GaugeId::gauInput1Analog, GaugeMember::Value), 0);
    EXPECT_EQ(live().lamp(LampId::shpLED_GPI), -1);
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
    EXPECT_FALSE(data->state.RealTimeActive || view.realTimeShown || port.isOpen());
    EXPECT_TRUE(live().writes.empty() && data->state.CommErrorCount == 4);
}

// The identity read is the connected controller's: the log in memory (here one opened from a
// file of another controller) keeps its own, and a later save writes that.
TEST_F(RealTimeViewTest, ControllerAnsweringTheThirdReSyncStartsWithoutAMessage) {
    sim::Faults faults;
    faults.resyncIgnored = 2;
    controller.setFaults(faults);
    data->state.CommErrorCount = 3;
    DataLog& log = data->log;
    log.DataBufferEmpty = false;
    log.FirmwareID = "Shift Light Controller V1.4";
    log.TPSMin = 20;
    log.FRAMBuffer[100] = 7;
    log.RPMData.at(1) = 4321;
    start();

    EXPECT_EQ(data->state.CommErrorCount, 0);
    EXPECT_EQ(data->controller.FirmwareID + " " + data->controller.ControllerType + " " +
                  std::to_string(int(data->controller.TPSMin)),
              "Shift Light Controller V2.0 Shift Light 26");
    EXPECT_EQ(std::make_tuple(log.FirmwareID, log.TPSMin, log.FRAMBuffer[100], log.RPMData.at(1)),
              std::make_tuple(std::string("Shift Light Controller V1.4"), 20.0f, std::uint8_t(7),
                              4321.0f));
    EXPECT_EQ(logFileTrailer(log, "Acme")[0], "\"Firmware ID\",\"Shift Light Controller V1.4\"");
}

TEST_F(RealTimeViewTest, UnidentifiedControllerAndUnreadableScaleFactorsWarnButStillStart) {
    controller.setFirmwareId("");
    // The controller will not take address 21, where the scale factors are.
    intercept = refusingAddress(controller, 21);
    data->controller.TPSMin = 1;
    data->controller.TPSMax = 2;
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuViewRealTime_Click(link);

    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{
                  "Error - invalid firmware ID. Unable to identify controller version.\r\n"
                  "Some data may be incorrectly scaled.",
                  "Error - unable to read TPS scale factors.\r\n"
                  "TPS percent data may be incorrectly scaled."}));
    const ControllerIdentity& id = data->controller;
    EXPECT_EQ(id.ControllerType + " " + std::to_string(int(id.TPSMin)) + " " +
                  std::to_string(int(id.TPSMax)),
              "Unknown 26 230");
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
        float minVolts, maxVolts, minValue, maxValue, atThreeVolts;
        const char* scale;  // gauInput2Analog's, after its visibility
    } scalings[] = {{1, 4, 100, 400, 300, "10=0 11=500 57=0 56=500 72=0 73=500 62=50"},
                    // A span of 0 is not above 0.1, so the range is divided by 0.1.
                    {2, 2, 0, 5, 50, "10=-100 11=150 57=-100 56=150 72=-100 73=150 62=25"},
                    // Falling values: the scale runs from 100 down to 0 in steps of -10.
                    {0, 5, 100, 0, 40, "10=100 11=0 57=100 56=0 72=100 73=0 62=-10"}};
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
    // Members 55, 3 and 64 first, then the scale in the table's column order; the band starts at
    // 0 on the psi rows, at the scale minimum on the In-Hg rows.
    const std::array<const char*, 3> layouts[] = {
        {"MAP 2 bar", "psi", "10=-1 11=31 57=0 56=31 72=0 73=30 62=5"},
        {"MAP 3 bar", "In-Hg", "10=-1 11=92 57=-1 56=92 72=0 73=90 62=10"},
        {"MAP 3 bar", "psi", "10=-1 11=46 57=0 56=46 72=0 73=45 62=5"}};
    for (const auto& [type, units, scale] : layouts) {
        data->prefs.Input1Type = type;
        data->prefs.PressureUnits = units;
        live().writes.clear();
        start();
        EXPECT_EQ(writesTo(live(), "gauMAP"), std::string("visible=1 55=0 3=0 64=0 ") + scale);
        cmdCloseRealTimeData_Click(ctx);
    }

    // A type this program does not know leaves the input 1 gauges and scaling as they were.
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
