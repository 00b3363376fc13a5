#include "logbook/Consistency.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <iterator>

namespace velkor {

namespace {

// The characters of an ISO 8601 date, "2026-06-14", at the start of a date and time.
constexpr std::size_t IsoDateLength = 10;

std::string dayOf(const std::string& date) {
    return date.substr(0, IsoDateLength);
}

bool withinDates(const Pass& pass, const PassSpan& span) {
    const std::string day = dayOf(pass.downloadDate);
    if (!span.fromDate.empty() && day < dayOf(span.fromDate)) {
        return false;
    }
    return span.toDate.empty() || day <= dayOf(span.toDate);
}

}  // namespace

std::vector<Pass> passesIn(const std::vector<Pass>& passes, const PassSpan& span) {
    std::vector<Pass> chosen;
    std::copy_if(passes.begin(), passes.end(), std::back_inserter(chosen),
                 [&span](const Pass& pass) { return withinDates(pass, span); });
    if (span.lastPasses) {
        const std::size_t keep = std::size_t(std::max(0, *span.lastPasses));
        if (chosen.size() > keep) {
            chosen.erase(chosen.begin(), chosen.end() - std::ptrdiff_t(keep));
        }
    }
    return chosen;
}

FigureSummary summarise(const std::vector<double>& values) {
    std::vector<double> finite;
    std::copy_if(values.begin(), values.end(), std::back_inserter(finite),
                 [](double value) { return std::isfinite(value); });
    FigureSummary summary;
    summary.count = int(finite.size());
    if (finite.empty()) {
        return summary;
    }
    double sum = 0;
    for (const double value : finite) {
        sum += value;
    }
    const double mean = sum / summary.count;
    summary.mean = mean;
    const auto [low, high] = std::minmax_element(finite.begin(), finite.end());
    summary.min = *low;
    summary.max = *high;
    if (summary.count >= 2) {
        double squares = 0;
        for (const double value : finite) {
            squares += (value - mean) * (value - mean);
        }
        summary.standardDeviation = std::sqrt(squares / (summary.count - 1));
    }
    return summary;
}

FigureSummary summarise(const std::vector<Pass>& passes, PassFigure figure) {
    std::vector<double> values;
    for (const Pass& pass : passes) {
        if (const std::optional<double> value = figureOf(pass, figure)) {
            values.push_back(*value);
        }
    }
    return summarise(values);
}

Consistency consistency(const std::vector<Pass>& passes, const PassSpan& span) {
    const std::vector<Pass> chosen = passesIn(passes, span);
    Consistency result;
    result.passes = int(chosen.size());
    result.et = summarise(chosen, PassFigure::Et);
    result.sixtyFoot = summarise(chosen, PassFigure::SixtyFoot);
    result.trapMph = summarise(chosen, PassFigure::TrapMph);
    result.reaction = summarise(chosen, PassFigure::Reaction);
    return result;
}

std::vector<std::optional<double>> rollingMean(const std::vector<Pass>& passes, PassFigure figure,
                                               int window) {
    const std::size_t size = std::size_t(std::max(1, window));
    std::vector<std::optional<double>> means;
    std::deque<double> recent;
    for (const Pass& pass : passes) {
        const std::optional<double> value = figureOf(pass, figure);
        if (!value || !std::isfinite(*value)) {
            means.emplace_back();
            continue;
        }
        recent.push_back(*value);
        if (recent.size() > size) {
            recent.pop_front();
        }
        if (recent.size() < size) {
            means.emplace_back();
            continue;
        }
        double sum = 0;
        for (const double v : recent) {
            sum += v;
        }
        means.emplace_back(sum / double(size));
    }
    return means;
}

}  // namespace velkor
