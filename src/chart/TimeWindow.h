#pragma once
// Where the chart's time window stands, and the sample a click in time lands on.

#include <array>
#include <optional>

#include "chart/ChartView.h"

namespace velkor {

struct TimeRange {
    float low;
    float high;
};

// A window of `width` seconds centred on `centre`, moved right to start at 0 when it would begin
// before the log, and cut (not moved) at `totalTime`, so that near the end it is narrower.
TimeRange placeTimeWindow(float centre, float width, float totalTime);

struct TimeScale {
    int option;  // 1, 2, 3
    const char* caption;
    float window;  // seconds
    int largeStep;
    int smallStep;
};
const TimeScale& timeScale(int option);

// The sample (1..2700) whose time is nearest `time`; the first of equally near ones.
int nearestSample(const TraceValues& elapsedTime, double time);

// The keys that walk the chart's marker along the log.
enum class MarkerKey { PreviousSample, NextSample, PageBack, PageForward, FirstSample, LastSample };

// The sample (1..2700) the marker goes to from `sample` for a key: one sample, or a page of
// `pageSeconds` (the time window on show) at `interval` seconds a sample, at least one; never
// past the log's first or last sample.
int markerSampleAfterKey(MarkerKey key, int sample, double pageSeconds, double interval);

struct SampleSpan {
    int first;  // 1..2700
    int last;
};

// The samples whose times lie in [from, to], limits included: the one span every export of a
// part of the log keeps to. Nothing when `to` is not after `from` or no sample lies between.
std::optional<SampleSpan> samplesWithin(const TraceValues& elapsedTime, double from, double to);

// The controller's state and the outputs that are on, one per line ("\r\n" between).
std::string statusText(float state, float outputs);

}  // namespace velkor
