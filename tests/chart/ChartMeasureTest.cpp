// The chart's measuring rules: zooming at the log's ends, the B statistics, a run's launch, and
// the data export read back.

#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>

#include "base/AppError.h"

#include "base/Preferences.h"
#include "chart/ChartCsv.h"
#include "chart/ChartExport.h"
#include "chart/ChartOverlay.h"
#include "chart/ChartZoom.h"
#include "chart/MarkerStats.h"
#include "chart/Traces.h"
#include "log/FramDecode.h"
#include "support/Drives.h"
#include "support/Files.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(panWindow({100, 115}, 500, 270).high, 270);
    EXPECT_EQ(panWindow({100, 115}, 500, 270).low, 255);
}

TEST(ChartZoom, ScrollBarRunsOverTheCentresAtWhichTheWindowFits) {
    const ScrollSetting narrow = zoomScroll({0, 15}, 270);
    EXPECT_EQ(narrow.minimum, 8);
    EXPECT_EQ(narrow.maximum, 262);
    EXPECT_EQ(narrow.value, 8);
    EXPECT_EQ(narrow.largeStep, 15);
    EXPECT_EQ(narrow.smallStep, 2);
    const ScrollSetting whole = zoomScroll(wholeLog(270), 270);
    EXPECT_EQ(whole.minimum, 135);
    EXPECT_EQ(whole.maximum, 135);
    EXPECT_EQ(whole.value, 135);
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
    EXPECT_EQ(b.time, "1.5 Sec");
    EXPECT_EQ(b.trace1, "5");
    EXPECT_EQ(b.deltaTime, "+10.00 Sec");
    EXPECT_EQ(b.delta1, "+20");
    EXPECT_EQ(b.minimum1, "5");
    EXPECT_EQ(b.maximum1, "25");
    EXPECT_EQ(b.mean1, "15");
    EXPECT_EQ(b.timeOn2, "5.00 Sec");  // ten samples on, half a second each
    EXPECT_EQ(b.mean2, "");
    // The other way round: the differences change sign, the statistics do not.
    b = bReadout(5, 25, time, 0, {rising, rpm, false}, {rising, rpm, false});
    EXPECT_EQ(b.deltaTime, "-10.00 Sec");
    EXPECT_EQ(b.delta2, "-20");
    EXPECT_EQ(b.mean2, "15");
    // A damaged value is passed over.
    rising[6] = std::nanf("");
    EXPECT_NEAR(traceStats(rising, 5, 9)->mean, (5 + 6 + 8 + 9) / 4.0, 1e-9);
}

DataLog launchLog(float interval, int launch) {
    DataLog log;
    log.DataLogInterval = interval;
    BuildElapsedTime(log);
    for (int p = 1; p <= SampleCount; ++p) {
        log.TPSData.at(p) = p >= launch ? 95 : 10;
        log.VSSData.at(p) = p > launch ? float(p - launch) : 0;
    }
    // Full throttle while rolling earlier on is no launch.
    log.TPSData.at(100) = 90;
    log.VSSData.at(99) = 20;
    return log;
}

TEST(ChartOverlay, RunsLineUpAtTheirLaunchesElseAtTheirStarts) {
    const DataLog shown = launchLog(0.1f, 400);   // launch at 40.0 s
    const DataLog other = launchLog(0.05f, 250);  // launch at 12.5 s
    EXPECT_EQ(launchSample(shown), 400);
    EXPECT_NEAR(overlayAlignment(shown, other), 27.5, 1e-4);
    DataLog noLaunch = other;
    noLaunch.TPSData.fill(10);
    EXPECT_EQ(launchSample(noLaunch), std::nullopt);
    EXPECT_NEAR(overlayAlignment(shown, noLaunch), 0.1 - 0.05, 1e-6);
    // With B at 50.0 s on the overlay's sample at 22.5 s, the marker at 52.0 s takes it there.
    EXPECT_NEAR(shiftToMarker(other, 27.5, 50.0, 52.0), 29.5, 1e-4);
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
    struct Case {
        fs::path target;
        bool contentFails;
        const char* says;
    };
    const Case cases[] = {
        {folder / "a folder", false, "it is a folder, not a file"},
        {folder / "missing" / "run.csv", false, "the folder cannot be written"},
        {existing, true, "The picture could not be made."},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        prompts.answerFiles({c.target.string()});
        if (fs::is_regular_file(c.target)) {
            prompts.answerMessages({Answer::Yes, Answer::Ok});  // replace it, then the failure
        } else {
            prompts.answerMessages({Answer::Ok});
        }
        const bool written = exportToFile(prompts, ExportDataTitle, CsvFilter, "data file",
                                          [&](const std::string&) -> std::string {
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
    EXPECT_TRUE(fs::is_directory(folder / "a folder"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velkor::test
