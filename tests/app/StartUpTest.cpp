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

TEST_F(StartUpTest, PortNumberZeroIsNoChoiceAndOneOutsideTheListIsTheDefaultPort) {
    store.values = {{"CommPort", "0"}};
    startUp();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(view.selectedPort, -1);
    EXPECT_TRUE(store.writes.empty());

    // Choosing the entry stores it, so the next start finds Com1 there.
    store.values = {{"CommPort", "300"}};
    startUp();
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(view.selectedPort, 0);
    EXPECT_EQ(store.values["CommPort"], "1");
}

// What the options dialogs would have refused never reaches the dials: a 0-1 MPH speedometer
// or a tachometer to 3e38 RPM.
TEST_F(StartUpTest, StoredValuesTheDialogsWouldRefuseGiveWayToTheirDefaults) {
    store.values = {{"Tach_Max", "3e38"},
                    {"Tach_Redline", "3999"},
                    {"Speedo_Max", "1e-30"},
                    {"Speedo_Redline", "241"},
                    {"Input1Type", "map 2 bar"},
                    {"Input2Type", "Scaled"},
                    {"VSSUnits", "Furlongs"},
                    {"PressureUnits", "bar"},
                    {"MinInput2ScaledValue", "-1"},
                    {"MaxInput2ScaledValue", "10000.5"},
                    {"Input2Legend", "A legend of 21 chars."}};
    startUp();
    EXPECT_TRUE(prompts.shown().empty());
    const Preferences defaults;
    const Preferences& p = data->prefs;
    EXPECT_EQ(std::make_tuple(p.TachMax, p.TachRedline, p.SpeedoMax, p.SpeedoRedline),
              std::make_tuple(defaults.TachMax, defaults.TachRedline, defaults.SpeedoMax,
                              defaults.SpeedoRedline));
    EXPECT_EQ(std::make_tuple(p.Input1Type, p.Input2Type, p.VSSUnits, p.PressureUnits),
              std::make_tuple(defaults.Input1Type, defaults.Input2Type, defaults.VSSUnits,
                              defaults.PressureUnits));
    EXPECT_EQ(std::make_tuple(p.MinInput2ScaledValue, p.MaxInput2ScaledValue, p.Input2Legend),
              std::make_tuple(defaults.MinInput2ScaledValue, defaults.MaxInput2ScaledValue,
                              defaults.Input2Legend));
    EXPECT_EQ(std::make_pair(view.tachMax, view.speedoMax), std::make_pair(10.0, 140.0));

    // The limits themselves are allowed; a red line above its maximum comes down to it.
    store.values = {{"Tach_Max", "5000"},
                    {"Tach_Redline", "19000"},
                    {"Speedo_Max", "250"},
                    {"Speedo_Redline", "55"},
                    {"Input2Legend", ""}};
    startUp();
    EXPECT_EQ(
        std::make_tuple(p.TachMax, p.TachRedline, p.SpeedoMax, p.SpeedoRedline, p.Input2Legend),
        std::make_tuple(5000.0f, 5000.0f, 250.0f, 55.0f, std::string()));
}

TEST_F(StartUpTest, UnreadableSettingTakesItsDefaultAfterIgnoreAndAbortSkipsTheRest) {
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
              std::make_tuple(10000.0f, 140.0f, 85.0f));
    EXPECT_DOUBLE_EQ(view.tachMax, 10);
    EXPECT_EQ(view.displayOptionsShown, 1);
    // The defaults replace the texts that were ignored, so the next start asks nothing.
    EXPECT_EQ(std::make_pair(store.values["Tach_Max"], store.values["Speedo_Max"]),
              std::make_pair(std::string("10000"), std::string("140")));
    startUp();
    EXPECT_EQ(prompts.messageTexts().size(), 3u);
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
