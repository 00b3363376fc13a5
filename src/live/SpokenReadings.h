#pragma once
// The live display's readings in words, for a screen reader: what each dial, bar gauge and lamp
// shows, as "Tachometer 6468 RPM" or "Shift light on".

#include <string>

#include "base/LiveDisplay.h"

namespace velkor {

// A dial with the read-out it shows: "Tachometer 6468 RPM", "Speedometer 62 MPH"; a dial with
// no read-out says so.
std::string dialSpokenText(DialId dial, const std::string& readout);

// A bar gauge's caption with its read-out: "BAT V 13.8".
std::string gaugeSpokenText(const std::string& caption, const std::string& readout);

// A lamp and whether it is lit: any colour but black is lit. "Shift light on", "Alarm 1 off".
std::string lampSpokenText(LampId lamp, Colour colour);

}  // namespace velkor
