#pragma once
// The chart in words, for a screen reader: which traces it plots, the time window in view and
// what the marker (and B, when it is set) read.

#include <string>

namespace velkor {

struct ChartFacts {
    std::string trace1, trace2;  // the axis titles, "RPM" and "VSS (MPH)"
    double from = 0, to = 0;     // the time window in view, seconds
    std::string markerTime;      // the read-outs as shown: "12.5 Sec ", "6468", "62"
    std::string marker1, marker2;
    std::string bTime, deltaTime;  // empty while B is not set
    std::string delta1, delta2;
};

// "Trace 1 RPM, trace 2 VSS (MPH). Time window 120.0 to 270.0 seconds. Marker at 12.5 Sec:
// RPM 6468, VSS (MPH) 62." and, with B set, "B at 10.0 Sec; marker minus B +2.5 Sec, RPM +300,
// VSS (MPH) +4."
std::string chartDescription(const ChartFacts& facts);

}  // namespace velkor
