#pragma once
// The simulator's controller logic behind a scripted port: every written byte goes to it and its
// answer comes back on the line.

#include <functional>
#include <vector>

#include "sim/Protocol.h"
#include "support/Fakes.h"

namespace velkor::test {

// Passes a written byte to the controller and queues its answer.
inline void answerFrom(sim::Protocol& controller, std::uint8_t byte, ScriptedPort& port) {
    if (const auto reply = controller.receive(byte, sim::SimClock::now())) {
        for (const auto b : reply->bytes) {
            port.reply(b);
        }
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

}  // namespace velkor::test
