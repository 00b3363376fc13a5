#include "live/GaugeScale.h"

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {

// Labels closer to `last` than this share of a step still count as reaching it.
constexpr double StepSlack = 1e-9;

double clamp01(double fraction) {
    return std::clamp(fraction, 0.0, 1.0);
}

}  // namespace

double dialLabelStep(double fullScale) {
    if (!(fullScale > 0.0) || !std::isfinite(fullScale)) {
        return 1.0;
    }
    return niceStep(fullScale, 10);
}

double niceStep(double span, int maxIntervals) {
    if (span == 0.0 || !std::isfinite(span)) {
        return 0.0;
    }
    const double size = std::fabs(span);
    const int parts = std::max(1, maxIntervals);
    const double power = std::pow(10.0, std::floor(std::log10(size / parts)));
    double step = 10.0 * power;
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (size / (factor * power) <= parts * (1.0 + StepSlack)) {
            step = factor * power;
            break;
        }
    }
    return span < 0.0 ? -step : step;
}

double dialAngle(double value, double fullScale) {
    if (!(fullScale > 0.0)) {
        return DialStartDegrees;
    }
    const double fraction = std::clamp(value / fullScale, 0.0, 1.0);
    return DialStartDegrees - fraction * DialSweepDegrees;
}

std::vector<double> labelValues(double first, double last, double step) {
    if (!std::isfinite(first) || !std::isfinite(last)) {
        return {};
    }
    const double span = last - first;
    if (span == 0.0) {
        return {first};
    }
    if (!std::isfinite(span)) {
        return {first, last};  // ends too far apart to step between
    }
    const bool usable = std::isfinite(step) && step != 0.0 && (step > 0.0) == (span > 0.0) &&
                        span / step <= MaxLabels - 1;
    if (!usable) {
        step = niceStep(span, 10);
    }
    // Counted, not summed, so that a long scale does not drift and the loop always ends.
    const auto count = static_cast<int>(std::floor(span / step + StepSlack)) + 1;
    std::vector<double> labels;
    labels.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        labels.push_back(first + i * step);
    }
    return labels;
}

double placeAlong(double value, const ScaleSection& section) {
    const double range = section.maximum - section.minimum;
    if (range == 0.0 || !std::isfinite(range) || std::isnan(value)) {
        return section.minimumAt;
    }
    const double fraction = clamp01((value - section.minimum) / range);
    return section.minimumAt + fraction * (section.maximumAt - section.minimumAt);
}

std::optional<Span> bandOnSection(double start, double end, const ScaleSection& section) {
    const double low = std::max(std::min(start, end), std::min(section.minimum, section.maximum));
    const double high = std::min(std::max(start, end), std::max(section.minimum, section.maximum));
    if (!(high > low)) {
        return std::nullopt;
    }
    const double a = placeAlong(low, section);
    const double b = placeAlong(high, section);
    return Span{std::min(a, b), std::max(a, b)};
}

bool onSection(double value, const ScaleSection& section) {
    const double low = std::min(section.minimum, section.maximum);
    const double high = std::max(section.minimum, section.maximum);
    const double margin = (high - low) * StepSlack + 1e-12;
    return value >= low - margin && value <= high + margin;
}

int labelStride(double pixelsApart, double textHeight) {
    const double gap = std::fabs(pixelsApart);
    if (!(gap > 0.0) || !std::isfinite(gap) || !(textHeight > gap)) {
        return 1;
    }
    return static_cast<int>(std::min(std::ceil(textHeight / gap), double(MaxLabels)));
}

int readoutDecimals(double span) {
    const double size = std::fabs(span);
    if (size <= 6.0) {
        return 2;
    }
    return size <= 60.0 ? 1 : 0;
}

}  // namespace velkor
