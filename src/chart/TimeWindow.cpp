#include "chart/TimeWindow.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "log/LogUnits.h"

namespace velkor {

TimeRange placeTimeWindow(float centre, float width, float totalTime) {
    float low = centre - width / 2;
    float high = width / 2 + centre;
    if (low < 0) {
        low = 0;
        high = width;
    }
    if (high > totalTime) {
        high = totalTime;
    }
    return {low, high};
}

const TimeScale& timeScale(int option) {
    static const TimeScale scales[] = {
        {1, "15 Sec", 15, 30, 3},
        {2, "1 Min", 60, 120, 12},
        {3, "5 Min", 300, 300, 60},
    };
    if (option < 1 || option > 3) {
        throw std::out_of_range("time scale option " + std::to_string(option));
    }
    return scales[option - 1];
}

int nearestSample(const TraceValues& elapsedTime, double time) {
    int best = 1;
    double bestDistance = std::fabs(double(elapsedTime[0]) - time);
    for (int i = 2; i <= SampleCount; ++i) {
        const double distance = std::fabs(double(elapsedTime[std::size_t(i - 1)]) - time);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int markerSampleAfterKey(MarkerKey key, int sample, double pageSeconds, double interval) {
    int page = 1;
    if (interval > 0 && pageSeconds > interval) {
        page = int(std::lround(std::min(pageSeconds / interval, double(SampleCount))));
    }
    int next = sample;
    switch (key) {
        case MarkerKey::PreviousSample:
            next = sample - 1;
            break;
        case MarkerKey::NextSample:
            next = sample + 1;
            break;
        case MarkerKey::PageBack:
            next = sample - page;
            break;
        case MarkerKey::PageForward:
            next = sample + page;
            break;
        case MarkerKey::FirstSample:
            next = 1;
            break;
        case MarkerKey::LastSample:
            next = SampleCount;
            break;
    }
    return std::clamp(next, 1, SampleCount);
}

std::optional<SampleSpan> samplesWithin(const TraceValues& elapsedTime, double from, double to) {
    if (!(to > from)) {
        return std::nullopt;
    }
    std::optional<SampleSpan> span;
    for (int i = 1; i <= SampleCount; ++i) {
        const double time = elapsedTime[std::size_t(i - 1)];
        if (time >= from && time <= to) {
            span = SampleSpan{span ? span->first : i, i};
        }
    }
    return span;
}

std::string statusText(float state, float outputs) {
    std::string text = stateName(storedWhole(state), "Invalid State");
    const int bits = storedWhole(outputs);
    const std::pair<int, const char*> names[] = {{OutputShift, "Shift Light"},
                                                 {OutputLaunch, "Launch Light"},
                                                 {OutputVSSAlarm, "VSS Alarm"},
                                                 {OutputAlarm1, "Alarm 1"},
                                                 {OutputAlarm2, "Alarm 2"}};
    for (const auto& [mask, name] : names) {
        if ((bits & mask) != 0) {
            text += "\r\n";
            text += name;
        }
    }
    return text;
}

}  // namespace velkor
