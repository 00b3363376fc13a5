#include "link/LineErrors.h"

#include "base/AppContext.h"
#include "base/Prompts.h"
#include "base/SerialPort.h"

namespace velkor {

std::string lineErrorDescription(int code) {
    switch (code) {
        case LineError::Framing:
            return "Framing Error";
        case LineError::HardwareOverrun:
            return "Port Hardware Overrun";
        case LineError::ReceiveBufferOverflow:
            return "Receive Buffer Overflow";
        case LineError::Parity:
            return "Parity Error";
        case LineError::DeviceControlBlock:
            return "Device Control Block Error";
        default:
            return "";
    }
}

std::vector<int> lineErrorEvents(const LineErrorCounts& before, const LineErrorCounts& after) {
    std::vector<int> events;
    if (after.frame > before.frame) {
        events.push_back(LineError::Framing);
    }
    if (after.overrun > before.overrun) {
        events.push_back(LineError::HardwareOverrun);
    }
    if (after.bufferOverrun > before.bufferOverrun) {
        events.push_back(LineError::ReceiveBufferOverflow);
    }
    if (after.parity > before.parity) {
        events.push_back(LineError::Parity);
    }
    return events;
}

void OnComm(AppContext& ctx, int code) {
    const std::string description = lineErrorDescription(code);
    if (description.empty()) {
        return;
    }
    SerialPort& port = ctx.port;
    if (ctx.data.state.RealTimeActive) {
        if (code == LineError::Framing || code == LineError::Parity) {
            return;
        }
        if (code == LineError::HardwareOverrun || code == LineError::ReceiveBufferOverflow) {
            if (port.isOpen()) {
                port.close();
            }
            return;
        }
    }
    ctx.data.state.CommErrorCount += 1;
    if (ctx.data.state.CommErrorCount > 2 && port.isOpen()) {
        port.close();
    }
    const Answer answer = ctx.prompts.message(description, "Communications Error", Icon::Critical,
                                              Buttons::RetryCancel);
    if (answer == Answer::Retry) {
        if (port.isOpen()) {
            port.discardInput();
        }
    } else if (port.isOpen()) {
        port.close();
    }
}

}  // namespace velkor
