#include "chart/RunSummary.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "analysis/RunThresholds.h"
#include "base/DataLog.h"
#include "base/Preferences.h"
#include "chart/ChartCsv.h"
#include "chart/ChartExport.h"

namespace velkor {

namespace {

std::string seconds(const std::optional<double>& value) {
    return value ? csvNumber(*value, 2) : std::string();
}

std::string gear(int number) {
    return number > 0 ? std::to_string(number) : std::string("?");
}

SummaryTable runsTable(const RunAnalysis& analysis, SpeedUnit unit) {
    const std::string speed = unit == SpeedUnit::Mph ? "MPH" : "km/h";
    const double scale = unit == SpeedUnit::Mph ? 1.0 : KphPerMph;
    const auto marks = accelNames(unit);
    SummaryTable table;
    table.headers = {"Run",
                     "Start (s)",
                     "Length (s)",
                     "Start from",
                     std::string(marks[0]) + " (s)",
                     std::string(marks[1]) + " (s)",
                     std::string(marks[2]) + " (s)",
                     "Peak RPM",
                     "Peak speed (" + speed + ")",
                     "Wide open (s)",
                     "Shifts",
                     "Mean reaction (s)",
                     "Best reaction (s)"};
    int number = 0;
    for (const RunResult& run : analysis.runs) {
        table.rows.push_back({std::to_string(++number), csvNumber(run.startTime, 2),
                              csvNumber(run.endTime - run.startTime, 2),
                              run.fromStandstill ? "standstill" : "rolling",
                              seconds(run.accel(unit)[0]), seconds(run.accel(unit)[1]),
                              seconds(run.accel(unit)[2]), csvNumber(run.peakRpm, 0),
                              csvNumber(run.peakSpeedMph * scale, 1),
                              csvNumber(run.wideOpenSeconds, 2), std::to_string(run.shifts.size()),
                              seconds(run.meanReaction), seconds(run.bestReaction)});
        table.times.push_back(run.startTime);
    }
    return table;
}

SummaryTable shiftsTable(const RunAnalysis& analysis, SpeedUnit unit) {
    const double scale = unit == SpeedUnit::Mph ? 1.0 : KphPerMph;
    SummaryTable table;
    table.headers = {"Run",
                     "Time (s)",
                     "Gears",
                     "RPM at shift",
                     "RPM after",
                     "Drop (%)",
                     unit == SpeedUnit::Mph ? "Speed (MPH)" : "Speed (km/h)",
                     "Light on (s)",
                     "Reaction (s)",
                     "Note"};
    int number = 0;
    for (const RunResult& run : analysis.runs) {
        ++number;
        for (const ShiftEvent& shift : run.shifts) {
            std::string note;
            if (!shift.reaction) {
                note = "no light";
            } else if (*shift.reaction < 0) {
                note = "early shift";
            }
            table.rows.push_back({std::to_string(number), csvNumber(shift.time, 2),
                                  gear(shift.gearBefore) + " to " + gear(shift.gearAfter),
                                  csvNumber(shift.rpmBefore, 0), csvNumber(shift.rpmAfter, 0),
                                  csvNumber(shift.dropPercent, 1),
                                  csvNumber(shift.speedMph * scale, 1), seconds(shift.lightOnset),
                                  seconds(shift.reaction), note});
            table.times.push_back(shift.time);
        }
    }
    return table;
}

void appendTable(std::string& text, const std::string& title, const SummaryTable& table) {
    const auto line = [&text](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            text += (i == 0 ? "" : ",") + csvField(fields[i]);
        }
        text += "\r\n";
    };
    line({title});
    line(table.headers);
    for (const auto& row : table.rows) {
        line(row);
    }
}

}  // namespace

std::string noRunText() {
    return "No run in this log: the throttle never rises past " +
           csvNumber(runs::StartThrottlePercent, 0) + " % and the launch light never comes on.";
}

SpeedUnit speedUnitOf(const Preferences& prefs) {
    return prefs.VSSUnits == "MPH" ? SpeedUnit::Mph : SpeedUnit::Kph;
}

RunSummary makeRunSummary(const DataLog& log, const Preferences& prefs) {
    RunSummary summary;
    summary.logFile = log.FilePath;
    if (log.DataBufferEmpty) {
        summary.message = EmptyLogText;
        return summary;
    }
    const SpeedUnit unit = speedUnitOf(prefs);
    const RunAnalysis analysis = analyseRuns(log);
    if (!analysis.timeUsable) {
        summary.message = UnusableTimeText;
    } else if (analysis.runs.empty()) {
        summary.message = noRunText();
    }
    summary.runs = runsTable(analysis, unit);
    summary.shifts = shiftsTable(analysis, unit);
    return summary;
}

std::vector<int> spreadColumns(const std::vector<int>& natural, int width) {
    const int total = std::accumulate(natural.begin(), natural.end(), 0);
    const int spare = std::max(0, width - total);
    std::vector<int> widths;
    int given = 0;
    for (std::size_t c = 0; c < natural.size(); ++c) {
        const int share = c + 1 == natural.size() ? spare - given : spare * natural[c] / total;
        given += share;
        widths.push_back(natural[c] + share);
    }
    return widths;
}

std::string runSummaryCsv(const RunSummary& summary) {
    std::string text;
    appendTable(text, "Runs", summary.runs);
    text += "\r\n";
    appendTable(text, "Shifts", summary.shifts);
    return text;
}

bool exportRunSummary(Prompts& prompts, const RunSummary& summary) {
    return exportToFile(prompts, "Export Run Summary", CsvFilter, "data file", summary.logFile,
                        [&summary](const std::string&) { return runSummaryCsv(summary); });
}

}  // namespace velkor
