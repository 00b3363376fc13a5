#include "live/GaugeScale.h"

#include <algorithm>
#include <cmath>

namespace velkor {

double dialLabelStep(double fullScale) {
    if (!(fullScale > 0.0) || !std::isfinite(fullScale)) {
        return 1.0;
    }
    const double rough = fullScale / 8.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (fullScale / (factor * power) <= 10.0) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

double dialAngle(double value, double fullScale) {
    if (!(fullScale > 0.0)) {
        return DialStartDegrees;
    }
    const double fraction = std::clamp(value / fullScale, 0.0, 1.0);
    return DialStartDegrees - fraction * DialSweepDegrees;
}

}  // namespace velkor
