// What the chart window plots: the traces built from a log, their value ranges, the status.

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <tuple>

#include "base/DataLog.h"
#include "base/Preferences.h"
#include "chart/TimeWindow.h"
#include "chart/Traces.h"

namespace velkor::test {
namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
};

TEST_F(ChartWindowTest, AnAxisWhoseMaximumIsNotAboveItsMinimumGetsASoundRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        ValueRange wanted;
        std::vector<float> values;  // the rest of the 2700 are 0
        ValueRange standard;
        ValueRange expected;
    };
    const std::vector<Case> cases = {
        {"sound range kept", {0, 10000}, {12000}, {0, 10000}, {0, 10000}},
        {"negative maximum: data range", {0, -100}, {3000, 8000}, {0, 10000}, {0, 8000}},
        {"values below the minimum widen it", {0, -3}, {-2.5f, -1}, {0, 5}, {-2.5, 0}},
        {"flat data: the standard range", {0, 0}, {}, {0, 140}, {0, 140}},
        {"not a number: data range", {0, nan}, {7, nan, inf}, {0, 5}, {0, 7}},
        {"nothing sound at all", {0, 0}, {}, {0, 0}, {0, 1}},
    };
    for (const Case& c : cases) {
        TraceValues values{};
        std::copy(c.values.begin(), c.values.end(), values.begin());
        const ValueRange got = soundValueRange(c.wanted, values, c.standard);
        EXPECT_EQ(std::make_pair(got.minimum, got.maximum),
                  std::make_pair(c.expected.minimum, c.expected.maximum))
            << c.what;
    }

    // A speed trace under a speedometer maximum of 0 and a log that never moved: 0 to 140.
    prefs.SpeedoMax = 0;
    const Trace speed = buildTrace(TraceOption::Trace2VSS, *log, prefs);
    EXPECT_EQ(std::make_pair(speed.minimum, speed.maximum), std::make_pair(0.0, 140.0));
}

TEST_F(ChartWindowTest, TraceTable) {
    log->VSSData.at(1) = 100;
    log->Input1VoltsData.at(1) = 0;
    log->Input1VoltsData.at(2) = 5;
    log->Input2VoltsData.at(1) = 2.5f;
    log->OutputData.at(1) = 6;
    log->OutputData.at(2) = 64;
    log->InputData.at(1) = 3;

    prefs.VSSUnits = "";
    const Trace speed = buildTrace(TraceOption::Trace1VSS, *log, prefs);
    EXPECT_EQ(std::make_pair(speed.name, speed.maximum),
              std::make_pair(std::string("VSS (KPH)"), 140.0));
    EXPECT_FLOAT_EQ(speed.values[0], 160.93f);

    const Trace afr = buildTrace(TraceOption::Trace1Input1AFR, *log, prefs);
    EXPECT_EQ((std::vector<double>{afr.values[0], afr.values[1], afr.minimum}),
              (std::vector<double>{10, 20, 10}));

    prefs.MaxInput2ScaledValue = 2.5f;
    EXPECT_DOUBLE_EQ(buildTrace(TraceOption::Trace2Input2ScaledAnalog, *log, prefs).maximum, 2);
    prefs.MaxInput2ScaledValue = 3.5f;
    prefs.MinInput2Volts = prefs.MaxInput2Volts = 2;
    prefs.Input2Legend = "Oil";
    const Trace scaled = buildTrace(TraceOption::Trace2Input2ScaledAnalog, *log, prefs);
    EXPECT_EQ(std::make_tuple(scaled.name, scaled.format, scaled.maximum),
              std::make_tuple(std::string("Oil"), std::string("####0.00"), 4.0));
    EXPECT_FLOAT_EQ(scaled.values[0], 35.0f * 2.5f - 70.0f);  // slope 35 over 0.1 V, offset -70

    const auto onOff = [&](TraceOption option, int sample) {
        return buildTrace(option, *log, prefs).values[std::size_t(sample - 1)];
    };
    // Sample 1 has outputs 6 and inputs 3, sample 2 outputs 64.
    const std::tuple<TraceOption, int, float> levels[] = {
        {TraceOption::Trace2Shift, 1, 1}, {TraceOption::Trace2Alarm, 1, 1},
        {TraceOption::Trace2GPO, 1, 0},   {TraceOption::Trace2Shift, 2, 0},
        {TraceOption::Trace2Alarm, 2, 0}, {TraceOption::Trace2GPO, 2, 1},
        {TraceOption::Trace2ArmIn, 1, 1}, {TraceOption::Trace2GPI, 1, 1}};
    for (const auto& [option, sample, level] : levels) {
        EXPECT_EQ(onOff(option, sample), level) << int(option) << " at " << sample;
    }

    prefs.Input1Type = "MAP 3 bar";
    prefs.PressureUnits = "psi";
    prefs.Input1Slope = prefs.Input1Offset = 0;
    const Trace map = buildTrace(TraceOption::Trace1Input1MAP, *log, prefs);
    EXPECT_EQ(std::make_tuple(prefs.Input1Slope, prefs.Input1Offset, map.name, map.maximum),
              std::make_tuple(9.122f, 0.161f, std::string("MAP (psi)"), 45.0));
    EXPECT_FLOAT_EQ(map.values[1], 9.122f * 5 + 0.161f);
}

TEST(StatusText, StateAndOutputsOnLinesOfTheirOwn) {
    EXPECT_EQ(statusText(7, 6), "Invalid State\r\nLaunch Light\r\nVSS Alarm");
    EXPECT_EQ(statusText(1, 16), "Power On - Not Armed\r\nAlarm 2");
}

}  // namespace
}  // namespace velkor::test
