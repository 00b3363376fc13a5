#pragma once
// A controller link over a scripted port and a fake clock.

#include <gtest/gtest.h>

#include <memory>

#include "base/AppContext.h"
#include "link/ControllerLink.h"
#include "support/AppFixture.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {

class LinkTest : public ::testing::Test, protected AppFixture {
protected:
    LinkTest() { data->prefs.CommPortNumber = 1; }

    // Every command byte answered with the given bytes.
    void answerEveryByteWith(std::initializer_list<std::uint8_t> bytes) {
        std::vector<std::uint8_t> reply(bytes);
        port.responder = [reply](std::uint8_t, ScriptedPort& p) {
            for (auto b : reply) {
                p.reply(b);
            }
        };
    }

    double secondsSince(Clock::time_point start) const { return clock.secondsSince(start); }

    ControllerLink link{ctx};
};

}  // namespace velkor::test
