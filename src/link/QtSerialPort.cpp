#include "link/QtSerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "base/AppError.h"

#ifdef __linux__
#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace velkor {

namespace {

constexpr qint32 LineRate = 56000;
constexpr std::uint32_t PortOpenError = 8002;

std::optional<LineErrorCounts> driverCounts(int fd) {
#ifdef __linux__
    serial_icounter_struct counts{};
    if (fd < 0 || ::ioctl(fd, TIOCGICOUNT, &counts) != 0) {
        return std::nullopt;
    }
    LineErrorCounts result;
    result.frame = counts.frame;
    result.overrun = counts.overrun;
    result.parity = counts.parity;
    result.bufferOverrun = counts.buf_overrun;
    return result;
#else
    (void)fd;
    return std::nullopt;
#endif
}

// A byte damaged on the line (a framing or parity error) is handed over as a zero byte in its
// place instead of being dropped. QSerialPort asks the terminal to ignore such bytes (IGNPAR), and
// a reply one byte short is a time-out: one noisy byte would freeze a live view for a second and
// ask for Abort, where it should cost one wrong value for one refresh. The terminal gives a
// damaged byte as 0 only while it checks input (INPCK) and neither ignores (IGNPAR) nor marks
// (PARMRK) it; with no parity on the line only framing errors and breaks can occur. The driver
// still counts the error, so it is reported as before.
bool keepDamagedBytes(int fd) {
#ifdef __linux__
    termios settings{};
    if (fd < 0 || ::tcgetattr(fd, &settings) != 0) {
        return false;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IGNPAR | PARMRK);
    settings.c_iflag |= INPCK;
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
#else
    (void)fd;
    return true;
#endif
}

// The group that owns a device, for the advice on permissions ("dialout" on Debian).
std::string owningGroup(const std::string& device) {
#ifdef __linux__
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0) {
        if (const group* owner = ::getgrgid(info.st_gid)) {
            return owner->gr_name;
        }
    }
#else
    (void)device;
#endif
    return "dialout";
}

// The windows' text: it names their menu for choosing another port.
std::string openFailure(const std::string& portName, const std::string& device,
                        QSerialPort::SerialPortError error) {
    const std::string head = portName + " could not be opened";
    const QFileInfo info(QString::fromLocal8Bit(device.c_str()));
    if (error == QSerialPort::DeviceNotFoundError || !info.exists()) {
        return head + ": the device " + device +
               " does not exist. Plug in the cable or adapter, or choose another port under "
               "Communications, Port Setup.";
    }
    if (error == QSerialPort::PermissionError) {
        if (!info.isReadable() || !info.isWritable()) {
            const std::string group = owningGroup(device);
            return head + ": permission denied for " + device +
                   ". Your user needs to be in the group that owns the device, " + group +
                   " (sudo adduser $USER " + group + ", then log out and in again).";
        }
        return head + ": " + device + " is in use by another program.";
    }
    return head + " (" + device + ").";
}

#ifdef __linux__
std::string systemText(int error) {
    return std::strerror(error);
}

// Why the device is no usable serial port, in the system's words, found by trying it the way
// the port opens it; nothing when it opens as a terminal (the fault lies elsewhere).
std::optional<std::string> probeDevice(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        return systemText(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return "it is a folder, not a serial device";
    }
    if (S_ISREG(info.st_mode)) {
        return "it is an ordinary file, not a serial device";
    }
    if (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)) {
        return "it is a pipe or socket, not a serial device";
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error != EACCES && error != EPERM) {
            return systemText(error);
        }
        // Joining the device's group helps only when the group may use it, and never for root.
        const std::string group = owningGroup(device);
        const bool groupMayUse = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
        if (groupMayUse && group != "root") {
            return systemText(error) + "; the device belongs to the group " + group +
                   ": join it (sudo adduser $USER " + group + ") and log in again";
        }
        return systemText(error) + "; the device belongs to the group " + group +
               ", which gives you no access: ask the machine's administrator for it";
    }
    std::optional<std::string> reason;
    if (::isatty(fd) != 1) {
        reason = "it is not a serial device (" + systemText(errno) + ")";
    }
    ::close(fd);
    return reason;
}
#endif

// The terminal's text: the system's reason, and what to do in a terminal's terms.
std::string terminalOpenFailure(const std::string& portName, const std::string& device,
                                const QSerialPort& port) {
    const std::string where = portName == device ? device : portName + " (" + device + ")";
    std::string reason;
#ifdef __linux__
    if (const auto probed = probeDevice(device)) {
        reason = *probed;
    }
#endif
    if (reason.empty()) {
        reason = port.error() == QSerialPort::PermissionError
                     ? "it is in use by another program"
                     : port.errorString().toLocal8Bit().toStdString();
    }
    return where + " could not be opened: " + reason;
}

}  // namespace

QtSerialPort::QtSerialPort() : QtSerialPort(driverCounts) {}

QtSerialPort::QtSerialPort(CountReader reader) : m_readCounts(std::move(reader)) {
    m_errorPoll.setInterval(50);
    QObject::connect(&m_errorPoll, &QTimer::timeout, [this] { pollLineErrors(); });
}

void QtSerialPort::open(const std::string& portName, const std::string& device) {
    m_port.setPortName(QFile::decodeName(device.c_str()));
    if (!m_port.open(QIODevice::ReadWrite)) {
        const auto error = m_port.error();
        AppError failure(PortOpenError, "Velkor", openFailure(portName, device, error));
        failure.withTerminalDescription(terminalOpenFailure(portName, device, m_port));
        m_port.clearError();
        throw failure;
    }
    const bool applied = m_port.setBaudRate(LineRate) && m_port.setDataBits(QSerialPort::Data8) &&
                         m_port.setParity(QSerialPort::NoParity) &&
                         m_port.setStopBits(QSerialPort::OneStop) &&
                         m_port.setFlowControl(QSerialPort::NoFlowControl) &&
                         // After the setters, each of which writes the terminal's settings
                         // again; the rate (56000, a custom one) is kept by the terminal.
                         keepDamagedBytes(static_cast<int>(m_port.handle()));
    if (!applied) {
        m_pending.push_back(LineError::DeviceControlBlock);
    }
    // A device without modem lines (a pseudo-terminal, some adapters) refuses these; that is
    // not a fault of the line.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(false);
    m_port.clearError();
    m_lastCounts = m_readCounts(static_cast<int>(m_port.handle()));
    if (m_lastCounts || !m_pending.empty()) {
        m_errorPoll.start();
    }
}

void QtSerialPort::close() {
    // Errors counted since the last look would be lost with the counts: they are queued and
    // reported at the next poll, after the port has closed.
    if (m_port.isOpen() && m_lastCounts) {
        if (const auto counts = m_readCounts(static_cast<int>(m_port.handle()))) {
            for (const int code : lineErrorEvents(*m_lastCounts, *counts)) {
                m_pending.push_back(code);
            }
        }
    }
    m_lastCounts.reset();
    m_port.close();
    if (m_pending.empty()) {
        m_errorPoll.stop();
    }
}

void QtSerialPort::discardInput() {
    if (m_port.isOpen()) {
        m_port.clear(QSerialPort::Input);
        m_port.readAll();
    }
}

int QtSerialPort::bytesWaiting() {
    if (!m_port.isOpen()) {
        return 0;
    }
    // Take in what the driver holds without waiting, since window events may not have run.
    m_port.waitForReadyRead(0);
    return static_cast<int>(m_port.bytesAvailable());
}

void QtSerialPort::writeByte(std::uint8_t byte) {
    if (!m_port.isOpen()) {
        return;
    }
    const char c = static_cast<char>(byte);
    m_port.write(&c, 1);
    if (!m_port.flush()) {
        m_port.waitForBytesWritten(100);
    }
}

std::uint8_t QtSerialPort::readByte() {
    char c = 0;
    m_port.getChar(&c);
    return static_cast<std::uint8_t>(c);
}

bool QtSerialPort::waitForBytes(int count, Clock::time_point deadline) {
    // The bytes still missing cannot come faster than the line carries them, so the wait naps
    // through all but the last of them instead of waking for every byte.
    constexpr auto byteTime = std::chrono::steady_clock::duration(
        std::chrono::nanoseconds(1'000'000'000LL * 10 / LineRate));
    while (m_port.isOpen()) {
        const qint64 missing = count - m_port.bytesAvailable();
        if (missing <= 0) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (missing > 1) {
            std::this_thread::sleep_until(
                std::min<Clock::time_point>(deadline, now + (missing - 1) * byteTime));
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            m_port.waitForReadyRead(0);
            return m_port.bytesAvailable() >= count;
        }
        m_port.waitForReadyRead(static_cast<int>(left.count()));
    }
    return false;
}

void QtSerialPort::pollLineErrors() {
    if (m_port.isOpen() && m_lastCounts) {
        if (const auto counts = m_readCounts(static_cast<int>(m_port.handle()))) {
            for (const int code : lineErrorEvents(*m_lastCounts, *counts)) {
                m_pending.push_back(code);
            }
            m_lastCounts = counts;
        }
    }
    // The handler may show a box that runs window events; events found meanwhile wait their turn.
    if (m_delivering) {
        return;
    }
    m_delivering = true;
    while (!m_pending.empty()) {
        const int code = m_pending.front();
        m_pending.pop_front();
        deliver(code);
    }
    m_delivering = false;
    if (!m_port.isOpen()) {
        m_errorPoll.stop();
    }
}

void QtSerialPort::deliver(int code) {
    if (m_handler) {
        m_handler(code);
    }
}

}  // namespace velkor
