#include "logbook/Trend.h"

#include <cstdio>

namespace velkor {

namespace {

std::string optionalText(PassFigure figure, const std::optional<double>& value) {
    return value ? figureText(figure, *value) : std::string();
}

}  // namespace

std::string figureName(PassFigure figure) {
    switch (figure) {
        case PassFigure::Et:
            return "ET (s)";
        case PassFigure::SixtyFoot:
            return "60 ft (s)";
        case PassFigure::TrapMph:
            return "Trap speed (MPH)";
        case PassFigure::Reaction:
            return "Reaction (s)";
    }
    return {};
}

std::string figureText(PassFigure figure, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", figure == PassFigure::TrapMph ? 2 : 3, value);
    return text;
}

std::vector<TrendSpan> trendSpans() {
    return {{"All passes", PassSpan::all()},
            {"Last 5", PassSpan::last(5)},
            {"Last 10", PassSpan::last(10)},
            {"Last 20", PassSpan::last(20)}};
}

FigureTrend figureTrend(const std::vector<Pass>& passes, PassFigure figure, const PassSpan& span) {
    // The span's rule is Consistency's: the passes it keeps are told apart by their numbers.
    std::vector<Pass> numbered = passes;
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        numbered[i].id = std::int64_t(i) + 1;
    }
    const std::vector<Pass> chosen = passesIn(numbered, span);
    std::vector<bool> inSpan(passes.size() + 1, false);
    for (const Pass& pass : chosen) {
        inSpan[std::size_t(pass.id)] = true;
    }
    FigureTrend trend;
    if (!chosen.empty()) {
        trend.firstInSpan = int(chosen.front().id);
        trend.lastInSpan = int(chosen.back().id);
    }
    for (const Pass& pass : numbered) {
        if (const std::optional<double> value = figureOf(pass, figure)) {
            trend.points.push_back({int(pass.id), pass.downloadDate.substr(0, 10), *value,
                                    inSpan[std::size_t(pass.id)]});
        }
    }
    trend.summary = summarise(chosen, figure);
    return trend;
}

std::string pointText(PassFigure figure, const TrendPoint& point) {
    const std::string unit = figure == PassFigure::TrapMph ? " MPH" : " s";
    return "Pass " + std::to_string(point.number) + ", " + point.date + ": " +
           figureText(figure, point.value) + unit;
}

std::string trendText(const std::vector<Pass>& passes, PassFigure figure, const FigureTrend& trend,
                      const std::string& spanName) {
    if (passes.empty()) {
        return "No passes in the logbook yet.";
    }
    if (trend.points.empty()) {
        return "No pass has the figure " + figureName(figure) + ".";
    }
    const auto day = [](const Pass& pass) { return pass.downloadDate.substr(0, 10); };
    std::string text = "Passes 1 to " + std::to_string(passes.size()) + ", " + day(passes.front()) +
                       " to " + day(passes.back()) + ". ";
    if (!trend.summary.mean) {
        return text + "No pass in the span (" + spanName + ") has the figure.";
    }
    text += "Mean and spread over passes " + std::to_string(trend.firstInSpan) + " to " +
            std::to_string(trend.lastInSpan) + " (" + spanName + ")";
    return text + (trend.summary.standardDeviation ? "." : "; the spread needs two passes.");
}

TrendTable trendTable(const std::vector<Pass>& passes, const PassSpan& span) {
    const std::vector<Pass> chosen = passesIn(passes, span);
    TrendTable table;
    table.headers = {"Figure", "Passes", "Mean", "SD", "Min", "Max"};
    for (const PassFigure figure : TrendFigures) {
        const FigureSummary s = summarise(chosen, figure);
        table.rows.push_back({figureName(figure), std::to_string(s.count),
                              optionalText(figure, s.mean),
                              optionalText(figure, s.standardDeviation),
                              optionalText(figure, s.min), optionalText(figure, s.max)});
    }
    return table;
}

}  // namespace velkor
