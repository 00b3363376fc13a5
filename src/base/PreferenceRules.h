#pragma once
// What each stored preference may hold: the ranges and choices the options dialogs keep to. The
// start-up and the terminal program check values against these same rules.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velkor {

struct Preferences;

// The longest legend of analog input 2, in characters.
constexpr std::size_t LegendLength = 20;

// Every key of the store, in the order the settings are stored.
const std::vector<std::string>& preferenceKeys();

// The values `key` takes, in words for a message: "5000 to 20000", "MPH or KPH". Empty for a
// key the store does not know.
std::string allowedValues(const std::string& key);

// `text` as `key` takes it: a choice in its exact spelling (matched in any letter case), a
// number or a boolean as given. Nothing when the options dialogs could never have stored it.
std::optional<std::string> acceptedSetting(const std::string& key, const std::string& text);

// The settings the dialogs would have refused take their defaults: a gauge limit, a scaled
// value, a text choice or a legend outside its rule, and a port number outside 0..255. The
// input-2 voltages are not touched here: they are held to 0..5 (clampInput2Volts). A red line
// above its maximum comes down to it, as the dialog holds it.
void keepWithinRules(Preferences& prefs);

struct SettingRange {
    double lower;
    double upper;
};

// The range of a numeric key, limits included; nothing for a key that is not a number.
std::optional<SettingRange> settingRange(const std::string& key);

}  // namespace velkor
