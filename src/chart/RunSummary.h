#pragma once
// The run analysis as the Run Summary window shows it: the runs, the shifts, the wheelspin and
// where to shift as tables in the speed unit chosen, a time slip for each run, the times of the
// shifts and the spans of the spins for the chart, or a plain sentence saying why there is
// nothing to show; and the runs and the shifts as two tidy CSV files.

#include <string>
#include <utility>
#include <vector>

#include "analysis/RunAnalysis.h"

namespace velkor {

struct DataLog;
struct Preferences;
class Prompts;

constexpr const char* RunSummaryTitle = "Run Summary";
constexpr const char* EmptyLogText =
    "The log is empty. Download the controller's log or open a log file, then look again.";
constexpr const char* UnusableTimeText =
    "The log's times do not increase from sample to sample, so its runs cannot be timed.";
// In place of a table with no row.
constexpr const char* NoShiftText = "No upshift in the runs.";
constexpr const char* NoWheelspinText = "No wheelspin in the runs.";
constexpr const char* NoShiftPointText = "No upshift between two known gears to work out.";
// "No run in this log: ..." with the throttle a run starts at.
std::string noRunText();

struct SummaryTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<double> times;  // each row's time on the chart: a run's start, a shift's peak
};

// A span of the log's time, from `first` to `second` seconds.
using TimeSpan = std::pair<double, double>;

struct RunSummary {
    std::string message;  // empty when there are runs to show
    SummaryTable runs;
    SummaryTable shifts;
    SummaryTable wheelspin;    // times: each spin's start
    SummaryTable shiftPoints;  // no times: they are not on the chart
    // Each run's time slip (timeSlipTicket), UTF-8; a rolling run's is one line saying why.
    std::vector<std::vector<std::string>> timeSlips;
    std::vector<TimeSpan> spinSpans;  // for the chart's bands
    RunAnalysis analysis;             // as it was found, for the CSV files
    std::string logFile;  // the log file the runs were read from, which an export never replaces
};

SpeedUnit speedUnitOf(const Preferences& prefs);

RunSummary makeRunSummary(const DataLog& log, const Preferences& prefs);
// The summary of an analysis already made, in a speed unit.
RunSummary makeRunSummary(RunAnalysis analysis, SpeedUnit unit, std::string logFile);

// Column widths for a table `width` wide: each column's natural width, and the room to spare
// shared among them in proportion to it (the last takes what rounding leaves). Narrower than
// the natural widths, each keeps its own and the table scrolls.
std::vector<int> spreadColumns(const std::vector<int>& natural, int width);

// The shifts' file is named from the runs' one: "pass.csv" -> "pass-shifts.csv".
constexpr const char* ShiftsFileSuffix = "-shifts";

// Asks for a file name and writes the runs there and the shifts beside it, as tidy CSV
// (AnalysisRecord), safely; says why when it cannot. Returns the names written.
std::vector<std::string> exportRunSummary(Prompts& prompts, const RunSummary& summary);

// What the window says after an export: "Runs written to pass.csv, shifts to
// pass-shifts.csv." (the names without their folders), or nothing when none was written.
std::string exportedText(const std::vector<std::string>& paths);

}  // namespace velkor
