#include "chart/ChartCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "base/DataLog.h"
#include "base/Latin1.h"
#include "base/Preferences.h"
#include "chart/Traces.h"

namespace velkor {

namespace {

constexpr const char* LineEnd = "\r\n";

struct Column {
    std::string name;  // Latin-1, as the preferences hold text
    std::string unit;
    int decimals;
    TraceOption option;  // the trace whose values the column takes
};

std::vector<Column> columns(const Preferences& prefs) {
    using O = TraceOption;
    const std::string speed = prefs.VSSUnits == "MPH" ? "MPH" : "KPH";
    Column input1{"Input 1", "V", 2, O::Trace1Input1Analog};
    if (prefs.Input1Type == "AFR") {
        input1 = {"Input 1", "AFR", 2, O::Trace1Input1AFR};
    } else if (isPressureSensor(prefs.Input1Type)) {
        input1 = {"Input 1 MAP", prefs.PressureUnits == "In-Hg" ? "In-Hg" : "psi", 2,
                  O::Trace1Input1MAP};
    }
    Column input2{"Input 2", "V", 2, O::Trace2Input2Analog};
    if (prefs.Input2Type == "AFR") {
        input2 = {"Input 2", "AFR", 2, O::Trace2Input2AFR};
    } else if (prefs.Input2Type == "Scaled Analog") {
        input2 = {prefs.Input2Legend, "scaled", 3, O::Trace2Input2ScaledAnalog};
    }
    return {
        {"RPM", "rpm", 0, O::Trace1RPM},
        {"VSS", speed, 2, O::Trace1VSS},
        {"TPS", "%", 1, O::Trace1TPS},
        {"Battery", "V", 1, O::Trace1Bat},
        input1,
        input2,
        {"Arming Switch Input", "on/off", 0, O::Trace2ArmIn},
        {"GPI", "on/off", 0, O::Trace2GPI},
        {"GPO Active Low", "on/off", 0, O::Trace2GPO},
        {"Shift/Launch Light", "on/off", 0, O::Trace2Shift},
        {"Alarm", "on/off", 0, O::Trace2Alarm},
    };
}

constexpr int TimeDecimals = 3;

}  // namespace

std::string csvNumber(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return "";
    }
    std::string text(buffer.data(), end);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::vector<CsvColumn> csvColumns(const Preferences& prefs) {
    std::vector<CsvColumn> out{{"Elapsed Time (s)", TimeDecimals}};
    for (const Column& column : columns(prefs)) {
        out.push_back({utf8FromLatin1(column.name + " (" + column.unit + ")"), column.decimals});
    }
    return out;
}

std::string csvText(const DataLog& log, const Preferences& prefs, int from, int to) {
    from = std::clamp(from, 1, SampleCount);
    to = std::clamp(to, 1, SampleCount);
    if (from > to) {
        std::swap(from, to);
    }
    // The chart's own conversions, on a copy of the preferences: the pressure trace sets its
    // conversion there, and the settings in use stay as they are.
    Preferences scratch = prefs;
    const std::vector<Column> cols = columns(prefs);
    std::vector<Trace> traces;
    traces.reserve(cols.size());
    for (const Column& column : cols) {
        traces.push_back(buildTrace(column.option, log, scratch));
    }

    std::string text;
    const std::vector<CsvColumn> headers = csvColumns(prefs);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        text += (i == 0 ? "" : ",") + csvField(headers[i].header);
    }
    text += LineEnd;
    const auto field = [&](double value, int decimals) {
        return std::isfinite(value) ? csvNumber(value, decimals) : std::string();
    };
    for (int p = from; p <= to; ++p) {
        const auto index = std::size_t(p - 1);
        text += field(log.ElapsedTime.at(p), TimeDecimals);
        for (std::size_t c = 0; c < cols.size(); ++c) {
            text += ',';
            text += field(traces[c].values[index], cols[c].decimals);
        }
        text += LineEnd;
    }
    return text;
}

}  // namespace velkor
