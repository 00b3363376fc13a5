// Identification, the FRAM transfer, erasing the controller's log and line errors, against a
// scripted controller on a fake clock. What the real port shows against the simulator (an erase
// acknowledged late, an armed controller) is proven by the serial link tests, the whole FRAM copy
// by the download's end-to-end test.

#include <optional>
#include <tuple>
#include <utility>

#include "link/ClearLog.h"
#include "link/LineErrors.h"
#include "link/LinkTestSupport.h"

namespace velkor::test {
namespace {

const std::string Timeout = "RS-232 timeout. Check cable and click Abort.";

// A controller that answers like the real one: one pointer for EEPROM and FRAM reads.
struct Controller {
    std::vector<std::uint8_t> pending;  // bytes of a command still being received
    int pointer = 0;
    std::vector<std::uint8_t> fram = std::vector<std::uint8_t>(32768);
    std::vector<std::uint8_t> eeprom = std::vector<std::uint8_t>(512);
    std::string id = "Shift Light Controller V2.0";
    int blocksLeft = -1;  // answer this many more blocks, then fall silent (-1: all)
    std::optional<std::uint8_t> eraseReply = ACK;
    int erases = 0;

    void operator()(std::uint8_t byte, ScriptedPort& port) {
        pending.push_back(byte);
        const std::uint8_t first = pending.front();
        if (pending.size() < (first == 20 ? 3u : first == 48 ? 2u : first == 49 ? 5u : 1u)) {
            return;
        }
        const std::vector<std::uint8_t> command = std::exchange(pending, {});
        switch (command[0]) {
            case 16:
                for (char c : id + '\r') {
                    port.reply(static_cast<std::uint8_t>(c));
                }
                break;
            case 20:
                pointer = command[1] + 256 * command[2];
                [[fallthrough]];
            case 51:
                port.reply(ACK);
                break;
            case 21:
                port.reply(eeprom[std::size_t(pointer++ % 512)]);
                break;
            case 46:
                port.reply(1);  // powered, not armed
                break;
            case 48:
                for (int i = 0; blocksLeft != 0 && i < command[1]; ++i) {
                    port.reply(fram[std::size_t(pointer++ % 32768)]);
                }
                blocksLeft -= blocksLeft > 0;
                break;
            case 49:
                ++erases;
                if (eraseReply) {
                    port.reply(*eraseReply);
                }
                break;
            default:
                break;
        }
    }
};

class OperationsTest : public LinkTest {
protected:
    OperationsTest() {
        for (std::size_t i = 0; i < controller.fram.size(); ++i) {
            controller.fram[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
        }
        port.responder = [this](std::uint8_t byte, ScriptedPort& p) { controller(byte, p); };
    }
    Controller controller;
};

TEST_F(OperationsTest, FirmwareIdNamesTheControllerType) {
    for (const auto& [id, type] :
         std::vector<std::pair<std::string, std::string>>{{"my SHIFT lIGHT box", "Shift Light"},
                                                          {"Shift-Light 2", "Unknown"},
                                                          {"", "Unknown"}}) {
        controller.id = id;
        link.ReadFirmwareID();
        EXPECT_TRUE(link.CommandOK) << id;
        EXPECT_EQ(data->log.FirmwareID, id);
        EXPECT_EQ(data->log.ControllerType, type) << id;
    }
    EXPECT_GT(prompts.yields(), 0);  // the ID is awaited with window events running

    // A babbling device's ID is kept to a bounded length.
    controller.id = std::string(5000, 'x');
    link.ReadFirmwareID();
    EXPECT_EQ(data->log.FirmwareID.size(), FirmwareIDLimit);

    // Without its carriage return the ID is a time-out, and the old one stays.
    data->log.FirmwareID = "before";
    port.responder = [](std::uint8_t, ScriptedPort& p) { p.reply({'S', 'h', 'i'}); };
    prompts.answerMessages({Answer::Abort});
    const auto start = clock.now();
    link.ReadFirmwareID();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_GE(secondsSince(start), 1.0);
    EXPECT_EQ(data->log.FirmwareID, "before");
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{Timeout});
}

TEST_F(OperationsTest, ScaleFactorsAndIntervalComeFromTheEeprom) {
    controller.eeprom[21] = 26;
    controller.eeprom[22] = 230;
    link.ReadTPSScaleFactors();
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(data->log.TPSMin, 26);
    EXPECT_EQ(data->log.TPSMax, 230);
    // One SetAddress; the pointer walks on to 22 by itself.
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{20, 21, 0, 21, 21}));
    controller.eeprom[19] = 255;
    EXPECT_FLOAT_EQ(link.ReadDataLogInterval(), 4.08f);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(OperationsTest, FramTransferReportsProgressAndKeepsTheBlocksReadWhenItStops) {
    link.ReadFRAMData();
    EXPECT_EQ(view.progressCaption, "Reading FRAM");
    EXPECT_EQ(view.progressValues.front(), 0);
    EXPECT_EQ(view.progressValues[1], 0);  // after the first block: its start, 0
    EXPECT_EQ(view.progressValues.size(), 513u);
    EXPECT_EQ(view.progressValues.back(), 100);
    EXPECT_FALSE(view.progressShown);
    EXPECT_TRUE(link.CommandOK);
    EXPECT_FALSE(data->log.FRAMBufferEmpty);
    EXPECT_TRUE(
        std::equal(controller.fram.begin(), controller.fram.end(), data->log.FRAMBuffer.begin()));

    controller.blocksLeft = 256;
    prompts.answerMessages({Answer::Abort});
    data->log.FRAMBuffer.fill(0);
    view.progressShown = true;
    link.ReadFRAMData();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_TRUE(data->log.FRAMBufferEmpty);
    EXPECT_FALSE(view.progressShown);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{Timeout});
    EXPECT_TRUE(std::equal(controller.fram.begin(), controller.fram.begin() + 256 * 64,
                           data->log.FRAMBuffer.begin()));
    // The failed block copies what the block buffer still held: the block before it.
    EXPECT_TRUE(std::equal(controller.fram.begin() + 255 * 64, controller.fram.begin() + 256 * 64,
                           data->log.FRAMBuffer.begin() + 256 * 64));
    EXPECT_TRUE(std::all_of(data->log.FRAMBuffer.begin() + 257 * 64, data->log.FRAMBuffer.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(OperationsTest, EscBeforeTheFirstBlockStillReadsItThenStops) {
    data->state.AbortRequested = true;
    link.ReadFRAMData();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_FALSE(data->state.AbortRequested);
    EXPECT_EQ(controller.pointer, 64);
    EXPECT_TRUE(data->log.FRAMBufferEmpty);
    EXPECT_TRUE(prompts.shown().empty());

    // A controller that will not take the address: no block read, no message.
    answerEveryByteWith({0x15});
    port.written.clear();
    link.ReadFRAMData();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{20, 0, 0}));
    EXPECT_FALSE(view.progressShown);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(OperationsTest, ClearingTheControllerLog) {
    data->log.DataBufferEmpty = false;  // a log in memory, which clearing the controller keeps
    prompts.answerMessages({Answer::Cancel});
    mnuClearControllerBuffer_Click(link);
    EXPECT_TRUE(port.written.empty());

    const std::string Cleared = "Controller data buffer cleared.";
    const std::string Failed = "Command failed - controller data buffer not cleared.";
    const std::string NoLink = "Cannot establish RS-232 link. Check cable and controller power.";
    // The erase's answer, whether anything answers at all, and the messages after the question.
    for (const auto& [eraseReply, linked, expected] :
         std::vector<std::tuple<std::optional<std::uint8_t>, bool, std::vector<std::string>>>{
             {ACK, true, {Cleared}},
             {0x15, true, {Failed}},
             {std::nullopt, true, {Timeout, Failed}},
             {ACK, false, {NoLink}}}) {
        prompts = ScriptedPrompts();
        port.written.clear();
        controller.eraseReply = eraseReply;
        if (!linked) {
            port.responder = nullptr;
        }
        prompts.answerMessages({Answer::Ok});
        for (const std::string& text : expected) {
            prompts.answerMessages({text == Timeout ? Answer::Ignore : Answer::Ok});
        }
        mnuClearControllerBuffer_Click(link);
        const auto texts = prompts.messageTexts();
        EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()), expected);
        EXPECT_EQ(prompts.shown().back().title, "Clear Controller Data Buffer");
        EXPECT_EQ(prompts.shown().back().icon, linked ? Icon::Information : Icon::Exclamation);
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_EQ(controller.erases, 3);
    EXPECT_EQ(port.writtenValues(), std::vector<std::uint8_t>(5, 51));  // five ReSyncs
    EXPECT_FALSE(data->log.DataBufferEmpty);
}

TEST_F(OperationsTest, OperationsRunOneAtATimeAndASecondIsRefusedWithoutTouchingThePort) {
    auto first = link.beginOperation();
    ASSERT_TRUE(first);
    EXPECT_FALSE(link.beginOperation());
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(view.busyShown, 1);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(port.written.empty());
    {
        auto moved = std::move(first);
        EXPECT_TRUE(link.busy());
    }
    EXPECT_FALSE(link.busy());
    EXPECT_TRUE(link.beginOperation());
}

TEST_F(OperationsTest, LineErrorsAreCountedAndTheThirdClosesThePortBeforeItsBox) {
    port.open("Com1", "/dev/ttyS0");
    std::vector<bool> openWhenShown;
    prompts.onShow = [&](const ShownPrompt&) { openWhenShown.push_back(port.isOpen()); };
    prompts.answerMessages({Answer::Retry, Answer::Retry, Answer::Retry});
    port.setLineErrorHandler([&](int code) { OnComm(ctx, code); });
    port.reply({1, 2});
    port.raiseLineError(LineError::Framing);
    EXPECT_EQ(port.bytesWaiting(), 0);  // Retry discards what had been received
    port.raiseLineError(LineError::Parity);
    port.raiseLineError(LineError::HardwareOverrun);

    EXPECT_EQ(data->state.CommErrorCount, 3);
    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{"Framing Error", "Parity Error", "Port Hardware Overrun"}));
    EXPECT_EQ(prompts.shown()[0].title, "Communications Error");
    EXPECT_EQ(prompts.shown()[0].icon, Icon::Critical);
    EXPECT_EQ(prompts.shown()[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(openWhenShown, (std::vector<bool>{true, true, false}));
}

TEST_F(OperationsTest, LineErrorsDuringALiveView) {
    data->state.RealTimeActive = true;
    port.open("Com1", "/dev/ttyS0");
    OnComm(ctx, LineError::Framing);
    OnComm(ctx, LineError::Parity);
    EXPECT_TRUE(port.isOpen());
    OnComm(ctx, LineError::ReceiveBufferOverflow);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_EQ(data->state.CommErrorCount, 0);

    port.open("Com1", "/dev/ttyS0");
    prompts.answerMessages({Answer::Cancel});
    OnComm(ctx, LineError::DeviceControlBlock);
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{"Device Control Block Error"});
    EXPECT_FALSE(port.isOpen());
    OnComm(ctx, 2);  // a receive report, not an error
    EXPECT_EQ(prompts.shown().size(), 1u);
}

TEST(LineErrorCounters, EachCounterThatRoseIsOneEvent) {
    LineErrorCounts before{5, 1, 0, 0};
    LineErrorCounts after{7, 1, 1, 1};
    EXPECT_EQ(lineErrorEvents(before, after),
              (std::vector<int>{LineError::Framing, LineError::ReceiveBufferOverflow,
                                LineError::Parity}));
    EXPECT_TRUE(lineErrorEvents(after, before).empty());
}

}  // namespace
}  // namespace velkor::test
