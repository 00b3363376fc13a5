#pragma once
// The second marker, B: the differences between the marker and B, and over the samples from one
// to the other the lowest, highest and mean value of each trace, or for an on/off trace the time
// it was on.

#include <optional>
#include <string>

#include "chart/ChartView.h"

namespace velkor {

struct TraceStats {
    double minimum = 0;
    double maximum = 0;
    double mean = 0;
};

// Over samples `from` to `to` (1..2700, either order, both included); values that are not
// finite are passed over, and with none left there is nothing.
std::optional<TraceStats> traceStats(const TraceValues& values, int from, int to);

// The seconds an on/off trace was on between samples `from` and `to`: each sample that is on
// counts until the next sample's time.
double timeOn(const TraceValues& values, const TraceValues& elapsedTime, int from, int to);

// One trace as the read-out needs it.
struct ReadoutTrace {
    const TraceValues& values;
    const std::string& format;  // the trace's read-out pattern
    bool onOff = false;
};

// The B read-out's texts, empty while B is not set.
struct BReadout {
    std::string time;  // B's time from the reference time, as the marker's: "12.5 Sec"
    std::string trace1, trace2;
    std::string deltaTime;  // marker minus B: "+3.25 Sec"
    std::string delta1, delta2;
    std::string minimum1, maximum1, mean1;
    std::string minimum2, maximum2, mean2;  // empty for an on/off trace 2
    std::string timeOn2;                    // "1.20 Sec" for an on/off trace 2, else empty
    bool onOff2 = false;
};

// The read-out for the marker's sample `a` and B's sample `b` (1..2700).
BReadout bReadout(int a, int b, const TraceValues& elapsedTime, float referenceTime,
                  const ReadoutTrace& trace1, const ReadoutTrace& trace2);

}  // namespace velkor
