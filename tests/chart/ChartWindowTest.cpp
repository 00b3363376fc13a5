// The chart window's logic against a recording view: load, traces, time window and marker.

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>

#include "base/DataLog.h"
#include "base/Numbers.h"
#include "base/Preferences.h"
#include "chart/ChartWindow.h"
#include "chart/TimeWindow.h"
#include "chart/Traces.h"
#include "log/FramDecode.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

struct RecordingChartView : ChartView {
    std::string interval, markerTime, trace1, trace2, status;
    std::vector<TraceOption> selectedTraces;
    int timeScale = 0;
    int scrollMin = 0, scrollMax = 0, scroll = 0, largeStep = 0, smallStep = 0;
    int scrollSets = 0;
    bool templateFound = true;
    std::map<ChartAxis, std::pair<double, double>> ranges;
    std::map<ChartAxis, std::string> titles;
    std::map<ChartAxis, bool> shown;
    std::map<int, std::string> seriesLabels;
    std::map<int, TraceValues> xValues, yValues;
    double marker = -1;
    bool levelLabels = false;
    std::string traceName;
    bool traceNameShown = false;

    void setLogIntervalText(const std::string& t) override { interval = t; }
    void setMarkerTimeText(const std::string& t) override { markerTime = t; }
    void setMarkerTrace1Text(const std::string& t) override { trace1 = t; }
    void setMarkerTrace2Text(const std::string& t) override { trace2 = t; }
    void setStatusText(const std::string& t) override { status = t; }
    void selectTraceOption(TraceOption o) override { selectedTraces.push_back(o); }
    void selectTimeScale(int o) override { timeScale = o; }
    void setScrollRange(int lo, int hi) override {
        scrollMin = lo;
        scrollMax = hi;
    }
    int scrollValue() const override { return scroll; }
    void setScrollValue(int v) override {
        scroll = v;
        ++scrollSets;
    }
    void setScrollSteps(int large, int small) override {
        largeStep = large;
        smallStep = small;
    }
    bool loadChartTemplate() override { return templateFound; }
    void setBatch(int, bool) override {}
    void setAxisRange(ChartAxis a, double lo, double hi) override { ranges[a] = {lo, hi}; }
    void setAxisTitle(ChartAxis a, const std::string& t) override { titles[a] = t; }
    void setAxisShown(ChartAxis a, bool s) override { shown[a] = s; }
    void setSeriesLabel(int g, const std::string& t) override { seriesLabels[g] = t; }
    void setXValues(int g, const TraceValues& v) override { xValues[g] = v; }
    void setYValues(int g, const TraceValues& v) override { yValues[g] = v; }
    void setMarker(double t) override { marker = t; }
    void setLevelLabelsShown(bool s) override { levelLabels = s; }
    void setTraceNameLabel(const std::string& t, bool s) override {
        traceName = t;
        traceNameShown = s;
    }
    std::pair<double, double> x() const { return ranges.at(ChartAxis::X); }
};

class ChartWindowTest : public ::testing::Test {
protected:
    void loadWithInterval(float interval) {
        log->DataLogInterval = interval;
        BuildElapsedTime(*log);
        log->DataBufferEmpty = false;
        window.Form_Load();
    }

    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    ScriptedPrompts prompts;
    RecordingChartView view;
    ChartWindow window{view, prompts, *log, prefs};
};

TEST_F(ChartWindowTest, LoadOpensOnTheLastHalfWindowWithTheDefaultTraces) {
    loadWithInterval(0.1f);
    EXPECT_FLOAT_EQ(window.TotalTime, 270);
    // Scroll range, position and steps; the time scale; the marker at the end.
    EXPECT_EQ((std::vector<double>{double(view.scrollMin), double(view.scrollMax),
                                   double(view.scroll), double(view.largeStep),
                                   double(view.smallStep), double(view.timeScale), view.marker}),
              (std::vector<double>{0, 270, 270, 300, 60, 3, 270}));
    EXPECT_EQ(view.x(), (std::pair<double, double>{120, 270}));
    EXPECT_EQ(view.interval + "|" + view.markerTime + "|" + view.trace1 + "|" + view.trace2 + "|" +
                  view.status,
              "0.10|Sec |||");
    EXPECT_EQ(view.selectedTraces,
              (std::vector<TraceOption>{TraceOption::Trace1RPM, TraceOption::Trace2VSS}));
    EXPECT_EQ(view.titles[ChartAxis::Y], "RPM");
    EXPECT_EQ(view.ranges[ChartAxis::Y], (std::pair<double, double>{0, 10000}));
    EXPECT_EQ(view.titles[ChartAxis::Y2], "VSS (MPH)");
    EXPECT_EQ(view.xValues[1], log->ElapsedTime.values());
    EXPECT_EQ(view.xValues[2], log->ElapsedTime.values());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(ChartWindowTest, IntervalReadoutAndTotalTime) {
    loadWithInterval(0.05f);
    EXPECT_EQ(view.interval, "0.05");
    EXPECT_FLOAT_EQ(window.TotalTime, 135);
    EXPECT_EQ(view.x(), (std::pair<double, double>{0, 135}));  // shorter than half a window

    loadWithInterval(0.123f);
    EXPECT_EQ(view.interval, "0.10");
    EXPECT_FLOAT_EQ(window.TotalTime, 332);
}

TEST_F(ChartWindowTest, MissingTemplateOpensTheWindowWithoutData) {
    view.templateFound = false;
    prompts.answerMessages({Answer::Ok});
    loadWithInterval(0.1f);
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Chart template file Velkor_Chart.oc2 not found."});
    EXPECT_EQ(prompts.shown()[0].title, "Form Load");
    EXPECT_TRUE(view.yValues.empty());
    EXPECT_TRUE(view.ranges.empty());

    window.Chart2D1_MouseDown(1, 40.0);
    window.optTrace_Click(TraceOption::Trace1TPS);
    EXPECT_EQ(view.markerTime, "");
    EXPECT_EQ(view.trace1, "");
    EXPECT_EQ(view.status, "");
    EXPECT_TRUE(view.yValues.empty());
}

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

TEST_F(ChartWindowTest, PlacingTheTimeWindow) {
    loadWithInterval(0.05f);
    window.MarkerTime = 130;
    window.optTimeScale_Click(1);
    EXPECT_EQ(view.x(), (std::pair<double, double>{122.5, 135}));
    EXPECT_EQ(view.scroll, 130);
    EXPECT_EQ(view.largeStep, 30);
    EXPECT_EQ(view.smallStep, 3);

    // 12.5 rounds to 12 on the scroll bar, whose handler re-centres the window there.
    window.MarkerTime = 12.5f;
    window.optTimeScale_Click(1);
    EXPECT_EQ(view.scroll, 12);
    EXPECT_EQ(view.x(), (std::pair<double, double>{4.5, 19.5}));
    // Already at 12: the scroll bar does not move and the window stays centred on 12.5.
    const int sets = view.scrollSets;
    window.optTimeScale_Click(1);
    EXPECT_EQ(view.scrollSets, sets);
    EXPECT_EQ(view.x(), (std::pair<double, double>{5, 20}));

    window.MarkerTime = 5;
    window.optTimeScale_Click(2);
    EXPECT_EQ(view.x(), (std::pair<double, double>{0, 60}));

    // Scrolling moves the window, never the marker, and clears the read-outs.
    view.trace1 = "x";
    view.scroll = 100;
    window.scrChart2D1_Change();
    EXPECT_EQ(view.x(), (std::pair<double, double>{70, 130}));
    EXPECT_EQ(view.trace1, "");
    EXPECT_FLOAT_EQ(window.MarkerTime, 5);
}

TEST_F(ChartWindowTest, MarkerClickReadsTheNearestSample) {
    log->StatusData.at(401) = 2;
    log->OutputData.at(401) = 9;
    log->RPMData.at(401) = 6543;
    log->VSSData.at(401) = 77.4f;
    loadWithInterval(0.1f);

    window.Chart2D1_MouseDown(1, 40.04);
    EXPECT_DOUBLE_EQ(view.marker, 40.04);  // the line stands where clicked
    EXPECT_FLOAT_EQ(window.MarkerTime, log->ElapsedTime.at(400));
    EXPECT_EQ(view.markerTime, "40.0 Sec ");

    window.Chart2D1_MouseDown(1, 40.11);
    EXPECT_EQ(view.trace1, "6543");
    EXPECT_EQ(view.trace2, "77");
    EXPECT_EQ(view.status, "Armed\r\nShift Light\r\nAlarm 1");

    window.Chart2D1_MouseDown(1, 40.0);
    window.cmdReset_Click();
    EXPECT_EQ(view.markerTime, "0.000 Sec ");
    window.Chart2D1_MouseDown(1, 52.5);
    EXPECT_EQ(view.markerTime, "12.5 Sec ");
    window.Chart2D1_MouseDown(1, 30.0);
    EXPECT_EQ(view.markerTime, "-10.0 Sec ");
    EXPECT_EQ(view.status, "Power Off");

    const auto before = view.markerTime;
    const double marker = view.marker;
    window.Chart2D1_MouseDown(2, 100.0);  // right button: nothing
    EXPECT_EQ(view.markerTime, before);
    EXPECT_DOUBLE_EQ(view.marker, marker);

    window.Chart2D1_MouseDown(1, std::nullopt);  // outside the plot
    EXPECT_EQ(view.markerTime, "Sec ");
    EXPECT_EQ(view.status, "");
    EXPECT_EQ(statusText(7, 6), "Invalid State\r\nLaunch Light\r\nVSS Alarm");
    EXPECT_EQ(statusText(1, 16), "Power On - Not Armed\r\nAlarm 2");
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
    Trace speed = buildTrace(TraceOption::Trace1VSS, *log, prefs);
    EXPECT_EQ(speed.name, "VSS (KPH)");
    EXPECT_FLOAT_EQ(speed.values[0], 160.93f);
    EXPECT_DOUBLE_EQ(speed.maximum, 140);

    const Trace afr = buildTrace(TraceOption::Trace1Input1AFR, *log, prefs);
    EXPECT_FLOAT_EQ(afr.values[0], 10);
    EXPECT_FLOAT_EQ(afr.values[1], 20);
    EXPECT_DOUBLE_EQ(afr.minimum, 10);

    prefs.MaxInput2ScaledValue = 2.5f;
    EXPECT_DOUBLE_EQ(buildTrace(TraceOption::Trace2Input2ScaledAnalog, *log, prefs).maximum, 2);
    prefs.MaxInput2ScaledValue = 3.5f;
    prefs.MinInput2Volts = prefs.MaxInput2Volts = 2;
    prefs.Input2Legend = "Oil";
    const Trace scaled = buildTrace(TraceOption::Trace2Input2ScaledAnalog, *log, prefs);
    EXPECT_DOUBLE_EQ(scaled.maximum, 4);
    EXPECT_EQ(scaled.name, "Oil");
    EXPECT_EQ(scaled.format, "####0.00");
    EXPECT_FLOAT_EQ(scaled.values[0], 35.0f * 2.5f - 70.0f);  // slope 35 over 0.1 V, offset -70

    const auto onOff = [&](TraceOption option, int sample) {
        return buildTrace(option, *log, prefs).values[std::size_t(sample - 1)];
    };
    EXPECT_EQ(onOff(TraceOption::Trace2Shift, 1), 1);
    EXPECT_EQ(onOff(TraceOption::Trace2Alarm, 1), 1);
    EXPECT_EQ(onOff(TraceOption::Trace2GPO, 1), 0);
    EXPECT_EQ(onOff(TraceOption::Trace2Shift, 2), 0);
    EXPECT_EQ(onOff(TraceOption::Trace2Alarm, 2), 0);
    EXPECT_EQ(onOff(TraceOption::Trace2GPO, 2), 1);
    EXPECT_EQ(onOff(TraceOption::Trace2ArmIn, 1), 1);
    EXPECT_EQ(onOff(TraceOption::Trace2GPI, 1), 1);

    prefs.Input1Type = "MAP 3 bar";
    prefs.PressureUnits = "psi";
    prefs.Input1Slope = prefs.Input1Offset = 0;
    const Trace map = buildTrace(TraceOption::Trace1Input1MAP, *log, prefs);
    EXPECT_EQ(prefs.Input1Slope, 9.122f);
    EXPECT_EQ(prefs.Input1Offset, 0.161f);
    EXPECT_EQ(map.name, "MAP (psi)");
    EXPECT_DOUBLE_EQ(map.maximum, 45);
    EXPECT_FLOAT_EQ(map.values[1], 9.122f * 5 + 0.161f);
}

TEST_F(ChartWindowTest, OnOffTracesSwapTheRightAxisForLevelLabels) {
    loadWithInterval(0.1f);
    window.optTrace_Click(TraceOption::Trace2Shift);
    EXPECT_FALSE(view.shown[ChartAxis::Y2]);
    EXPECT_EQ(view.titles[ChartAxis::Y2], "");
    EXPECT_EQ(view.ranges[ChartAxis::Y2], (std::pair<double, double>{0, 2}));
    EXPECT_TRUE(view.levelLabels);
    EXPECT_EQ(view.traceName, "Shift/Launch Light");
    EXPECT_EQ(view.seriesLabels[2], "Shift/Launch Light");
    EXPECT_EQ(window.Trace2Format, "#0");

    window.optTrace_Click(TraceOption::Trace2TPS);
    EXPECT_TRUE(view.shown[ChartAxis::Y2]);
    EXPECT_FALSE(view.levelLabels);
    EXPECT_FALSE(view.traceNameShown);
    EXPECT_EQ(view.titles[ChartAxis::Y2], "TPS (%)");
    EXPECT_EQ(view.ranges[ChartAxis::Y], (std::pair<double, double>{0, 10000}));  // trace 1 kept
}

}  // namespace
}  // namespace velkor::test
