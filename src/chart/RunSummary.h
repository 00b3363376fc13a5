#pragma once
// The run analysis as the Run Summary window shows it: a table of runs and a table of shifts
// in the speed unit chosen, the times of the shifts for the chart, or a plain sentence saying
// why there is nothing to show; and both tables as one CSV file.

#include <string>
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
// "No run in this log: ..." with the throttle a run starts at.
std::string noRunText();

struct SummaryTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    std::vector<double> times;  // each row's time on the chart: a run's start, a shift's peak
};

struct RunSummary {
    std::string message;  // empty when there are runs to show
    SummaryTable runs;
    SummaryTable shifts;
    std::string logFile;  // the log file the runs were read from, which an export never replaces
};

SpeedUnit speedUnitOf(const Preferences& prefs);

RunSummary makeRunSummary(const DataLog& log, const Preferences& prefs);

// Column widths for a table `width` wide: each column's natural width, and the room to spare
// shared among them in proportion to it (the last takes what rounding leaves). Narrower than
// the natural widths, each keeps its own and the table scrolls.
std::vector<int> spreadColumns(const std::vector<int>& natural, int width);

// Both tables, each under a line naming it, a blank line between them; UTF-8, CR LF.
std::string runSummaryCsv(const RunSummary& summary);

// Asks for a file and writes both tables there as CSV, safely; says why when it cannot.
bool exportRunSummary(Prompts& prompts, const RunSummary& summary);

}  // namespace velkor
