#pragma once
// The user's display and port preferences, as stored per user under "Properties".

#include <optional>
#include <string>

namespace velkor {

class Prompts;
class SettingsStore;

// Kilometres per hour in one mile per hour: the controller counts in MPH, and speeds are shown in
// KPH when the speed unit is KPH.
inline constexpr double KphPerMph = 1.6093;

struct Preferences {
    int CommPortNumber = 1;  // 1..255; 0 means no port chosen
    float TachRedline = 6500;
    float TachMax = 10000;
    float SpeedoRedline = 85;
    float SpeedoMax = 140;
    std::string Input1Type = "Analog";
    std::string Input2Type = "Analog";
    std::string VSSUnits = "MPH";
    std::string PressureUnits = "In-Hg";
    bool TPSPercentDisplay = true;
    float MinInput2Volts = 0;
    float MaxInput2Volts = 5;
    float MinInput2ScaledValue = 0;
    float MaxInput2ScaledValue = 5;
    std::string Input2Legend = "Analog Input";

    // Derived: manifold pressure = Input1Slope x volts + Input1Offset.
    float Input1Slope = 0;
    float Input1Offset = 0;
};

// Keys in the settings store.
namespace Key {
constexpr const char* CommPort = "CommPort";
constexpr const char* TachRedline = "Tach_Redline";
constexpr const char* TachMax = "Tach_Max";
constexpr const char* SpeedoRedline = "Speedo_Redline";
constexpr const char* SpeedoMax = "Speedo_Max";
constexpr const char* Input1Type = "Input1Type";
constexpr const char* Input2Type = "Input2Type";
constexpr const char* VSSUnits = "VSSUnits";
constexpr const char* PressureUnits = "PressureUnits";
constexpr const char* TPSPercentDisplay = "TPS_Percent_Display";
constexpr const char* MinInput2Volts = "MinInput2Volts";
constexpr const char* MaxInput2Volts = "MaxInput2Volts";
constexpr const char* MinInput2ScaledValue = "MinInput2ScaledValue";
constexpr const char* MaxInput2ScaledValue = "MaxInput2ScaledValue";
constexpr const char* Input2Legend = "Input2Legend";
}  // namespace Key

struct PressureScaling {
    float slope;
    float offset;
};

// The one pressure table: the sensor row by input-1 type ("MAP 2 bar", "MAP 3 bar", any other
// type the 1-bar row) and the column by pressure unit ("In-Hg", any other unit psi).
PressureScaling pressureScaling(const std::string& input1Type, const std::string& pressureUnits);

// True for "MAP 1 bar", "MAP 2 bar" and "MAP 3 bar".
bool isPressureSensor(const std::string& input1Type);

// Sets Input1Slope and Input1Offset from the table, whatever the input-1 type.
void applyPressureScaling(Preferences& prefs);

// The stored port number; a stored text that is not a whole number in the 16-bit range goes to
// the error prompt (Ignore stores the default port instead, Abort returns false). A number
// outside 0..255 gives the default port.
bool readCommPort(Preferences& prefs, SettingsStore& store, Prompts& prompts);

// The display settings in the order of the store's table, each with its default. A stored text
// that does not convert goes to the error prompt: Retry reads it again, Ignore stores that one
// setting's default in its place and goes on, Abort stops reading and returns false. A value
// the options dialogs would have refused gives way to its default (keepWithinRules).
bool readDisplaySettings(Preferences& prefs, SettingsStore& store, Prompts& prompts);

// The input-2 voltages held in 0..5 for this run; the store keeps what it has.
void clampInput2Volts(Preferences& prefs);

// Text for the store: numbers as their shortest decimal text, the boolean as True or False.
std::string settingText(float value);
std::string settingText(bool value);

// A stored boolean: True or False in any letter case, or a number (0 is False, any other True).
std::optional<bool> settingBool(const std::string& text);

}  // namespace velkor
