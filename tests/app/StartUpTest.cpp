// The start-up sequence's faults and choices, against a store in memory, and the port numbers
// and the devices they mean.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>

#include "app/StartUp.h"
#include "base/AppContext.h"
#include "base/PortMap.h"
#include "base/Preferences.h"
#include "support/AppFixture.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;
using test::AppFixture;

class StartUpTest : public ::testing::Test, protected AppFixture {
protected:
    StartUpTest() { data->branding.InfoLines = {"Acme", "Acme Ltd"}; }

    void startUp() { runStartUp(ctx); }
};

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
    EXPECT_NE(prompt.text.find("The stored port number 300 is not"), std::string::npos);
    EXPECT_EQ(view.selectedPort, -2);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_DOUBLE_EQ(view.tachMax, 10);  // the steps after it ran
}

TEST_F(StartUpTest, UnreadableSettingIsZeroAfterIgnoreAndAbortSkipsTheRest) {
    store.values = {{"Tach_Max", "abc"}, {"Speedo_Max", "1e39"}};
    prompts.answerMessages({Answer::Abort});
    startUp();
    EXPECT_EQ(data->prefs.SpeedoMax, 140);  // never read
    EXPECT_DOUBLE_EQ(view.tachMax, 0);      // limits never applied
    EXPECT_EQ(view.displayOptionsShown, 0);
    EXPECT_FALSE(view.caption.empty());  // the steps before it ran

    prompts.answerMessages({Answer::Ignore, Answer::Ignore});
    startUp();
    ASSERT_EQ(prompts.messageTexts().size(), 3u);
    EXPECT_NE(prompts.messageTexts()[1].find("\"Tach_Max\""), std::string::npos);
    EXPECT_NE(prompts.messageTexts()[1].find("\"abc\""), std::string::npos);
    const Preferences& prefs = data->prefs;
    EXPECT_EQ(std::make_tuple(prefs.TachMax, prefs.SpeedoMax, prefs.SpeedoRedline),
              std::make_tuple(0.0f, 0.0f, 85.0f));
    EXPECT_EQ(view.displayOptionsShown, 1);
    // Only the port is written back.
    EXPECT_EQ(store.writes, (std::vector<std::string>{"CommPort", "CommPort"}));
}

TEST_F(StartUpTest, ChoosingAPortClosesAnOpenPort) {
    port.open("Com1", "/dev/ttyS0");
    choosePort(ctx, 2);
    EXPECT_FALSE(port.isOpen());
}

TEST(PortMap, NumbersMapToTheUsualDevices) {
    EXPECT_EQ(portName(255), "Com255");
    const std::pair<int, const char*> devices[] = {
        {1, "/dev/ttyS0"},    {32, "/dev/ttyS31"},   {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},
        {65, "/dev/ttyACM0"}, {96, "/dev/ttyACM31"}, {97, "/dev/ttyS96"},  {255, "/dev/ttyS254"}};
    for (const auto& [number, device] : devices) {
        EXPECT_EQ(portDevice(number, ""), device) << number;
    }
}

TEST(PortMap, APersonalLinkWinsEvenWhenItsTargetIsMissing) {
    const fs::path dir = fs::temp_directory_path() / ("velkor-ports-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path target = dir / "device";
    std::ofstream(target).put('x');
    fs::create_symlink(target, dir / "com5");
    fs::create_symlink(dir / "gone", dir / "com6");

    const auto entries = portEntries(dir.string());
    ASSERT_EQ(entries.size(), 255u);
    const auto& e = entries;
    EXPECT_EQ(std::make_tuple(e[4].name, e[4].device, e[4].linked, e[4].present, e[4].shown),
              std::make_tuple(std::string("Com5"), (dir / "com5").string(), true, true,
                              fs::canonical(target).string()));  // shown: where the link leads
    EXPECT_EQ(std::make_tuple(e[5].linked, e[5].present, e[6].linked, e[6].device),
              std::make_tuple(true, false, false, std::string("/dev/ttyS6")));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace velkor
