#pragma once
// The trend of a figure over the passes: each pass's value by its number in date order, and the
// mean and the spread of one standard deviation either side over a span of them (the last few,
// or all), as the trend plot draws them; and the consistency of all four figures over that span
// as a table.

#include <string>
#include <vector>

#include "logbook/Consistency.h"
#include "logbook/Pass.h"

namespace velkor {

constexpr const char* TrendTitle = "Trends";
constexpr const char* TrendPassAxis = "Pass (in date order)";
constexpr const char* TrendSpanName = "Passes in the span";
constexpr const char* TrendEarlierName = "Earlier passes";
constexpr const char* TrendMeanName = "Mean";
constexpr const char* TrendBandName = "Mean \xB1 1 SD";  // Latin-1 plus-minus

// The figures in the order they are offered, and their names with their units.
constexpr PassFigure TrendFigures[] = {PassFigure::Et, PassFigure::SixtyFoot, PassFigure::TrapMph,
                                       PassFigure::Reaction};
std::string figureName(PassFigure figure);
// A figure's value as the read-out shows it: seconds to the thousandth, speed to the hundredth.
std::string figureText(PassFigure figure, double value);

// The spans offered: all passes, the last 5, 10 and 20.
struct TrendSpan {
    std::string name;
    PassSpan span;
};
std::vector<TrendSpan> trendSpans();

struct TrendPoint {
    int number = 0;  // the pass's number in date order, from 1
    std::string date;
    double value = 0;
    bool inSpan = false;
};

struct FigureTrend {
    std::vector<TrendPoint> points;  // the passes with the figure
    // The passes of the span by number, first and last; 0 when the span holds none.
    int firstInSpan = 0;
    int lastInSpan = 0;
    FigureSummary summary;  // over the span
};

// The passes in date order (as the logbook lists them, oldest first).
FigureTrend figureTrend(const std::vector<Pass>& passes, PassFigure figure, const PassSpan& span);

// A point's read-out: "Pass 12, 2026-06-14: 11.482 s".
std::string pointText(PassFigure figure, const TrendPoint& point);
// What the plot shows: "Passes 1 to 24, 2026-03-02 to 2026-09-14; the mean and +-1 SD over the
// last 10." Or why it shows nothing.
std::string trendText(const std::vector<Pass>& passes, PassFigure figure, const FigureTrend& trend,
                      const std::string& spanName);

// The four figures over the span: passes with the figure, mean, standard deviation, least and
// most, one row each.
struct TrendTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};
TrendTable trendTable(const std::vector<Pass>& passes, const PassSpan& span);

}  // namespace velkor
