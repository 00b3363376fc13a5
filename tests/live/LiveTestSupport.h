#pragma once
// A live view against the simulator's controller logic behind a scripted port, on a fake clock.
// The nine live reads can be answered with fixed readings instead of the moving ones.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "base/AppContext.h"
#include "link/ControllerLink.h"
#include "live/LivePoll.h"
#include "live/RealTimeView.h"
#include "sim/Protocol.h"
#include "support/AppFixture.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"
#include "support/SimController.h"

namespace velkor::test {

// The reply a live read gets from fixed readings: two bytes, low first, for the engine and road
// speeds, one byte for the others.
inline std::vector<std::uint8_t> fixedReply(std::uint8_t command, const sim::LiveValues& v) {
    if (command == sim::cmd::ReadRPM || command == sim::cmd::ReadVSS) {
        const std::uint16_t w = command == sim::cmd::ReadRPM ? v.rpm : v.speed;
        return {std::uint8_t(w & 0xFF), std::uint8_t(w >> 8)};
    }
    // ReadBAT .. ReadStatus, in command order; the two speeds' places are not used.
    const std::uint8_t byFamily[] = {v.battery, 0,        0,         v.tps,  v.input1,
                                     v.input2,  v.inputs, v.outputs, v.state};
    return {byFamily[command - sim::cmd::ReadBAT]};
}

class LiveTest : public ::testing::Test, protected AppFixture {
protected:
    LiveTest() {
        data->prefs.CommPortNumber = 1;
        view.realTimeShown = false;  // as start-up leaves it
        port.responder = [this](std::uint8_t byte, ScriptedPort& p) {
            if (unplugged || (intercept && intercept(byte, p))) {
                return;
            }
            if (readings && byte >= sim::cmd::ReadBAT && byte <= sim::cmd::ReadStatus) {
                for (const auto b : fixedReply(byte, *readings)) {
                    p.reply(b);
                }
                return;
            }
            answerFrom(controller, byte, p);
        };
    }

    // Starts a live view that is expected to start without a message.
    void start() {
        mnuViewRealTime_Click(link);
        ASSERT_TRUE(data->state.RealTimeActive && prompts.shown().empty())
            << ::testing::PrintToString(prompts.messageTexts());
    }

    // Bytes written from `from` on.
    std::vector<std::uint8_t> writtenSince(std::size_t from) const {
        const auto all = port.writtenValues();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
    }

    RecordingLiveDisplay& live() { return view.live; }

    sim::Protocol controller{sim::Fram{}, sim::makeEeprom(6, 26, 230),
                             "Shift Light Controller V2.0", 1, sim::SimClock::now()};
    std::optional<sim::LiveValues> readings;
    bool unplugged = false;
    std::function<bool(std::uint8_t, ScriptedPort&)> intercept;

    ControllerLink link{ctx};
};

// Readings of a powered controller at idle: 900 rpm, standing, throttle count 26, 1.0 V on both
// inputs, 13.8 V, no input or output bits, state 1.
inline sim::LiveValues idleReadings() {
    return {900, 0, 26, 51, 51, 196, 0, 0, 1};
}

}  // namespace velkor::test
