#include "chart/MarkerStats.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "base/Numbers.h"

namespace velkor {

namespace {

constexpr const char* DeltaTimeFormat = "0.00";

std::size_t slot(int sample) {
    return std::size_t(std::clamp(sample, 1, SampleCount) - 1);
}

// A difference with its sign: "+830", "-12", "0".
std::string signedText(double value, const std::string& format) {
    const std::string text = formatNumber(value, format);
    return value > 0 && text != formatNumber(0, format) ? "+" + text : text;
}

std::string seconds(double value, const char* format) {
    return formatNumber(value, format) + " Sec";
}

}  // namespace

std::optional<TraceStats> traceStats(const TraceValues& values, int from, int to) {
    std::size_t first = slot(from);
    std::size_t last = slot(to);
    if (first > last) {
        std::swap(first, last);
    }
    TraceStats stats{std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 0};
    double sum = 0;
    int count = 0;
    for (std::size_t i = first; i <= last; ++i) {
        const double v = values[i];
        if (!std::isfinite(v)) {
            continue;
        }
        stats.minimum = std::min(stats.minimum, v);
        stats.maximum = std::max(stats.maximum, v);
        sum += v;
        ++count;
    }
    if (count == 0) {
        return std::nullopt;
    }
    stats.mean = sum / count;
    return stats;
}

double timeOn(const TraceValues& values, const TraceValues& elapsedTime, int from, int to) {
    std::size_t first = slot(from);
    std::size_t last = slot(to);
    if (first > last) {
        std::swap(first, last);
    }
    double on = 0;
    for (std::size_t i = first; i < last; ++i) {
        const double step = double(elapsedTime[i + 1]) - double(elapsedTime[i]);
        if (values[i] >= 0.5f && std::isfinite(step) && step > 0) {
            on += step;
        }
    }
    return on;
}

BReadout bReadout(int a, int b, const TraceValues& elapsedTime, float referenceTime,
                  const ReadoutTrace& trace1, const ReadoutTrace& trace2) {
    BReadout out;
    const std::size_t ia = slot(a);
    const std::size_t ib = slot(b);
    out.time = seconds(double(elapsedTime[ib]) - double(referenceTime), "##0.0");
    out.trace1 = formatNumber(trace1.values[ib], trace1.format);
    out.trace2 = formatNumber(trace2.values[ib], trace2.format);
    out.deltaTime =
        signedText(double(elapsedTime[ia]) - double(elapsedTime[ib]), DeltaTimeFormat) + " Sec";
    out.delta1 = signedText(double(trace1.values[ia]) - double(trace1.values[ib]), trace1.format);
    out.delta2 = signedText(double(trace2.values[ia]) - double(trace2.values[ib]), trace2.format);
    if (const auto stats = traceStats(trace1.values, a, b)) {
        out.minimum1 = formatNumber(stats->minimum, trace1.format);
        out.maximum1 = formatNumber(stats->maximum, trace1.format);
        out.mean1 = formatNumber(stats->mean, trace1.format);
    }
    out.onOff2 = trace2.onOff;
    if (trace2.onOff) {
        out.timeOn2 = seconds(timeOn(trace2.values, elapsedTime, a, b), DeltaTimeFormat);
    } else if (const auto stats = traceStats(trace2.values, a, b)) {
        out.minimum2 = formatNumber(stats->minimum, trace2.format);
        out.maximum2 = formatNumber(stats->maximum, trace2.format);
        out.mean2 = formatNumber(stats->mean, trace2.format);
    }
    return out;
}

}  // namespace velkor
