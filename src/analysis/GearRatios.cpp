// Gears from the log alone: while the clutch is in and the car runs steadily in a gear, engine
// speed is road speed times that gear's ratio. The ratios of such stretches bunch up, one
// bunch per gear used.

#include <algorithm>
#include <cmath>

#include "analysis/RunAnalysis.h"
#include "analysis/RunThresholds.h"

namespace velkor {

using namespace runs;

namespace {

bool inGearRange(double rpm, double mph) {
    return mph >= GearMinMph && rpm >= GearMinRpm;
}

}  // namespace

std::vector<double> findGearRatios(const std::vector<double>& time, const std::vector<double>& rpm,
                                   const std::vector<double>& mph) {
    const std::size_t n = std::min({time.size(), rpm.size(), mph.size()});
    std::vector<double> steady;
    for (std::size_t i = 0; i < n; ++i) {
        if (!inGearRange(rpm[i], mph[i])) {
            continue;
        }
        const double ratio = rpm[i] / mph[i];
        std::size_t j = i + 1;
        bool holds = j < n;
        // The next sample always counts, so that a long logging interval still finds gears.
        for (; holds && j < n && (j == i + 1 || time[j] - time[i] <= SteadySeconds); ++j) {
            holds = inGearRange(rpm[j], mph[j]) &&
                    std::fabs(rpm[j] / mph[j] - ratio) <= SteadyTolerance * ratio;
        }
        if (holds && j > i + 1) {
            steady.push_back(ratio);
        }
    }
    std::sort(steady.begin(), steady.end(), std::greater<double>());
    std::vector<double> gears;
    std::size_t first = 0;
    for (std::size_t i = 1; i <= steady.size(); ++i) {
        if (i == steady.size() || steady[i] < steady[i - 1] * (1 - GearClusterGap)) {
            if (i - first >= std::size_t(GearMinSamples)) {
                gears.push_back(steady[first + (i - first) / 2]);  // the bunch's median
            }
            first = i;
        }
    }
    return gears;
}

int gearOf(const std::vector<double>& ratios, double rpm, double mph) {
    if (!inGearRange(rpm, mph)) {
        return 0;
    }
    const double ratio = rpm / mph;
    for (std::size_t g = 0; g < ratios.size(); ++g) {
        if (std::fabs(ratio - ratios[g]) <= GearMatchTolerance * ratios[g]) {
            return int(g) + 1;
        }
    }
    return 0;
}

}  // namespace velkor
