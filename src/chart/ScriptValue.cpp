#include "chart/ScriptValue.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/Numbers.h"
#include "chart/ChartCsv.h"

namespace velkor {

namespace {

// The shortest text that reads back as the value; whole numbers without a point.
std::string shortest(double value) {
    if (value == 0) {
        return "0";  // and no "-0"
    }
    if (!std::isfinite(value)) {
        return "null";  // JSON has no infinity and no NaN
    }
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("null");
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(c));
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

void writeJson(std::string& out, const ScriptValue& value, int depth) {
    const std::string inner(std::size_t(2 * (depth + 1)), ' ');
    const std::string outer(std::size_t(2 * depth), ' ');
    switch (value.kind()) {
        case ScriptValue::Kind::Null:
            out += "null";
            return;
        case ScriptValue::Kind::Bool:
            out += value.flag() ? "true" : "false";
            return;
        case ScriptValue::Kind::Number:
            out += shortest(value.numberValue());
            return;
        case ScriptValue::Kind::Text:
            out += jsonString(value.textValue());
            return;
        case ScriptValue::Kind::List:
        case ScriptValue::Kind::Record:
            break;
    }
    const bool record = value.kind() == ScriptValue::Kind::Record;
    const auto& items = value.items();
    out += record ? "{" : "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += (i == 0 ? "\n" : ",\n") + inner;
        if (record) {
            out += jsonString(value.keys()[i]) + ": ";
        }
        writeJson(out, items[i], depth + 1);
    }
    if (!items.empty()) {
        out += "\n" + outer;
    }
    out += record ? "}" : "]";
}

const ScriptValue& nullValue() {
    static const ScriptValue none;
    return none;
}

}  // namespace

ScriptValue ScriptValue::boolean(bool value) {
    ScriptValue v;
    v.m_kind = Kind::Bool;
    v.m_flag = value;
    return v;
}

ScriptValue ScriptValue::number(double value, int decimals) {
    ScriptValue v;
    if (std::isfinite(value)) {
        v.m_kind = Kind::Number;
        v.m_number = roundTo(value, decimals);
    }
    return v;
}

ScriptValue ScriptValue::text(std::string value) {
    ScriptValue v;
    v.m_kind = Kind::Text;
    v.m_text = std::move(value);
    return v;
}

ScriptValue ScriptValue::list(std::vector<ScriptValue> items) {
    ScriptValue v;
    v.m_kind = Kind::List;
    v.m_items = std::move(items);
    return v;
}

ScriptValue ScriptValue::record() {
    ScriptValue v;
    v.m_kind = Kind::Record;
    return v;
}

ScriptValue& ScriptValue::add(const std::string& key, ScriptValue value) {
    m_keys.push_back(key);
    m_items.push_back(std::move(value));
    return *this;
}

ScriptValue& ScriptValue::append(ScriptValue value) {
    m_items.push_back(std::move(value));
    return *this;
}

const ScriptValue& ScriptValue::operator[](const std::string& key) const {
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] == key) {
            return m_items[i];
        }
    }
    return nullValue();
}

std::string toJson(const ScriptValue& value) {
    std::string out;
    writeJson(out, value, 0);
    return out + "\n";
}

std::string csvCell(const ScriptValue& value) {
    switch (value.kind()) {
        case ScriptValue::Kind::Bool:
            return value.flag() ? "true" : "false";
        case ScriptValue::Kind::Number:
            return shortest(value.numberValue());
        case ScriptValue::Kind::Text:
            return csvField(value.textValue());
        default:
            return std::string();
    }
}

std::string tidyCsv(const std::vector<std::string>& columns, const std::vector<ScriptValue>& rows) {
    std::string out;
    const auto line = [&out](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            out += (i == 0 ? "" : ",") + cells[i];
        }
        out += "\r\n";
    };
    line(columns);
    for (const ScriptValue& row : rows) {
        std::vector<std::string> cells;
        for (const std::string& column : columns) {
            cells.push_back(csvCell(row[column]));
        }
        line(cells);
    }
    return out;
}

}  // namespace velkor
