#pragma once
// The serial port on QSerialPort.

#include <QSerialPort>

#include "link/SerialPort.h"

namespace velkor {

class QtSerialPort : public SerialPort {
public:
    bool isOpen() const override { return m_port.isOpen(); }
    void close() override { m_port.close(); }

private:
    QSerialPort m_port;
};

}  // namespace velkor
