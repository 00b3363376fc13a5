// The controller link on a fake clock against the simulator's controller logic: exact pauses and
// waits, the error prompt's buttons, identification, the FRAM transfer, erasing the controller's
// log and line errors. What the real port adds is proven by the serial link tests.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <tuple>

#include "link/ClearLog.h"
#include "link/LineErrors.h"
#include "support/SimController.h"

namespace velkor::test {
namespace {

const std::string Timeout = "RS-232 timeout. Check cable and click Abort.";

class LinkTest : public ::testing::Test, protected SimLinkFixture {
protected:
    LinkTest()
        : SimLinkFixture(
              shiftLight(sim::generateDrive(368 + 12 * 77, 3), sim::makeEeprom(255, 26, 230))) {}

    // Every command byte answered with the given bytes alone.
    void answerEveryByteWith(std::vector<std::uint8_t> bytes) {
        intercept = [bytes](std::uint8_t, ScriptedPort& p) {
            p.reply(bytes);
            return true;
        };
    }
};

TEST_F(LinkTest, CommandsPauseTwoMillisecondsAfterEachByteButTheLast) {
    for (const auto& [command, bytes] :
         std::vector<std::pair<std::function<void()>, std::vector<std::uint8_t>>>{
             {[this] { link.SetAddress(300); }, {20, 44, 1}},
             {[this] { link.ReadFRAMBlock(64); }, {48, 64}},
             {[this] { link.ClearControllerBuffer(); }, {49, 105, 52, 191, 59}}}) {
        port.written.clear();
        command();
        EXPECT_TRUE(link.CommandOK);
        EXPECT_EQ(port.writtenValues(), bytes);
        std::vector<double> gaps;
        for (std::size_t i = 1; i < port.written.size(); ++i) {
            const auto gap = port.written[i].time - port.written[i - 1].time;
            gaps.push_back(std::chrono::duration<double, std::milli>(gap).count());
        }
        EXPECT_EQ(gaps, std::vector<double>(bytes.size() - 1, 2.0));
    }
}

TEST_F(LinkTest, NoControllerReSyncWaitsASecondAndOtherCommandsPromptUntilAnswered) {
    answerEveryByteWith({});
    auto start = clock.now();
    link.ReSync();
    EXPECT_DOUBLE_EQ(clock.secondsSince(start), 1.0);

    prompts.answerMessages({Answer::Retry, Answer::Ignore});
    start = clock.now();
    EXPECT_EQ(link.ReadEEPROM(), 0);
    EXPECT_DOUBLE_EQ(clock.secondsSince(start), 1.0);
    // Retry shows the same report again.
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>(2, Timeout));
    EXPECT_TRUE(prompts.shown()[1].title == "Error" &&
                prompts.shown()[1].buttons == Buttons::AbortRetryIgnore);

    prompts.answerMessages({Answer::Abort});
    start = clock.now();
    link.ClearControllerBuffer();
    EXPECT_DOUBLE_EQ(clock.secondsSince(start), 5.0 + 0.008);  // four pauses, then five seconds
    EXPECT_FALSE(link.CommandOK || port.isOpen());

    // In a live view, Ignore leaves the view running and Abort ends it.
    data->state.RealTimeActive = true;
    prompts.answerMessages({Answer::Ignore, Answer::Abort});
    link.ReadTPS();
    EXPECT_TRUE(data->state.RealTimeActive);
    link.ReadTPS();
    EXPECT_FALSE(data->state.RealTimeActive || view.realTimeShown);
}

TEST_F(LinkTest, TheFirmwareIdNamesTheControllerTypeAndTheEepromHoldsScaleFactorsAndInterval) {
    for (const auto& [id, type] :
         std::vector<std::pair<std::string, std::string>>{{"my SHIFT lIGHT box", "Shift Light"},
                                                          {"Shift-Light 2", "Unknown"},
                                                          {"", "Unknown"}}) {
        controller.setFirmwareId(id);
        link.ReadFirmwareID();
        EXPECT_TRUE(link.CommandOK) << id;
        EXPECT_EQ(data->controller.FirmwareID + " is a " + data->controller.ControllerType,
                  id + " is a " + type);
    }
    EXPECT_GT(prompts.yields(), 0);  // the ID is awaited with window events running

    // A byte left over from before the command is not taken for the start of the ID.
    controller.setFirmwareId("ID");
    port.reply('?');
    link.ReadFirmwareID();
    EXPECT_EQ(data->controller.FirmwareID, "ID");

    // A babbling device's ID is kept to a bounded length.
    controller.setFirmwareId(std::string(5000, 'x'));
    link.ReadFirmwareID();
    EXPECT_EQ(data->controller.FirmwareID.size(), FirmwareIDLimit);

    port.written.clear();
    link.ReadTPSScaleFactors();
    EXPECT_TRUE(link.CommandOK && data->controller.TPSMin == 26 && data->controller.TPSMax == 230);
    // One SetAddress; the pointer walks on to 22 by itself.
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{20, 21, 0, 21, 21}));
    EXPECT_FLOAT_EQ(link.ReadDataLogInterval(), 4.08f);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(LinkTest, FramTransferReportsProgressAndKeepsTheBlocksReadWhenItStopsOrEscIsPressed) {
    const sim::Fram& fram = controller.fram();
    link.ReadFRAMData(data->log);
    EXPECT_EQ(view.progressCaption, "Reading FRAM");
    // Before the first block, after it (its start: 0), after the last, and how many were shown.
    const std::vector<int>& progress = view.progressValues;
    EXPECT_EQ((std::vector<int>{progress.front(), progress.at(1), progress.back(),
                                static_cast<int>(progress.size())}),
              (std::vector<int>{0, 0, 100, 513}));
    EXPECT_TRUE(link.CommandOK && !view.progressShown && !data->log.FRAMBufferEmpty);

    sim::Faults faults;
    faults.stopAfterBlocks = 256;
    controller.setFaults(faults);
    prompts.answerMessages({Answer::Abort});
    data->log.FRAMBuffer.fill(0);
    view.progressShown = true;
    link.ReadFRAMData(data->log);
    EXPECT_FALSE(link.CommandOK || !data->log.FRAMBufferEmpty || view.progressShown ||
                 port.isOpen());
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{Timeout});
    EXPECT_TRUE(std::equal(fram.begin(), fram.begin() + 256 * 64, data->log.FRAMBuffer.begin()));
    // The failed block copies what the block buffer still held: the block before it.
    EXPECT_TRUE(std::equal(fram.begin() + 255 * 64, fram.begin() + 256 * 64,
                           data->log.FRAMBuffer.begin() + 256 * 64));
    EXPECT_TRUE(std::all_of(data->log.FRAMBuffer.begin() + 257 * 64, data->log.FRAMBuffer.end(),
                            [](std::uint8_t b) { return b == 0; }));

    // Esc before the first block: it is still read, then the transfer stops.
    controller.setFaults({});
    prompts = ScriptedPrompts();
    data->state.AbortRequested = true;
    EXPECT_TRUE(link.ReadFRAMData(data->log).isCancelled());
    EXPECT_FALSE(link.CommandOK || data->state.AbortRequested);
    EXPECT_EQ(controller.pointer(), 64);
    EXPECT_TRUE(data->log.FRAMBufferEmpty && prompts.shown().empty());

    // A controller that will not take the address: no block read, no message.
    answerEveryByteWith({0x15});
    port.written.clear();
    link.ReadFRAMData(data->log);
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{20, 0, 0}));
    EXPECT_FALSE(link.CommandOK || view.progressShown || !prompts.shown().empty());
}

TEST_F(LinkTest, ClearingTheControllerLog) {
    data->log.DataBufferEmpty = false;  // a log in memory, which clearing the controller keeps
    prompts.answerMessages({Answer::Cancel});
    mnuClearControllerBuffer_Click(link);
    EXPECT_TRUE(port.written.empty());

    const std::string Failed = "Command failed - controller data buffer not cleared.";
    const std::string NoLink = "Cannot establish RS-232 link. Check cable and controller power.";
    using Bytes = std::vector<std::uint8_t>;
    const Bytes erased = {51, 46, 49, 105, 52, 191, 59};
    // The controller's state (0: nothing on the line, -1: no answer to the state read) and its
    // answer to the erase; the messages after the question, and what was sent.
    for (const auto& [state, eraseReply, expected, sent] :
         std::vector<std::tuple<int, std::optional<std::uint8_t>, std::vector<std::string>, Bytes>>{
             {1, ACK, {"Controller data buffer cleared."}, erased},
             {1, 0x15, {Failed}, erased},
             {1, std::nullopt, {Timeout, Failed}, erased},
             {0, ACK, {NoLink}, Bytes(5, 51)},
             {2, ACK, {"Cannot clear data buffer while controller is armed."}, {51, 46}},
             {-1, ACK, {Timeout}, {51, 46}}}) {
        prompts = ScriptedPrompts();
        port.written.clear();
        port.responder = [state = state, eraseReply = eraseReply](std::uint8_t byte,
                                                                  ScriptedPort& p) {
            if (state != 0 && byte == 51) {
                p.reply(ACK);
            } else if (state > 0 && byte == 46) {
                p.reply(static_cast<std::uint8_t>(state));
            } else if (state != 0 && byte == 59 && eraseReply) {
                p.reply(*eraseReply);
            }
        };
        prompts.answerMessages({Answer::Ok});
        for (const std::string& text : expected) {
            prompts.answerMessages({text == Timeout ? Answer::Ignore : Answer::Ok});
        }
        mnuClearControllerBuffer_Click(link);
        const auto texts = prompts.messageTexts();
        EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()), expected);
        if (state >= 0) {
            const ShownPrompt& last = prompts.shown().back();
            EXPECT_EQ(last.title, "Clear Controller Data Buffer");
            EXPECT_EQ(last.icon, state == 1 ? Icon::Information : Icon::Exclamation);
        }
        EXPECT_EQ(port.writtenValues(), sent);
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_FALSE(data->log.DataBufferEmpty);
}

TEST_F(LinkTest, OperationsRunOneAtATimeAndASecondIsRefusedWithoutTouchingThePort) {
    {
        const auto first = link.beginOperation();
        ASSERT_TRUE(first);
        EXPECT_FALSE(link.beginOperation());
        mnuClearControllerBuffer_Click(link);
        EXPECT_TRUE(view.busyShown == 1 && prompts.shown().empty() && port.written.empty());
    }
    EXPECT_TRUE(!link.busy() && link.beginOperation());
}

TEST_F(LinkTest, LineErrorsAreCountedAndTheThirdClosesThePortBeforeItsBoxButNotInALiveView) {
    port.open("Com1", "/dev/ttyS0");
    std::vector<bool> openWhenShown;
    prompts.onShow = [&](const ShownPrompt&) { openWhenShown.push_back(port.isOpen()); };
    prompts.answerMessages({Answer::Retry, Answer::Retry, Answer::Retry});
    port.reply({1, 2});
    OnComm(ctx, LineError::Framing);
    EXPECT_EQ(port.bytesWaiting(), 0);  // Retry discards what had been received
    OnComm(ctx, LineError::Parity);
    OnComm(ctx, LineError::HardwareOverrun);

    EXPECT_EQ(data->state.CommErrorCount, 3);
    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{"Framing Error", "Parity Error", "Port Hardware Overrun"}));
    EXPECT_EQ(prompts.shown()[0].title, "Communications Error");
    EXPECT_EQ(prompts.shown()[0].icon, Icon::Critical);
    EXPECT_EQ(prompts.shown()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(openWhenShown, (std::vector<bool>{true, true, false}));

    // During a live view framing and parity errors pass unseen, an overrun closes the port
    // silently, and anything else is shown.
    prompts = ScriptedPrompts();
    data->state.CommErrorCount = 0;
    data->state.RealTimeActive = true;
    port.open("Com1", "/dev/ttyS0");
    OnComm(ctx, LineError::Framing);
    OnComm(ctx, LineError::Parity);
    EXPECT_TRUE(port.isOpen());
    OnComm(ctx, LineError::ReceiveBufferOverflow);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompts.shown().empty() && data->state.CommErrorCount == 0);

    port.open("Com1", "/dev/ttyS0");
    prompts.answerMessages({Answer::Cancel});
    OnComm(ctx, LineError::DeviceControlBlock);
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{"Device Control Block Error"});
    EXPECT_FALSE(port.isOpen());
    OnComm(ctx, 2);  // a receive report, not an error
    EXPECT_EQ(prompts.shown().size(), 1u);
}

}  // namespace
}  // namespace velkor::test
