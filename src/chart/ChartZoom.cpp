#include "chart/ChartZoom.h"

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {

// The scroll bar holds whole seconds in 16 bits.
constexpr double ScrollLimit = 32767;

// A window of `width` seconds starting at `low`, moved back inside 0..totalTime.
TimeRange fitted(double low, double width, float totalTime) {
    const double total = std::max(0.0, double(totalTime));
    width = std::min(width, total);
    low = std::clamp(low, 0.0, total - width);
    return {float(low), float(low + width)};
}

int scrollSeconds(double seconds) {
    return int(std::clamp(seconds, 0.0, ScrollLimit));
}

}  // namespace

TimeRange zoomWindow(TimeRange shown, double pointerTime, double steps, float totalTime) {
    const double width = double(shown.high) - double(shown.low);
    if (!(width > 0) || !std::isfinite(steps) || !std::isfinite(pointerTime)) {
        return shown;
    }
    const double narrowest = std::min(double(MinimumZoomWindow), double(totalTime));
    const double wanted = std::clamp(width * std::pow(ZoomStepFactor, steps), narrowest,
                                     std::max(narrowest, double(totalTime)));
    const double pointer = std::clamp(pointerTime, double(shown.low), double(shown.high));
    const double fraction = (pointer - shown.low) / width;
    return fitted(pointer - fraction * wanted, wanted, totalTime);
}

TimeRange panWindow(TimeRange shown, double seconds, float totalTime) {
    if (!std::isfinite(seconds)) {
        return shown;
    }
    return fitted(double(shown.low) + seconds, double(shown.high) - double(shown.low), totalTime);
}

TimeRange wholeLog(float totalTime) {
    return {0, std::max(0.0f, totalTime)};
}

std::optional<TimeRange> spanWindow(double from, double to, float totalTime) {
    const double end = std::max(0.0f, totalTime);
    const double low = std::clamp(std::min(from, to), 0.0, end);
    const double high = std::clamp(std::max(from, to), 0.0, end);
    if (!(high > low)) {
        return std::nullopt;
    }
    return TimeRange{float(low), float(high)};
}

ScrollSetting zoomScroll(TimeRange shown, float totalTime) {
    const double width = double(shown.high) - double(shown.low);
    ScrollSetting scroll;
    scroll.minimum = scrollSeconds(std::ceil(width / 2));
    scroll.maximum = scrollSeconds(std::floor(double(totalTime) - width / 2));
    if (scroll.maximum < scroll.minimum) {
        // The window is (nearly) the whole log: one position, the log's middle.
        scroll.minimum = scroll.maximum = scrollSeconds(std::round(double(totalTime) / 2));
    }
    const double centre = (double(shown.low) + double(shown.high)) / 2;
    scroll.value = std::clamp(scrollSeconds(std::round(centre)), scroll.minimum, scroll.maximum);
    scroll.largeStep = std::max(1, int(std::lround(width)));
    scroll.smallStep = std::max(1, int(std::lround(width / 10)));
    return scroll;
}

}  // namespace velkor
