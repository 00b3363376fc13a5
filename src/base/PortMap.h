#pragma once
// Port numbers Com1..Com255 and the devices they mean on this system.

#include <string>
#include <vector>

namespace velkor {

constexpr int PortCount = 255;

// "Com" and the number without blanks: "Com1".."Com255".
std::string portName(int number);

// The device a port number means. A per-user link `<linkDir>/comN` wins (it may point at any
// device, a USB adapter or a pseudo-terminal); otherwise Com1-32 are /dev/ttyS0-31, Com33-64
// /dev/ttyUSB0-31, Com65-96 /dev/ttyACM0-31 and the rest /dev/ttyS(N-1).
std::string portDevice(int number, const std::string& linkDir);

struct PortEntry {
    int number;
    std::string name;    // "Com5"
    std::string device;  // the path opened for it
    bool linked;         // a per-user link chose the device
    std::string shown;   // what a person reads: the device, or where the link leads
    bool present;        // the device exists now
};

// The 255 entries of the port list, in order.
std::vector<PortEntry> portEntries(const std::string& linkDir);

}  // namespace velkor
