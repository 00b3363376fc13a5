#include "base/Preferences.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <type_traits>

#include "base/AppError.h"
#include "base/Numbers.h"
#include "base/PreferenceRules.h"
#include "base/Prompts.h"
#include "base/SettingsStore.h"

namespace velkor {

namespace {

AppError notANumber(const std::string& key, const std::string& text) {
    return AppError(
        ErrorNumber::TypeMismatch, "Velkor",
        "The stored setting \"" + key + "\" holds \"" + text + "\", which is not a number.");
}

float floatSetting(const std::string& key, const std::string& text) {
    const auto number = parseNumber(text);
    if (!number) {
        throw notANumber(key, text);
    }
    if (std::abs(*number) > std::numeric_limits<float>::max()) {
        throw AppError(
            ErrorNumber::Overflow, "Velkor",
            "The stored setting \"" + key + "\" holds \"" + text + "\", which is too large.");
    }
    return static_cast<float>(*number);
}

bool boolSetting(const std::string& key, const std::string& text) {
    const auto value = settingBool(text);
    if (!value) {
        throw AppError(ErrorNumber::TypeMismatch, "Velkor",
                       "The stored setting \"" + key + "\" holds \"" + text +
                           "\", which is neither True nor False.");
    }
    return *value;
}

// Reads one key under the error prompt. A missing key leaves the default in place. After a bad
// text, Ignore puts the default in its place, in memory and in the store, so that the same text
// does not stop the next start again. Returns false when the person chose Abort.
bool readOne(SettingsStore& store, Prompts& prompts, const char* key,
             const std::function<void(const std::string&)>& apply,
             const std::function<std::string()>& restoreDefault) {
    const StepResult result = runStep(prompts, [&] {
        if (const auto text = store.read(key)) {
            apply(*text);
        }
    });
    if (result == StepResult::Ignored) {
        const std::string text = restoreDefault();
        return runStep(prompts, [&] { store.write(key, text); }) != StepResult::Aborted;
    }
    return result != StepResult::Aborted;
}

// A bad stored text is replaced by the setting's default.
template <typename T>
bool readSetting(SettingsStore& store, Prompts& prompts, const char* key, Preferences& prefs,
                 T Preferences::*setting) {
    return readOne(
        store, prompts, key,
        [&](const std::string& text) {
            if constexpr (std::is_same_v<T, float>) {
                prefs.*setting = floatSetting(key, text);
            } else if constexpr (std::is_same_v<T, bool>) {
                prefs.*setting = boolSetting(key, text);
            } else {
                prefs.*setting = text;
            }
        },
        [&] {
            prefs.*setting = Preferences().*setting;
            if constexpr (std::is_same_v<T, std::string>) {
                return prefs.*setting;
            } else {
                return settingText(prefs.*setting);
            }
        });
}

}  // namespace

PressureScaling pressureScaling(const std::string& input1Type, const std::string& pressureUnits) {
    const bool inHg = pressureUnits == "In-Hg";
    if (input1Type == "MAP 2 bar") {
        return inHg ? PressureScaling{11.81f, 2.362f} : PressureScaling{5.802f, 1.16f};
    }
    if (input1Type == "MAP 3 bar") {
        return inHg ? PressureScaling{18.57f, 0.3278f} : PressureScaling{9.122f, 0.161f};
    }
    return inHg ? PressureScaling{5.577f, 3.051f} : PressureScaling{2.739f, 1.499f};
}

bool isPressureSensor(const std::string& input1Type) {
    return input1Type == "MAP 1 bar" || input1Type == "MAP 2 bar" || input1Type == "MAP 3 bar";
}

void applyPressureScaling(Preferences& prefs) {
    const PressureScaling scaling = pressureScaling(prefs.Input1Type, prefs.PressureUnits);
    prefs.Input1Slope = scaling.slope;
    prefs.Input1Offset = scaling.offset;
}

bool readCommPort(Preferences& prefs, SettingsStore& store, Prompts& prompts) {
    return readOne(
        store, prompts, Key::CommPort,
        [&](const std::string& text) {
            const auto number = parseNumber(text);
            if (!number) {
                throw notANumber(Key::CommPort, text);
            }
            const std::int32_t port = toWhole(*number);
            if (port < std::numeric_limits<std::int16_t>::min() ||
                port > std::numeric_limits<std::int16_t>::max()) {
                throw AppError(ErrorNumber::Overflow, "Velkor",
                               "The stored port number " + text + " is far outside Com1..Com255.");
            }
            prefs.CommPortNumber = port;
            keepWithinRules(prefs);
        },
        [&] {
            prefs.CommPortNumber = Preferences().CommPortNumber;
            return std::to_string(prefs.CommPortNumber);
        });
}

bool readDisplaySettings(Preferences& prefs, SettingsStore& store, Prompts& prompts) {
    using P = Preferences;
    const bool read =
        readSetting(store, prompts, Key::TachRedline, prefs, &P::TachRedline) &&
        readSetting(store, prompts, Key::TachMax, prefs, &P::TachMax) &&
        readSetting(store, prompts, Key::SpeedoRedline, prefs, &P::SpeedoRedline) &&
        readSetting(store, prompts, Key::SpeedoMax, prefs, &P::SpeedoMax) &&
        readSetting(store, prompts, Key::Input1Type, prefs, &P::Input1Type) &&
        readSetting(store, prompts, Key::Input2Type, prefs, &P::Input2Type) &&
        readSetting(store, prompts, Key::VSSUnits, prefs, &P::VSSUnits) &&
        readSetting(store, prompts, Key::PressureUnits, prefs, &P::PressureUnits) &&
        readSetting(store, prompts, Key::TPSPercentDisplay, prefs, &P::TPSPercentDisplay) &&
        readSetting(store, prompts, Key::MinInput2Volts, prefs, &P::MinInput2Volts) &&
        readSetting(store, prompts, Key::MaxInput2Volts, prefs, &P::MaxInput2Volts) &&
        readSetting(store, prompts, Key::MinInput2ScaledValue, prefs, &P::MinInput2ScaledValue) &&
        readSetting(store, prompts, Key::MaxInput2ScaledValue, prefs, &P::MaxInput2ScaledValue) &&
        readSetting(store, prompts, Key::Input2Legend, prefs, &P::Input2Legend);
    keepWithinRules(prefs);
    return read;
}

void clampInput2Volts(Preferences& prefs) {
    prefs.MinInput2Volts = std::clamp(prefs.MinInput2Volts, 0.0f, 5.0f);
    prefs.MaxInput2Volts = std::clamp(prefs.MaxInput2Volts, 0.0f, 5.0f);
}

std::string settingText(float value) {
    return shortestFloatText(value);
}

std::optional<bool> settingBool(const std::string& text) {
    std::string word;
    for (char c : text) {
        if (c != ' ' && c != '\t') {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    if (word == "true") {
        return true;
    }
    if (word == "false") {
        return false;
    }
    // Numbers read as booleans too: 0 is False, any other number True.
    const auto number = parseNumber(text);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0.0;
}

std::string settingText(bool value) {
    return value ? "True" : "False";
}

}  // namespace velkor
