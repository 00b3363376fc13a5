// The start-up sequence's faults and choices, against a store in memory.

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "app/StartUp.h"
#include "base/AppContext.h"
#include "base/Preferences.h"
#include "support/AppFixture.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

using test::AppFixture;
using test::RecordingView;
using test::ScriptedPrompts;

class StartUpTest : public ::testing::Test, protected AppFixture {
protected:
    StartUpTest() { data->branding.InfoLines = {"Acme", "Acme Ltd"}; }

    void startUp() { runStartUp(ctx); }
};

// The defaults and the stored texts read as their types are the main window's tests, on the real
// store.

TEST_F(StartUpTest, TrueIsAnyNonZeroNumberOrTheWordTrue) {
    for (const char* text : {"True", "true", "-1", "2.5"}) {
        Preferences prefs;
        prefs.TPSPercentDisplay = false;
        store.values = {{"TPS_Percent_Display", text}};
        EXPECT_TRUE(readDisplaySettings(prefs, store, prompts));
        EXPECT_TRUE(prefs.TPSPercentDisplay) << text;
    }
}

TEST(PressureTable, EverySensorAndUnit) {
    // The comparisons are exact: another spelling is "any other" row and column.
    const std::tuple<const char*, const char*, float, float> table[] = {
        {"MAP 2 bar", "psi", 5.802f, 1.16f},     {"MAP 2 bar", "In-Hg", 11.81f, 2.362f},
        {"MAP 3 bar", "In-Hg", 18.57f, 0.3278f}, {"MAP 3 bar", "psi", 9.122f, 0.161f},
        {"MAP 1 bar", "In-Hg", 5.577f, 3.051f},  {"Analog", "psi", 2.739f, 1.499f},
        {"map 2 bar", "in-hg", 2.739f, 1.499f}};
    for (const auto& [type, units, slope, offset] : table) {
        const PressureScaling s = pressureScaling(type, units);
        EXPECT_EQ(std::make_pair(s.slope, s.offset), std::make_pair(slope, offset))
            << type << units;
    }
    EXPECT_TRUE(isPressureSensor("MAP 1 bar"));
    EXPECT_FALSE(isPressureSensor("AFR"));
}

TEST_F(StartUpTest, PortNumberZeroOrAbove255IsNotWrittenBackAndAbove255IsAnError) {
    store.values = {{"CommPort", "0"}};
    startUp();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(view.selectedPort, -1);
    EXPECT_TRUE(store.writes.empty());

    store.values = {{"CommPort", "300"}};
    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    view.selectedPort = -2;
    startUp();
    ASSERT_EQ(prompts.shown().size(), 2u);  // Retry repeats the failing selection
    const auto& prompt = prompts.shown()[0];
    EXPECT_EQ(std::make_tuple(prompt.title, prompt.icon, prompt.buttons),
              std::make_tuple(std::string("Error"), Icon::Critical, Buttons::AbortRetryIgnore));
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
    EXPECT_EQ(store.writes, std::vector<std::string>{"CommPort"});  // only the port written back

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

TEST_F(StartUpTest, ChoosingAPortOrShuttingDownClosesAnOpenPort) {
    port.open("Com1", "/dev/ttyS0");
    choosePort(ctx, 2);
    EXPECT_FALSE(port.isOpen());
    port.open("Com3", "/dev/ttyS2");
    shutDown(ctx);
    EXPECT_FALSE(port.isOpen());
}

}  // namespace
}  // namespace velkor
