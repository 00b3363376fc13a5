#pragma once
// A drag run for the simulated controller's log, with what really happened in it: idle, the
// launch held on the limiter with the launch light, a standing quarter mile through four gears
// with the shift light at a set engine speed and the driver shifting a known time after it, a
// short throttle lift in top gear past the quarter mile, a lift at the end, braking to a stop and
// idle again. The car is driven by its engine's pull through the gears, held back by the air and
// the road, and may spin its tyres at the launch or after the first upshift.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sim/Simulator.h"

namespace velkor::sim {

// Where the driven wheels spin: the logged road speed, taken at those wheels, runs ahead of the
// car until the tyres hook again.
enum class Wheelspin { None, Launch, AfterShift, Both };

struct TruthShift {
    double time = 0;     // when the driver began the shift, seconds
    double lightOn = 0;  // when the shift light came on
    double reaction = 0;
    int gearBefore = 0;  // 1..4
    int gearAfter = 0;
    double rpm = 0;  // engine speed as the driver began the shift
};

// A spin: the wheels' speed above the car's by more than 1 MPH, times on the log's clock.
struct TruthSpin {
    double start = 0;
    double end = 0;
    double peakExcessMph = 0;
};

// Times are on the log's clock (sample i, from 1, at interval times i) unless said otherwise.
// Speeds and distances are the car's own, not the wheels'; they differ only in a spin.
struct DragTruth {
    double interval = 0;  // seconds between samples
    double launch = 0;    // the car moves off
    double zeroTo30 = 0;  // MPH, from the launch
    double zeroTo60 = 0;
    double sixtyTo100 = 0;
    double throttleLift = 0;  // the short lift in top gear begins
    double braking = 0;       // braking begins
    std::vector<TruthShift> shifts;

    double firstMotion = 0;  // the car first moves: the same moment as `launch`
    // Seconds from first motion to 60, 330, 660, 1000 and 1320 ft; empty where not reached.
    std::array<std::optional<double>, 5> slipTimes;
    std::optional<double> trapEighthMph;   // mean speed over 594..660 ft
    std::optional<double> trapQuarterMph;  // mean speed over 1254..1320 ft
    double launchSlip = 0;                 // seconds from first motion until the clutch locks
    std::vector<TruthSpin> spins;          // in time order
    std::vector<double> bestShiftRpm;      // per upshift, 1-2 first: engine speed in the lower gear
    std::vector<double> rpmPerMph;         // the gears' ratios, first gear first
};

struct DragRun {
    Fram fram{};
    DragTruth truth;
};

// The drag run at a logging interval (seconds, > 0), with the reaction times, the moment of the
// launch, the spins and the noise drawn from `seed`, laid into the ring from `ringStart`.
DragRun generateDragRun(double interval, int ringStart = 368, unsigned seed = 1,
                        Wheelspin spin = Wheelspin::None);

// The truth as a JSON object.
std::string truthJson(const DragTruth& truth);

}  // namespace velkor::sim
