// The send-and-wait transaction on a fake clock: exact pauses and waits, what the error prompt's
// buttons do, and how replies convert. The bytes of every command, and half a reply and a wrong
// acknowledgement seen through the real port, are proven by the serial link tests.

#include <chrono>
#include <functional>

#include "link/LinkTestSupport.h"

namespace velkor::test {
namespace {

std::vector<double> gapsInMilliseconds(const std::vector<WrittenByte>& bytes) {
    std::vector<double> gaps;
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        gaps.push_back(
            std::chrono::duration<double, std::milli>(bytes[i].time - bytes[i - 1].time).count());
    }
    return gaps;
}

TEST_F(LinkTest, CommandsPauseTwoMillisecondsAfterEachByteButTheLast) {
    for (const auto& [command, bytes] :
         std::vector<std::pair<std::function<void()>, std::vector<std::uint8_t>>>{
             {[this] { link.SetAddress(300); }, {20, 44, 1}},
             {[this] { link.ClearControllerBuffer(); }, {49, 105, 52, 191, 59}}}) {
        port.written.clear();
        port.responder = [last = bytes.back()](std::uint8_t byte, ScriptedPort& p) {
            if (byte == last) {
                p.reply(ACK);
            }
        };
        command();
        EXPECT_TRUE(link.CommandOK);
        EXPECT_EQ(port.writtenValues(), bytes);
        EXPECT_EQ(gapsInMilliseconds(port.written), std::vector<double>(bytes.size() - 1, 2.0));
    }
}

TEST_F(LinkTest, NoControllerReSyncWaitsASecondAndOtherCommandsPromptUntilAnswered) {
    auto start = clock.now();
    link.ReSync();
    EXPECT_DOUBLE_EQ(secondsSince(start), 1.0);

    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    start = clock.now();
    EXPECT_EQ(link.ReadEEPROM(), 0);
    EXPECT_DOUBLE_EQ(secondsSince(start), 1.0);
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

TEST_F(LinkTest, AnswerOtherThanAckLeavesCommandOkFalseAndTheScaleFactorsAsTheyWere) {
    answerEveryByteWith({0x15});
    link.ReSync();
    EXPECT_FALSE(link.CommandOK);
    data->log.TPSMin = 11;
    data->log.TPSMax = 22;
    link.ReadTPSScaleFactors();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_EQ(data->log.TPSMin, 11);
    EXPECT_EQ(data->log.TPSMax, 22);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompts.shown().empty());
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

    // Half a reply is a time-out, and reads as 0, not as the byte that came.
    next = {0x70};
    prompts.answerMessages({Answer::Ignore});
    EXPECT_EQ(link.ReadRPM(), 0.0f);
    EXPECT_FALSE(link.CommandOK);
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
    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    link.ReadEEPROM();
    EXPECT_FALSE(link.CommandOK);
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[0].text, port.openError);
    EXPECT_TRUE(port.written.empty());

    port.openError.clear();
    data->prefs.CommPortNumber = 34;
    answerEveryByteWith({7});
    EXPECT_EQ(link.ReadEEPROM(), 7);
    EXPECT_EQ(port.openedDevices, std::vector<std::string>{"/dev/ttyUSB1"});
}

}  // namespace
}  // namespace velkor::test
