#pragma once
// Zooming and panning the chart's time axis: the window a wheel step or a drag leaves, kept
// inside the log, and the scroll bar setting that follows such a window.

#include <optional>

#include "chart/TimeWindow.h"

namespace velkor {

// The narrowest window the wheel zooms in to, in seconds.
constexpr float MinimumZoomWindow = 2;
// How much one wheel step (one notch, 120 eighths of a degree) narrows the window.
constexpr double ZoomStepFactor = 0.8;

// The window after `steps` wheel steps (positive zooms in, fractions for fine wheels) with the
// pointer at `pointerTime`: the time under the pointer stays under it, the width stays between
// MinimumZoomWindow and the whole log, and the window stays inside 0..totalTime.
TimeRange zoomWindow(TimeRange shown, double pointerTime, double steps, float totalTime);

// The window moved by `seconds` (positive: later), its width kept, stopped at the log's ends.
TimeRange panWindow(TimeRange shown, double seconds, float totalTime);

// The whole log.
TimeRange wholeLog(float totalTime);

// The window from `from` to `to` seconds (either order), cut to the log's 0..totalTime.
// Nothing when no time of the log is left between them.
std::optional<TimeRange> spanWindow(double from, double to, float totalTime);

// The scroll bar for a zoomed window, in whole seconds: its value is the window's centre, and
// its range runs from the first centre to the last at which the window fits the log whole.
struct ScrollSetting {
    int minimum = 0;
    int maximum = 0;
    int value = 0;
    int largeStep = 1;
    int smallStep = 1;
};
ScrollSetting zoomScroll(TimeRange shown, float totalTime);

}  // namespace velkor
