#pragma once
// Meanings of the logged bytes and the conversions to engineering units that the chart and the
// live display apply to stored values.

#include <cstdint>
#include <string>

namespace velkor {

struct Preferences;

// Raw-byte conversions used when a record is decoded (and by the live reads).
float rpmFromRaw(int low, int high);
float speedFromRaw(int low, int high);  // MPH, 1/128 steps
float inputVoltsFromRaw(int raw);       // 0..5 V, one decimal
float batteryVoltsFromRaw(int raw);     // 0..18 V, one decimal
// Throttle percent from a raw count, clamped to 0..100; a span of exactly 0 counts as 0.1.
float tpsPercentFromRaw(int raw, float tpsMin, float tpsMax);

// Input bits.
constexpr int InputArm = 1;
constexpr int InputGPI = 2;
// Output bits. The general-purpose output is active low.
constexpr int OutputShift = 1;
constexpr int OutputLaunch = 2;
constexpr int OutputVSSAlarm = 4;
constexpr int OutputAlarm1 = 8;
constexpr int OutputAlarm2 = 16;
constexpr int OutputGPO = 64;

// Controller states.
constexpr int StatePowerOff = 0;
constexpr int StateNotArmed = 1;
constexpr int StateArmed = 2;

// A stored value taken to the nearest whole number (ties to even); 0 for a value that is not a
// number of the 32-bit range, as a damaged file may hold.
std::int32_t storedWhole(float stored);

// The controller state's name ("Power Off", "Power On - Not Armed", "Armed"); `invalid` for any
// other code (the chart and the live view word that case differently).
std::string stateName(std::int32_t state, const char* invalid);

// Whether bit `mask` is set in a stored byte value (the float taken to the nearest whole number).
bool bitSet(float storedByte, int mask);

// A time in seconds as the chart's marker read-out shows it: "12.5 Sec ".
std::string elapsedTimeText(double seconds);

// Speed in the display unit: MPH as stored, otherwise KPH (x 1.6093).
double speedInUnits(float mph, const std::string& vssUnits);
// Air-fuel ratio from a wide-band sensor's volts.
double afrFromVolts(double volts);
// Manifold pressure from analog input 1's volts, with Input1Slope and Input1Offset.
double pressureFromVolts(double volts, const Preferences& prefs);
// Analog input 2's scaling from the preferences: volts MinInput2Volts..MaxInput2Volts map to
// MinInput2ScaledValue..MaxInput2ScaledValue; a span of 0.1 V or less counts as 0.1 V.
struct Input2Scaling {
    float slope;
    float offset;
};
Input2Scaling input2Scaling(const Preferences& prefs);

// Analog input 2 as a scaled value, from the input-2 scaling preferences.
double scaledInput2(double volts, const Preferences& prefs);

}  // namespace velkor
