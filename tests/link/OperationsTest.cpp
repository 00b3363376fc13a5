// Identification, the FRAM transfer, erasing the controller's log and line errors.

#include "link/ClearLog.h"
#include "link/LineErrors.h"
#include "link/LinkTestSupport.h"

namespace velkor::test {
namespace {

// A controller that answers like the real one: one pointer for EEPROM and FRAM reads.
struct Controller {
    std::vector<std::uint8_t> pending;  // bytes of a command still being received
    int pointer = 0;
    std::vector<std::uint8_t> fram = std::vector<std::uint8_t>(32768);
    std::vector<std::uint8_t> eeprom = std::vector<std::uint8_t>(512);
    std::string id = "Shift Light Controller V2.0";
    std::uint8_t state = 1;
    int blocksLeft = -1;  // answer this many more blocks, then fall silent (-1: all)
    int erases = 0;

    void operator()(std::uint8_t byte, ScriptedPort& port) {
        pending.push_back(byte);
        switch (pending.front()) {
            case 16:
                for (char c : id) {
                    port.reply(static_cast<std::uint8_t>(c));
                }
                port.reply(CR);
                break;
            case 20:
                if (pending.size() < 3) {
                    return;
                }
                pointer = pending[1] + 256 * pending[2];
                port.reply(ACK);
                break;
            case 21:
                port.reply(eeprom[std::size_t(pointer++ % 512)]);
                break;
            case 46:
                port.reply(state);
                break;
            case 51:
                port.reply(ACK);
                break;
            case 48:
                if (pending.size() < 2) {
                    return;
                }
                if (blocksLeft != 0) {
                    blocksLeft = blocksLeft > 0 ? blocksLeft - 1 : -1;
                    for (int i = 0; i < pending[1]; ++i) {
                        port.reply(fram[std::size_t(pointer++ % 32768)]);
                    }
                }
                break;
            case 49:
                if (pending.size() < 5) {
                    return;
                }
                ++erases;
                port.reply(ACK);
                break;
            default:
                break;
        }
        pending.clear();
    }
};

class OperationsTest : public LinkTest {
protected:
    OperationsTest() {
        for (std::size_t i = 0; i < controller.fram.size(); ++i) {
            controller.fram[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
        }
        controller.eeprom[19] = 125;
        controller.eeprom[21] = 26;
        controller.eeprom[22] = 230;
        port.responder = [this](std::uint8_t byte, ScriptedPort& p) { controller(byte, p); };
    }
    Controller controller;
};

TEST_F(OperationsTest, FirmwareIdNamesTheControllerType) {
    for (const auto& [id, type] : std::vector<std::pair<std::string, std::string>>{
             {"Shift Light Controller V2.0", "Shift Light"},
             {"my SHIFT lIGHT box", "Shift Light"},
             {"Shift-Light 2", "Unknown"},
             {"", "Unknown"}}) {
        controller.id = id;
        link.ReadFirmwareID();
        EXPECT_TRUE(link.CommandOK) << id;
        EXPECT_EQ(data->log.FirmwareID, id);
        EXPECT_EQ(data->log.ControllerType, type) << id;
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_GT(prompts.yields(), 0);  // the ID is awaited with window events running

    // A babbling device's ID is kept to a bounded length.
    controller.id = std::string(5000, 'x');
    link.ReadFirmwareID();
    EXPECT_EQ(data->log.FirmwareID.size(), FirmwareIDLimit);
}

TEST_F(OperationsTest, FirmwareIdWithoutItsCarriageReturnIsATimeout) {
    data->log.FirmwareID = "before";
    port.responder = [](std::uint8_t, ScriptedPort& p) { p.reply({'S', 'h', 'i'}); };
    prompts.answerMessages({Answer::Abort});
    const auto start = clock.now();
    link.ReadFirmwareID();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_GE(secondsSince(start), 1.0);
    EXPECT_EQ(data->log.FirmwareID, "before");
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"RS-232 timeout. Check cable and click Abort."});
}

TEST_F(OperationsTest, ScaleFactorsAndIntervalComeFromTheEeprom) {
    link.ReadTPSScaleFactors();
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(data->log.TPSMin, 26);
    EXPECT_EQ(data->log.TPSMax, 230);
    // One SetAddress; the pointer walks on to 22 by itself.
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{20, 21, 0, 21, 21}));

    EXPECT_FLOAT_EQ(link.ReadDataLogInterval(), 2.0f);
    controller.eeprom[19] = 255;
    EXPECT_FLOAT_EQ(link.ReadDataLogInterval(), 4.08f);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(OperationsTest, FramTransferCopiesAllBlocksWithProgress) {
    link.ReadFRAMData();
    EXPECT_TRUE(link.CommandOK);
    EXPECT_FALSE(data->log.FRAMBufferEmpty);
    EXPECT_TRUE(
        std::equal(controller.fram.begin(), controller.fram.end(), data->log.FRAMBuffer.begin()));
    EXPECT_EQ(view.progressCaption, "Reading FRAM");
    EXPECT_EQ(view.progressValues.front(), 0);
    EXPECT_EQ(view.progressValues[1], 0);  // after the first block: its start, 0
    EXPECT_EQ(view.progressValues.back(), 100);
    EXPECT_EQ(view.progressValues.size(), 513u);
    EXPECT_FALSE(view.progressShown);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(OperationsTest, FramTransferStoppingHalfWayKeepsTheBlocksRead) {
    controller.blocksLeft = 256;
    prompts.answerMessages({Answer::Abort});
    link.ReadFRAMData();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_TRUE(data->log.FRAMBufferEmpty);
    EXPECT_TRUE(std::equal(controller.fram.begin(), controller.fram.begin() + 256 * 64,
                           data->log.FRAMBuffer.begin()));
    // The failed block copies what the block buffer still held: the block before it.
    EXPECT_TRUE(std::equal(controller.fram.begin() + 255 * 64, controller.fram.begin() + 256 * 64,
                           data->log.FRAMBuffer.begin() + 256 * 64));
    EXPECT_TRUE(std::all_of(data->log.FRAMBuffer.begin() + 257 * 64, data->log.FRAMBuffer.end(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_FALSE(view.progressShown);
    EXPECT_FALSE(port.isOpen());
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
    port.responder = [](std::uint8_t byte, ScriptedPort& p) {
        if (byte == 20) {
            p.reply(0x15);
        }
    };
    port.written.clear();
    link.ReadFRAMData();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{20, 0, 0}));
    EXPECT_FALSE(view.progressShown);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(OperationsTest, ClearingTheControllerLog) {
    const std::string title = "Clear Controller Data Buffer";
    prompts.answerMessages({Answer::Cancel});
    mnuClearControllerBuffer_Click(link);
    EXPECT_TRUE(port.written.empty());

    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(controller.erases, 1);
    EXPECT_EQ(prompts.messageTexts().back(), "Controller data buffer cleared.");
    EXPECT_EQ(prompts.shown().back().title, title);
    EXPECT_EQ(prompts.shown().back().icon, Icon::Information);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(data->log.DataBufferEmpty);  // the log in memory is not touched

    // Armed: refused before any erase byte.
    controller.state = 2;
    port.written.clear();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(), "Cannot clear data buffer while controller is armed.");
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{51, 46}));
    EXPECT_EQ(controller.erases, 1);

    // No link: five ReSyncs, then the message.
    port.responder = nullptr;
    port.written.clear();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(port.writtenValues(), std::vector<std::uint8_t>(5, 51));
    EXPECT_EQ(prompts.messageTexts().back(),
              "Cannot establish RS-232 link. Check cable and controller power.");
    EXPECT_FALSE(port.isOpen());
}

TEST_F(OperationsTest, EraseAcknowledgedLateOrWronglyOrNever) {
    const auto answerErase = [this](std::function<void(ScriptedPort&)> answer) {
        port.responder = [answer](std::uint8_t byte, ScriptedPort& p) {
            if (byte == 51) {
                p.reply(ACK);
            } else if (byte == 46) {
                p.reply(1);
            } else if (byte == 59) {
                answer(p);
            }
        };
    };
    // 4 s late: the 5 s wait still sees it. The fake port holds the ACK back until then.
    answerErase([this](ScriptedPort& p) {
        clock.advance(std::chrono::seconds(4));
        p.reply(ACK);
    });
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(), "Controller data buffer cleared.");

    answerErase([](ScriptedPort& p) { p.reply(0x15); });
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(),
              "Command failed - controller data buffer not cleared.");
    EXPECT_FALSE(port.isOpen());

    answerErase([](ScriptedPort&) {});
    prompts.answerMessages({Answer::Ok, Answer::Ignore, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    const auto texts = prompts.messageTexts();
    EXPECT_EQ(texts[texts.size() - 2], "RS-232 timeout. Check cable and click Abort.");
    EXPECT_EQ(texts.back(), "Command failed - controller data buffer not cleared.");
}

TEST_F(OperationsTest, ASecondOperationWhileOneRunsIsRefusedWithoutTouchingThePort) {
    const auto running = link.beginOperation();
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(view.busyShown, 1);
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_TRUE(port.written.empty());
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
