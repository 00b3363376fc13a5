// The send-and-wait transaction: bytes, pauses, time-outs and what the error prompt's buttons do.

#include <chrono>

#include "link/LinkTestSupport.h"

namespace velkor::test {
namespace {

using std::chrono::milliseconds;

std::vector<double> gapsInMilliseconds(const std::vector<WrittenByte>& bytes) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        gaps.push_back(
            std::chrono::duration<double, std::milli>(bytes[i].time - bytes[i - 1].time).count());
    }
    return gaps;
}

TEST_F(LinkTest, SetAddressSendsTheLowThenTheHighByteWithPausesBetween) {
    for (const auto& [address, low, high] :
         std::vector<std::tuple<int, int, int>>{{19, 19, 0}, {0, 0, 0}, {300, 44, 1}}) {
        port.written.clear();
        port.responder = [count = 0](std::uint8_t, ScriptedPort& p) mutable {
            if (++count == 3) {
                p.reply(ACK);
            }
        };
        link.SetAddress(address);
        EXPECT_TRUE(link.CommandOK);
        EXPECT_EQ(port.writtenValues(),
                  (std::vector<std::uint8_t>{20, std::uint8_t(low), std::uint8_t(high)}));
        EXPECT_EQ(gapsInMilliseconds(port.written), (std::vector<double>{2.0, 2.0}));
    }
    EXPECT_TRUE(port.isOpen());  // a burst of commands keeps the port open
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(LinkTest, EraseCommandPausesAfterEachByteButTheLast) {
    port.responder = [](std::uint8_t byte, ScriptedPort& p) {
        if (byte == 59) {
            p.reply(ACK);
        }
    };
    link.ClearControllerBuffer();
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{49, 105, 52, 191, 59}));
    EXPECT_EQ(gapsInMilliseconds(port.written), (std::vector<double>{2.0, 2.0, 2.0, 2.0}));
    EXPECT_FALSE(port.isOpen());  // the erase always closes the port
}

TEST_F(LinkTest, NoControllerReSyncIsSilentAndEverythingElseTimesOut) {
    auto start = clock.now();
    link.ReSync();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_DOUBLE_EQ(secondsSince(start), 1.0);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(port.isOpen());

    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    start = clock.now();
    EXPECT_EQ(link.ReadEEPROM(), 0);
    EXPECT_FALSE(link.CommandOK);
    EXPECT_DOUBLE_EQ(secondsSince(start), 1.0);
    EXPECT_FALSE(port.isOpen());
    // Retry shows the same report again.
    ASSERT_EQ(prompts.shown().size(), 2u);
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.text, "RS-232 timeout. Check cable and click Abort.");
        EXPECT_EQ(shown.title, "Error");
        EXPECT_EQ(shown.buttons, Buttons::AbortRetryIgnore);
    }
    EXPECT_EQ(timeoutError().number(), 0x800403E8u);
    EXPECT_EQ(timeoutError().source(), "Comm Error");

    prompts.answerMessages({Answer::Abort});
    start = clock.now();
    link.ClearControllerBuffer();
    EXPECT_DOUBLE_EQ(secondsSince(start), 5.0 + 0.008);  // four pauses, then five seconds
    EXPECT_FALSE(link.CommandOK);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(LinkTest, AnswerOtherThanAckLeavesCommandOkFalseWithoutAWord) {
    answerEveryByteWith({0x15});
    link.ReSync();
    EXPECT_FALSE(link.CommandOK);
    link.SetAddress(21);
    EXPECT_FALSE(link.CommandOK);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(prompts.shown().empty());

    data->log.TPSMin = 11;
    data->log.TPSMax = 22;
    link.ReadTPSScaleFactors();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_EQ(data->log.TPSMin, 11);
    EXPECT_EQ(data->log.TPSMax, 22);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(LinkTest, HalfAReplyTimesOutAndItsStrayByteIsDiscardedLater) {
    port.responder = [](std::uint8_t byte, ScriptedPort& p) {
        if (byte == 39) {
            p.reply(0x70);  // only the low byte of the engine speed
        } else if (byte == 38) {
            p.reply({255, 0x42, 0x43});  // battery, then noise
        }
    };
    prompts.answerMessages({Answer::Ignore});
    EXPECT_EQ(link.ReadRPM(), 0.0f);
    EXPECT_FALSE(link.CommandOK);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.bytesWaiting(), 1);

    EXPECT_FLOAT_EQ(link.ReadBAT(), 18.0f);  // not the stray 0x70
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(port.bytesWaiting(), 2);  // extra bytes wait for the next command to discard them
    EXPECT_TRUE(port.isOpen());
}

TEST_F(LinkTest, LiveReadsConvertTheirReplies) {
    std::vector<std::uint8_t> next;
    port.responder = [&next](std::uint8_t, ScriptedPort& p) {
        for (auto b : next) {
            p.reply(b);
        }
    };
    const auto read = [&](std::vector<std::uint8_t> reply, float (ControllerLink::*op)()) {
        next = std::move(reply);
        const float value = (link.*op)();
        EXPECT_TRUE(link.CommandOK);
        return value;
    };
    EXPECT_FLOAT_EQ(read({255}, &ControllerLink::ReadBAT), 18.0f);
    EXPECT_FLOAT_EQ(read({128}, &ControllerLink::ReadBAT), static_cast<float>(18.0 * 128 / 255));
    EXPECT_FLOAT_EQ(read({51}, &ControllerLink::ReadVIN1), 1.0f);
    EXPECT_FLOAT_EQ(read({255}, &ControllerLink::ReadVIN2), 5.0f);
    EXPECT_FLOAT_EQ(read({0x80, 0x00}, &ControllerLink::ReadVSS), 1.0f);
    EXPECT_FLOAT_EQ(read({0x00, 0x01}, &ControllerLink::ReadVSS), 2.0f);
    EXPECT_FLOAT_EQ(read({0x70, 0x17}, &ControllerLink::ReadRPM), 6000.0f);
    EXPECT_FLOAT_EQ(read({200}, &ControllerLink::ReadTPS), 200.0f);
    EXPECT_FLOAT_EQ(read({3}, &ControllerLink::ReadInputData), 3.0f);
    EXPECT_FLOAT_EQ(read({65}, &ControllerLink::ReadOutputData), 65.0f);
    EXPECT_FLOAT_EQ(read({2}, &ControllerLink::ReadStatus), 2.0f);
    EXPECT_EQ(port.writtenValues(),
              (std::vector<std::uint8_t>{38, 38, 42, 43, 40, 40, 39, 41, 44, 45, 46}));
}

TEST_F(LinkTest, AbortAfterALiveReadTimesOutEndsTheLiveView) {
    data->state.RealTimeActive = true;
    view.realTimeShown = true;
    prompts.answerMessages({Answer::Ignore});
    link.ReadTPS();
    EXPECT_TRUE(data->state.RealTimeActive);  // Ignore leaves the view running

    prompts.answerMessages({Answer::Abort});
    link.ReadTPS();
    EXPECT_FALSE(data->state.RealTimeActive);
    EXPECT_FALSE(view.realTimeShown);
}

TEST_F(LinkTest, PortThatWillNotOpenGoesToTheErrorPromptAndRetryOpensAgain) {
    port.openError = "Com1 could not be opened: the device /dev/ttyS0 does not exist.";
    int attempts = 0;
    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    port.responder = [&attempts](std::uint8_t, ScriptedPort&) { ++attempts; };
    link.ReadEEPROM();
    EXPECT_FALSE(link.CommandOK);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, port.openError);
    EXPECT_EQ(attempts, 0);  // nothing was sent

    port.openError.clear();
    data->prefs.CommPortNumber = 34;
    answerEveryByteWith({7});
    EXPECT_EQ(link.ReadEEPROM(), 7);
    EXPECT_EQ(port.openedDevices, std::vector<std::string>{"/dev/ttyUSB1"});
}

TEST_F(LinkTest, OperationsRunOneAtATime) {
    auto first = link.beginOperation();
    ASSERT_TRUE(first);
    EXPECT_TRUE(link.busy());
    EXPECT_FALSE(link.beginOperation());
    {
        auto moved = std::move(first);
        EXPECT_TRUE(link.busy());
    }
    EXPECT_FALSE(link.busy());
    EXPECT_TRUE(link.beginOperation());
}

}  // namespace
}  // namespace velkor::test
