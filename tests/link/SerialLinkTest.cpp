// The controller link through the real QSerialPort adapter, against the controller simulator on
// a pseudo-terminal.

#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>

#include "base/AppContext.h"
#include "link/ClearLog.h"
#include "link/ControllerLink.h"
#include "link/LineErrors.h"
#include "link/QtSerialPort.h"
#include "live/LivePoll.h"
#include "live/RealTimeView.h"
#include "sim/Simulator.h"
#include "support/Fakes.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

using namespace std::chrono;

const auto* const environment = installQtApplication();

class SerialLinkTest : public ::testing::Test {
protected:
    SerialLinkTest() {
        sim::Config config;
        config.fram = sim::generateDrive(368 + 12 * 1000, 7);
        config.eeprom = sim::makeEeprom(125, 26, 230);
        config.linkPath = (m_ports.path() + "/com1").toStdString();
        simulator = std::make_unique<sim::Simulator>(config);
        simulator->start();
        data->prefs.CommPortNumber = 1;
        port.setLineErrorHandler([this](int code) { OnComm(ctx, code); });
    }
    ~SerialLinkTest() override { link.closePort(); }

    // The values the simulator received, in order.
    std::vector<int> received() const {
        std::vector<int> values;
        for (const auto& byte : simulator->received()) {
            values.push_back(byte.value);
        }
        return values;
    }

    // Milliseconds between received bytes i-1 and i, as the simulator saw them. A 2 ms pause
    // shows as about 2 ms, give or take how late the simulator's thread woke for each byte;
    // bytes sent back to back show as a few microseconds.
    static constexpr double PauseSeen = 1.0;
    double gapBefore(std::size_t i) const {
        const auto bytes = simulator->received();
        return duration<double, std::milli>(bytes.at(i).time - bytes.at(i - 1).time).count();
    }

    // Whether the simulator saw a pause before each of the given bytes of a command. A starved
    // simulator thread may read two bytes at once, so a pause counts as seen when one of five
    // tries shows it; a pause the program leaves out never shows.
    bool pausesSeen(const std::function<void()>& command, const std::vector<std::size_t>& bytes) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            simulator->clearReceived();
            command();
            const bool all = std::all_of(bytes.begin(), bytes.end(), [this](std::size_t i) {
                return gapBefore(i) >= PauseSeen;
            });
            if (all) {
                return true;
            }
        }
        return false;
    }

    QTemporaryDir m_ports;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    ScriptedPrompts prompts;
    MemorySettingsStore store;
    RecordingView view;
    SteadyClock clock;
    QtSerialPort port;
    AppContext ctx{*data, prompts, store, view, port, clock, m_ports.path().toStdString()};
    ControllerLink link{ctx};
};

TEST_F(SerialLinkTest, EveryCommandSendsItsBytesInOrderWithThePausesBetween) {
    link.ReSync();
    ASSERT_TRUE(link.CommandOK);
    link.SetAddress(19);
    link.SetAddress(0);
    link.SetAddress(300);
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(received(), (std::vector<int>{51, 20, 19, 0, 20, 0, 0, 20, 44, 1}));
    EXPECT_TRUE(port.isOpen());

    simulator->clearReceived();
    link.ReadTPS();
    link.ReadBAT();
    link.ReadVIN1();
    link.ReadVIN2();
    link.ReadRPM();
    link.ReadVSS();
    link.ReadInputData();
    link.ReadOutputData();
    link.ReadStatus();
    link.ReadEEPROM();
    link.ReadFRAM();
    link.ReadFRAMBlock(64);
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(received(), (std::vector<int>{41, 38, 42, 43, 39, 40, 44, 45, 46, 21, 30, 48, 64}));
    EXPECT_TRUE(port.isOpen());

    simulator->clearReceived();
    link.ClearControllerBuffer();
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(received(), (std::vector<int>{49, 105, 52, 191, 59}));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(simulator->eraseCount(), 1);
    // The pauses' lengths are proven on the fake clock; here the real clock really pauses.
    EXPECT_TRUE(pausesSeen([this] { link.ClearControllerBuffer(); }, {1, 2, 3, 4}));
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(SerialLinkTest, HalfAReplyAndStrayBytesAreLeftForTheNextCommandToDiscard) {
    sim::Faults faults;
    faults.halfReply = true;
    simulator->setFaults(faults);
    prompts.answerMessages({Answer::Ignore});
    link.ReadRPM();
    EXPECT_FALSE(link.CommandOK);
    EXPECT_FALSE(port.isOpen());

    faults.halfReply = false;
    faults.strayBytes = 3;
    simulator->setFaults(faults);
    link.ReSync();
    EXPECT_TRUE(link.CommandOK);  // the stray byte of the engine speed was discarded
    EXPECT_FLOAT_EQ(link.ReadDataLogInterval(), 2.0f);  // and the bytes after each reply
    EXPECT_TRUE(link.CommandOK);
}

TEST_F(SerialLinkTest, TheTerminalKeepsDamagedBytesAsZerosAt56000) {
    link.ReSync();
    ASSERT_TRUE(port.isOpen());
    const int fd = ::open(simulator->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios2 settings{};
    ASSERT_EQ(::ioctl(fd, TCGETS2, &settings), 0);
    ::close(fd);
    EXPECT_EQ(settings.c_iflag & (IGNPAR | PARMRK | INPCK), tcflag_t(INPCK));
    EXPECT_EQ(settings.c_ospeed, 56000u);
    EXPECT_EQ(settings.c_ispeed, 56000u);
}

// Noise on the line damages bytes; the terminal hands each one over as 0, which the simulator's
// noise reproduces. The live view goes on: a damaged state byte reads as state 0 for that one
// refresh, and every other refresh shows the controller's own state, so no reply slipped into
// the next one and no read came up short.
TEST_F(SerialLinkTest, NoiseDuringALiveViewCostsAWrongValueForOneRefreshNotATimeOut) {
    mnuViewRealTime_Click(link);
    ASSERT_TRUE(data->state.RealTimeActive) << ::testing::PrintToString(prompts.messageTexts());
    sim::Faults faults;
    faults.noiseOneIn = 4;
    simulator->setFaults(faults);
    constexpr int Ticks = 40;
    std::map<std::string, int> statuses;
    for (int tick = 0; tick < Ticks; ++tick) {
        tmrDataRead_Timer(link);
        ++statuses[view.live.status];
    }
    EXPECT_TRUE(prompts.shown().empty()) << ::testing::PrintToString(prompts.messageTexts());
    EXPECT_TRUE(data->state.RealTimeActive);
    EXPECT_GT(statuses["Power Off"], 0);
    EXPECT_GT(statuses["Power On - Not Armed"], statuses["Power Off"]);
    EXPECT_EQ(statuses["Power On - Not Armed"] + statuses["Power Off"], Ticks);
}

TEST_F(SerialLinkTest, WrongAcknowledgementSaysNothingAndLeavesThePortOpen) {
    sim::Faults faults;
    faults.wrongAck = true;
    simulator->setFaults(faults);
    link.SetAddress(19);
    EXPECT_FALSE(link.CommandOK);
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(SerialLinkTest, EraseAcknowledgedFourSecondsLateStillSucceeds) {
    sim::Faults faults;
    faults.eraseAckDelay = 4.0;
    simulator->setFaults(faults);
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(), "Controller data buffer cleared.");
    EXPECT_EQ(simulator->eraseCount(), 1);
}

TEST_F(SerialLinkTest, ArmedControllerIsNotErased) {
    simulator->setState(2);
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuClearControllerBuffer_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(), "Cannot clear data buffer while controller is armed.");
    EXPECT_EQ(received(), (std::vector<int>{51, 46}));
    EXPECT_EQ(simulator->eraseCount(), 0);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialLinkTest, MissingDeviceIsNamedAndRetryOpensAgain) {
    data->prefs.CommPortNumber = 2;  // no link for com2, so /dev/ttyS1
    int shown = 0;
    prompts.onShow = [&](const ShownPrompt&) {
        // Before the retry, point Com2 at the simulator, as a person plugging in would.
        if (++shown == 1) {
            QFile::link(QString::fromStdString(simulator->devicePath()), m_ports.path() + "/com2");
        }
    };
    prompts.answerMessages({Answer::Retry});
    if (QFileInfo::exists("/dev/ttyS1")) {
        GTEST_SKIP() << "this machine has /dev/ttyS1";
    }
    link.ReSync();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_NE(prompts.shown()[0].text.find("Com2"), std::string::npos);
    EXPECT_NE(prompts.shown()[0].text.find("/dev/ttyS1"), std::string::npos);
    EXPECT_NE(prompts.shown()[0].text.find("does not exist"), std::string::npos);
    EXPECT_TRUE(link.CommandOK);
}

TEST(QtSerialPortLineErrors, CounterRisesBecomeEventsWhileOpen) {
    LineErrorCounts counts;
    QtSerialPort port([&counts](int) { return std::optional<LineErrorCounts>(counts); });
    std::vector<int> events;
    port.setLineErrorHandler([&events](int code) { events.push_back(code); });

    QTemporaryDir dir;
    sim::Config config;
    config.linkPath = (dir.path() + "/com1").toStdString();
    sim::Simulator simulator(config);
    simulator.start();
    port.open("Com1", config.linkPath);
    port.pollLineErrors();
    EXPECT_TRUE(events.empty());
    counts.frame = 2;
    counts.parity = 1;
    port.pollLineErrors();
    EXPECT_EQ(events, (std::vector<int>{LineError::Framing, LineError::Parity}));
    counts.bufferOverrun = 1;  // counted just before the port closes
    port.close();
    port.pollLineErrors();
    EXPECT_EQ(events.back(), LineError::ReceiveBufferOverflow);
    counts.overrun = 1;
    port.pollLineErrors();
    EXPECT_EQ(events.size(), 3u);  // a closed port reports nothing new
}

}  // namespace
}  // namespace velkor::test
