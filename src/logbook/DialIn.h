#pragma once
// The dial-in: the elapsed time a car should run in today's air, from how its earlier passes ran
// in theirs. A bracket racer writes it on the window, and the closer the car runs to it without
// running under it, the better.
//
// The passes' elapsed times are fitted by least squares with a straight line against their
// density altitudes x:
//     slope b = Sxy / Sxx,  intercept a = mean(ET) - b mean(x),
//     Sxx = sum (x - mean x)^2,  Sxy = sum (x - mean x)(ET - mean ET)
// The prediction at today's density altitude x0 is a + b x0, and its standard error of
// prediction, the scatter a single new pass would show about it, is
//     s sqrt(1 + 1/n + (x0 - mean x)^2 / Sxx),  s^2 = sum (ET - a - b x)^2 / (n - 2)
// with s the residual standard error on n - 2 degrees of freedom. The error grows the farther
// today's air lies from the air of the passes it rests on. About two standard errors either
// side hold 95 % of passes when the scatter is like that of the passes fitted.

#include <optional>
#include <string>
#include <vector>

namespace velkor {

struct Pass;

// A line needs two passes, and its scatter a third.
constexpr int DialInMinPasses = 3;
// Density altitudes closer than this (ft) count as the same air: a weather station gives them
// to the foot, and no slope can be told from passes all run in one air.
constexpr double DialInMinSpreadFt = 1;

// A pass's elapsed time in the air it was run in.
struct WeatherPoint {
    double densityAltitudeFt = 0;
    double et = 0;  // seconds
};

// The least-squares line of elapsed time against density altitude.
struct DialInLine {
    int passes = 0;
    double meanFt = 0;      // mean density altitude of the passes
    double sxx = 0;         // sum of squared deviations of their density altitudes, ft^2
    double intercept = 0;   // seconds at 0 ft
    double slope = 0;       // seconds per foot
    double residualSe = 0;  // s, seconds

    double etAt(double densityAltitudeFt) const { return intercept + slope * densityAltitudeFt; }
    double standardErrorAt(double densityAltitudeFt) const;
};

// The line through the points, or nothing with fewer than DialInMinPasses of them or all in
// the same air. Points whose values are not finite are left out.
std::optional<DialInLine> fitDialInLine(const std::vector<WeatherPoint>& points);

struct DialIn {
    int passes = 0;                        // the passes with weather it rests on
    std::optional<double> et;              // predicted for today, seconds
    std::optional<double> standardError;   // of that prediction, seconds
    std::optional<double> slopePer1000Ft;  // seconds per 1000 ft of density altitude
    std::string note;                      // why there is no prediction; empty when there is one
};

DialIn predictDialIn(const std::vector<WeatherPoint>& points, double todayDensityAltitudeFt);

// The passes with an elapsed time and all three weather readings, each at its density
// altitude; passes whose weather is impossible are left out.
std::vector<WeatherPoint> weatherPoints(const std::vector<Pass>& passes);

// The prediction as the racer reads it: "Dial-in 11.523 s ± 0.041 s at 2480 ft density
// altitude, from 7 passes (+0.101 s per 1000 ft)", or why there is none.
std::string dialInText(const DialIn& dialIn, double todayDensityAltitudeFt);

}  // namespace velkor
