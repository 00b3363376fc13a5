#pragma once
// What the controller's readings show on the frame "Real Time Data": the one conversion from a
// reading to gauge values, lamp colours and the status line, used alike by the live view (one
// reading at a time, as each read arrives) and by a log's replay (a whole set at once).

#include <array>
#include <cstdint>
#include <string>

namespace velkor {

class LiveDisplay;
struct LiveState;
struct Preferences;

// The nine readings, in the order a live refresh reads them.
enum class Reading {
    State,
    Throttle,
    Battery,
    EngineSpeed,
    RoadSpeed,
    Input1,
    Input2,
    InputBits,
    OutputBits,
};
constexpr int ReadingCount = 9;

// One set of readings in the units the live reads deliver: the state code, the raw throttle
// count (0..255), battery volts, RPM, MPH, the two inputs' volts and the two bit bytes.
struct LiveReadings {
    std::array<float, ReadingCount> values{};
    float& operator[](Reading r) { return values.at(static_cast<std::size_t>(r)); }
    float operator[](Reading r) const { return values.at(static_cast<std::size_t>(r)); }
};

// The raw throttle counts meaning 0 % and 100 % (the connected controller's TPSMin and TPSMax).
struct ThrottleFactors {
    float min;
    float max;
};

// Shows one reading for the preferences in force, with the throttle's scale factors and the
// input-2 scaling kept in `live`. The throttle in volts mode keeps its voltage in
// live.LastTPSVolts, which the state's status line shows.
void showReading(LiveDisplay& display, const Preferences& prefs, ThrottleFactors factors,
                 LiveState& live, Reading reading, float value);

// Shows a whole set: the throttle before the state, so that in volts mode the status line carries
// this set's own throttle voltage, as a live view's does once the throttle has held for a refresh.
void showReadings(LiveDisplay& display, const Preferences& prefs, ThrottleFactors factors,
                  LiveState& live, const LiveReadings& readings);

// The status line: the state's name, and in volts mode the throttle voltage to the nearest
// 0.05 V on a second line.
std::string statusText(std::int32_t state, bool tpsPercentDisplay, float lastTPSVolts);

// The throttle percent gauge's section and value for a raw count.
struct ThrottleShown {
    int scaleIndex;
    float value;
};
ThrottleShown throttleShown(float rawCount, float tpsMin, float tpsMax);

// The raw throttle count that the scale factors turn into `percent`: how a logged throttle,
// stored in percent, is shown as the controller's reading.
float throttleCount(float percent, float tpsMin, float tpsMax);

// What each reading writes to its gauge, for the preferences in force.
void showSpeed(LiveDisplay& display, float mph, const std::string& vssUnits);
void showEngineSpeed(LiveDisplay& display, float rpm);
void showInput1(LiveDisplay& display, const Preferences& prefs, float volts);
void showInput2(LiveDisplay& display, const Preferences& prefs, float input2Slope,
                float input2Offset, float volts);
void showInputBits(LiveDisplay& display, float bits);
void showOutputBits(LiveDisplay& display, float bits);

}  // namespace velkor
