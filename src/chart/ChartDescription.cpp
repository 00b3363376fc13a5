#include "chart/ChartDescription.h"

#include <cstdio>

namespace velkor {

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// "RPM 6468, VSS (MPH) 62"; a trace without a reading is left out.
std::string pair(const ChartFacts& f, const std::string& one, const std::string& two) {
    std::string text;
    for (const auto& [name, value] : {std::pair{f.trace1, one}, std::pair{f.trace2, two}}) {
        if (!trimmed(value).empty()) {
            text += (text.empty() ? "" : ", ") + name + " " + trimmed(value);
        }
    }
    return text;
}

}  // namespace

std::string chartDescription(const ChartFacts& f) {
    std::string text = "Trace 1 " + f.trace1 + ", trace 2 " + f.trace2 + ". Time window " +
                       seconds(f.from) + " to " + seconds(f.to) + " seconds.";
    const std::string readings = pair(f, f.marker1, f.marker2);
    if (readings.empty()) {
        text += " Marker: no reading.";
    } else {
        text += " Marker at " + trimmed(f.markerTime) + ": " + readings + ".";
    }
    if (!trimmed(f.bTime).empty()) {
        const std::string deltas = pair(f, f.delta1, f.delta2);
        text += " B at " + trimmed(f.bTime) + "; marker minus B " + trimmed(f.deltaTime) +
                (deltas.empty() ? "" : ", " + deltas) + ".";
    }
    return text;
}

}  // namespace velkor
