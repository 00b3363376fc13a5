// Identification and configuration reads: the firmware ID, EEPROM bytes, the TPS scale factors
// and the logging interval.

#include <algorithm>

#include "base/Prompts.h"
#include "base/SerialPort.h"
#include "link/ControllerLink.h"

namespace velkor {

void ControllerLink::ReadFirmwareID() {
    CommandOK = false;
    if (!ensureOpen(Cleanup::ClosePort)) {
        return;
    }
    SerialPort& port = m_ctx.port;
    port.discardInput();
    port.writeByte(Command::ReadFirmwareID);

    const auto deadline = m_ctx.clock.now() + std::chrono::seconds(1);
    std::string id;
    bool ended = false;
    // Unlike the other replies, the ID is awaited with window events running on every pass.
    for (;;) {
        if (port.bytesWaiting() > 0) {
            const std::uint8_t byte = port.readByte();
            if (byte == CR) {
                ended = true;
                break;
            }
            if (id.size() < FirmwareIDLimit) {
                id += static_cast<char>(byte);
            }
        } else {
            const auto now = m_ctx.clock.now();
            // A port closed meanwhile (a line error's Cancel, the window closing) sends no more.
            if (now >= deadline || !port.isOpen()) {
                break;
            }
            port.waitForBytes(1, std::min(deadline, now + std::chrono::milliseconds(5)));
        }
        m_ctx.prompts.yield();
    }
    if (!ended) {
        closePort();
        reportTimeout(Cleanup::ClosePort);
        return;
    }
    m_ctx.data.controller.FirmwareID = id;
    m_ctx.data.controller.ControllerType = controllerTypeOf(id);
    closePort();
    DelayTimer(2);
    CommandOK = true;
}

std::uint8_t ControllerLink::ReadEEPROM() {
    return byteRead(Command::ReadEEPROM);
}

void ControllerLink::ReadTPSScaleFactors() {
    CommandOK = false;
    SetAddress(21);
    if (!CommandOK) {
        closePort();
        return;
    }
    CommandOK = false;
    m_ctx.data.controller.TPSMin = ReadEEPROM();
    if (!CommandOK) {
        closePort();
        return;
    }
    CommandOK = false;
    // The pointer has moved on to address 22 by itself.
    m_ctx.data.controller.TPSMax = ReadEEPROM();
}

void readTPSScaleFactorsOrUsual(ControllerLink& link, const std::string& title) {
    link.ReadTPSScaleFactors();
    if (link.CommandOK) {
        return;
    }
    AppContext& ctx = link.context();
    ctx.prompts.message(
        "Error - unable to read TPS scale factors.\r\nTPS percent data may be incorrectly scaled.",
        title, Icon::Exclamation, Buttons::Ok);
    ctx.data.controller.TPSMin = 26;
    ctx.data.controller.TPSMax = 230;
}

float ControllerLink::ReadDataLogInterval() {
    CommandOK = false;
    SetAddress(19);
    if (!CommandOK) {
        closePort();
        return 0.0f;
    }
    CommandOK = false;
    const std::uint8_t steps = ReadEEPROM();
    return static_cast<float>(0.016 * steps);
}

}  // namespace velkor
