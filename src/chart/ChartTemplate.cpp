#include "chart/ChartTemplate.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <variant>
#include <vector>

#include "base/TextLimits.h"

namespace velkor {
namespace {

enum class Kind { Colour, Text, FontName, Width, PointSize };

struct Field {
    const char* section;
    const char* key;
    Kind kind;
    std::variant<std::string ChartTemplate::*, double ChartTemplate::*> member;
};

using T = ChartTemplate;
const std::array<Field, 25> Fields{{
    {"chart", "background", Kind::Colour, &T::background},
    {"chart", "plot_background", Kind::Colour, &T::plotBackground},
    {"chart", "text_colour", Kind::Colour, &T::textColour},
    {"chart", "font_family", Kind::FontName, &T::fontFamily},
    {"chart", "header_size", Kind::PointSize, &T::headerSize},
    {"chart", "legend_size", Kind::PointSize, &T::legendSize},
    {"axes", "line_colour", Kind::Colour, &T::axisLineColour},
    {"axes", "line_width", Kind::Width, &T::axisLineWidth},
    {"axes", "grid_colour", Kind::Colour, &T::gridColour},
    {"axes", "grid_width", Kind::Width, &T::gridWidth},
    {"axes", "minor_grid_colour", Kind::Colour, &T::minorGridColour},
    {"axes", "tick_size", Kind::PointSize, &T::tickSize},
    {"axes", "title_size", Kind::PointSize, &T::axisTitleSize},
    {"axes", "time_title", Kind::Text, &T::timeAxisTitle},
    {"trace1", "colour", Kind::Colour, &T::trace1Colour},
    {"trace1", "width", Kind::Width, &T::trace1Width},
    {"trace2", "colour", Kind::Colour, &T::trace2Colour},
    {"trace2", "width", Kind::Width, &T::trace2Width},
    {"marker", "colour", Kind::Colour, &T::markerColour},
    {"marker", "width", Kind::Width, &T::markerWidth},
    {"labels", "colour", Kind::Colour, &T::labelColour},
    {"labels", "size", Kind::PointSize, &T::labelSize},
    {"labels", "LabelOff", Kind::Text, &T::labelOff},
    {"labels", "LabelOn", Kind::Text, &T::labelOn},
    {"labels", "LabelY2Axis", Kind::Text, &T::labelY2Axis},
}};
constexpr std::size_t FieldCount = Fields.size();

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool isColour(const std::string& value) {
    if (value.size() != 7 || value[0] != '#') {
        return false;
    }
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(value[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<double> number(const std::string& value) {
    double result = 0;
    const char* end = value.data() + value.size();
    const auto [stop, status] = std::from_chars(value.data(), end, result);
    if (status != std::errc() || stop != end || !std::isfinite(result)) {
        return std::nullopt;
    }
    return result;
}

// Checks one value against its kind; the message when it does not fit.
std::optional<std::string> refusal(Kind kind, const std::string& value) {
    switch (kind) {
        case Kind::Colour:
            if (!isColour(value)) {
                return "\"" + value + "\" is not a colour of the form #RRGGBB";
            }
            return std::nullopt;
        case Kind::FontName:
            if (value.empty()) {
                return std::string("a font family cannot be empty");
            }
            return std::nullopt;
        case Kind::Width: {
            const auto width = number(value);
            if (!width || *width <= 0 || *width > 10) {
                return "\"" + value + "\" is not a line width from above 0 to 10 pixels";
            }
            return std::nullopt;
        }
        case Kind::PointSize: {
            const auto size = number(value);
            if (!size || *size < 4 || *size > 72) {
                return "\"" + value + "\" is not a font size from 4 to 72 points";
            }
            return std::nullopt;
        }
        case Kind::Text:
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<ChartTemplate> refuse(ChartTemplateError* error, int line, std::string message) {
    if (error) {
        *error = ChartTemplateError{line, std::move(message)};
    }
    return std::nullopt;
}

}  // namespace

std::optional<ChartTemplate> parseChartTemplate(const std::string& text, ChartTemplateError* error,
                                                std::string* note) {
    ChartTemplate result;
    std::vector<std::string> cut;
    std::array<bool, FieldCount> seen{};
    std::string section;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') {
                return refuse(error, lineNumber, "a section name must end with ]");
            }
            section = trimmed(line.substr(1, line.size() - 2));
            bool known = false;
            for (std::size_t i = 0; i < FieldCount; ++i) {
                known = known || section == Fields[i].section;
            }
            if (!known) {
                return refuse(error, lineNumber, "unknown section [" + section + "]");
            }
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            return refuse(error, lineNumber, "expected key = value");
        }
        if (section.empty()) {
            return refuse(error, lineNumber, "a key before the first section");
        }
        const std::string key = trimmed(line.substr(0, equals));
        std::string value = trimmed(line.substr(equals + 1));
        if (!value.empty() && value[0] == '"') {
            if (value.size() < 2 || value.back() != '"') {
                return refuse(error, lineNumber, "a quoted value must end with a quote");
            }
            value = value.substr(1, value.size() - 2);
        }
        std::size_t index = 0;
        while (index < FieldCount &&
               (section != Fields[index].section || key != Fields[index].key)) {
            ++index;
        }
        if (index == FieldCount) {
            return refuse(error, lineNumber, "unknown key " + key + " in [" + section + "]");
        }
        if (seen[index]) {
            return refuse(error, lineNumber, "key " + key + " given twice in [" + section + "]");
        }
        seen[index] = true;
        const Field& field = Fields[index];
        if (auto why = refusal(field.kind, value)) {
            return refuse(error, lineNumber, key + ": " + *why);
        }
        if (field.kind == Kind::Text && cutToLimit(value, ChartTextLimit)) {
            cut.push_back(cutTextName(key, ChartTextLimit));
        }
        if (const auto* words = std::get_if<std::string ChartTemplate::*>(&field.member)) {
            result.*(*words) = value;
        } else {
            result.*std::get<double ChartTemplate::*>(field.member) = *number(value);
        }
    }
    for (std::size_t i = 0; i < FieldCount; ++i) {
        if (!seen[i]) {
            return refuse(
                error, 0,
                std::string("missing key ") + Fields[i].key + " in [" + Fields[i].section + "]");
        }
    }
    if (note) {
        *note = cutTextsNote(cut);
    }
    return result;
}

}  // namespace velkor
