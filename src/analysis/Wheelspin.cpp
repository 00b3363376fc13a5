#include "analysis/Wheelspin.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/LogSamples.h"
#include "analysis/RunThresholds.h"

namespace velkor {

using namespace runs;

namespace {

// A stretch of the run driven at full throttle in one gear: indices [first, last]; from rest
// when `motion` is set (the car's speed is 0 then).
struct DriveStretch {
    std::size_t first = 0;
    std::size_t last = 0;
    std::optional<double> motion;
};

// The car's speed over a stretch as c0 + c1 t + c2 t^2 (t from the stretch's origin), fitted by
// least squares to the samples `use` marks; from rest c0 is held at 0.
struct SpeedCurve {
    double origin = 0;
    std::array<double, 3> c{};
    double at(double time) const {
        const double t = time - origin;
        return c[0] + t * (c[1] + t * c[2]);
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
    curve.origin = d.motion ? *d.motion : s.time[d.first];
    const bool fromRest = d.motion.has_value();
    const int n = fromRest ? 2 : 3;  // from rest: c1 and c2 only
    std::array<std::array<double, 4>, 3> m{};
    int used = 0;
    for (std::size_t i = d.first; i <= d.last; ++i) {
        if (!use[i - d.first]) {
            continue;
        }
        const double t = s.time[i] - curve.origin;
        const std::array<double, 3> basis =
            fromRest ? std::array<double, 3>{t, t * t, 0} : std::array<double, 3>{1, t, t * t};
        for (int r = 0; r < n; ++r) {
            for (int k = 0; k < n; ++k) {
                m[r][k] += basis[r] * basis[k];
            }
            m[r][n] += basis[r] * s.mph[i];
        }
        ++used;
    }
    std::array<double, 3> x{};
    if (used < SpinFitMinSamples || !solve(m, n, x)) {
        return std::nullopt;
    }
    curve.c = fromRest ? std::array<double, 3>{0, x[0], x[1]} : x;
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

// The run's stretches at full throttle between the launch, the shifts and any lift.
std::vector<DriveStretch> driveStretches(const LogSamples& s, const RunResult& run,
                                         std::size_t end) {
    std::vector<DriveStretch> stretches;
    std::size_t from = std::size_t(run.startSample - 1);
    std::optional<double> motion = run.firstMotion;
    if (motion) {
        while (from <= end && s.time[from] <= *motion) {
            ++from;
        }
    }
    std::size_t shift = 0;
    DriveStretch current{from, from, motion};
    bool open = false;
    for (std::size_t i = from; i <= end; ++i) {
        const bool inShift = shift < run.shifts.size() &&
                             i + 1 >= std::size_t(run.shifts[shift].peakSample) &&
                             i + 1 <= std::size_t(run.shifts[shift].lowSample);
        const bool drives = !inShift && s.tps[i] >= WideOpenThrottlePercent;
        if (drives) {
            current.last = i;
            if (!open) {
                current.first = i;
                open = true;
            }
        } else if (open) {
            stretches.push_back(current);
            current.motion.reset();
            open = false;
        } else if (!inShift) {
            current.motion.reset();  // a lift before the car drove: not from rest any more
        }
        if (shift < run.shifts.size() && i + 1 >= std::size_t(run.shifts[shift].lowSample)) {
            ++shift;
        }
    }
    if (open) {
        stretches.push_back(current);
    }
    return stretches;
}

// Where the excess crosses the spin's edge between samples a and b.
double edgeTime(const LogSamples& s, const std::vector<double>& excess, std::size_t a,
                std::size_t b) {
    const double ea = excess[a];
    const double eb = excess[b];
    if (ea == eb) {
        return s.time[b];
    }
    const double share = std::clamp((SpinEdgeMph - ea) / (eb - ea), 0.0, 1.0);
    return s.time[a] + share * (s.time[b] - s.time[a]);
}

void spinsOfStretch(const LogSamples& s, const DriveStretch& d, std::vector<WheelspinEvent>& out) {
    if (d.last < d.first + std::size_t(SpinFitMinSamples) - 1) {
        return;
    }
    const auto curve = carCurve(s, d);
    if (!curve) {
        return;
    }
    std::vector<double> excess(s.size(), 0.0);
    std::size_t onCurve = 0;
    for (std::size_t i = d.first; i <= d.last; ++i) {
        excess[i] = s.mph[i] - curve->at(s.time[i]);
        onCurve += std::fabs(excess[i]) <= SpinEdgeMph ? 1 : 0;
    }
    // At full throttle in gear the car gathers speed all along, and mostly the wheels follow
    // it; a stretch that does not (braking under throttle, a slipping clutch) says nothing of
    // spins.
    const auto slope = [&curve](double time) {
        const double t = time - curve->origin;
        return curve->c[1] + 2 * curve->c[2] * t;
    };
    if (double(onCurve) < SpinFitMinShare * double(d.last - d.first + 1) ||
        !(slope(s.time[d.first]) > 0) || !(slope(s.time[d.last]) > 0)) {
        return;
    }
    for (std::size_t i = d.first; i <= d.last; ++i) {
        if (excess[i] <= SpinEdgeMph) {
            continue;
        }
        std::size_t j = i;
        double peak = excess[i];
        while (j < d.last && excess[j + 1] > SpinEdgeMph) {
            peak = std::max(peak, excess[++j]);
        }
        if (peak >= SpinMinPeakMph) {
            WheelspinEvent spin;
            spin.start = i > d.first ? edgeTime(s, excess, i - 1, i) : s.time[i];
            if (i == d.first && d.motion) {
                spin.start = *d.motion;  // spinning from the moment the car moved
            }
            spin.end = j < d.last ? edgeTime(s, excess, j, j + 1) : s.time[j];
            spin.peakExcessMph = peak;
            out.push_back(spin);
        }
        i = j;
    }
}

}  // namespace

std::optional<double> launchSlip(const LogSamples& s, const std::vector<double>& gearRatios,
                                 double motion, std::size_t end) {
    if (gearRatios.empty()) {
        return std::nullopt;
    }
    const double locked = gearRatios.front() * (1 + GearMatchTolerance);
    // The engine turns faster than first gear's ratio allows by this much (RPM).
    const auto slipping = [&](std::size_t i) { return s.rpm[i] - locked * s.mph[i]; };
    std::optional<std::size_t> before;
    for (std::size_t i = 0; i <= end; ++i) {
        if (s.time[i] <= motion) {
            continue;
        }
        if (slipping(i) <= 0) {
            if (!before) {
                return 0.0;  // locked at the first moving sample
            }
            const double a = slipping(*before);
            const double b = slipping(i);
            const double share = a > b ? a / (a - b) : 1.0;
            return s.time[*before] + share * (s.time[i] - s.time[*before]) - motion;
        }
        before = i;
    }
    return std::nullopt;
}

std::vector<WheelspinEvent> findWheelspin(const LogSamples& s, const RunResult& run,
                                          std::size_t end) {
    std::vector<WheelspinEvent> spins;
    for (const DriveStretch& d : driveStretches(s, run, end)) {
        spinsOfStretch(s, d, spins);
    }
    return spins;
}

std::vector<double> carSpeed(const LogSamples& s, const std::vector<WheelspinEvent>& spins) {
    std::vector<double> speed = s.mph;
    for (const WheelspinEvent& spin : spins) {
        std::size_t a = 0;
        while (a + 1 < s.size() && s.time[a + 1] <= spin.start) {
            ++a;
        }
        std::size_t b = a;
        while (b + 1 < s.size() && s.time[b] < spin.end) {
            ++b;
        }
        const double t0 = s.time[a];
        const double span = s.time[b] - t0;
        for (std::size_t i = a + 1; i < b && span > 0; ++i) {
            speed[i] = s.mph[a] + (s.mph[b] - s.mph[a]) * (s.time[i] - t0) / span;
        }
    }
    return speed;
}

}  // namespace velkor
