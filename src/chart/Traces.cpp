#include "chart/Traces.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/DataLog.h"
#include "base/Numbers.h"
#include "base/Preferences.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

using Fill = std::function<float(int sample)>;

void fill(Trace& trace, const Fill& value) {
    for (int i = 1; i <= SampleCount; ++i) {
        trace.values[static_cast<std::size_t>(i - 1)] = value(i);
    }
}

Trace valueTrace(std::string name, std::string format, double minimum, double maximum) {
    Trace trace;
    trace.name = std::move(name);
    trace.format = std::move(format);
    trace.minimum = minimum;
    trace.maximum = maximum;
    return trace;
}

// An on/off trace: 1 where any of `mask`'s bits is set in the byte column, else 0.
Trace onOffTrace(std::string name, const SampleColumn& bytes, int mask) {
    Trace trace = valueTrace(std::move(name), "#0", 0, 2);
    trace.onOff = true;
    fill(trace, [&](int i) { return bitSet(bytes.at(i), mask) ? 1.0f : 0.0f; });
    return trace;
}

Trace speedTrace(const DataLog& log, const Preferences& prefs) {
    const bool mph = prefs.VSSUnits == "MPH";
    Trace trace = valueTrace(mph ? "VSS (MPH)" : "VSS (KPH)", "##0", 0, prefs.SpeedoMax);
    const float factor = mph ? 1.0f : static_cast<float>(KphPerMph);
    fill(trace, [&](int i) { return factor * log.VSSData.at(i); });
    return trace;
}

Trace afrTrace(std::string name, const SampleColumn& volts) {
    Trace trace = valueTrace(std::move(name), "#0.0", 10, 20);
    fill(trace, [&](int i) { return volts.at(i) + volts.at(i) + 10.0f; });
    return trace;
}

Trace copyTrace(std::string name, std::string format, double maximum, const SampleColumn& column) {
    Trace trace = valueTrace(std::move(name), std::move(format), 0, maximum);
    fill(trace, [&](int i) { return column.at(i); });
    return trace;
}

Trace pressureTrace(const DataLog& log, Preferences& prefs) {
    applyPressureScaling(prefs);
    const bool inHg = prefs.PressureUnits == "In-Hg";
    double maximum = inHg ? 30 : 15;
    if (prefs.Input1Type == "MAP 2 bar") {
        maximum = inHg ? 60 : 30;
    } else if (prefs.Input1Type == "MAP 3 bar") {
        maximum = inHg ? 90 : 45;
    }
    Trace trace = valueTrace(inHg ? "MAP (In-Hg)" : "MAP (psi)", "#0.0", 0, maximum);
    const float slope = prefs.Input1Slope;
    const float offset = prefs.Input1Offset;
    fill(trace, [&](int i) { return slope * log.Input1VoltsData.at(i) + offset; });
    return trace;
}

Trace scaledTrace(const DataLog& log, const Preferences& prefs) {
    const Input2Scaling scaling = input2Scaling(prefs);
    const float slope = scaling.slope;
    const float offset = scaling.offset;
    Trace trace =
        valueTrace(prefs.Input2Legend, "####0.00", 0, roundTo(prefs.MaxInput2ScaledValue, 0));
    fill(trace, [&](int i) { return slope * log.Input2VoltsData.at(i) + offset; });
    return trace;
}

}  // namespace

const std::array<TraceDefinition, 18>& traceDefinitions() {
    using O = TraceOption;
    static const std::array<TraceDefinition, 18> table = {{
        {O::Trace1Input1MAP, 1, "optTrace1Input1MAP", "INPUT 1 MAP", false},
        {O::Trace1Input1AFR, 1, "optTrace1Input1AFR", "INPUT 1 AFR", false},
        {O::Trace1Input1Analog, 1, "optTrace1Input1Analog", "INPUT 1 VOLTS", false},
        {O::Trace1Bat, 1, "optTrace1Bat", "BATTERY VOLTS", false},
        {O::Trace1TPS, 1, "optTrace1TPS", "TPS", false},
        {O::Trace1VSS, 1, "optTrace1VSS", "VSS", false},
        {O::Trace1RPM, 1, "optTrace1RPM", "RPM", false},
        {O::Trace2Input2ScaledAnalog, 2, "optTrace2Input2ScaledAnalog", "INPUT 2 SCALED ANALOG",
         false},
        {O::Trace2Input2AFR, 2, "optTrace2Input2AFR", "INPUT 2 AFR", false},
        {O::Trace2Input2Analog, 2, "optTrace2Input2Analog", "INPUT 2 VOLTS", false},
        {O::Trace2GPO, 2, "optTrace2GPO", "GPO", true},
        {O::Trace2GPI, 2, "optTrace2GPI", "GPI", true},
        {O::Trace2Alarm, 2, "optTrace2Alarm", "ALARM", true},
        {O::Trace2Shift, 2, "optTrace2Shift", "SHIFT LIGHT", true},
        {O::Trace2ArmIn, 2, "optTrace2ArmIn", "ARM", true},
        {O::Trace2RPM, 2, "optTrace2RPM", "RPM", false},
        {O::Trace2TPS, 2, "optTrace2TPS", "TPS", false},
        {O::Trace2VSS, 2, "optTrace2VSS", "VSS", false},
    }};
    return table;
}

const TraceDefinition& traceDefinition(TraceOption option) {
    return traceDefinitions()[static_cast<std::size_t>(option)];
}

namespace {

bool isSound(ValueRange range) {
    return std::isfinite(range.minimum) && std::isfinite(range.maximum) &&
           range.maximum > range.minimum;
}

Trace tableTrace(TraceOption option, const DataLog& log, Preferences& prefs) {
    using O = TraceOption;
    switch (option) {
        case O::Trace1RPM:
        case O::Trace2RPM:
            return copyTrace("RPM", "###0", prefs.TachMax, log.RPMData);
        case O::Trace1TPS:
        case O::Trace2TPS:
            return copyTrace("TPS (%)", "##0", 100, log.TPSData);
        case O::Trace1VSS:
        case O::Trace2VSS:
            return speedTrace(log, prefs);
        case O::Trace1Bat:
            return copyTrace("Bat Volts", "#0.0", 20, log.BatVoltsData);
        case O::Trace1Input1Analog:
            return copyTrace("Input 1 Volts", "#0.0", 5, log.Input1VoltsData);
        case O::Trace1Input1AFR:
            return afrTrace("Input 1 AFR", log.Input1VoltsData);
        case O::Trace1Input1MAP:
            return pressureTrace(log, prefs);
        case O::Trace2Input2Analog:
            return copyTrace("Input 2 Volts", "#0.0", 5, log.Input2VoltsData);
        case O::Trace2Input2AFR:
            return afrTrace("Input 2 AFR", log.Input2VoltsData);
        case O::Trace2Input2ScaledAnalog:
            return scaledTrace(log, prefs);
        case O::Trace2ArmIn:
            return onOffTrace("Arming Switch Input", log.InputData, InputArm);
        case O::Trace2GPI:
            return onOffTrace("GPI", log.InputData, InputGPI);
        case O::Trace2GPO:
            return onOffTrace("GPO (Active Low)", log.OutputData, OutputGPO);
        case O::Trace2Shift:
            return onOffTrace("Shift/Launch Light", log.OutputData, OutputShift | OutputLaunch);
        case O::Trace2Alarm:
            return onOffTrace("Alarm", log.OutputData,
                              OutputVSSAlarm | OutputAlarm1 | OutputAlarm2);
    }
    return {};
}

}  // namespace

Trace buildTrace(TraceOption option, const DataLog& log, Preferences& prefs) {
    Trace trace = tableTrace(option, log, prefs);
    const ValueRange wanted{trace.minimum, trace.maximum};
    if (isSound(wanted)) {
        return trace;
    }
    Preferences defaults;
    const Trace standard = tableTrace(option, log, defaults);
    const ValueRange range =
        soundValueRange(wanted, trace.values, {standard.minimum, standard.maximum});
    trace.minimum = range.minimum;
    trace.maximum = range.maximum;
    return trace;
}

ValueRange soundValueRange(ValueRange wanted, const TraceValues& values, ValueRange standard) {
    if (isSound(wanted)) {
        return wanted;
    }
    double low = std::isfinite(wanted.minimum) ? wanted.minimum : 0.0;
    double high = -HUGE_VAL;
    for (const float value : values) {
        if (std::isfinite(value)) {
            low = std::min(low, double(value));
            high = std::max(high, double(value));
        }
    }
    if (high > low) {
        return {low, high};
    }
    if (isSound(standard)) {
        return standard;
    }
    return {low, low + 1};
}

}  // namespace velkor
