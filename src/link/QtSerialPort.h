#pragma once
// The serial port on QSerialPort, with line errors read from the Linux serial driver's error
// counters while the port is open. A byte damaged on the line arrives as a zero byte, as the
// serial control delivers it, rather than being dropped.

#include <QSerialPort>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

#include "base/SerialPort.h"
#include "link/LineErrors.h"

namespace velkor {

class QtSerialPort : public SerialPort {
public:
    // Reads the driver's error counts; nothing when the device keeps none.
    using CountReader = std::function<std::optional<LineErrorCounts>(int fileDescriptor)>;

    QtSerialPort();
    // For tests: where the error counts come from (the driver by default).
    explicit QtSerialPort(CountReader reader);

    void open(const std::string& portName, const std::string& device) override;
    bool isOpen() const override { return m_port.isOpen(); }
    void close() override;
    void discardInput() override;
    int bytesWaiting() override;
    void writeByte(std::uint8_t byte) override;
    std::uint8_t readByte() override;
    bool waitForBytes(int count, Clock::time_point deadline) override;
    void setLineErrorHandler(LineErrorHandler handler) override { m_handler = std::move(handler); }

    // Looks at the error counters now (the port does this itself every 50 ms while open, and
    // once more as it closes, reporting what that last look found at the next poll).
    void pollLineErrors();

private:
    void deliver(int code);

    QSerialPort m_port;
    QTimer m_errorPoll;
    CountReader m_readCounts;
    std::optional<LineErrorCounts> m_lastCounts;
    std::deque<int> m_pending;
    LineErrorHandler m_handler;
    bool m_delivering = false;
};

}  // namespace velkor
