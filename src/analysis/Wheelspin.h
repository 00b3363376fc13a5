#pragma once
// The launch and wheelspin. Road speed is measured at the driven wheels, so a spin shows as
// road speed running ahead of the car, rising faster than the car can and falling back or
// stalling when the tyres hook; a slipping clutch or converter shows as engine speed per road
// speed above the gear's ratio.

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/RunAnalysis.h"

namespace velkor {

struct LogSamples;

// How long after first motion engine speed per road speed stayed above first gear's ratio;
// nothing when first gear is not known or the clutch never took up the drive in the run.
std::optional<double> launchSlip(const LogSamples& s, const std::vector<double>& gearRatios,
                                 double motion, std::size_t end);

struct SpinFindings {
    std::vector<WheelspinEvent> spins;
    // Road speed with each spin's span bridged by a straight line from where the wheels left
    // the car's speed to where the tyres hooked again: the car's speed, as near as the log tells
    // it. Empty when there is no spin.
    std::vector<double> carMph;
};

// The spins of a run whose shifts and first motion are known, up to index `end`. Between
// shifts and lifts, at full throttle, the car's own speed follows a smooth curve; the wheels'
// speed above it is the spin.
SpinFindings findWheelspin(const LogSamples& s, const RunResult& run, std::size_t end);

}  // namespace velkor
