#include "analysis/Wheelspin.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/LogSamples.h"
#include "analysis/RunThresholds.h"

namespace velkor {

using namespace runs;

namespace {

// Where the car's speed is known for certain at the start of a stretch: 0 at first motion, the
// speed through a shift (no drive, so no spin) after one.
struct Anchor {
    double time = 0;
    double mph = 0;
};

// A stretch of the run driven at full throttle in one gear: indices [first, last].
struct DriveStretch {
    std::size_t first = 0;
    std::size_t last = 0;
    std::optional<Anchor> anchor;
};

// The car's speed over a stretch as a polynomial in t, fitted by least squares to the samples
// `use` marks: from an anchor c0 + c1 t + c2 t^2 + c3 t^3 with c0 the anchor's speed and t from
// its time (the speed bends both ways as a clutch takes up and the pull falls away), else
// c0 + c1 t + c2 t^2 from the stretch's first sample.
struct SpeedCurve {
    double origin = 0;
    std::array<double, 4> c{};
    double at(double time) const {
        const double t = time - origin;
        return c[0] + t * (c[1] + t * (c[2] + t * c[3]));
    }
    double slope(double time) const {
        const double t = time - origin;
        return c[1] + t * (2 * c[2] + t * 3 * c[3]);
    }
};

// Solves the normal equations of up to three unknowns; false when they are singular.
bool solve(std::array<std::array<double, 4>, 3>& m, int n, std::array<double, 3>& x) {
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r) {
            pivot = std::fabs(m[r][col]) > std::fabs(m[pivot][col]) ? r : pivot;
        }
        if (std::fabs(m[pivot][col]) < 1e-12) {
            return false;
        }
        std::swap(m[col], m[pivot]);
        for (int r = 0; r < n; ++r) {
            if (r != col) {
                const double f = m[r][col] / m[col][col];
                for (int k = col; k <= n; ++k) {
                    m[r][k] -= f * m[col][k];
                }
            }
        }
    }
    for (int i = 0; i < n; ++i) {
        x[i] = m[i][n] / m[i][i];
    }
    return true;
}

std::optional<SpeedCurve> fitCurve(const LogSamples& s, const DriveStretch& d,
                                   const std::vector<bool>& use) {
    SpeedCurve curve;
    const bool anchored = d.anchor.has_value();
    curve.origin = anchored ? d.anchor->time : s.time[d.first];
    const double base = anchored ? d.anchor->mph : 0;
    constexpr int n = 3;
    std::array<std::array<double, 4>, 3> m{};
    int used = 0;
    for (std::size_t i = d.first; i <= d.last; ++i) {
        if (!use[i - d.first]) {
            continue;
        }
        const double t = s.time[i] - curve.origin;
        const std::array<double, 3> basis = anchored ? std::array<double, 3>{t, t * t, t * t * t}
                                                     : std::array<double, 3>{1, t, t * t};
        for (int r = 0; r < n; ++r) {
            for (int k = 0; k < n; ++k) {
                m[r][k] += basis[r] * basis[k];
            }
            m[r][n] += basis[r] * (s.mph[i] - base);
        }
        ++used;
    }
    std::array<double, 3> x{};
    if (used < SpinFitMinSamples || !solve(m, n, x)) {
        return std::nullopt;
    }
    curve.c = anchored ? std::array<double, 4>{base, x[0], x[1], x[2]}
                       : std::array<double, 4>{x[0], x[1], x[2], 0};
    return curve;
}

// The car's curve over a stretch: fitted again and again to the samples near the last fit, so
// that a spin's samples (above it) and a shift's tail (below it) drop out.
std::optional<SpeedCurve> carCurve(const LogSamples& s, const DriveStretch& d) {
    std::vector<bool> use(d.last - d.first + 1, true);
    std::optional<SpeedCurve> curve = fitCurve(s, d, use);
    for (int round = 0; curve && round < SpinFitRounds; ++round) {
        // Wide at first, so that a fit pulled up by a spin still keeps the samples of the car.
        const double keep = std::max(SpinEdgeMph, SpinFitFirstKeepMph / double(1 << round));
        bool changed = false;
        for (std::size_t i = d.first; i <= d.last; ++i) {
            const bool near = std::fabs(s.mph[i] - curve->at(s.time[i])) <= keep;
            changed = changed || near != use[i - d.first];
            use[i - d.first] = near;
        }
        if (!changed && keep <= SpinEdgeMph) {
            break;
        }
        curve = fitCurve(s, d, use);
    }
    return curve;
}

// The run's stretches at full throttle: from first motion, from each shift, and after a lift.
std::vector<DriveStretch> driveStretches(const LogSamples& s, const RunResult& run,
                                         std::size_t end) {
    std::vector<DriveStretch> stretches;
    std::size_t i = std::size_t(run.startSample - 1);
    std::optional<Anchor> anchor;
    if (run.firstMotion) {
        anchor = Anchor{*run.firstMotion, 0};
        while (i <= end && s.time[i] <= *run.firstMotion) {
            ++i;
        }
    }
    std::size_t shift = 0;
    while (i <= end) {
        if (s.tps[i] < WideOpenThrottlePercent) {
            anchor.reset();  // a lift: the car's speed there is not known for certain
            ++i;
            continue;
        }
        while (shift < run.shifts.size() && std::size_t(run.shifts[shift].peakSample) <= i) {
            ++shift;
        }
        DriveStretch d{i, i, anchor};
        const std::size_t stop = shift < run.shifts.size()
                                     ? std::min(end, std::size_t(run.shifts[shift].peakSample - 1))
                                     : end;
        while (d.last + 1 <= stop && s.tps[d.last + 1] >= WideOpenThrottlePercent) {
            ++d.last;
        }
        stretches.push_back(d);
        i = d.last + 1;
        anchor.reset();
        if (shift < run.shifts.size() && d.last == std::size_t(run.shifts[shift].peakSample - 1)) {
            // Through the shift the wheels do not drive, so their speed is the car's: no more
            // than it was at the peak plus what the car gained over the interval before it. The
            // drive takes up where engine speed first stops falling (a spin may carry it up
            // again and put the shift's lowest point after the spin), or sooner where road
            // speed rises past that: at a long interval one sample may hold both the fall and
            // the start of a spin.
            const auto peak = std::size_t(run.shifts[shift].peakSample - 1);
            const double gained = peak > 0 ? std::max(0.0, s.mph[peak] - s.mph[peak - 1]) : 0;
            const double most = s.mph[peak] + gained;
            std::size_t low = peak;
            while (low + 1 < std::size_t(run.shifts[shift].lowSample) &&
                   s.rpm[low + 1] < s.rpm[low] && s.mph[low + 1] <= most + SpinEdgeMph) {
                ++low;
            }
            anchor = Anchor{s.time[low], std::min(s.mph[low], most)};
            i = low + 1;
            ++shift;
        }
    }
    return stretches;
}

// Where the excess rises through (or falls back through) the spin's edge between the times
// ta and tb.
double edgeTime(double ta, double ea, double tb, double eb) {
    if (ea == eb) {
        return tb;
    }
    const double share = std::clamp((SpinEdgeMph - ea) / (eb - ea), 0.0, 1.0);
    return ta + share * (tb - ta);
}

struct Point {
    double time = 0;
    double mph = 0;
};

// A spin over the stretch's samples k..j (counted from its first): its edges, and the car's
// speed through it as a straight line between the samples on either side where the wheels are
// back on the car's curve, or the stretch's anchor.
void addSpin(const LogSamples& s, const DriveStretch& d, const std::vector<double>& excess,
             std::size_t k, std::size_t j, double peak, SpinFindings& found) {
    const std::size_t count = excess.size();
    const auto sample = [&](std::size_t x) {
        return Point{s.time[d.first + x], s.mph[d.first + x]};
    };
    WheelspinEvent spin;
    spin.peakExcessMph = peak;
    if (k > 0) {
        spin.start = edgeTime(sample(k - 1).time, excess[k - 1], sample(k).time, excess[k]);
    } else {
        spin.start =
            d.anchor ? edgeTime(d.anchor->time, 0, sample(0).time, excess[0]) : sample(0).time;
    }
    spin.end = j + 1 < count
                   ? edgeTime(sample(j).time, excess[j], sample(j + 1).time, excess[j + 1])
                   : sample(j).time;
    found.spins.push_back(spin);

    std::size_t a = k;
    while (a > 0 && excess[a - 1] > SpinBridgeMph) {
        --a;
    }
    std::size_t b = j;
    while (b + 1 < count && excess[b + 1] > SpinBridgeMph) {
        ++b;
    }
    const Point onCurveFirst{sample(0).time, sample(0).mph - excess[0]};
    const Point from = a > 0      ? sample(a - 1)
                       : d.anchor ? Point{d.anchor->time, d.anchor->mph}
                                  : onCurveFirst;
    const Point to =
        b + 1 < count ? sample(b + 1) : Point{sample(b).time, sample(b).mph - excess[b]};
    if (found.carMph.empty()) {
        found.carMph = s.mph;
    }
    const double span = to.time - from.time;
    for (std::size_t x = a; x <= b && span > 0; ++x) {
        const double share = (sample(x).time - from.time) / span;
        found.carMph[d.first + x] = from.mph + share * (to.mph - from.mph);
    }
}

// The spins of one stretch; the car's speed through each goes into `car`.
void spinsOfStretch(const LogSamples& s, const DriveStretch& d, SpinFindings& found) {
    if (d.last < d.first + std::size_t(SpinFitMinSamples) - 1) {
        return;
    }
    const auto curve = carCurve(s, d);
    if (!curve) {
        return;
    }
    const std::size_t count = d.last - d.first + 1;
    std::vector<double> excess(count);
    std::size_t onCurve = 0;
    for (std::size_t k = 0; k < count; ++k) {
        excess[k] = s.mph[d.first + k] - curve->at(s.time[d.first + k]);
        onCurve += std::fabs(excess[k]) <= SpinEdgeMph ? 1 : 0;
    }
    // At full throttle in gear the car gathers speed all along, and mostly the wheels follow
    // it; a stretch that does not (braking under throttle, a slipping clutch) says nothing of
    // spins.
    if (double(onCurve) < SpinFitMinShare * double(count) || !(curve->slope(s.time[d.first]) > 0) ||
        !(curve->slope(s.time[d.last]) > 0)) {
        return;
    }
    for (std::size_t k = 0; k < count; ++k) {
        if (excess[k] <= SpinEdgeMph) {
            continue;
        }
        std::size_t j = k;
        double peak = excess[k];
        while (j + 1 < count && excess[j + 1] > SpinEdgeMph) {
            peak = std::max(peak, excess[++j]);
        }
        if (peak >= SpinMinPeakMph) {
            addSpin(s, d, excess, k, j, peak, found);
        }
        k = j;
    }
}

}  // namespace

std::optional<double> launchSlip(const LogSamples& s, const std::vector<double>& gearRatios,
                                 double motion, std::size_t end) {
    if (gearRatios.empty()) {
        return std::nullopt;
    }
    const double ratio = gearRatios.front();
    // How much faster the engine turns than first gear's ratio allows (RPM). While the clutch
    // slips it falls steadily as the car gathers speed; once it has taken up the drive it stays
    // within the noise of 0.
    const auto excess = [&](std::size_t i) { return s.rpm[i] - ratio * s.mph[i]; };
    const auto slipping = [&](std::size_t i) {
        return excess(i) > LaunchLockTolerance * ratio * std::max(s.mph[i], 1.0);
    };
    std::size_t i = 0;
    while (i <= end && s.time[i] <= motion) {
        ++i;
    }
    const std::size_t firstMoving = i;
    while (i <= end && slipping(i)) {
        ++i;
    }
    if (i > end) {
        return std::nullopt;  // the clutch never took up the drive in the run
    }
    if (i == firstMoving) {
        return 0.0;  // taken up by the first moving sample
    }
    // The slipping samples' steady fall, fitted over its last stretch, reaches 0 at the moment
    // the clutch took up the drive.
    double sumT = 0;
    double sumE = 0;
    double n = 0;
    std::size_t from = i;
    while (from > firstMoving && s.time[i - 1] - s.time[from - 1] <= LaunchFitSeconds) {
        --from;
        sumT += s.time[from];
        sumE += excess(from);
        n += 1;
    }
    const double meanT = sumT / n;
    const double meanE = sumE / n;
    double stt = 0;
    double ste = 0;
    for (std::size_t k = from; k < i; ++k) {
        stt += (s.time[k] - meanT) * (s.time[k] - meanT);
        ste += (s.time[k] - meanT) * (excess(k) - meanE);
    }
    const double lastSlipping = s.time[i - 1];
    double lock = 0;
    if (n >= 2 && stt > 0 && ste < 0) {
        lock = meanT - meanE * stt / ste;
    } else {
        // One slipping sample: between it and the first taken-up one.
        const double ea = excess(i - 1);
        const double eb = std::max(0.0, excess(i));
        lock = lastSlipping + ea / std::max(ea - eb, 1e-9) * (s.time[i] - lastSlipping);
    }
    const double interval = s.time[i] - lastSlipping;
    return std::clamp(lock, lastSlipping, s.time[i] + interval) - motion;
}

SpinFindings findWheelspin(const LogSamples& s, const RunResult& run, std::size_t end) {
    SpinFindings found;
    for (const DriveStretch& d : driveStretches(s, run, end)) {
        spinsOfStretch(s, d, found);
    }
    return found;
}

}  // namespace velkor
