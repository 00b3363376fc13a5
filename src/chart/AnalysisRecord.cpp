#include "chart/AnalysisRecord.h"

#include <optional>

namespace velkor {

namespace {

// Times to the millisecond, speeds to a hundredth, engine speeds whole.
constexpr int TimeDecimals = 3;
constexpr int SpeedDecimals = 2;
constexpr int RpmDecimals = 0;
constexpr int PercentDecimals = 1;
constexpr int RatioDecimals = 3;

ScriptValue time(double value) {
    return ScriptValue::number(value, TimeDecimals);
}
ScriptValue time(const std::optional<double>& value) {
    return value ? time(*value) : ScriptValue();
}
ScriptValue speed(const std::optional<double>& value) {
    return value ? ScriptValue::number(*value, SpeedDecimals) : ScriptValue();
}
ScriptValue rpm(const std::optional<double>& value) {
    return value ? ScriptValue::number(*value, RpmDecimals) : ScriptValue();
}
ScriptValue count(std::size_t value) {
    return ScriptValue::number(double(value), 0);
}
// A gear's number from 1; null for a gear not known.
ScriptValue gear(int number) {
    return number > 0 ? count(std::size_t(number)) : ScriptValue();
}
ScriptValue text(const std::string& value) {
    return value.empty() ? ScriptValue() : ScriptValue::text(value);
}

ScriptValue timeSlipRecord(const TimeSlip& slip) {
    ScriptValue record = ScriptValue::record();
    const auto& keys = timeSlipKeys();
    for (std::size_t i = 0; i < slip.elapsed.size(); ++i) {
        record.add(keys[i], time(slip.elapsed[i]));
    }
    record.add("trap_660_mph", speed(slip.trapEighthMph));
    record.add("trap_1320_mph", speed(slip.trapQuarterMph));
    record.add("uncertainty_s", time(slip.uncertainty));
    return record;
}

ScriptValue wheelspinList(const RunResult& run) {
    ScriptValue list = ScriptValue::list();
    for (const WheelspinEvent& spin : run.wheelspin) {
        list.append(ScriptValue::record()
                        .add("start_s", time(spin.start))
                        .add("end_s", time(spin.end))
                        .add("peak_excess_mph", speed(spin.peakExcessMph)));
    }
    return list;
}

ScriptValue runRecord(const RunResult& run, std::size_t number) {
    ScriptValue record = ScriptValue::record();
    record.add("run", count(number))
        .add("start_s", time(run.startTime))
        .add("first_motion_s", time(run.firstMotion))
        .add("length_s", time(run.endTime - run.startTime))
        .add("standing_start", ScriptValue::boolean(run.fromStandstill))
        .add("zero_to_30_mph_s", time(run.accelMph[0]))
        .add("zero_to_60_mph_s", time(run.accelMph[1]))
        .add("sixty_to_100_mph_s", time(run.accelMph[2]))
        .add("zero_to_100_kph_s", time(run.accelKph[1]))
        .add("peak_rpm", rpm(run.peakRpm))
        .add("peak_mph", speed(run.peakSpeedMph))
        .add("wot_s", time(run.wideOpenSeconds))
        .add("shift_count", count(run.shifts.size()))
        .add("mean_reaction_s", time(run.meanReaction))
        .add("best_reaction_s", time(run.bestReaction))
        .add("launch_slip_s", time(run.launchSlip))
        .add("wheelspin", wheelspinList(run))
        .add("time_slip", run.fromStandstill ? timeSlipRecord(run.slip) : ScriptValue());
    return record;
}

ScriptValue shiftRecord(const ShiftEvent& shift, std::size_t run) {
    ScriptValue record = ScriptValue::record();
    record.add("run", count(run))
        .add("time_s", time(shift.time))
        .add("gear_from", gear(shift.gearBefore))
        .add("gear_to", gear(shift.gearAfter))
        .add("rpm_at_shift", rpm(shift.rpmBefore))
        .add("rpm_after", rpm(shift.rpmAfter))
        .add("drop_pct", ScriptValue::number(shift.dropPercent, PercentDecimals))
        .add("mph", speed(shift.speedMph))
        .add("light_on_s", time(shift.lightOnset))
        .add("reaction_s", time(shift.reaction))
        .add("note", text(shiftNote(shift)));
    return record;
}

std::vector<ScriptValue> runRows(const RunAnalysis& analysis) {
    std::vector<ScriptValue> rows;
    for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
        rows.push_back(runRecord(analysis.runs[r], r + 1));
    }
    return rows;
}

std::vector<ScriptValue> shiftRows(const RunAnalysis& analysis) {
    std::vector<ScriptValue> rows;
    for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
        for (const ShiftEvent& shift : analysis.runs[r].shifts) {
            rows.push_back(shiftRecord(shift, r + 1));
        }
    }
    return rows;
}

}  // namespace

const std::vector<std::string>& analysisKeys() {
    static const std::vector<std::string> keys = {"schema", "interval_s", "runs",
                                                  "shifts", "gears",      "shift_points"};
    return keys;
}

const std::vector<std::string>& runKeys() {
    static const std::vector<std::string> keys = {"run",
                                                  "start_s",
                                                  "first_motion_s",
                                                  "length_s",
                                                  "standing_start",
                                                  "zero_to_30_mph_s",
                                                  "zero_to_60_mph_s",
                                                  "sixty_to_100_mph_s",
                                                  "zero_to_100_kph_s",
                                                  "peak_rpm",
                                                  "peak_mph",
                                                  "wot_s",
                                                  "shift_count",
                                                  "mean_reaction_s",
                                                  "best_reaction_s",
                                                  "launch_slip_s",
                                                  "wheelspin",
                                                  "time_slip"};
    return keys;
}

const std::vector<std::string>& wheelspinKeys() {
    static const std::vector<std::string> keys = {"start_s", "end_s", "peak_excess_mph"};
    return keys;
}

const std::vector<std::string>& timeSlipKeys() {
    static const std::vector<std::string> keys = {"ft60_s",        "ft330_s",      "ft660_s",
                                                  "ft1000_s",      "ft1320_s",     "trap_660_mph",
                                                  "trap_1320_mph", "uncertainty_s"};
    return keys;
}

const std::vector<std::string>& shiftKeys() {
    static const std::vector<std::string> keys = {
        "run",      "time_s", "gear_from",  "gear_to",    "rpm_at_shift", "rpm_after",
        "drop_pct", "mph",    "light_on_s", "reaction_s", "note"};
    return keys;
}

const std::vector<std::string>& gearKeys() {
    static const std::vector<std::string> keys = {"gear", "rpm_per_mph"};
    return keys;
}

const std::vector<std::string>& shiftPointKeys() {
    static const std::vector<std::string> keys = {"gear_from", "best_rpm", "shifted_rpm", "note"};
    return keys;
}

std::string shiftNote(const ShiftEvent& shift) {
    if (!shift.reaction) {
        return "no light";
    }
    return *shift.reaction < 0 ? "early shift" : "";
}

ScriptValue analysisRecord(const RunAnalysis& analysis) {
    ScriptValue gears = ScriptValue::list();
    for (std::size_t g = 0; g < analysis.gearRatios.size(); ++g) {
        gears.append(
            ScriptValue::record()
                .add("gear", count(g + 1))
                .add("rpm_per_mph", ScriptValue::number(analysis.gearRatios[g], RatioDecimals)));
    }
    ScriptValue points = ScriptValue::list();
    for (const ShiftPoint& point : analysis.shiftPoints) {
        points.append(ScriptValue::record()
                          .add("gear_from", gear(point.gearFrom))
                          .add("best_rpm", rpm(point.bestRpm))
                          .add("shifted_rpm", rpm(point.shiftedRpm))
                          .add("note", text(point.note)));
    }
    ScriptValue record = ScriptValue::record();
    record.add("schema", ScriptValue::text(AnalysisSchema))
        .add("interval_s", time(analysis.interval))
        .add("runs", ScriptValue::list(runRows(analysis)))
        .add("shifts", ScriptValue::list(shiftRows(analysis)))
        .add("gears", std::move(gears))
        .add("shift_points", std::move(points));
    return record;
}

const std::vector<std::string>& runCsvColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> all;
        for (const std::string& key : runKeys()) {
            if (key == "wheelspin") {
                all.push_back("wheelspin_count");
            } else if (key == "time_slip") {
                all.insert(all.end(), timeSlipKeys().begin(), timeSlipKeys().end());
            } else {
                all.push_back(key);
            }
        }
        return all;
    }();
    return columns;
}

std::string runsCsv(const RunAnalysis& analysis) {
    std::vector<ScriptValue> rows = runRows(analysis);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ScriptValue flat = ScriptValue::record();
        const ScriptValue& run = rows[r];
        for (std::size_t k = 0; k < run.keys().size(); ++k) {
            flat.add(run.keys()[k], run.items()[k]);
        }
        flat.add("wheelspin_count", count(analysis.runs[r].wheelspin.size()));
        const ScriptValue& slip = run["time_slip"];
        for (const std::string& key : timeSlipKeys()) {
            flat.add(key, slip[key]);
        }
        rows[r] = std::move(flat);
    }
    return tidyCsv(runCsvColumns(), rows);
}

std::string shiftsCsv(const RunAnalysis& analysis) {
    return tidyCsv(shiftKeys(), shiftRows(analysis));
}

}  // namespace velkor
