#pragma once
// A drag run for the simulated controller's log, with what really happened in it: idle, the
// launch held on the limiter with the launch light, a run through four gears with the shift
// light at a set engine speed and the driver shifting a known time after it, a short throttle
// lift in top gear, a lift at the end, braking to a stop and idle again.

#include <string>
#include <vector>

#include "sim/Simulator.h"

namespace velkor::sim {

struct TruthShift {
    double time = 0;     // when the driver began the shift, seconds
    double lightOn = 0;  // when the shift light came on
    double reaction = 0;
    int gearBefore = 0;  // 1..4
    int gearAfter = 0;
};

struct DragTruth {
    double interval = 0;  // seconds between samples
    double launch = 0;    // the car moves off
    double zeroTo30 = 0;  // MPH, from the launch
    double zeroTo60 = 0;
    double sixtyTo100 = 0;
    double throttleLift = 0;  // the short lift in top gear begins
    double braking = 0;       // braking begins
    std::vector<TruthShift> shifts;
};

struct DragRun {
    Fram fram{};
    DragTruth truth;
};

// The drag run at a logging interval (seconds, > 0), with the reaction times and noise drawn
// from `seed`, laid into the ring from `ringStart`.
DragRun generateDragRun(double interval, int ringStart = 368, unsigned seed = 1);

// The truth as a JSON object.
std::string truthJson(const DragTruth& truth);

}  // namespace velkor::sim
