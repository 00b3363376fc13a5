#pragma once
// The one serial port through which the controller is reached: 56000 bit/s, no parity, 8 data
// bits, 1 stop bit, no flow control, DTR on and RTS off while open, zero bytes kept.

#include <cstdint>
#include <functional>
#include <string>

#include "base/Clock.h"

namespace velkor {

class SerialPort {
public:
    // Line-error codes as the serial control reports them.
    using LineErrorHandler = std::function<void(int code)>;

    virtual ~SerialPort() = default;

    // Opens `device` (the port `portName`, "Com3") with the line settings. Throws AppError with a
    // description a person can act on when the device cannot be opened.
    virtual void open(const std::string& portName, const std::string& device) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Throws away every received byte not yet read.
    virtual void discardInput() = 0;
    virtual int bytesWaiting() = 0;
    // One byte out, on its own. Nothing is sent while the port is closed.
    virtual void writeByte(std::uint8_t byte) = 0;
    // The oldest received byte; call only when bytesWaiting() > 0.
    virtual std::uint8_t readByte() = 0;
    // Blocks, without letting window events run, until `count` bytes wait or the deadline has
    // passed; true when they wait. A closed port returns false at once.
    virtual bool waitForBytes(int count, Clock::time_point deadline) = 0;
    // Who hears of line errors (framing, overrun, parity...). Events arrive only while the
    // program lets window events run.
    virtual void setLineErrorHandler(LineErrorHandler handler) = 0;
};

}  // namespace velkor
