#pragma once
// What the live view keeps between its start and its ticks, and from one tick to the next.

namespace velkor {

struct LiveState {
    // Analog input 2 as a scaled value = Input2Slope x volts + Input2Offset; set when a live view
    // starts with a scaled input 2.
    float Input2Slope = 0;
    float Input2Offset = 0;
    // The throttle voltage of the last tick made in volts mode; kept across live views.
    float LastTPSVolts = 0;
};

}  // namespace velkor
