#include "chart/RunSummary.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

#include "analysis/RunThresholds.h"
#include "base/DataLog.h"
#include "base/Latin1.h"
#include "base/Preferences.h"
#include "chart/AnalysisRecord.h"
#include "chart/ChartCsv.h"
#include "chart/ChartExport.h"
#include "chart/TimeSlipTicket.h"

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
                     "Best reaction (s)",
                     "Launch slip (s)",
                     "Wheelspin"};
    int number = 0;
    for (const RunResult& run : analysis.runs) {
        table.rows.push_back({std::to_string(++number), csvNumber(run.startTime, 2),
                              csvNumber(run.endTime - run.startTime, 2),
                              run.fromStandstill ? "standstill" : "rolling",
                              seconds(run.accel(unit)[0]), seconds(run.accel(unit)[1]),
                              seconds(run.accel(unit)[2]), csvNumber(run.peakRpm, 0),
                              csvNumber(run.peakSpeedMph * scale, 1),
                              csvNumber(run.wideOpenSeconds, 2), std::to_string(run.shifts.size()),
                              seconds(run.meanReaction), seconds(run.bestReaction),
                              seconds(run.launchSlip), std::to_string(run.wheelspin.size())});
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
            table.rows.push_back({std::to_string(number), csvNumber(shift.time, 2),
                                  gear(shift.gearBefore) + " to " + gear(shift.gearAfter),
                                  csvNumber(shift.rpmBefore, 0), csvNumber(shift.rpmAfter, 0),
                                  csvNumber(shift.dropPercent, 1),
                                  csvNumber(shift.speedMph * scale, 1), seconds(shift.lightOnset),
                                  seconds(shift.reaction), shiftNote(shift)});
            table.times.push_back(shift.time);
        }
    }
    return table;
}

SummaryTable wheelspinTable(const RunAnalysis& analysis, SpeedUnit unit) {
    const double scale = unit == SpeedUnit::Mph ? 1.0 : KphPerMph;
    SummaryTable table;
    table.headers = {"Run", "Start (s)", "End (s)",
                     unit == SpeedUnit::Mph ? "Peak excess (MPH)" : "Peak excess (km/h)"};
    for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
        for (const WheelspinEvent& spin : analysis.runs[r].wheelspin) {
            table.rows.push_back({std::to_string(r + 1), csvNumber(spin.start, 2),
                                  csvNumber(spin.end, 2),
                                  csvNumber(spin.peakExcessMph * scale, 1)});
            table.times.push_back(spin.start);
        }
    }
    return table;
}

std::string rpmText(const std::optional<double>& rpm) {
    return rpm ? csvNumber(*rpm, 0) : std::string();
}

SummaryTable shiftPointsTable(const RunAnalysis& analysis) {
    SummaryTable table;
    table.headers = {"Gears", "Best shift (RPM)", "Shifted at (RPM)", "Light on at (RPM)"};
    for (const ShiftPoint& point : analysis.shiftPoints) {
        // Where the log cannot tell the best engine speed, the reason stands in its place.
        table.rows.push_back({gear(point.gearFrom) + " to " +
                                  (point.gearFrom > 0 ? std::to_string(point.gearFrom + 1) : "?"),
                              point.bestRpm ? rpmText(point.bestRpm) : point.note,
                              rpmText(point.shiftedRpm), rpmText(point.lightRpm)});
    }
    return table;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return latin1FromUtf8(slash == std::string::npos ? path : path.substr(slash + 1));
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
    if (log.DataBufferEmpty) {
        RunSummary summary;
        summary.logFile = log.FilePath;
        summary.message = EmptyLogText;
        return summary;
    }
    return makeRunSummary(analyseRuns(log), speedUnitOf(prefs), log.FilePath);
}

RunSummary makeRunSummary(RunAnalysis analysis, SpeedUnit unit, std::string logFile) {
    RunSummary summary;
    summary.logFile = std::move(logFile);
    if (!analysis.timeUsable) {
        summary.message = UnusableTimeText;
    } else if (analysis.runs.empty()) {
        summary.message = noRunText();
    }
    summary.runs = runsTable(analysis, unit);
    summary.shifts = shiftsTable(analysis, unit);
    summary.wheelspin = wheelspinTable(analysis, unit);
    summary.shiftPoints = shiftPointsTable(analysis);
    for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
        summary.timeSlips.push_back(timeSlipTicket(analysis.runs[r], r + 1, unit));
        for (const WheelspinEvent& spin : analysis.runs[r].wheelspin) {
            summary.spinSpans.emplace_back(spin.start, spin.end);
        }
    }
    summary.analysis = std::move(analysis);
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

std::vector<std::string> exportRunSummary(Prompts& prompts, const RunSummary& summary) {
    const RunAnalysis& analysis = summary.analysis;
    return exportToFiles(
        prompts, "Export Run Summary", CsvFilter,
        std::string("Replace existing file?\r\nThe shifts go beside it, in the file whose name "
                    "ends in \"") +
            ShiftsFileSuffix + "\"; it is replaced too.",
        "data file", summary.logFile,
        {{"", [&analysis] { return runsCsv(analysis); }},
         {ShiftsFileSuffix, [&analysis] { return shiftsCsv(analysis); }}},
        {nullptr, FileKind::ExportData,
         summary.logFile.empty() ? "" : baseName(summary.logFile) + filterEnding(CsvFilter)});
}

std::string exportedText(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return std::string();
    }
    std::string text = "Runs written to " + fileName(paths[0]);
    if (paths.size() > 1) {
        text += ", shifts to " + fileName(paths[1]);
    }
    return text + ".";
}

}  // namespace velkor
