// The run analysis as scripts and terminals get it: the JSON and CSV contract, the printed time
// slip, tables cut to a terminal's width, and where the Run Summary stands beside the chart.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "chart/AnalysisRecord.h"
#include "chart/ChartExport.h"
#include "chart/TextTable.h"
#include "chart/TimeSlipTicket.h"
#include "chart/WindowPlacement.h"

namespace velkor::test {
namespace {

// A standing start that reaches 1000 ft but not the quarter, with a spin and a shift whose gear
// after is not known; then a rolling run.
RunAnalysis twoRuns() {
    RunAnalysis analysis;
    analysis.interval = 0.016;
    analysis.gearRatios = {142.9012, 97.4};
    RunResult standing;
    standing.startTime = 20.0;
    standing.endTime = 33.5;
    standing.fromStandstill = true;
    standing.firstMotion = 20.4004;
    standing.accelMph = {2.1349, 4.9311, std::nullopt};
    standing.accelKph = {3.0, 5.1384, std::nullopt};
    standing.slip.elapsed = {1.8249, 5.3111, 8.2222, 10.5061, std::nullopt};
    standing.slip.trapEighthMph = 86.4449;
    standing.slip.uncertainty = 0.0113;
    standing.launchSlip = 0.3456;
    standing.wheelspin = {{20.5, 21.25, 6.789}};
    standing.peakRpm = 6607.4;
    standing.peakSpeedMph = 99.876;
    ShiftEvent shift;
    shift.time = 25.44;
    shift.rpmBefore = 6607.4;
    shift.rpmAfter = 4438.2;
    shift.dropPercent = 32.84;
    shift.speedMph = 47.0149;
    shift.gearBefore = 1;
    shift.gearAfter = 0;
    standing.shifts = {shift};
    RunResult rolling;
    rolling.startTime = 50;
    rolling.endTime = 58;
    analysis.runs = {standing, rolling};
    ShiftPoint point;
    point.gearFrom = 1;
    point.shiftedRpm = 6607.4;
    point.note = "the pull in 2nd does not reach below 4400 RPM";
    analysis.shiftPoints = {point};
    return analysis;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

TEST(AnalysisRecord, KeysValuesAndNullsFollowTheContract) {
    const ScriptValue record = analysisRecord(twoRuns());
    EXPECT_EQ(record.keys(), analysisKeys());
    EXPECT_EQ(record["schema"].textValue(), "velkor-analysis/2");
    const ScriptValue& standing = record["runs"].items()[0];
    const ScriptValue& rolling = record["runs"].items()[1];
    EXPECT_EQ(standing.keys(), runKeys());
    EXPECT_EQ(rolling.keys(), runKeys());
    EXPECT_EQ(standing["time_slip"].keys(), timeSlipKeys());
    EXPECT_EQ(standing["wheelspin"].items()[0].keys(), wheelspinKeys());
    EXPECT_EQ(record["shifts"].items()[0].keys(), shiftKeys());
    EXPECT_EQ(record["gears"].items()[0].keys(), gearKeys());
    EXPECT_EQ(record["shift_points"].items()[0].keys(), shiftPointKeys());

    // Rounded once: times to 3 places, speeds to 2, engine speed whole.
    EXPECT_DOUBLE_EQ(standing["first_motion_s"].numberValue(), 20.4);
    EXPECT_DOUBLE_EQ(standing["zero_to_100_kph_s"].numberValue(), 5.138);
    EXPECT_DOUBLE_EQ(standing["peak_rpm"].numberValue(), 6607);
    EXPECT_DOUBLE_EQ(standing["peak_mph"].numberValue(), 99.88);
    EXPECT_DOUBLE_EQ(standing["time_slip"]["trap_660_mph"].numberValue(), 86.44);
    EXPECT_DOUBLE_EQ(standing["wheelspin"].items()[0]["peak_excess_mph"].numberValue(), 6.79);
    // What does not exist is null, never zero or a text.
    EXPECT_TRUE(standing["sixty_to_100_mph_s"].isNull());
    EXPECT_TRUE(standing["time_slip"]["ft1320_s"].isNull());
    EXPECT_TRUE(rolling["time_slip"].isNull());
    EXPECT_TRUE(rolling["first_motion_s"].isNull());
    EXPECT_EQ(rolling["standing_start"].kind(), ScriptValue::Kind::Bool);
    const ScriptValue& shift = record["shifts"].items()[0];
    EXPECT_DOUBLE_EQ(shift["gear_from"].numberValue(), 1);
    EXPECT_TRUE(shift["gear_to"].isNull());
    EXPECT_EQ(shift["note"].textValue(), "no light");
    EXPECT_TRUE(record["shift_points"].items()[0]["best_rpm"].isNull());
}

TEST(AnalysisRecord, JsonWritesShortestNumbersAndEscapesTexts) {
    ScriptValue record = ScriptValue::record();
    record.add("t", ScriptValue::number(12.710000000000001, 3))
        .add("zero", ScriptValue::number(-0.0001, 3))
        .add("whole", ScriptValue::number(6607.4, 0))
        .add("none", ScriptValue::number(std::nan(""), 3))
        .add("note", ScriptValue::text("say \"hi\"\n\\"))
        .add("empty", ScriptValue::list());
    EXPECT_EQ(toJson(record),
              "{\n  \"t\": 12.71,\n  \"zero\": 0,\n  \"whole\": 6607,\n  \"none\": null,\n"
              "  \"note\": \"say \\\"hi\\\"\\n\\\\\",\n  \"empty\": []\n}\n");
}

TEST(AnalysisRecord, CsvFilesAreOneTidyTableEach) {
    const RunAnalysis analysis = twoRuns();
    const std::vector<std::string> runs = lines(runsCsv(analysis));
    ASSERT_EQ(runs.size(), 3u);  // the header and one row a run, no title, no blank line
    std::string header;
    for (const std::string& column : runCsvColumns()) {
        header += (header.empty() ? "" : ",") + column;
    }
    EXPECT_EQ(runs[0], header + "\r");
    EXPECT_NE(header.find("wheelspin_count"), std::string::npos);
    EXPECT_EQ(header.find("time_slip"), std::string::npos);
    for (const std::string& row : runs) {
        EXPECT_EQ(std::count(row.begin(), row.end(), ','), long(runCsvColumns().size() - 1));
    }
    EXPECT_EQ(runs[1].rfind("1,20,20.4,13.5,true,2.135,4.931,,5.138,6607,99.88,", 0), 0u)
        << runs[1];
    EXPECT_NE(runs[1].find(",1,1.825,5.311,8.222,10.506,,86.44,,0.011\r"), std::string::npos)
        << runs[1];
    // A rolling run has no slip: its columns are empty, not zero.
    EXPECT_NE(runs[2].find(",0,,,,,,,,\r"), std::string::npos) << runs[2];

    const std::vector<std::string> shifts = lines(shiftsCsv(analysis));
    ASSERT_EQ(shifts.size(), 2u);
    EXPECT_EQ(shifts[0],
              "run,time_s,gear_from,gear_to,rpm_at_shift,rpm_after,drop_pct,mph,"
              "light_on_s,reaction_s,note\r");
    EXPECT_EQ(shifts[1], "1,25.44,1,,6607,4438,32.8,47.01,,,no light\r");
}

TEST(AnalysisRecord, TheShiftsFileIsNamedFromTheRunsFile) {
    EXPECT_EQ(besideName("/tmp/pass.csv", "-shifts"), "/tmp/pass-shifts.csv");
    EXPECT_EQ(besideName("/tmp/run.2/pass", "-shifts"), "/tmp/run.2/pass-shifts");
    EXPECT_EQ(besideName("/tmp/.pass", "-shifts"), "/tmp/.pass-shifts");
    EXPECT_EQ(besideName("a.b.csv", "-shifts"), "a.b-shifts.csv");
}

TEST(TimeSlipTicket, ReadsLikeAPrintedSlip) {
    const RunAnalysis analysis = twoRuns();
    const std::vector<std::string> slip = timeSlipTicket(analysis.runs[0], 1, SpeedUnit::Mph);
    ASSERT_EQ(slip.size(), 6u);
    EXPECT_EQ(slip[1], "60 ft      1.82 \u00B1 0.02 s");
    EXPECT_EQ(slip[3], "1/8 mile   8.22 \u00B1 0.02 s @  86.4 MPH");
    EXPECT_EQ(slip[4], "1000 ft   10.51 \u00B1 0.02 s");
    EXPECT_EQ(slip[5], "1/4 mile      \u2014");
    EXPECT_NE(timeSlipTicket(analysis.runs[0], 1, SpeedUnit::Kph)[3].find("@ 139.1 km/h"),
              std::string::npos);
    const std::vector<std::string> rolling = timeSlipTicket(analysis.runs[1], 2, SpeedUnit::Mph);
    ASSERT_EQ(rolling.size(), 1u);
    EXPECT_NE(rolling[0].find("Run 2 started rolling"), std::string::npos);

    // The uncertainty is rounded up, never down, and exact hundredths stay as they are.
    EXPECT_EQ(slipUncertaintyText(0.048), "\u00B1 0.05 s");
    EXPECT_EQ(slipUncertaintyText(0.0201), "\u00B1 0.03 s");
    EXPECT_EQ(slipUncertaintyText(0.02), "\u00B1 0.02 s");
    EXPECT_EQ(slipUncertaintyText(0.008 * 2.5), "\u00B1 0.02 s");
}

TEST(TextTable, PartsFitTheTerminalAndRepeatTheFirstColumn) {
    SummaryTable table;
    table.headers = {"Run"};
    std::vector<std::string> row = {"1"};
    for (int c = 0; c < 14; ++c) {
        table.headers.push_back("Column number " + std::to_string(c) + " (s)");
        row.push_back("12.34");
    }
    table.rows = {row, row};
    table.headers.push_back("Note");
    table.rows[0].push_back(std::string(200, 'x'));
    table.rows[1].push_back(
        "a note with words that is far too long to stand beside the run "
        "number on one line of a terminal eighty columns wide");
    const std::vector<std::string> text = textTable(table);
    int headers = 0;
    for (const std::string& line : text) {
        EXPECT_LE(shownWidth(line), TerminalColumns) << line;
        headers += line.rfind("Run  ", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(headers, 6);  // three columns of 20 beside the run a part, and the note alone
    EXPECT_EQ(std::count(text.begin(), text.end(), std::string()), headers - 1);
    std::string all;
    for (const std::string& line : text) {
        all += line + "\n";
    }
    EXPECT_NE(all.find("a note with words"), std::string::npos);
    EXPECT_NE(all.find("eighty columns wide"), std::string::npos);
    EXPECT_EQ(std::count(all.begin(), all.end(), 'x'), 200);
}

bool overlaps(const ScreenBox& a, const ScreenBox& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}
bool inside(const ScreenBox& a, const ScreenBox& screen) {
    return a.x >= screen.x && a.y >= screen.y && a.right() <= screen.right() &&
           a.bottom() <= screen.bottom();
}

TEST(WindowPlacement, TheSummaryStandsBesideTheChartWhereThereIsRoom) {
    const ScreenBox screen{0, 30, 1920, 1050};
    // Room at the right: the chart stays, the summary goes there.
    SideBySide placed = placeBeside(screen, {100, 80, 1180, 760}, 600, 700, 900, 520);
    EXPECT_EQ(placed.chart.x, 100);
    EXPECT_EQ(placed.summary.x, 100 + 1180 + PlacementGap);
    EXPECT_EQ(placed.summary.y, 80);
    // No room at the right but at the left.
    placed = placeBeside(screen, {700, 80, 1180, 760}, 600, 700, 900, 520);
    EXPECT_EQ(placed.chart.x, 700);
    EXPECT_EQ(placed.summary.x, 700 - PlacementGap - 600);
    // Room on neither side: the chart moves over, keeping its size.
    placed = placeBeside(screen, {370, 80, 1180, 760}, 700, 700, 900, 520);
    EXPECT_EQ(placed.chart.width, 1180);
    EXPECT_EQ(placed.chart.right() + PlacementGap, placed.summary.x);
    // Too narrow for both: the summary narrows first, then the chart, down to their least.
    placed = placeBeside(screen, {370, 80, 1180, 760}, 1400, 1200, 900, 520);
    EXPECT_EQ(placed.chart.width, 1180);
    EXPECT_EQ(placed.summary.width, 1920 - PlacementGap - 1180);
    EXPECT_EQ(placed.summary.height, 1050);
    const ScreenBox small{0, 0, 1280, 800};
    placed = placeBeside(small, {50, 20, 1180, 760}, 1400, 700, 700, 520);
    EXPECT_EQ(placed.summary.width, 520);
    EXPECT_EQ(placed.chart.width, 1280 - PlacementGap - 520);
    // Narrower than both at their least: the summary keeps its least, on the screen.
    placed = placeBeside({0, 0, 1024, 768}, {0, 0, 1000, 700}, 800, 600, 900, 520);
    EXPECT_EQ(placed.summary.width, 520);
    EXPECT_EQ(placed.summary.right(), 1024);
    EXPECT_EQ(placed.chart.width, 900);
    // ... standing over the chart's plot, it ends above the controls at the chart's foot, but
    // keeps a useful height when the chart's plot is short.
    placed = placeBeside({0, 0, 1024, 768}, {0, 20, 1000, 700}, 800, 700, 900, 520, 260);
    EXPECT_EQ(placed.summary.y, 20);
    EXPECT_EQ(placed.summary.bottom(), 20 + 700 - 260 - PlacementGap);
    placed = placeBeside({0, 0, 1024, 768}, {0, 0, 1000, 400}, 800, 700, 900, 520, 260);
    EXPECT_EQ(placed.summary.height, OverPlotLeastHeight);
    // Beside the chart, the foot does not matter.
    placed = placeBeside(screen, {100, 80, 1180, 760}, 600, 700, 900, 520, 260);
    EXPECT_EQ(placed.summary.height, 700);
    for (const ScreenBox& chart : {ScreenBox{-200, -50, 1000, 900}, ScreenBox{600, 400, 900, 700},
                                   ScreenBox{0, 0, 1280, 800}}) {
        placed = placeBeside(small, chart, 800, 600, 700, 520);
        EXPECT_FALSE(overlaps(placed.chart, placed.summary));
        EXPECT_TRUE(inside(placed.chart, small) && inside(placed.summary, small));
    }
}

TEST(WindowPlacement, APlotPartlyCoveredOnItsRightLeavesItsLeftInSight) {
    const ScreenBox plot{100, 50, 800, 400};
    EXPECT_DOUBLE_EQ(plotShareSeen(plot, {700, 0, 460, 500}), 0.75);
    EXPECT_DOUBLE_EQ(plotShareSeen(plot, {950, 0, 460, 500}), 1.0);    // beside it
    EXPECT_DOUBLE_EQ(plotShareSeen(plot, {700, 460, 460, 300}), 1.0);  // below it
    EXPECT_DOUBLE_EQ(plotShareSeen(plot, {300, 0, 200, 500}), 1.0);    // inside: right in sight
    EXPECT_DOUBLE_EQ(plotShareSeen(plot, {0, 0, 1000, 500}), 1.0);     // all of it: nothing to do
    EXPECT_DOUBLE_EQ(plotShareSeen({0, 0, 0, 0}, {0, 0, 10, 10}), 1.0);
}

}  // namespace
}  // namespace velkor::test
