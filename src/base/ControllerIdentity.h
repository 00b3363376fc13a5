#pragma once
// What the connected controller said of itself when it was last asked: kept apart from the log
// in memory, which may come from a file or another controller.

#include <string>

namespace velkor {

struct ControllerIdentity {
    std::string FirmwareID;
    std::string ControllerType;  // "Shift Light", "Unknown", or "" before identification
    float TPSMin = 0.0f;         // raw throttle count meaning 0 %
    float TPSMax = 0.0f;         // raw throttle count meaning 100 %
};

}  // namespace velkor
