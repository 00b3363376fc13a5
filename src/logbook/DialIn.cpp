#include "logbook/DialIn.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "base/Numbers.h"
#include "logbook/DensityAltitude.h"
#include "logbook/Pass.h"

namespace velkor {

namespace {

bool isFinite(const WeatherPoint& point) {
    return std::isfinite(point.densityAltitudeFt) && std::isfinite(point.et);
}

}  // namespace

double DialInLine::standardErrorAt(double densityAltitudeFt) const {
    const double offset = densityAltitudeFt - meanFt;
    return residualSe * std::sqrt(1 + 1.0 / passes + offset * offset / sxx);
}

std::optional<DialInLine> fitDialInLine(const std::vector<WeatherPoint>& points) {
    std::vector<WeatherPoint> usable;
    std::copy_if(points.begin(), points.end(), std::back_inserter(usable), isFinite);
    const int n = int(usable.size());
    if (n < DialInMinPasses) {
        return std::nullopt;
    }
    const auto [low, high] = std::minmax_element(
        usable.begin(), usable.end(), [](const WeatherPoint& a, const WeatherPoint& b) {
            return a.densityAltitudeFt < b.densityAltitudeFt;
        });
    if (high->densityAltitudeFt - low->densityAltitudeFt < DialInMinSpreadFt) {
        return std::nullopt;
    }
    double sumX = 0;
    double sumY = 0;
    for (const WeatherPoint& p : usable) {
        sumX += p.densityAltitudeFt;
        sumY += p.et;
    }
    DialInLine line;
    line.passes = n;
    line.meanFt = sumX / n;
    const double meanEt = sumY / n;
    // Sums of deviations from the means, so that a few thousand feet of density altitude do not
    // swamp the hundredths of a second.
    double sxy = 0;
    for (const WeatherPoint& p : usable) {
        const double dx = p.densityAltitudeFt - line.meanFt;
        line.sxx += dx * dx;
        sxy += dx * (p.et - meanEt);
    }
    line.slope = sxy / line.sxx;
    line.intercept = meanEt - line.slope * line.meanFt;
    double squares = 0;
    for (const WeatherPoint& p : usable) {
        const double residual = p.et - line.etAt(p.densityAltitudeFt);
        squares += residual * residual;
    }
    line.residualSe = std::sqrt(squares / (n - 2));
    return line;
}

DialIn predictDialIn(const std::vector<WeatherPoint>& points, double todayDensityAltitudeFt) {
    DialIn dialIn;
    const std::optional<DialInLine> line = fitDialInLine(points);
    if (!line) {
        dialIn.passes = int(std::count_if(points.begin(), points.end(), isFinite));
        dialIn.note =
            dialIn.passes < DialInMinPasses
                ? "needs at least " + std::to_string(DialInMinPasses) + " passes with weather"
                : "needs passes with weather at more than one density altitude";
        return dialIn;
    }
    dialIn.passes = line->passes;
    dialIn.slopePer1000Ft = line->slope * 1000;
    if (!std::isfinite(todayDensityAltitudeFt)) {
        dialIn.note = "needs today's density altitude";
        return dialIn;
    }
    dialIn.et = line->etAt(todayDensityAltitudeFt);
    dialIn.standardError = line->standardErrorAt(todayDensityAltitudeFt);
    return dialIn;
}

std::vector<WeatherPoint> weatherPoints(const std::vector<Pass>& passes) {
    std::vector<WeatherPoint> points;
    for (const Pass& pass : passes) {
        if (!pass.et1320 || !pass.tempF || !pass.baroInHg || !pass.humidityPct) {
            continue;
        }
        const DensityAltitude air =
            densityAltitude({*pass.tempF, *pass.baroInHg, *pass.humidityPct});
        if (air.feet) {
            points.push_back({*air.feet, *pass.et1320});
        }
    }
    return points;
}

std::string dialInText(const DialIn& dialIn, double todayDensityAltitudeFt) {
    const std::string from = std::to_string(dialIn.passes) +
                             (dialIn.passes == 1 ? " pass" : " passes") + " with weather";
    if (!dialIn.et || !dialIn.standardError) {
        return "No dial-in: " + dialIn.note + " (" + from + ").";
    }
    std::string text = "Dial-in " + formatNumber(*dialIn.et, "#0.000") + " s \xC2\xB1 " +
                       formatNumber(*dialIn.standardError, "#0.000") + " s at " +
                       formatNumber(todayDensityAltitudeFt, "####0") +
                       " ft density altitude, from " + from;
    if (dialIn.slopePer1000Ft) {
        text += " (" + std::string(*dialIn.slopePer1000Ft >= 0 ? "+" : "") +
                formatNumber(*dialIn.slopePer1000Ft, "#0.000") + " s per 1000 ft)";
    }
    return text + ".";
}

}  // namespace velkor
