#pragma once
// The polling tick of the live view: the nine reads in their order, each shown as it arrives.

#include <cstdint>
#include <string>

namespace velkor {

class ControllerLink;
class LiveDisplay;
struct Preferences;

// The 500 ms tick of tmrDataRead. Does nothing unless a live view runs. Reads the state,
// throttle, battery, engine speed, road speed, both analog inputs, the input bits and the output
// bits, with a continue check after each (Esc or Close end the tick there). A state read that
// fails shows the lost-link display and ends the live view, without a message of its own.
// A tick that finds another controller operation (or an earlier tick) still running is skipped,
// so two series of reads never interleave on the port. A menu choice that ends the live view,
// made during a tick, ends the tick at its next check and then runs
// (ControllerLink::runEndingLiveView).
void tmrDataRead_Timer(ControllerLink& link);

// The status line: the state's name, and in volts mode the throttle voltage of the previous
// tick to the nearest 0.05 V on a second line.
std::string statusText(std::int32_t state, bool tpsPercentDisplay, float lastTPSVolts);

// The throttle percent gauge's section and value for a raw count.
struct ThrottleShown {
    int scaleIndex;
    float value;
};
ThrottleShown throttleShown(float rawCount, float tpsMin, float tpsMax);

// What each reading writes to its gauge, for the preferences in force.
void showSpeed(LiveDisplay& display, float mph, const std::string& vssUnits);
void showEngineSpeed(LiveDisplay& display, float rpm);
void showInput1(LiveDisplay& display, const Preferences& prefs, float volts);
void showInput2(LiveDisplay& display, const Preferences& prefs, float input2Slope,
                float input2Offset, float volts);
void showInputBits(LiveDisplay& display, float bits);
void showOutputBits(LiveDisplay& display, float bits);

// Lost link: the status line empties, the gauges drop to rest (the ratio gauges at 15, the
// middle of their range), the GPI lamp shows red and the other lamps go dark.
void showLostLink(LiveDisplay& display);

}  // namespace velkor
