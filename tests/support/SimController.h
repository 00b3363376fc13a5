#pragma once
// The simulator's controller logic behind a scripted port: every written byte goes to it and its
// answer comes back on the line.

#include <functional>
#include <string>
#include <vector>

#include "link/ControllerLink.h"
#include "sim/Protocol.h"
#include "support/AppFixture.h"

namespace velkor::test {

// Passes a written byte to the controller and queues its answer.
inline void answerFrom(sim::Protocol& controller, std::uint8_t byte, ScriptedPort& port) {
    if (const auto reply = controller.receive(byte, sim::SimClock::now())) {
        port.reply(reply->bytes);
    }
}

// An interceptor that makes the controller refuse (NAK) the pointer at `address`, keeping the
// controller itself in step.
inline std::function<bool(std::uint8_t, ScriptedPort&)> refusingAddress(sim::Protocol& controller,
                                                                        std::uint8_t address) {
    return [&controller, address, recent = std::vector<std::uint8_t>()](
               std::uint8_t byte, ScriptedPort& port) mutable {
        recent.push_back(byte);
        const auto n = recent.size();
        if (n < 3 || recent[n - 3] != 20 || recent[n - 2] != address || byte != 0) {
            return false;
        }
        controller.receive(byte, sim::SimClock::now());
        port.reply(0x15);
        return true;
    };
}

// A shift light controller, powered on and not armed.
inline sim::Protocol shiftLight(const sim::Fram& fram, const sim::Eeprom& eeprom,
                                std::string id = "Shift Light Controller V2.0") {
    return sim::Protocol{fram, eeprom, std::move(id), 1, sim::SimClock::now()};
}

// The program's state and its link to `controller` on Com1, on the fake clock; `intercept`, when
// set, sees each written byte first and answers it instead when it returns true.
struct SimLinkFixture : AppFixture {
    explicit SimLinkFixture(sim::Protocol plugged) : controller(std::move(plugged)) {
        data->prefs.CommPortNumber = 1;
        port.responder = [this](std::uint8_t byte, ScriptedPort& p) {
            if (!intercept || !intercept(byte, p)) {
                answerFrom(controller, byte, p);
            }
        };
    }

    sim::Protocol controller;
    std::function<bool(std::uint8_t, ScriptedPort&)> intercept;
    ControllerLink link{ctx};
};

}  // namespace velkor::test
