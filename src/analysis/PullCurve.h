#pragma once
// The engine's pull over its speed, measured in every gear and pooled through the gears' ratios:
// at full throttle a gear's acceleration is a = ratio * P(rpm) - D(mph), with P the engine's
// curve and D the car's drag and rolling resistance, which depend on road speed alone.

#include <algorithm>
#include <vector>

#include "analysis/RunThresholds.h"

namespace velkor {

// Road speed is scaled so that the drag's square term has a coefficient near one.
constexpr double PullSpeedScaleMph = 100;

// One measurement of the car's pull: road speed's slope over a short window of samples, all in
// one gear at full throttle with the clutch locked.
struct Pull {
    double rpm = 0;     // the window's mean engine speed
    double rpmLow = 0;  // ... its lowest and highest
    double rpmHigh = 0;
    double speed = 0;   // its mean road speed over PullSpeedScaleMph
    double accel = 0;   // MPH a second
    double weight = 0;  // the spread of the window's times: the slope's inverse variance
    double ratio = 0;   // the gear's ratio over the lowest gear's
    int gear = 0;       // 1 = the lowest
};

// The engine's pull over its speed as values at evenly spaced engine speeds with straight lines
// between them, in MPH a second of the lowest gear; and the car's drag.
struct PullCurve {
    double firstRpm = 0;
    double spacing = runs::PullKnotRpm;
    std::vector<double> knots;
    double drag0 = 0;  // MPH a second at any speed
    double drag2 = 0;  // ... times the scaled speed squared
    // The fit's Cholesky factor (lower triangle, row by row) and the scatter of a measurement of
    // unit weight about the curve: together they give what the curve says its uncertainty.
    std::vector<double> factor;
    double scatter = 0;

    int knotCount() const { return int(knots.size()); }
    // The knot interval an engine speed falls in, and its share of the way to the next knot.
    int intervalOf(double rpm, double& share) const {
        const double at = std::clamp((rpm - firstRpm) / spacing, 0.0, double(knotCount() - 1));
        const int k = std::min(int(at), knotCount() - 2);
        share = at - k;
        return k;
    }
    double at(double rpm) const {
        double share = 0;
        const int k = intervalOf(rpm, share);
        return knots[k] * (1 - share) + knots[k + 1] * share;
    }
};

// Solves l y = b in place, l a Cholesky factor's lower triangle (m by m, row by row); with
// `back`, then l' x = y as well.
void substitute(const std::vector<double>& l, int m, std::vector<double>& b, bool back);

// The measurement's misfit to the curve, by its weight.
double residual(const PullCurve& curve, const Pull& pull);

// Fits the curve (whose firstRpm, spacing and number of knots are set) over the pulls, then
// again without the measurements the first fit cannot explain; false when the pulls do not
// determine it.
bool fitRobustly(const std::vector<Pull>& pulls, PullCurve& curve);

}  // namespace velkor
