#pragma once
// What each of the chart's trace options plots: one table row per option.

#include <string>

#include "chart/ChartView.h"

namespace velkor {

struct DataLog;
struct Preferences;

struct TraceDefinition {
    TraceOption option;
    int trace;            // 1 (left axis) or 2 (right axis)
    const char* control;  // the option button's name, "optTrace1RPM"
    const char* caption;  // the option button's caption, "RPM"
    bool onOff;           // drawn as 0/1 levels against a hidden 0-to-2 axis
};

// All eighteen, trace 1's first, in the order of the option buttons.
const std::array<TraceDefinition, 18>& traceDefinitions();
const TraceDefinition& traceDefinition(TraceOption option);

struct Trace {
    std::string name;    // axis title and legend (for on/off traces the legend and label 3)
    std::string format;  // read-out pattern
    double minimum = 0;
    double maximum = 0;
    bool onOff = false;
    TraceValues values{};
};

// The values, range, name and read-out format of a trace option for the log. The MAP trace also
// sets the input-1 pressure conversion in `prefs` from the input type and pressure unit. The
// range always has its maximum above its minimum (see soundValueRange).
Trace buildTrace(TraceOption option, const DataLog& log, Preferences& prefs);

struct ValueRange {
    double minimum = 0;
    double maximum = 0;
};

// A value axis range the chart can draw. `wanted` is kept when its maximum is above its minimum.
// Otherwise (a maximum of 0 or below restored from a log file, say) the axis runs from its
// minimum, or from the lowest value when that is lower, up to the highest value; when the values
// do not rise above that either, it takes `standard` (the range the trace has with the default
// settings), and failing that one unit up from the minimum. Values that are not finite are
// passed over.
ValueRange soundValueRange(ValueRange wanted, const TraceValues& values, ValueRange standard);

}  // namespace velkor
