#pragma once
// One moment of a simulated drive, and laying a whole drive into the controller's FRAM ring.

#include <cstdint>
#include <functional>
#include <optional>

#include "sim/Simulator.h"

namespace velkor::sim {

struct DriveSample {
    double rpm = 850.0;
    double mph = 0.0;
    double throttle = 0.02;  // fraction of the pedal's travel
    bool launchLight = false;
    bool gpoActive = false;
    bool gpi = false;
    std::uint8_t state = 1;
    // The shift light as the drive sets it; when unset, it is lit above the controller's
    // shift point.
    std::optional<bool> shiftLight;
};

// 2700 samples from `step` (called with 0..2699 in order) as the controller's ring from
// `ringStart`, with sensor noise seeded by `seed`. Throws std::invalid_argument for a ring start
// that is not a record address.
Fram layDrive(int ringStart, unsigned seed, const std::function<DriveSample(int)>& step);

}  // namespace velkor::sim
