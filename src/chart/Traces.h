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
// sets the input-1 pressure conversion in `prefs` from the input type and pressure unit.
Trace buildTrace(TraceOption option, const DataLog& log, Preferences& prefs);

}  // namespace velkor
