// What the chart window plots and measures: the traces built from a log, their value ranges, the
// status; zooming at the log's ends, the B statistics, a run's launch, the data export read back.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>

#include "base/AppError.h"
#include "base/Preferences.h"
#include "chart/ChartCsv.h"
#include "chart/ChartExport.h"
#include "chart/ChartKeep.h"
#include "chart/ChartOverlay.h"
#include "chart/ChartZoom.h"
#include "chart/MarkerStats.h"
#include "chart/PlotClip.h"
#include "chart/TimeWindow.h"
#include "chart/Traces.h"
#include "log/FramDecode.h"
#include "log/LogFile.h"
#include "sim/DragRun.h"
#include "support/Drives.h"
#include "support/Files.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

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

TEST(ChartZoom, WindowStaysInsideTheLogAndBetweenTwoSecondsAndTheWhole) {
    struct Case {
        TimeRange shown;
        double pointer, steps;
        float total;
        TimeRange want;
    };
    const Case cases[] = {
        {{120, 270}, 270, 1, 270, {150, 270}},        // in at the end: the end stays put
        {{0, 15}, 0, -1, 270, {0, 18.75f}},           // out at the start
        {{10, 12.5f}, 10, 5, 270, {10, 12}},          // no narrower than 2 s
        {{0, 270}, 135, -3, 270, {0, 270}},           // no wider than the log
        {{260, 270}, 265, -10, 270, {176.87f, 270}},  // wider near the end: moved back inside
        {{0, 1.5f}, 1, 3, 1.5f, {0, 1.5f}},           // a log shorter than 2 s
    };
    for (const Case& c : cases) {
        const TimeRange got = zoomWindow(c.shown, c.pointer, c.steps, c.total);
        EXPECT_NEAR(got.low, c.want.low, 0.01) << c.shown.low << ".." << c.shown.high;
        EXPECT_NEAR(got.high, c.want.high, 0.01) << c.shown.low << ".." << c.shown.high;
    }
    EXPECT_EQ(panWindow({100, 115}, -200, 270).low, 0);
    const TimeRange panned = panWindow({100, 115}, 500, 270);
    EXPECT_EQ(std::make_pair(panned.low, panned.high), std::make_pair(255.0f, 270.0f));

    // A span asked for by its ends: put in order and cut to the log; nothing when none is left.
    const auto span = [](double from, double to) {
        const auto got = spanWindow(from, to, 270);
        return got ? std::make_pair(got->low, got->high) : std::make_pair(-1.0f, -1.0f);
    };
    EXPECT_EQ(span(90, 30), std::make_pair(30.0f, 90.0f));
    EXPECT_EQ(span(-5, 400), std::make_pair(0.0f, 270.0f));
    EXPECT_EQ(span(300, 400), std::make_pair(-1.0f, -1.0f));
    EXPECT_EQ(span(40, 40), std::make_pair(-1.0f, -1.0f));
}

TEST(ChartZoom, ScrollBarRunsOverTheCentresAtWhichTheWindowFits) {
    const auto fields = [](const ScrollSetting& s) {
        return std::vector<int>{s.minimum, s.maximum, s.value, s.largeStep, s.smallStep};
    };
    EXPECT_EQ(fields(zoomScroll({0, 15}, 270)), (std::vector<int>{8, 262, 8, 15, 2}));
    EXPECT_EQ(fields(zoomScroll(wholeLog(270), 270)), (std::vector<int>{135, 135, 135, 270, 27}));
}

TEST(MarkerStats, BetweenTheMarkersOnKnownValues) {
    TraceValues time{}, rising{}, light{};
    for (int i = 0; i < SampleCount; ++i) {
        time[std::size_t(i)] = float(i + 1) * 0.5f;
        rising[std::size_t(i)] = float(i + 1);
        light[std::size_t(i)] = i + 1 >= 10 && i + 1 < 20 ? 1.0f : 0.0f;
    }
    const std::string rpm = "###0", onOff = "#0";
    // Marker A at sample 25, B at sample 5; the read-out's times count from 1.0 s.
    BReadout b = bReadout(25, 5, time, 1.0f, {rising, rpm, false}, {light, onOff, true});
    // Ten samples on, half a second each; no mean for an on/off trace.
    EXPECT_EQ((std::vector<std::string>{b.time, b.trace1, b.deltaTime, b.delta1, b.minimum1,
                                        b.maximum1, b.mean1, b.timeOn2, b.mean2}),
              (std::vector<std::string>{"1.5 Sec", "5", "+10.00 Sec", "+20", "5", "25", "15",
                                        "5.00 Sec", ""}));
    // The other way round: the differences change sign, the statistics do not.
    b = bReadout(5, 25, time, 0, {rising, rpm, false}, {rising, rpm, false});
    EXPECT_EQ(b.deltaTime + " " + b.delta2 + " " + b.mean2, "-10.00 Sec -20 15");
    // A damaged value is passed over.
    rising[6] = std::nanf("");
    EXPECT_NEAR(traceStats(rising, 5, 9)->mean, (5 + 6 + 8 + 9) / 4.0, 1e-9);
}

// The car moves off `late` of an interval after the launch sample.
DataLog launchLog(float interval, int launch, float late = 0) {
    DataLog log;
    log.DataLogInterval = interval;
    BuildElapsedTime(log);
    for (int p = 1; p <= SampleCount; ++p) {
        log.TPSData.at(p) = p >= launch ? 95 : 10;
        log.VSSData.at(p) = p > launch ? float(p - launch) - late : 0;
    }
    // Full throttle while rolling earlier on is no launch.
    log.TPSData.at(100) = 90;
    log.VSSData.at(99) = 20;
    return log;
}

TEST(ChartOverlay, RunsLineUpWhereTheCarsFirstMovedElseAtTheirStarts) {
    const DataLog shown = launchLog(0.1f, 400);   // launch at 40.0 s
    const DataLog other = launchLog(0.05f, 250);  // launch at 12.5 s
    EXPECT_EQ(launchSample(shown), 400);
    EXPECT_NEAR(overlayAlignment(shown, other), 27.5, 1e-4);
    // They line up where the cars first moved, between samples.
    EXPECT_NEAR(overlayAlignment(shown, launchLog(0.05f, 250, 0.4f)), 40.0 - 12.52, 1e-4);
    DataLog noLaunch = other;
    noLaunch.TPSData.fill(10);
    EXPECT_EQ(launchSample(noLaunch), std::nullopt);
    EXPECT_NEAR(overlayAlignment(shown, noLaunch), 0.1 - 0.05, 1e-6);
    // With B at 50.0 s on the overlay's sample at 22.5 s, the marker at 52.0 s takes it there.
    EXPECT_NEAR(shiftToMarker(other, 27.5, 50.0, 52.0), 29.5, 1e-4);
}

TEST(ChartOverlay, AFileIsRefusedOnlyWhenNoSampleOfItCouldBeRead) {
    LogFileRead read;
    read.end = LogFileRead::End::InHeader;
    EXPECT_EQ(overlayRefusal("a.log", read),
              "a.log is not a log file.\r\nError - reached premature end-of-file. No data "
              "found.\r\nNothing was laid over the chart.");
    read.end = LogFileRead::End::Complete;
    EXPECT_EQ(overlayRefusal("b.png", read),
              "b.png is not a log file.\r\nNot one of its lines "
              "is a sample of a log.\r\nNothing was laid over "
              "the chart.");
    // A log cut short or with damaged lines is still a log: it is laid over, with its notes.
    read.end = LogFileRead::End::InSamples;
    read.sampleLines = 1;
    read.damagedLines = 40;
    EXPECT_EQ(overlayRefusal("c.log", read), std::nullopt);
}

TEST(ChartOverlay, ANewOverlayTakesTheLowestFreeSlot) {
    std::vector<Overlay> overlays(2);
    overlays[0].slot = 0;
    overlays[1].slot = 2;  // slot 1 was freed by a removal
    EXPECT_EQ(freeOverlaySlot(overlays), 1);
    overlays.emplace_back().slot = 1;
    EXPECT_EQ(freeOverlaySlot(overlays), std::nullopt);
    EXPECT_EQ(freeOverlaySlot({}), 0);
}

TEST_F(ChartWindowTest, TheKeptChartLastsWhileTheLogStaysAndNoLonger) {
    loadDrive(*log, sim::generateDragRun(0.1, 368, 3).fram, 0.1f);
    ChartKeep keep;
    keep.follow(*log);
    keep.bSample = 500;
    keep.zoomed = TimeRange{40, 70};
    keep.overlays.emplace_back().name = "other.log";
    keep.follow(*log);  // opened again on the same log
    EXPECT_EQ(keep.bSample, 500);
    EXPECT_EQ(keep.overlays.size(), 1u);

    // Another download or other samples are another log; the same log saved under a name or
    // given a comment is not.
    const auto forgotten = [&](const std::function<void(DataLog&)>& change) {
        DataLog other = *log;
        change(other);
        ChartKeep kept;
        kept.follow(*log);
        kept.bSample = 500;
        kept.follow(other);
        return !kept.bSample && !kept.zoomed && kept.overlays.empty();
    };
    EXPECT_TRUE(forgotten([](DataLog& other) { other.RPMData.at(2000) += 1; }));
    EXPECT_TRUE(forgotten([](DataLog& other) { other.StatusData.at(1) = 3; }));
    EXPECT_TRUE(forgotten([](DataLog& other) { other.DownloadDate = "12/07/2026 10:00"; }));
    EXPECT_TRUE(forgotten([](DataLog& other) { other.DataLogInterval = 0.05f; }));
    EXPECT_FALSE(forgotten([](DataLog& other) { other.FilePath = "/tmp/saved.log"; }));
    EXPECT_FALSE(forgotten([](DataLog& other) { other.Comment = "a new comment"; }));
}

std::vector<std::string> splitText(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;
         start = at + separator.size()) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

TEST(ChartCsv, ReadsBackAsTheChartsValuesWithItsHeader) {
    auto log = std::make_unique<DataLog>();
    loadDrive(*log, sim::generateDrive(368, 5), 0.05f);
    Preferences prefs;
    prefs.VSSUnits = "KPH";
    prefs.Input1Type = "MAP 2 bar";
    prefs.PressureUnits = "psi";
    prefs.Input2Type = "Scaled Analog";
    prefs.Input2Legend =
        "Oil \xB0"
        "C, hot";  // Latin-1 degree sign and a comma
    const std::string text = csvText(*log, prefs);
    const auto lines = splitText(text, "\r\n");
    ASSERT_EQ(lines.size(), std::size_t(SampleCount + 2));  // header, samples, final line end
    EXPECT_EQ(lines[0],
              "Elapsed Time (s),RPM (rpm),VSS (KPH),TPS (%),Battery (V),Input 1 MAP (psi),"
              "\"Oil \xC2\xB0"
              "C, hot (scaled)\",Arming Switch Input (on/off),GPI (on/off),"
              "GPO Active Low (on/off),Shift/Launch Light (on/off),Alarm (on/off)");
    EXPECT_EQ(lines.back(), "");

    const TraceOption options[] = {
        TraceOption::Trace1RPM,       TraceOption::Trace1VSS,
        TraceOption::Trace1TPS,       TraceOption::Trace1Bat,
        TraceOption::Trace1Input1MAP, TraceOption::Trace2Input2ScaledAnalog,
        TraceOption::Trace2ArmIn,     TraceOption::Trace2GPI,
        TraceOption::Trace2GPO,       TraceOption::Trace2Shift,
        TraceOption::Trace2Alarm};
    const auto columns = csvColumns(prefs);
    Preferences scratch = prefs;
    for (std::size_t c = 0; c < std::size(options); ++c) {
        const Trace trace = buildTrace(options[c], *log, scratch);
        const double tolerance = 0.5 * std::pow(10.0, -columns[c + 1].decimals) + 1e-4;
        for (int p = 1; p <= SampleCount; p += 7) {
            const auto fields = splitText(lines[std::size_t(p)], ",");
            ASSERT_EQ(fields.size(), 12u);
            EXPECT_NEAR(std::stod(fields[0]), log->ElapsedTime.at(p), 0.0005);
            EXPECT_NEAR(std::stod(fields[c + 1]), trace.values[std::size_t(p - 1)], tolerance)
                << columns[c + 1].header << " at sample " << p;
        }
    }
    // Between the markers: those samples only, either way round.
    EXPECT_EQ(splitText(csvText(*log, prefs, 20, 11), "\r\n").size(), 12u);
    EXPECT_EQ(csvNumber(-0.0004, 3), "0.000");
}

TEST(ChartExport, ABadTargetSaysWhyAndLeavesTheFileAsItWas) {
    const fs::path folder =
        fs::temp_directory_path() / ("velkor-export-" + std::to_string(::getpid()));
    fs::create_directories(folder / "a folder");
    const fs::path existing = folder / "run.csv";
    spit(existing, "old");
    const fs::path logFile = folder / "run.log";  // the log the export is made from
    spit(logFile, "the log");
    fs::create_hard_link(logFile, folder / "same.log");
    struct Case {
        fs::path target;
        bool contentFails;
        const char* says;
    };
    const Case cases[] = {
        {folder / "a folder", false, "it is a folder, not a file"},
        {folder / "missing" / "run.csv", false, "the folder cannot be written"},
        {existing, true, "The picture could not be made."},
        {logFile, false, "is the log file shown here"},
        {folder / "same.log", false, "is the log file shown here"},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        prompts.answerFiles({c.target.string()});
        if (fs::is_regular_file(c.target)) {
            prompts.answerMessages({Answer::Yes});  // replace it
        }
        prompts.answerMessages({Answer::Ok});
        const bool written = exportToFile(prompts, ExportDataTitle, CsvFilter, "data file",
                                          logFile.string(), [&](const std::string&) -> std::string {
                                              if (c.contentFails) {
                                                  throw AppError(1, "Velkor", c.says);
                                              }
                                              return "new";
                                          });
        EXPECT_FALSE(written);
        ASSERT_FALSE(prompts.messages().empty());
        EXPECT_NE(prompts.messages().back().text.find(c.says), std::string::npos)
            << prompts.messages().back().text;
        EXPECT_EQ(prompts.messages().back().title, ExportDataTitle);
    }
    EXPECT_EQ(slurp(existing), "old");
    EXPECT_EQ(slurp(logFile), "the log");
    EXPECT_TRUE(fs::is_directory(folder / "a folder"));
    fs::remove_all(folder);
}

TEST(PlotClip, LinesAreCutAtTheEdgesAndBrokenWhereTheyLeaveOrAreDamaged) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const PlotRect plot{0, 0, 10, 10};
    using Pieces = std::vector<std::vector<std::pair<double, double>>>;
    const std::pair<Polyline, Pieces> table[] = {
        {{{1, 1}, {5, 5}, {9, 1}}, {{{1, 1}, {5, 5}, {9, 1}}}},
        {{{-5, 5}, {15, 5}}, {{{0, 5}, {10, 5}}}},
        {{{5, 5}, {15, 5}, {5, 8}}, {{{5, 5}, {10, 5}}, {{10, 6.5}, {5, 8}}}},
        {{{1, 1}, {2, 2}, {nan, 3}, {4, 4}, {5, 5}}, {{{1, 1}, {2, 2}}, {{4, 4}, {5, 5}}}},
        {{{10, 10}, {12, 12}, {11, 0}, {11, 10}}, {}},  // a corner touched, a line beside
    };
    for (const auto& [line, expected] : table) {
        Pieces pieces;
        for (const Polyline& piece : clipPolyline(line, plot)) {
            pieces.emplace_back();
            for (const PlotPoint& p : piece) {
                pieces.back().emplace_back(p.x, p.y);
            }
        }
        EXPECT_EQ(pieces, expected) << line.size() << " points from " << line.front().x;
    }
}

// Every output of a part of the log holds the samples whose times lie in [from, to].
TEST(SampleSpan, TheSamplesInsideTheSpanLimitsIncluded) {
    TraceValues times{};
    for (std::size_t i = 0; i < times.size(); ++i) {
        times[i] = float(i) * 0.5f;
    }
    const auto span = [&](double from, double to) {
        const auto s = samplesWithin(times, from, to);
        return s ? std::make_pair(s->first, s->last) : std::make_pair(0, 0);
    };
    EXPECT_EQ(span(1, 2), std::make_pair(3, 5));
    EXPECT_EQ(span(0.9, 2.1), std::make_pair(3, 5));
    EXPECT_EQ(span(-10, 1e9), std::make_pair(1, SampleCount));
    EXPECT_EQ(span(2, 1), std::make_pair(0, 0));        // reversed
    EXPECT_EQ(span(1.1, 1.4), std::make_pair(0, 0));    // between two samples
    EXPECT_EQ(span(5000, 6000), std::make_pair(0, 0));  // after the log
}

// The marker keys: a sample, a page of the time window on show, or to either end, never past them.
TEST(MarkerKeys, StepsPagesAndEndsStayInsideTheLog) {
    const auto after = [](MarkerKey key, int sample) {
        return markerSampleAfterKey(key, sample, 30.0, 0.1);  // a page of 300 samples
    };
    EXPECT_EQ(after(MarkerKey::NextSample, 10), 11);
    EXPECT_EQ(after(MarkerKey::PreviousSample, 10), 9);
    EXPECT_EQ(after(MarkerKey::PreviousSample, 1), 1);
    EXPECT_EQ(after(MarkerKey::NextSample, SampleCount), SampleCount);
    EXPECT_EQ(after(MarkerKey::PageForward, 10), 310);
    EXPECT_EQ(after(MarkerKey::PageBack, 400), 100);
    EXPECT_EQ(after(MarkerKey::PageBack, 200), 1);
    EXPECT_EQ(after(MarkerKey::PageForward, SampleCount - 5), SampleCount);
    EXPECT_EQ(after(MarkerKey::FirstSample, 500), 1);
    EXPECT_EQ(after(MarkerKey::LastSample, 500), SampleCount);
    // A window narrower than a sample, a broken interval or page: still one sample a page.
    EXPECT_EQ(markerSampleAfterKey(MarkerKey::PageForward, 10, 0.05, 0.1), 11);
    EXPECT_EQ(markerSampleAfterKey(MarkerKey::PageForward, 10, 30, 0), 11);
    EXPECT_EQ(markerSampleAfterKey(MarkerKey::PageBack, 10, std::nan(""), 0.1), 9);
    EXPECT_EQ(markerSampleAfterKey(MarkerKey::PageForward, 10, 1e300, 0.1), SampleCount);
}

}  // namespace
}  // namespace velkor::test
