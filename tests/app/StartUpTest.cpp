// The start-up sequence and the preferences it reads, against a store in memory.

#include <gtest/gtest.h>

#include <memory>

#include "app/StartUp.h"
#include "base/AppContext.h"
#include "base/MainView.h"
#include "base/Preferences.h"
#include "base/SerialPort.h"
#include "support/AppFixture.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

using test::AppFixture;
using test::FakeClock;
using test::MemorySettingsStore;
using test::RecordingView;
using test::ScriptedPort;
using test::ScriptedPrompts;

class StartUpTest : public ::testing::Test, protected AppFixture {
protected:
    StartUpTest() { data->branding.InfoLines = {"Acme", "Acme Ltd"}; }

    void startUp() { runStartUp(ctx); }
};

TEST_F(StartUpTest, FirstRunTakesTheDefaultsAndWritesThePortBack) {
    data->state.AbortRequested = true;
    startUp();

    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(view.progressShown);
    EXPECT_FALSE(view.realTimeShown);
    EXPECT_EQ(view.applicationTitle, "Velkor");
    EXPECT_FALSE(data->state.AbortRequested);
    EXPECT_EQ(view.portEntries, 255u);
    EXPECT_EQ(view.selectedPort, 0);
    EXPECT_EQ(store.values.at("CommPort"), "1");
    EXPECT_EQ(store.writes, std::vector<std::string>{"CommPort"});
    EXPECT_DOUBLE_EQ(view.tachRedline, 6.5);
    EXPECT_DOUBLE_EQ(view.tachMax, 10);
    EXPECT_DOUBLE_EQ(view.speedoRedline, 85);
    EXPECT_DOUBLE_EQ(view.speedoMax, 140);
    EXPECT_EQ(view.caption, "Acme Shift Light Controller Data Logging Program Version 2.0");
    EXPECT_EQ(data->state.BaseCaption, "Shift Light Controller Data Logging Program Version 2.0");
    EXPECT_TRUE(data->log.DataBufferEmpty);
    EXPECT_TRUE(data->log.FRAMBufferEmpty);
    EXPECT_TRUE(data->prefs.TPSPercentDisplay);
    EXPECT_EQ(data->prefs.Input2Legend, "Analog Input");
    EXPECT_FLOAT_EQ(data->prefs.Input1Slope, 5.577f);
    EXPECT_FLOAT_EQ(data->prefs.Input1Offset, 3.051f);
    EXPECT_EQ(view.displayOptionsShown, 1);
}

TEST_F(StartUpTest, StoredTextsAreReadAsTheirTypes) {
    store.values = {{"Tach_Redline", "7250.9"},   {"Tach_Max", "12000"},
                    {"Speedo_Redline", "99.9"},   {"Speedo_Max", "160"},
                    {"TPS_Percent_Display", "0"}, {"MaxInput2Volts", "7"},
                    {"MinInput2Volts", "-1"},     {"Input1Type", "MAP 2 bar"},
                    {"PressureUnits", "psi"},     {"CommPort", "3"}};
    startUp();

    EXPECT_FALSE(data->prefs.TPSPercentDisplay);
    EXPECT_FLOAT_EQ(data->prefs.MaxInput2Volts, 5);
    EXPECT_FLOAT_EQ(data->prefs.MinInput2Volts, 0);
    EXPECT_EQ(store.values.at("MaxInput2Volts"), "7");  // the clamp is for this run only
    EXPECT_DOUBLE_EQ(view.tachRedline, 7.3);            // 7.2509 to one decimal
    EXPECT_DOUBLE_EQ(view.tachMax, 12);
    EXPECT_DOUBLE_EQ(view.speedoRedline, 99);  // the fraction dropped
    EXPECT_FLOAT_EQ(data->prefs.Input1Slope, 5.802f);
    EXPECT_FLOAT_EQ(data->prefs.Input1Offset, 1.16f);
    EXPECT_EQ(view.selectedPort, 2);
    EXPECT_EQ(data->prefs.CommPortNumber, 3);

    for (const char* text : {"True", "true", "-1", "2.5"}) {
        Preferences prefs;
        prefs.TPSPercentDisplay = false;
        store.values = {{"TPS_Percent_Display", text}};
        EXPECT_TRUE(readDisplaySettings(prefs, store, prompts));
        EXPECT_TRUE(prefs.TPSPercentDisplay) << text;
    }
}

TEST(PressureTable, EverySensorAndUnit) {
    const auto check = [](const char* type, const char* units, float slope, float offset) {
        const PressureScaling s = pressureScaling(type, units);
        EXPECT_EQ(s.slope, slope) << type << " " << units;
        EXPECT_EQ(s.offset, offset) << type << " " << units;
    };
    check("MAP 2 bar", "psi", 5.802f, 1.16f);
    check("MAP 2 bar", "In-Hg", 11.81f, 2.362f);
    check("MAP 3 bar", "In-Hg", 18.57f, 0.3278f);
    check("MAP 3 bar", "psi", 9.122f, 0.161f);
    check("MAP 1 bar", "In-Hg", 5.577f, 3.051f);
    check("Analog", "psi", 2.739f, 1.499f);
    // The comparisons are exact: another spelling is "any other" row and column.
    check("map 2 bar", "in-hg", 2.739f, 1.499f);
    EXPECT_TRUE(isPressureSensor("MAP 1 bar"));
    EXPECT_FALSE(isPressureSensor("AFR"));
}

TEST_F(StartUpTest, PortNumberZeroLeavesNoEntryAndIsNotWrittenBack) {
    store.values = {{"CommPort", "0"}};
    startUp();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(view.selectedPort, -1);
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(StartUpTest, PortNumberAbove255GoesToTheErrorPromptAndIgnoreGoesOn) {
    store.values = {{"CommPort", "300"}};
    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    startUp();
    ASSERT_EQ(prompts.shown().size(), 2u);  // Retry repeats the failing selection
    const auto& prompt = prompts.shown()[0];
    EXPECT_EQ(prompt.title, "Error");
    EXPECT_EQ(prompt.icon, Icon::Critical);
    EXPECT_EQ(prompt.buttons, Buttons::AbortRetryIgnore);
    EXPECT_NE(prompt.text.find("300"), std::string::npos);
    EXPECT_EQ(view.selectedPort, -2);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_DOUBLE_EQ(view.tachMax, 10);  // the steps after it ran
}

TEST_F(StartUpTest, UnreadableSettingIsZeroAfterIgnoreAndAbortSkipsTheRest) {
    store.values = {{"Tach_Max", "abc"}, {"Speedo_Max", "1e39"}};
    prompts.answerMessages({Answer::Ignore, Answer::Ignore});
    startUp();
    ASSERT_EQ(prompts.messageTexts().size(), 2u);
    EXPECT_NE(prompts.messageTexts()[0].find("\"Tach_Max\""), std::string::npos);
    EXPECT_NE(prompts.messageTexts()[0].find("\"abc\""), std::string::npos);
    EXPECT_FLOAT_EQ(data->prefs.TachMax, 0);
    EXPECT_FLOAT_EQ(data->prefs.SpeedoMax, 0);
    EXPECT_FLOAT_EQ(data->prefs.SpeedoRedline, 85);
    EXPECT_EQ(view.displayOptionsShown, 1);

    auto fresh = std::make_unique<AppData>();
    RecordingView freshView;
    ScriptedPrompts aborting;
    aborting.answerMessages({Answer::Abort});
    AppContext abortCtx{*fresh, aborting, store, freshView, port, clock, ""};
    runStartUp(abortCtx);
    EXPECT_EQ(fresh->prefs.SpeedoMax, 140);  // never read
    EXPECT_DOUBLE_EQ(freshView.tachMax, 0);  // limits never applied
    EXPECT_EQ(freshView.displayOptionsShown, 0);
    EXPECT_FALSE(freshView.caption.empty());  // the steps before it ran
}

TEST_F(StartUpTest, ChoosingAPortStoresItAndClosesAnOpenPort) {
    port.open("Com1", "/dev/ttyS0");
    choosePort(ctx, 2);
    EXPECT_EQ(data->prefs.CommPortNumber, 3);
    EXPECT_EQ(store.values.at("CommPort"), "3");
    EXPECT_FALSE(port.isOpen());

    port.open("Com3", "/dev/ttyS2");
    shutDown(ctx);
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace velkor
