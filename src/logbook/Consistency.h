#pragma once
// How consistent a car and its driver are: the spread of each figure over a span of passes, and
// its trend. A bracket racer wins on the smallest spread, not the lowest elapsed time.
//
// Over the passes that have the figure (a pass without it is skipped, not counted as zero):
//     mean = sum x / n
//     sample standard deviation = sqrt(sum (x - mean)^2 / (n - 1)), from two passes on
// and the trend plot's rolling mean at a pass is the mean of the last `window` values of the
// figure up to and including it.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "logbook/Pass.h"

namespace velkor {

// Which passes a summary looks at, out of a series oldest first: all of them, the last few, or
// those downloaded between two dates, both days included. Dates are ISO 8601 ("2026-06-14");
// only a download date's day counts, so "2026-06-14T21:05" falls on the 14th.
struct PassSpan {
    std::optional<int> lastPasses;  // the last N passes, with or without the figure
    std::string fromDate;           // empty: from the first pass
    std::string toDate;             // empty: to the last

    static PassSpan all() { return {}; }
    static PassSpan last(int passes) { return {passes, {}, {}}; }
    static PassSpan between(std::string from, std::string to) {
        return {std::nullopt, std::move(from), std::move(to)};
    }
};

// The passes of the series within the span, in their order.
std::vector<Pass> passesIn(const std::vector<Pass>& passes, const PassSpan& span);

struct FigureSummary {
    int count = 0;  // the values it rests on
    std::optional<double> mean;
    std::optional<double> standardDeviation;  // from two values on
    std::optional<double> min;
    std::optional<double> max;
};

// The summary of some values; those that are not finite are left out.
FigureSummary summarise(const std::vector<double>& values);

// The summary of one figure over the passes that have it.
FigureSummary summarise(const std::vector<Pass>& passes, PassFigure figure);

struct Consistency {
    int passes = 0;  // in the span, with or without figures
    FigureSummary et;
    FigureSummary sixtyFoot;
    FigureSummary trapMph;
    FigureSummary reaction;
};

Consistency consistency(const std::vector<Pass>& passes, const PassSpan& span);

// For each pass in order, the mean of the figure's last `window` values up to and including
// this pass; nothing where the pass lacks the figure or fewer than `window` values have come.
// A window below 1 counts as 1.
std::vector<std::optional<double>> rollingMean(const std::vector<Pass>& passes, PassFigure figure,
                                               int window);

}  // namespace velkor
