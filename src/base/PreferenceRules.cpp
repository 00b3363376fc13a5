#include "base/PreferenceRules.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "base/Numbers.h"
#include "base/Preferences.h"

namespace velkor {

namespace {

enum class Kind { Number, Port, Choice, Boolean, Legend };

struct Rule {
    const char* key;
    Kind kind;
    SettingRange range;                // Number and Port
    std::vector<std::string> choices;  // Choice
};

// The dialogs' limits: the gauge boxes clamp to these, the scaling boxes to 0 and their upper
// limit, and the option buttons offer exactly these texts.
const std::vector<Rule>& rules() {
    static const std::vector<Rule> table = {
        {Key::CommPort, Kind::Port, {1, 255}, {}},
        {Key::TachRedline, Kind::Number, {4000, 19000}, {}},
        {Key::TachMax, Kind::Number, {5000, 20000}, {}},
        {Key::SpeedoRedline, Kind::Number, {55, 240}, {}},
        {Key::SpeedoMax, Kind::Number, {55, 250}, {}},
        {Key::Input1Type,
         Kind::Choice,
         {},
         {"Analog", "AFR", "MAP 1 bar", "MAP 2 bar", "MAP 3 bar"}},
        {Key::Input2Type, Kind::Choice, {}, {"Analog", "AFR", "Scaled Analog"}},
        {Key::VSSUnits, Kind::Choice, {}, {"MPH", "KPH"}},
        {Key::PressureUnits, Kind::Choice, {}, {"In-Hg", "psi"}},
        {Key::TPSPercentDisplay, Kind::Boolean, {}, {}},
        {Key::MinInput2Volts, Kind::Number, {0, 5}, {}},
        {Key::MaxInput2Volts, Kind::Number, {0, 5}, {}},
        {Key::MinInput2ScaledValue, Kind::Number, {0, 10000}, {}},
        {Key::MaxInput2ScaledValue, Kind::Number, {0, 10000}, {}},
        {Key::Input2Legend, Kind::Legend, {}, {}},
    };
    return table;
}

}  // namespace

const std::vector<std::string>& preferenceKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> all;
        for (const Rule& rule : rules()) {
            all.emplace_back(rule.key);
        }
        return all;
    }();
    return keys;
}

namespace {

const Rule* ruleFor(const std::string& key) {
    const auto& table = rules();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const Rule& r) { return key == r.key; });
    return found == table.end() ? nullptr : &*found;
}

bool sameWord(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool within(double value, SettingRange range) {
    return value >= range.lower && value <= range.upper;  // false for NaN
}

bool legendAllowed(const std::string& text) {
    return text.size() <= LegendLength &&
           (text.empty() || (text.front() != ' ' && text.back() != ' '));
}

template <typename T>
void keep(T& setting, const T& fallback, bool allowed) {
    if (!allowed) {
        setting = fallback;
    }
}

bool numberAllowed(float value, const char* key) {
    return within(value, *settingRange(key));
}

bool choiceAllowed(const std::string& text, const char* key) {
    const auto& choices = ruleFor(key)->choices;
    return std::find(choices.begin(), choices.end(), text) != choices.end();
}

}  // namespace

std::string allowedValues(const std::string& key) {
    const Rule* rule = ruleFor(key);
    if (rule == nullptr) {
        return {};
    }
    switch (rule->kind) {
        case Kind::Number:
        case Kind::Port:
            return shortestFloatText(float(rule->range.lower)) + " to " +
                   shortestFloatText(float(rule->range.upper));
        case Kind::Choice: {
            std::string words;
            for (std::size_t i = 0; i < rule->choices.size(); ++i) {
                words += (i == 0                          ? ""
                          : i + 1 == rule->choices.size() ? " or "
                                                          : ", ") +
                         rule->choices[i];
            }
            return words;
        }
        case Kind::Boolean:
            return "True or False";
        case Kind::Legend:
            break;
    }
    return "a text of at most " + std::to_string(LegendLength) +
           " characters, without blanks at either end";
}

std::optional<std::string> acceptedSetting(const std::string& key, const std::string& text) {
    const Rule* rule = ruleFor(key);
    if (rule == nullptr) {
        return std::nullopt;
    }
    switch (rule->kind) {
        case Kind::Number:
        case Kind::Port: {
            const auto number = parseNumber(text);
            const bool whole =
                rule->kind == Kind::Number || (number && *number == std::floor(*number));
            if (!number || !whole || !within(*number, rule->range)) {
                return std::nullopt;
            }
            return text;
        }
        case Kind::Choice:
            for (const std::string& choice : rule->choices) {
                if (sameWord(choice, text)) {
                    return choice;
                }
            }
            return std::nullopt;
        case Kind::Boolean:
            return settingBool(text) ? std::optional<std::string>(text) : std::nullopt;
        case Kind::Legend:
            break;
    }
    return legendAllowed(text) ? std::optional<std::string>(text) : std::nullopt;
}

std::optional<SettingRange> settingRange(const std::string& key) {
    const Rule* rule = ruleFor(key);
    if (rule == nullptr || (rule->kind != Kind::Number && rule->kind != Kind::Port)) {
        return std::nullopt;
    }
    return rule->range;
}

void keepWithinRules(Preferences& prefs) {
    const Preferences defaults;
    // 0 is a stored "no port chosen"; the port list leaves nothing selected for it.
    keep(prefs.CommPortNumber, defaults.CommPortNumber,
         prefs.CommPortNumber == 0 || within(prefs.CommPortNumber, *settingRange(Key::CommPort)));
    keep(prefs.TachRedline, defaults.TachRedline,
         numberAllowed(prefs.TachRedline, Key::TachRedline));
    keep(prefs.TachMax, defaults.TachMax, numberAllowed(prefs.TachMax, Key::TachMax));
    keep(prefs.SpeedoRedline, defaults.SpeedoRedline,
         numberAllowed(prefs.SpeedoRedline, Key::SpeedoRedline));
    keep(prefs.SpeedoMax, defaults.SpeedoMax, numberAllowed(prefs.SpeedoMax, Key::SpeedoMax));
    prefs.TachRedline = std::min(prefs.TachRedline, prefs.TachMax);
    prefs.SpeedoRedline = std::min(prefs.SpeedoRedline, prefs.SpeedoMax);
    keep(prefs.Input1Type, defaults.Input1Type, choiceAllowed(prefs.Input1Type, Key::Input1Type));
    keep(prefs.Input2Type, defaults.Input2Type, choiceAllowed(prefs.Input2Type, Key::Input2Type));
    keep(prefs.VSSUnits, defaults.VSSUnits, choiceAllowed(prefs.VSSUnits, Key::VSSUnits));
    keep(prefs.PressureUnits, defaults.PressureUnits,
         choiceAllowed(prefs.PressureUnits, Key::PressureUnits));
    keep(prefs.MinInput2ScaledValue, defaults.MinInput2ScaledValue,
         numberAllowed(prefs.MinInput2ScaledValue, Key::MinInput2ScaledValue));
    keep(prefs.MaxInput2ScaledValue, defaults.MaxInput2ScaledValue,
         numberAllowed(prefs.MaxInput2ScaledValue, Key::MaxInput2ScaledValue));
    keep(prefs.Input2Legend, defaults.Input2Legend, legendAllowed(prefs.Input2Legend));
}

}  // namespace velkor
