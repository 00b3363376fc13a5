#pragma once
// Line errors the serial driver reports while the port is open, and what the program does with
// them.

#include <string>
#include <vector>

namespace velkor {

struct AppContext;

namespace LineError {
constexpr int Framing = 1004;
constexpr int HardwareOverrun = 1006;
constexpr int ReceiveBufferOverflow = 1008;
constexpr int Parity = 1009;
constexpr int DeviceControlBlock = 1011;
}  // namespace LineError

// The description shown for a line-error code ("" for a code that is not a line error).
std::string lineErrorDescription(int code);

// The driver's running error counts.
struct LineErrorCounts {
    long frame = 0;
    long overrun = 0;
    long parity = 0;
    long bufferOverrun = 0;
};

// One event for each counter that went up between two readings, in the order framing, hardware
// overrun, buffer overflow, parity. A counter that went down (a driver reset) raises nothing.
std::vector<int> lineErrorEvents(const LineErrorCounts& before, const LineErrorCounts& after);

// The serial port's communication event. Framing and parity errors are ignored during a live
// view; overruns then close the port without a word; everything else is counted and shown in a
// "Communications Error" box with Retry (discard what was received) and Cancel (close the
// port). From the third reported error on, the port is closed before the box shows.
void OnComm(AppContext& ctx, int code);

}  // namespace velkor
