#include "base/Preferences.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <limits>

#include "base/AppError.h"
#include "base/Numbers.h"
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
        throw AppError(ErrorNumber::TypeMismatch, "Velkor",
                       "The stored setting \"" + key + "\" holds \"" + text +
                           "\", which is neither True nor False.");
    }
    return *number != 0.0;
}

// Reads one key under the error prompt. A missing key leaves the default in place; Ignore after
// a bad text leaves the setting cleared. Returns false when the person chose Abort.
bool readOne(const SettingsStore& store, Prompts& prompts, const char* key,
             const std::function<void(const std::string&)>& apply,
             const std::function<void()>& clear) {
    const StepResult result = runStep(prompts, [&] {
        if (const auto text = store.read(key)) {
            apply(*text);
        }
    });
    if (result == StepResult::Ignored) {
        clear();
    }
    return result != StepResult::Aborted;
}

bool readFloat(const SettingsStore& store, Prompts& prompts, const char* key, float& target) {
    return readOne(
        store, prompts, key, [&](const std::string& text) { target = floatSetting(key, text); },
        [&] { target = 0; });
}

bool readText(const SettingsStore& store, Prompts& prompts, const char* key, std::string& target) {
    return readOne(
        store, prompts, key, [&](const std::string& text) { target = text; },
        [&] { target.clear(); });
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

bool readCommPort(Preferences& prefs, const SettingsStore& store, Prompts& prompts) {
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
        },
        [&] { prefs.CommPortNumber = 0; });
}

bool readDisplaySettings(Preferences& prefs, const SettingsStore& store, Prompts& prompts) {
    return readFloat(store, prompts, Key::TachRedline, prefs.TachRedline) &&
           readFloat(store, prompts, Key::TachMax, prefs.TachMax) &&
           readFloat(store, prompts, Key::SpeedoRedline, prefs.SpeedoRedline) &&
           readFloat(store, prompts, Key::SpeedoMax, prefs.SpeedoMax) &&
           readText(store, prompts, Key::Input1Type, prefs.Input1Type) &&
           readText(store, prompts, Key::Input2Type, prefs.Input2Type) &&
           readText(store, prompts, Key::VSSUnits, prefs.VSSUnits) &&
           readText(store, prompts, Key::PressureUnits, prefs.PressureUnits) &&
           readOne(
               store, prompts, Key::TPSPercentDisplay,
               [&](const std::string& text) {
                   prefs.TPSPercentDisplay = boolSetting(Key::TPSPercentDisplay, text);
               },
               [&] { prefs.TPSPercentDisplay = false; }) &&
           readFloat(store, prompts, Key::MinInput2Volts, prefs.MinInput2Volts) &&
           readFloat(store, prompts, Key::MaxInput2Volts, prefs.MaxInput2Volts) &&
           readFloat(store, prompts, Key::MinInput2ScaledValue, prefs.MinInput2ScaledValue) &&
           readFloat(store, prompts, Key::MaxInput2ScaledValue, prefs.MaxInput2ScaledValue) &&
           readText(store, prompts, Key::Input2Legend, prefs.Input2Legend);
}

void clampInput2Volts(Preferences& prefs) {
    prefs.MinInput2Volts = std::clamp(prefs.MinInput2Volts, 0.0f, 5.0f);
    prefs.MaxInput2Volts = std::clamp(prefs.MaxInput2Volts, 0.0f, 5.0f);
}

std::string settingText(float value) {
    return shortestFloatText(value);
}

std::string settingText(bool value) {
    return value ? "True" : "False";
}

}  // namespace velkor
