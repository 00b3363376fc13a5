#pragma once
// The one serial port through which the controller is reached.

namespace velkor {

class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
};

}  // namespace velkor
