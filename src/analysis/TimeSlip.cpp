// First motion and the time slip. Road speed is logged at a known interval, so the distance
// covered is its integral; between two samples the speed is taken to change linearly, which
// the trapezoid rule integrates exactly, and a distance reached between them is found by
// solving that segment's quadratic.

#include "analysis/TimeSlip.h"

#include <algorithm>
#include <cmath>

#include "analysis/LogSamples.h"
#include "analysis/RunThresholds.h"

namespace velkor {

using namespace runs;

namespace {

constexpr double FeetPerSecondPerMph = 5280.0 / 3600.0;

// The time within a segment of length h, starting at speed v0 and ending at v1 (feet a
// second), at which `distance` feet of it have been covered.
double timeWithin(double v0, double v1, double h, double distance) {
    const double a = (v1 - v0) / (2 * h);
    const double root = std::sqrt(std::max(0.0, v0 * v0 + 4 * a * distance));
    const double denominator = v0 + root;
    return denominator > 0 ? std::min(h, 2 * distance / denominator) : h;
}

// The first moving samples' speed over time as a straight line fitted by least squares;
// nothing when it does not rise.
std::optional<double> zeroCrossingOfFit(const LogSamples& s, std::size_t first, std::size_t last) {
    double sumT = 0;
    double sumV = 0;
    const double n = double(last - first + 1);
    for (std::size_t i = first; i <= last; ++i) {
        sumT += s.time[i];
        sumV += s.mph[i];
    }
    const double meanT = sumT / n;
    const double meanV = sumV / n;
    double stt = 0;
    double stv = 0;
    for (std::size_t i = first; i <= last; ++i) {
        stt += (s.time[i] - meanT) * (s.time[i] - meanT);
        stv += (s.time[i] - meanT) * (s.mph[i] - meanV);
    }
    if (!(stt > 0) || !(stv > 0)) {
        return std::nullopt;
    }
    return meanT - meanV * stt / stv;
}

}  // namespace

std::optional<std::size_t> lastAtRest(const LogSamples& s, std::size_t start, std::size_t end) {
    std::size_t rest = start;
    std::size_t i = start;
    for (; i <= end && s.mph[i] < MphMarks[0][1]; ++i) {
        rest = s.mph[i] <= MovingMph ? i : rest;
    }
    // A slow first reading may already be moving: go back while the speed keeps falling.
    while (rest > 0 && s.mph[rest - 1] < s.mph[rest]) {
        --rest;
    }
    bool moves = false;
    for (std::size_t j = rest + 1; j <= end && !moves; ++j) {
        moves = s.mph[j] > MovingMph;
    }
    if (!moves || s.mph[rest] >= StandstillMph) {
        return std::nullopt;
    }
    return rest;
}

double firstMotion(const LogSamples& s, std::size_t rest, std::size_t end) {
    if (s.mph[rest] > MovingMph || rest + 1 > end) {
        return s.time[rest];  // already creeping: it moved no later than this
    }
    // A slow reading at rest may be the car's first movement: the fit takes it in, and first
    // motion lies after the last reading of no speed at all.
    if (rest > 0 && s.mph[rest] > 0 && s.mph[rest - 1] <= 0) {
        --rest;
    }
    const std::size_t first = rest + 1;
    // The fit takes the first moving samples over a short stretch, at least two of them, while
    // the speed still rises.
    std::size_t last = first;
    while (last + 1 <= end && s.mph[last + 1] > s.mph[last] &&
           (last == first || s.time[last + 1] - s.time[first] <= FirstMotionFitSeconds)) {
        ++last;
    }
    const double earliest = s.time[rest];
    const double latest = s.time[first];
    const auto crossing = last > first ? zeroCrossingOfFit(s, first, last) : std::nullopt;
    if (!crossing) {
        return (earliest + latest) / 2;
    }
    return std::clamp(*crossing, earliest, latest);
}

std::vector<DistancePoint> distanceCovered(const LogSamples& s, double motion, std::size_t end,
                                           double upToFeet) {
    std::vector<DistancePoint> points{{motion, 0, 0}};
    for (std::size_t i = 0; i <= end && i < s.size() && points.back().feet < upToFeet; ++i) {
        if (s.time[i] <= motion) {
            continue;
        }
        const DistancePoint& last = points.back();
        const double mph = std::max(0.0, s.mph[i]);
        const double v0 = last.mph * FeetPerSecondPerMph;
        const double v1 = mph * FeetPerSecondPerMph;
        const double h = s.time[i] - last.time;
        points.push_back({s.time[i], last.feet + (v0 + v1) / 2 * h, mph});
    }
    return points;
}

std::optional<DistancePoint> reachedAt(const std::vector<DistancePoint>& points, double feet) {
    if (points.empty() || !(feet >= points.front().feet)) {
        return std::nullopt;
    }
    if (feet == points.front().feet) {
        return points.front();
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const DistancePoint& a = points[i - 1];
        const DistancePoint& b = points[i];
        if (b.feet >= feet) {
            const double h = b.time - a.time;
            const double within = timeWithin(a.mph * FeetPerSecondPerMph,
                                             b.mph * FeetPerSecondPerMph, h, feet - a.feet);
            const double share = h > 0 ? within / h : 1;
            return DistancePoint{a.time + within, feet, a.mph + (b.mph - a.mph) * share};
        }
    }
    return std::nullopt;
}

TimeSlip timeSlip(const LogSamples& s, double motion, std::size_t end) {
    TimeSlip slip;
    const double interval = s.interval > 0 ? s.interval : 0;
    slip.uncertainty = std::min(interval, SlipUncertaintyShare * interval + SlipUncertaintySeconds);
    // The distances wanted, in order: the trap's start before each of its ends.
    constexpr double Trap = 66;
    const std::array<double, 7> wanted = {SlipFeet[0], SlipFeet[1], SlipFeet[2] - Trap,
                                          SlipFeet[2], SlipFeet[3], SlipFeet[4] - Trap,
                                          SlipFeet[4]};
    const std::vector<DistancePoint> points = distanceCovered(s, motion, end, wanted.back());
    std::array<std::optional<double>, 7> reached;
    for (std::size_t k = 0; k < wanted.size(); ++k) {
        if (const auto at = reachedAt(points, wanted[k])) {
            reached[k] = at->time - motion;
        }
    }
    slip.elapsed = {reached[0], reached[1], reached[3], reached[4], reached[6]};
    const auto trap = [](const std::optional<double>& from,
                         const std::optional<double>& to) -> std::optional<double> {
        if (from && to && *to > *from) {
            return Trap / (*to - *from) / FeetPerSecondPerMph;
        }
        return std::nullopt;
    };
    slip.trapEighthMph = trap(reached[2], reached[3]);
    slip.trapQuarterMph = trap(reached[5], reached[6]);
    return slip;
}

}  // namespace velkor
