// The drag car's figures. The engine is a peaky one: its torque rises to a peak at 4500 RPM and
// falls away hard above 5500, so each upshift pulls best a little below the shift light's 6000
// RPM, and a driver who waits for the light and then reacts always shifts past the best point.

#include "sim/DragPhysics.h"

#include <algorithm>
#include <cmath>

namespace velkor::sim::drag {

namespace {

constexpr double PeakTorqueNm = 420;
constexpr double DrivelineEfficiency = 0.88;
constexpr double MassKg = 1450;
constexpr double Gravity = 9.81;
constexpr double GripG = 0.85;          // the tyres' hold, as a share of the car's weight
constexpr double SpinningGripG = 0.45;  // ... and what they pass on while spinning
constexpr double DragAreaM2 = 0.72;     // drag coefficient times frontal area
constexpr double AirDensity = 1.2;
constexpr double RollingResistance = 0.013;
constexpr double MetresPerSecondPerMph = 0.44704;
constexpr double Pi = 3.14159265358979323846;

struct PullPoint {
    double rpm;
    double share;  // of the peak torque
};

// Full-throttle torque over engine speed; smooth between the points.
constexpr std::array<PullPoint, 18> PullCurve = {{{1000, 0.55},
                                                  {2000, 0.66},
                                                  {3000, 0.79},
                                                  {3500, 0.87},
                                                  {4000, 0.95},
                                                  {4250, 0.985},
                                                  {4500, 1.0},
                                                  {4750, 0.99},
                                                  {5000, 0.96},
                                                  {5250, 0.915},
                                                  {5500, 0.85},
                                                  {5750, 0.77},
                                                  {6000, 0.675},
                                                  {6250, 0.585},
                                                  {6500, 0.525},
                                                  {6750, 0.48},
                                                  {7000, 0.445},
                                                  {7200, 0.42}}};

// The curve's slope at point `i`, from its neighbours.
double slopeAt(std::size_t i) {
    const PullPoint& before = PullCurve[i == 0 ? 0 : i - 1];
    const PullPoint& after = PullCurve[std::min(i + 1, PullCurve.size() - 1)];
    return (after.share - before.share) / (after.rpm - before.rpm);
}

}  // namespace

double engineTorque(double rpm) {
    if (!(rpm < LimiterRpm)) {
        return 0;
    }
    if (rpm <= PullCurve.front().rpm) {
        return PeakTorqueNm * PullCurve.front().share;
    }
    std::size_t i = 1;
    while (PullCurve[i].rpm < rpm) {
        ++i;
    }
    // A cubic through the two points around `rpm` with the slopes their neighbours give.
    const PullPoint& a = PullCurve[i - 1];
    const PullPoint& b = PullCurve[i];
    const double h = b.rpm - a.rpm;
    const double s = (rpm - a.rpm) / h;
    const double s2 = s * s;
    const double s3 = s2 * s;
    const double share = (2 * s3 - 3 * s2 + 1) * a.share + (s3 - 2 * s2 + s) * h * slopeAt(i - 1) +
                         (3 * s2 - 2 * s3) * b.share + (s3 - s2) * h * slopeAt(i);
    return PeakTorqueNm * share;
}

double driveForce(std::size_t gear, double rpm, double throttle) {
    // Engine speed in radians a second per road speed in metres a second.
    const double ratio = RpmPerMph[gear] * 2 * Pi / 60 / MetresPerSecondPerMph;
    return engineTorque(rpm) * throttle * ratio * DrivelineEfficiency;
}

double gripForce() {
    return GripG * MassKg * Gravity;
}

double spinningGripForce() {
    return SpinningGripG * MassKg * Gravity;
}

double resistance(double mph) {
    if (!(mph > 0)) {
        return 0;
    }
    const double v = mph * MetresPerSecondPerMph;
    return AirDensity / 2 * DragAreaM2 * v * v + RollingResistance * MassKg * Gravity;
}

double mphPerSecond(double force) {
    return force / MassKg / MetresPerSecondPerMph;
}

double bestShiftRpm(std::size_t gear) {
    // At the same road speed the next gear turns the engine slower by the gears' ratio; both
    // gears' forces differ only by torque times ratio, so compare those.
    const double lower = RpmPerMph[gear];
    const double higher = RpmPerMph[gear + 1];
    const auto lead = [&](double rpm) {
        return engineTorque(rpm) * lower - engineTorque(rpm * higher / lower) * higher;
    };
    double previous = lead(PullCurve.front().rpm);
    for (double rpm = PullCurve.front().rpm + 1; rpm < LimiterRpm; ++rpm) {
        const double now = lead(rpm);
        if (previous > 0 && now <= 0) {
            return rpm - now / (now - previous);
        }
        previous = now;
    }
    return LimiterRpm;
}

}  // namespace velkor::sim::drag
