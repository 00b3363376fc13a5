#pragma once
// The launch and wheelspin: road speed is measured at the driven wheels, so a spin shows as
// road speed rising faster than the car can accelerate and falling back or stalling when the
// tyres hook; a slipping clutch or converter as engine speed per road speed above the gear's.

#include <cstddef>
#include <optional>
#include <vector>

#include "analysis/RunAnalysis.h"

namespace velkor {

struct LogSamples;

// How long after first motion engine speed per road speed stayed above first gear's ratio.
std::optional<double> launchSlip(const LogSamples& s, const std::vector<double>& gearRatios,
                                 double motion, std::size_t end);

// The spins in the run from `start` to `end` (indices).
std::vector<WheelspinEvent> findWheelspin(const LogSamples& s,
                                          const std::vector<double>& gearRatios, std::size_t start,
                                          std::size_t end);

}  // namespace velkor
