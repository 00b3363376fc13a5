// Where to shift. At full throttle the wheels' drive force in a gear is the engine's pull at its
// speed times the gear's ratio, and the car's drag and rolling resistance depend on road speed
// alone. So every gear's acceleration, a = ratio * P(rpm) - D(mph), measures the same engine
// curve P: fitted over all gears at once, it gives each gear's pull at any road speed the log
// covers, and the best upshift is where the next gear, at the engine speed it would land on,
// pulls as hard as the current one.

#include "analysis/ShiftPoints.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/LogSamples.h"
#include "analysis/PullCurve.h"
#include "analysis/RunThresholds.h"

namespace velkor {

using namespace runs;

namespace {

std::size_t indexOf(int sampleNumber, std::size_t size) {
    return std::min(std::size_t(std::max(sampleNumber, 1) - 1), size - 1);
}

// The gear of every sample at which the engine drives the car at full throttle with the clutch
// locked, 0 elsewhere: outside the runs, off full throttle, while the launch limiter holds the
// engine back, from a shift's fall until the clutch has settled in the next gear, and during a
// spin. At the launch the clutch counts as locked once engine speed matches first gear's (the
// last moments of its slip pass the engine's own torque on at a steady engine speed), so that a
// long logging interval keeps the low engine speeds it has.
std::vector<int> drivingGears(const LogSamples& s, const std::vector<double>& ratios,
                              const std::vector<RunResult>& runs) {
    std::vector<int> gear(s.size(), 0);
    for (const RunResult& run : runs) {
        const std::size_t start = indexOf(run.startSample, s.size());
        const std::size_t end = indexOf(run.endSample, s.size());
        for (std::size_t i = start; i <= end; ++i) {
            const bool spinning = std::any_of(
                run.wheelspin.begin(), run.wheelspin.end(), [&](const WheelspinEvent& spin) {
                    return s.time[i] >= spin.start && s.time[i] <= spin.end;
                });
            const bool pulling =
                s.tps[i] >= WideOpenThrottlePercent && !s.launchLight[i] && !spinning;
            gear[i] = pulling ? gearOf(ratios, s.rpm[i], s.mph[i]) : 0;
        }
        for (const ShiftEvent& shift : run.shifts) {
            const std::size_t low = indexOf(shift.lowSample, s.size());
            const double settled = s.time[low] + ShiftSettleSeconds;
            for (std::size_t j = indexOf(shift.peakSample, s.size()) + 1;
                 j <= end && (j <= low || s.time[j] < settled); ++j) {
                gear[j] = 0;
            }
        }
    }
    return gear;
}

// The slopes of road speed over windows sliding along a stretch of samples in one gear.
void measureStretch(const LogSamples& s, std::size_t first, std::size_t last, int gear,
                    double ratio, std::vector<Pull>& pulls) {
    const std::size_t count = last - first + 1;
    if (count < 2 || !(s.time[last] > s.time[first])) {
        return;
    }
    const double step = (s.time[last] - s.time[first]) / double(count - 1);
    const auto width = std::size_t(std::max(1.0, std::round(PullWindowSeconds / step))) + 1;
    for (std::size_t a = first; a + width <= last + 1; ++a) {
        // Times from the window's first sample, so that a long log's times do not cancel out.
        double sumT = 0;
        double sumV = 0;
        double sumTT = 0;
        double sumTV = 0;
        Pull pull;
        pull.rpmLow = s.rpm[a];
        pull.rpmHigh = s.rpm[a];
        for (std::size_t i = a; i < a + width; ++i) {
            const double t = s.time[i] - s.time[a];
            sumT += t;
            sumV += s.mph[i];
            sumTT += t * t;
            sumTV += t * s.mph[i];
            pull.rpm += s.rpm[i];
            pull.rpmLow = std::min(pull.rpmLow, s.rpm[i]);
            pull.rpmHigh = std::max(pull.rpmHigh, s.rpm[i]);
        }
        const double n = double(width);
        pull.weight = sumTT - sumT * sumT / n;
        if (!(pull.weight > 0)) {
            continue;
        }
        pull.accel = (sumTV - sumT * sumV / n) / pull.weight;
        pull.rpm /= n;
        pull.speed = sumV / n / PullSpeedScaleMph;
        pull.ratio = ratio;
        pull.gear = gear;
        pulls.push_back(pull);
    }
}

std::vector<Pull> measurePulls(const LogSamples& s, const std::vector<double>& ratios,
                               const std::vector<int>& gear) {
    std::vector<Pull> pulls;
    pulls.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        std::size_t last = i;
        while (last + 1 < s.size() && gear[last + 1] == gear[i]) {
            ++last;
        }
        if (gear[i] != 0) {
            const double ratio = ratios[std::size_t(gear[i] - 1)] / ratios[0];
            measureStretch(s, i, last, gear[i], ratio, pulls);
        }
        i = last + 1;
    }
    return pulls;
}

// The standard deviation of ratio * P(rpm) - nextRatio * P(nextRpm): how sure the curve is
// which of two gears pulls harder.
double deviation(const PullCurve& curve, double ratio, double rpm, double nextRatio,
                 double nextRpm) {
    const int m = curve.knotCount() + 2;
    std::vector<double> y(std::size_t(m), 0.0);
    for (const auto& [weight, speed] : {std::pair(ratio, rpm), std::pair(-nextRatio, nextRpm)}) {
        double share = 0;
        const auto k = std::size_t(curve.intervalOf(speed, share));
        y[k] += weight * (1 - share);
        y[k + 1] += weight * share;
    }
    substitute(curve.factor, m, y, false);
    double sum = 0;
    for (const double v : y) {
        sum += v * v;
    }
    return std::sqrt(curve.scatter * sum);
}

// Where the pulls lie over engine speed: a speed is covered between the lowest and the highest
// measured where the measurements on either side of it lie no further apart than PullGapRpm.
struct Coverage {
    std::vector<double> rpm;  // the windows' lowest and highest engine speeds, lowest first

    double low() const { return rpm.front(); }
    double high() const { return rpm.back(); }
    bool covers(double x) const {
        const auto above = std::lower_bound(rpm.begin(), rpm.end(), x);
        return x >= low() && x <= high() &&
               (above == rpm.begin() || *above - *std::prev(above) <= PullGapRpm);
    }
};

// An engine speed as the notes give it, to 10 RPM: "6,450 RPM".
std::string rpmText(double rpm) {
    const long rounded = std::lround(rpm / 10) * 10;
    char text[32];
    if (rounded >= 1000) {
        std::snprintf(text, sizeof text, "%ld,%03ld RPM", rounded / 1000, rounded % 1000);
    } else {
        std::snprintf(text, sizeof text, "%ld RPM", rounded);
    }
    return text;
}

// The best engine speed to leave gear g (1..) for the next, or the note why there is none.
void findCrossing(const PullCurve& curve, const Coverage& coverage,
                  const std::vector<double>& ratios, ShiftPoint& point) {
    const double from = ratios[std::size_t(point.gearFrom - 1)];
    const double next = ratios[std::size_t(point.gearFrom)];
    const double drop = next / from;  // engine speed after the shift over before it
    const auto ahead = [&](double rpm) {
        return from * curve.at(rpm) - next * curve.at(rpm * drop);
    };
    const double lowest = coverage.low() / drop;  // the next gear must land on a measured speed
    if (lowest > coverage.high()) {
        point.note = "the log's pull spans only " + rpmText(coverage.low()) + " to " +
                     rpmText(coverage.high()) + ", too narrow to compare the two gears";
        return;
    }
    if (ahead(lowest) < 0) {
        point.note = "the next gear pulls harder already at " + rpmText(lowest) +
                     ", the lowest engine speed the log's pull covers for this shift";
        return;
    }
    double before = lowest;
    for (double rpm = lowest + CrossingStepRpm; rpm <= coverage.high(); rpm += CrossingStepRpm) {
        const double gap = ahead(rpm);
        if (gap < 0) {
            const double gapBefore = ahead(before);
            const double crossing = before + (rpm - before) * gapBefore / (gapBefore - gap);
            if (!coverage.covers(crossing) || !coverage.covers(crossing * drop)) {
                point.note = "the log's pull has a gap near " + rpmText(crossing) + " or " +
                             rpmText(crossing * drop) + ", where this shift is to be judged";
                return;
            }
            // How far the crossing may move for the curve's uncertainty; a curve that does not
            // pull at all there is no engine's.
            const double spread = deviation(curve, from, crossing, next, crossing * drop) *
                                  (rpm - before) / (gapBefore - gap);
            if (spread <= CrossingSpreadRpm && curve.at(crossing) > 0 &&
                curve.at(crossing * drop) > 0) {
                point.bestRpm = crossing;
            } else {
                point.note = "the log's pull is too scattered to place this shift within " +
                             rpmText(CrossingSpreadRpm);
            }
            return;
        }
        before = rpm;
    }
    point.note = "no crossing below " + rpmText(coverage.high()) +
                 ", where the log's pull ends: shift at the limiter, or log a run that revs higher";
}

// Where the driver shifted out of each gear and where the light came on for those shifts.
void driverShifts(const LogSamples& s, const std::vector<RunResult>& runs, ShiftPoint& point) {
    double shifted = 0;
    double lit = 0;
    int shifts = 0;
    int lights = 0;
    for (const RunResult& run : runs) {
        for (const ShiftEvent& shift : run.shifts) {
            if (shift.gearBefore != point.gearFrom) {
                continue;
            }
            shifted += shift.rpmBefore;
            ++shifts;
            if (shift.lightOnset) {
                const auto at = std::lower_bound(s.time.begin(), s.time.end(), *shift.lightOnset);
                lit += at == s.time.end() ? s.rpm.back() : s.rpm[std::size_t(at - s.time.begin())];
                ++lights;
            }
        }
    }
    if (shifts > 0) {
        point.shiftedRpm = shifted / shifts;
    }
    if (lights > 0) {
        point.lightRpm = lit / lights;
    }
}

// The curve's knots over the engine speeds measured, and where the measurements lie.
PullCurve spanCurve(const std::vector<Pull>& pulls, Coverage& coverage) {
    coverage.rpm.clear();
    coverage.rpm.reserve(2 * pulls.size());
    for (const Pull& pull : pulls) {
        coverage.rpm.push_back(pull.rpmLow);
        coverage.rpm.push_back(pull.rpmHigh);
    }
    std::sort(coverage.rpm.begin(), coverage.rpm.end());
    PullCurve curve;
    curve.firstRpm = std::floor(coverage.low() / PullKnotRpm) * PullKnotRpm;
    const double span = std::ceil(coverage.high() / PullKnotRpm) * PullKnotRpm - curve.firstRpm;
    const int intervals = std::clamp(int(std::lround(span / PullKnotRpm)), 1, PullMaxKnots - 1);
    curve.spacing = std::max(span, PullKnotRpm) / intervals;
    curve.knots.assign(std::size_t(intervals + 1), 0.0);
    return curve;
}

// Keeps the gears that hold enough measurements and in which the car gathers speed at all (a
// car held at one speed at full throttle is on a dyno or a tow, and tells nothing of its pull);
// true when at least two remain, enough to tell the engine's pull from the drag.
bool keepPullingGears(std::vector<Pull>& pulls, std::size_t gears) {
    struct Tally {
        int count = 0;
        double weight = 0;
        double gain = 0;  // acceleration by weight
    };
    std::vector<Tally> tally(gears + 1);
    for (const Pull& pull : pulls) {
        Tally& t = tally[std::size_t(pull.gear)];
        ++t.count;
        t.weight += pull.weight;
        t.gain += pull.weight * pull.accel;
    }
    const auto pulling = [](const Tally& t) {
        return t.count >= PullMinPerGear && t.gain > PullMinMphPerSecond * t.weight;
    };
    pulls.erase(std::remove_if(pulls.begin(), pulls.end(),
                               [&](const Pull& p) { return !pulling(tally[std::size_t(p.gear)]); }),
                pulls.end());
    return std::count_if(tally.begin(), tally.end(), pulling) >= 2;
}

}  // namespace

std::vector<ShiftPoint> findShiftPoints(const LogSamples& s, const std::vector<double>& gearRatios,
                                        const std::vector<RunResult>& runs) {
    if (gearRatios.size() < 2 || runs.empty() || s.size() == 0) {
        return {};
    }
    std::vector<Pull> pulls = measurePulls(s, gearRatios, drivingGears(s, gearRatios, runs));
    Coverage coverage;
    PullCurve curve;
    std::string noCurve;
    if (!keepPullingGears(pulls, gearRatios.size())) {
        noCurve = "the log's runs hold full-throttle pull in fewer than two gears";
    } else {
        curve = spanCurve(pulls, coverage);
        if (!fitRobustly(pulls, curve)) {
            noCurve = "the log's pull does not fit one engine curve";
        }
    }
    std::vector<ShiftPoint> points(gearRatios.size() - 1);
    for (std::size_t g = 0; g < points.size(); ++g) {
        ShiftPoint& point = points[g];
        point.gearFrom = int(g) + 1;
        driverShifts(s, runs, point);
        if (noCurve.empty()) {
            findCrossing(curve, coverage, gearRatios, point);
        } else {
            point.note = noCurve;
        }
    }
    return points;
}

}  // namespace velkor
