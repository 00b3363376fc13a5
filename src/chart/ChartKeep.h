#pragma once
// What the chart window gives back when it opens again on the same log: the overlaid runs, the
// markers and the time window on show. The main window holds it while the log stays loaded; a
// different log (a download, a file opened) starts the chart afresh.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chart/ChartOverlay.h"
#include "chart/TimeWindow.h"

namespace velkor {

struct DataLog;

// Tells one log from another: when it was downloaded, its interval and a digest of its samples.
// Not its file: saving the log under a name leaves the same log loaded.
struct LogStamp {
    std::string downloadDate;
    float interval = 0;
    std::uint64_t samples = 0;
    bool operator==(const LogStamp& other) const;
    bool operator!=(const LogStamp& other) const { return !(*this == other); }
};
LogStamp stampOf(const DataLog& log);

struct ChartKeep {
    std::vector<Overlay> overlays;    // in the order they were laid over the chart
    std::optional<int> bSample;       // the second marker's sample
    std::optional<float> markerTime;  // the marker, where the person put it
    float referenceTime = 0;          // the zero of the time read-out
    int timeScale = 3;                // the time scale option last chosen
    int scrollCentre = -1;            // the scroll bar's second under a time scale; -1: none kept
    std::optional<TimeRange> zoomed;  // the window the wheel, a drag or Home left
    std::optional<LogStamp> log;      // the log all this belongs to

    // Forgets all of it: the chart opens as on a log shown for the first time.
    void clear();
    // Keeps what is held when it belongs to `shown`, else forgets it; from now on it belongs to
    // `shown`.
    void follow(const DataLog& shown);
};

}  // namespace velkor
