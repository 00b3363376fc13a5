#include "analysis/RunAnalysis.h"

#include <algorithm>
#include <cmath>

#include "analysis/LogSamples.h"
#include "analysis/RunThresholds.h"
#include "analysis/ShiftPoints.h"
#include "analysis/TimeSlip.h"
#include "analysis/Wheelspin.h"
#include "base/DataLog.h"
#include "base/Preferences.h"

namespace velkor {

using namespace runs;

namespace {

using Columns = LogSamples;

// Index pairs [start, end] of the runs.
std::vector<std::pair<std::size_t, std::size_t>> findRuns(const Columns& c) {
    constexpr std::size_t None = std::size_t(-1);
    std::vector<std::pair<std::size_t, std::size_t>> found;
    const std::size_t n = c.time.size();
    std::size_t start = None;
    std::size_t lowSince = None;
    for (std::size_t i = 1; i < n; ++i) {
        if (start == None) {
            const bool throttleUp =
                c.tps[i] > StartThrottlePercent && c.tps[i - 1] <= StartThrottlePercent;
            const bool launch = c.launchLight[i] && !c.launchLight[i - 1];
            if (throttleUp || launch) {
                start = i;
                lowSince = None;
            }
            continue;
        }
        if (c.tps[i] >= EndThrottlePercent || c.launchLight[i]) {
            lowSince = None;
            continue;
        }
        if (lowSince == None) {
            lowSince = i;
        }
        if (c.time[i] - c.time[lowSince] >= EndHoldSeconds) {
            found.emplace_back(start, lowSince);
            start = None;
        }
    }
    if (start != None) {
        found.emplace_back(start, n - 1);
    }
    return found;
}

std::optional<std::size_t> lightOnset(const Columns& c, std::size_t peak, std::size_t low) {
    for (std::size_t j = low; j >= 1 && c.time[peak] - c.time[j] <= LightLookbackSeconds; --j) {
        if (c.shiftLight[j] && !c.shiftLight[j - 1]) {
            return j;
        }
    }
    return std::nullopt;
}

int gearNear(const Columns& c, const std::vector<double>& ratios, std::size_t from, bool forward,
             std::size_t first, std::size_t last) {
    for (std::size_t j = from; j >= first && j <= last; forward ? ++j : --j) {
        if (std::fabs(c.time[j] - c.time[from]) > ShiftWindowSeconds) {
            break;
        }
        if (const int gear = gearOf(ratios, c.rpm[j], c.mph[j]); gear != 0) {
            return gear;
        }
    }
    return 0;
}

// Looks for an upshift whose fall starts at the local peak p; fills `shift` when there is one.
bool shiftAt(const Columns& c, std::size_t p, std::size_t end, ShiftEvent& shift) {
    std::size_t low = p;
    for (std::size_t j = p + 1; j <= end && c.time[j] - c.time[p] <= ShiftWindowSeconds; ++j) {
        if (c.rpm[j] < c.rpm[low]) {
            low = j;
        }
    }
    if (low == p || c.rpm[low] > c.rpm[p] * (1 - ShiftDropFraction)) {
        return false;
    }
    while (low < end && c.rpm[low + 1] < c.rpm[low]) {
        ++low;  // the fall goes on past the window: its bottom is the low point
    }
    std::size_t peak = p;
    for (std::size_t j = p; j < low; ++j) {
        peak = c.rpm[j] > c.rpm[peak] ? j : peak;
    }
    for (std::size_t j = peak + 1; j < low; ++j) {
        peak = c.rpm[j] >= c.rpm[peak] * (1 - PeakToleranceFraction) ? j : peak;
    }
    double slowest = c.mph[peak];
    for (std::size_t j = peak; j <= low; ++j) {
        slowest = std::min(slowest, c.mph[j]);
    }
    if (c.mph[peak] < ShiftMinMph || c.mph[peak] - slowest > ShiftSpeedFallMph) {
        return false;
    }
    bool rises = false;
    std::size_t settled = low;  // the last sample of the window after the low point
    for (std::size_t j = low + 1; j <= end && c.time[j] - c.time[low] <= ShiftWindowSeconds; ++j) {
        rises = rises || c.rpm[j] >= c.rpm[low] * (1 + ShiftRecoveryFraction);
        settled = j;
    }
    // By then the clutch is out again: in a higher gear the engine turns slower for the speed,
    // after a dipped clutch or a lift it is back at the old gear's ratio.
    if (!rises || c.mph[settled] <= 0 ||
        c.rpm[settled] / c.mph[settled] >
            c.rpm[peak] / c.mph[peak] * (1 - ShiftRatioFallFraction)) {
        return false;
    }
    shift.peakSample = int(peak) + 1;
    shift.lowSample = int(low) + 1;
    shift.time = c.time[peak];
    shift.rpmBefore = c.rpm[peak];
    shift.rpmAfter = c.rpm[low];
    shift.dropPercent = 100 * (c.rpm[peak] - c.rpm[low]) / c.rpm[peak];
    shift.speedMph = c.mph[peak];
    if (const auto onset = lightOnset(c, peak, low)) {
        shift.lightOnset = c.time[*onset];
        shift.reaction = c.time[peak] - c.time[*onset];
    }
    return true;
}

std::vector<ShiftEvent> findShifts(const Columns& c, const std::vector<double>& ratios,
                                   std::size_t start, std::size_t end) {
    std::vector<ShiftEvent> shifts;
    for (std::size_t p = std::max<std::size_t>(start, 1); p < end; ++p) {
        if (c.rpm[p] < c.rpm[p - 1] || c.rpm[p] <= c.rpm[p + 1] || c.mph[p] < ShiftMinMph) {
            continue;
        }
        ShiftEvent shift;
        if (shiftAt(c, p, end, shift)) {
            const auto peak = std::size_t(shift.peakSample - 1);
            const auto low = std::size_t(shift.lowSample - 1);
            shift.gearBefore = gearNear(c, ratios, peak, false, start, end);
            shift.gearAfter = gearNear(c, ratios, low, true, start, end);
            shifts.push_back(shift);
            p = low;
        }
    }
    return shifts;
}

// When the speed first reaches `mark` after sample `from`, between samples; nothing when the
// run does not reach it.
std::optional<double> crossing(const Columns& c, std::size_t from, std::size_t end, double mark) {
    for (std::size_t i = from + 1; i <= end; ++i) {
        if (c.mph[i] >= mark && c.mph[i - 1] < mark) {
            const double share = (mark - c.mph[i - 1]) / (c.mph[i] - c.mph[i - 1]);
            return c.time[i - 1] + share * (c.time[i] - c.time[i - 1]);
        }
    }
    return std::nullopt;
}

// The acceleration times of one unit's marks; from rest they count from first motion.
// `rest` is the last sample at rest before first motion.
AccelTimes accelTimes(const Columns& c, const RunResult& run, std::size_t rest, std::size_t end,
                      const double (&marks)[3][2], double toMph) {
    AccelTimes times;
    for (std::size_t m = 0; m < 3; ++m) {
        const bool fromRest = marks[m][0] == 0;
        if (fromRest && !run.firstMotion) {
            continue;
        }
        const std::size_t first = fromRest ? rest : std::size_t(run.startSample - 1);
        const auto from = fromRest ? run.firstMotion : crossing(c, first, end, marks[m][0] * toMph);
        const auto to = crossing(c, first, end, marks[m][1] * toMph);
        if (from && to && *to > *from) {
            times[m] = *to - *from;
        }
    }
    return times;
}

void measureRun(const Columns& c, const std::vector<double>& gearRatios, RunResult& run,
                std::size_t start, std::size_t end) {
    // At a long interval the first full-throttle sample of a launch may already be moving:
    // the sample before it still shows the car at rest.
    run.fromStandstill =
        c.mph[start] < StandstillMph || (start > 0 && c.mph[start - 1] < StandstillMph);
    const auto rest = run.fromStandstill ? lastAtRest(c, start, end) : std::nullopt;
    if (rest) {
        run.firstMotion = firstMotion(c, *rest, end);
    }
    SpinFindings spins = findWheelspin(c, run, end);
    if (rest && !spins.spins.empty()) {
        // Wheels that spin up right after the launch bend the first moving samples' line: first
        // motion comes from the samples before the spin, when there are two of them.
        std::size_t beforeSpin = *rest;
        while (beforeSpin < end && c.time[beforeSpin + 1] < spins.spins.front().start) {
            ++beforeSpin;
        }
        if (beforeSpin >= *rest + 2 && beforeSpin < end &&
            c.time[beforeSpin + 1] - *run.firstMotion <= FirstMotionFitSeconds) {
            run.firstMotion = firstMotion(c, *rest, beforeSpin);
            spins = findWheelspin(c, run, end);
        }
    }
    run.wheelspin = std::move(spins.spins);
    const std::size_t restIndex = rest.value_or(start);
    run.accelMph = accelTimes(c, run, restIndex, end, MphMarks, 1.0);
    run.accelKph = accelTimes(c, run, restIndex, end, KphMarks, 1.0 / KphPerMph);
    if (run.firstMotion) {
        // The distance is the car's, not the spinning wheels'.
        if (spins.carMph.empty()) {
            run.slip = timeSlip(c, *run.firstMotion, end);
        } else {
            Columns car = c;
            car.mph = std::move(spins.carMph);
            run.slip = timeSlip(car, *run.firstMotion, end);
        }
        run.launchSlip = launchSlip(c, gearRatios, *run.firstMotion, end);
        // Wheels spinning at the launch say less of when and how fast the car itself moved.
        const double firstShift = run.shifts.empty() ? c.time[end] : run.shifts.front().time;
        if (!run.wheelspin.empty() && run.wheelspin.front().start < firstShift) {
            run.slip.uncertainty += SlipLaunchSpinSeconds;
        }
    }
    for (std::size_t i = start; i <= end; ++i) {
        run.peakRpm = std::max(run.peakRpm, c.rpm[i]);
        run.peakSpeedMph = std::max(run.peakSpeedMph, c.mph[i]);
        if (i < end && c.tps[i] >= WideOpenThrottlePercent) {
            run.wideOpenSeconds += c.time[i + 1] - c.time[i];
        }
    }
    double sum = 0;
    int count = 0;
    for (const ShiftEvent& shift : run.shifts) {
        if (shift.reaction) {
            sum += *shift.reaction;
            ++count;
            if (!run.bestReaction || std::fabs(*shift.reaction) < std::fabs(*run.bestReaction)) {
                run.bestReaction = shift.reaction;
            }
        }
    }
    if (count > 0) {
        run.meanReaction = sum / count;
    }
}

}  // namespace

std::array<const char*, 3> accelNames(SpeedUnit unit) {
    if (unit == SpeedUnit::Mph) {
        return {"0-30 MPH", "0-60 MPH", "60-100 MPH"};
    }
    return {"0-50 km/h", "0-100 km/h", "100-160 km/h"};
}

RunAnalysis analyseRuns(const DataLog& log) {
    RunAnalysis analysis;
    const Columns c = samplesOf(log);
    analysis.interval = c.interval;
    for (std::size_t i = 1; i < c.time.size(); ++i) {
        if (!(c.time[i] > c.time[i - 1])) {
            analysis.timeUsable = false;
            return analysis;
        }
    }
    analysis.gearRatios = findGearRatios(c.time, c.rpm, c.mph);
    for (const auto& [start, end] : findRuns(c)) {
        RunResult run;
        run.startSample = int(start) + 1;
        run.endSample = int(end) + 1;
        run.startTime = c.time[start];
        run.endTime = c.time[end];
        run.shifts = findShifts(c, analysis.gearRatios, start, end);
        measureRun(c, analysis.gearRatios, run, start, end);
        analysis.runs.push_back(std::move(run));
    }
    analysis.shiftPoints = findShiftPoints(c, analysis.gearRatios, analysis.runs);
    return analysis;
}

std::optional<double> firstLaunch(const DataLog& log) {
    for (const RunResult& run : analyseRuns(log).runs) {
        if (run.firstMotion) {
            return run.firstMotion;
        }
    }
    return std::nullopt;
}

}  // namespace velkor
