// The controller link through the real QSerialPort adapter, against the controller simulator on
// a pseudo-terminal: every command's bytes, the line's faults, a missing device, line errors, and
// a download from the menu to the chart.

#include <asm/termbits.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "base/AppContext.h"
#include "link/ControllerLink.h"
#include "link/LineErrors.h"
#include "link/QtSerialPort.h"
#include "live/LivePoll.h"
#include "live/RealTimeView.h"
#include "log/Download.h"
#include "sim/Simulator.h"
#include "support/Drives.h"
#include "support/Fakes.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

const auto* const environment = installQtApplication();

// The real port, noting before each byte it writes how many bytes the simulator has heard so far,
// once the simulator has had the time to hear every byte before it: a byte held back in the
// port's buffer shows as one not heard. It waits for the simulator's thread, never times it.
class WatchedPort : public QtSerialPort {
public:
    void writeByte(std::uint8_t byte) override {
        if (heard) {
            const auto until = steady_clock::now() + 5s;
            while (heard() < heardBefore.size() && steady_clock::now() < until) {
                std::this_thread::sleep_for(1ms);
            }
            heardBefore.push_back(heard());
        }
        QtSerialPort::writeByte(byte);
    }
    std::function<std::size_t()> heard;
    std::vector<std::size_t> heardBefore;
};

class SerialLinkTest : public ::testing::Test {
protected:
    SerialLinkTest() {
        config.fram = sim::generateDrive(368 + 12 * 1000, 7);
        config.eeprom = sim::makeEeprom(125, 26, 230);
        config.linkPath = (m_ports.path() + "/com1").toStdString();
        simulator = std::make_unique<sim::Simulator>(config);
        simulator->start();
        data->prefs.CommPortNumber = 1;
        port.setLineErrorHandler([this](int code) { OnComm(ctx, code); });
    }
    ~SerialLinkTest() override { link.closePort(); }

    std::vector<int> received() const {
        std::vector<int> values;
        for (const auto& byte : simulator->received()) {
            values.push_back(byte.value);
        }
        return values;
    }

    QTemporaryDir m_ports;
    sim::Config config;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    ScriptedPrompts prompts;
    MemorySettingsStore store;
    RecordingView view;
    SteadyClock clock;
    WatchedPort port;
    AppContext ctx{*data, prompts, store, view, port, clock, m_ports.path().toStdString()};
    ControllerLink link{ctx};
};

// The live reads' bytes are proven by the live view's tests, the pauses on the fake clock.
TEST_F(SerialLinkTest, EveryCommandSendsItsBytesInOrderWithThePausesBetween) {
    link.ReSync();
    link.SetAddress(19);
    link.SetAddress(0);
    link.ReadEEPROM();
    link.ReadFRAM();
    link.ReadFRAMBlock(64);
    EXPECT_TRUE(link.CommandOK);
    EXPECT_EQ(received(), (std::vector<int>{51, 20, 19, 0, 20, 0, 0, 21, 30, 48, 64}));
    EXPECT_TRUE(port.isOpen());

    // Each byte is on the line before the next is written, so the pauses between them (proven
    // on the fake clock) reach the controller. An erase acknowledged four seconds late succeeds.
    simulator->clearReceived();
    sim::Faults faults;
    faults.eraseAckDelay = 4.0;
    simulator->setFaults(faults);
    port.heard = [this] { return simulator->received().size(); };
    link.ClearControllerBuffer();
    EXPECT_TRUE(link.CommandOK && simulator->eraseCount() == 1 && prompts.shown().empty());
    EXPECT_EQ(received(), (std::vector<int>{49, 105, 52, 191, 59}));
    EXPECT_EQ(port.heardBefore, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialLinkTest, HalfRepliesStrayBytesAndWrongAcknowledgementsFailOnlyTheirCommand) {
    sim::Faults faults;
    faults.halfReply = true;
    simulator->setFaults(faults);
    prompts.answerMessages({Answer::Ignore});
    EXPECT_EQ(link.ReadRPM(), 0.0f);  // a time-out, not the byte that came
    EXPECT_FALSE(link.CommandOK || port.isOpen());

    faults.halfReply = false;
    faults.strayBytes = 3;
    simulator->setFaults(faults);
    link.ReSync();
    EXPECT_TRUE(link.CommandOK);  // the stray byte of the engine speed was discarded
    EXPECT_FLOAT_EQ(link.ReadDataLogInterval(), 2.0f);  // and the bytes after each reply
    EXPECT_TRUE(link.CommandOK);

    // A wrong acknowledgement says nothing and leaves the port open.
    faults.wrongAck = true;
    simulator->setFaults(faults);
    link.SetAddress(19);
    EXPECT_TRUE(!link.CommandOK && port.isOpen());
    data->log.TPSMin = 11;
    link.ReadTPSScaleFactors();  // the scale factors stay as they were
    EXPECT_TRUE(!link.CommandOK && data->log.TPSMin == 11 && prompts.shown().size() == 1u);
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
    EXPECT_TRUE(settings.c_ospeed == 56000u && settings.c_ispeed == 56000u);
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

TEST_F(SerialLinkTest, MissingDeviceIsNamedAndRetryOpensAgain) {
    if (QFileInfo::exists("/dev/ttyS1")) {
        GTEST_SKIP() << "this machine has /dev/ttyS1";
    }
    data->prefs.CommPortNumber = 2;  // no link for com2, so /dev/ttyS1
    // Before the retry, point Com2 at the simulator, as a person plugging in would.
    prompts.onShow = [&](const ShownPrompt&) {
        QFile::link(QString::fromStdString(simulator->devicePath()), m_ports.path() + "/com2");
    };
    prompts.answerMessages({Answer::Retry});
    link.ReSync();
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{
                  "Com2 could not be opened: the device /dev/ttyS1 does not exist. Plug in the "
                  "cable or adapter, or choose another port under Communications, Port Setup."});
    EXPECT_TRUE(link.CommandOK);
}

TEST_F(SerialLinkTest, DownloadFromTheMenuToTheChart) {
    simulator->setFirmwareId("SHIFT LIGHT controller 2.0");
    data->state.BaseCaption = "Base";
    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    ASSERT_FALSE(data->log.DataBufferEmpty) << ::testing::PrintToString(prompts.messageTexts());
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Firmware ID: SHIFT LIGHT controller 2.0"});
    EXPECT_TRUE(prompts.messages()[0].title == "Download Data" &&
                prompts.messages()[0].icon == Icon::Exclamation);
    EXPECT_TRUE(std::equal(config.fram.begin(), config.fram.end(), data->log.FRAMBuffer.begin()));
    DataLog expected;
    loadDrive(expected, config.fram, 2.0f);
    expectSameSamples(data->log, expected);
    EXPECT_TRUE(data->log.ControllerType == "Shift Light" && !data->log.DownloadDate.empty());
    EXPECT_EQ(view.caption, "Base - Downloaded Data");
    EXPECT_TRUE(view.chartsShown == 1 && !port.isOpen());
}

using QtSerialPortLineErrors = SerialLinkTest;

TEST_F(QtSerialPortLineErrors, CounterRisesBecomeEventsWhileOpen) {
    LineErrorCounts counts;
    QtSerialPort polled([&counts](int) { return std::optional<LineErrorCounts>(counts); });
    std::vector<int> events;
    polled.setLineErrorHandler([&events](int code) { events.push_back(code); });
    polled.open("Com1", config.linkPath);
    polled.pollLineErrors();
    EXPECT_TRUE(events.empty());
    counts.frame = 2;
    counts.parity = 1;
    polled.pollLineErrors();
    EXPECT_EQ(events, (std::vector<int>{LineError::Framing, LineError::Parity}));
    counts.bufferOverrun = 1;  // counted just before the port closes
    polled.close();
    polled.pollLineErrors();
    EXPECT_EQ(events.back(), LineError::ReceiveBufferOverflow);
    counts.overrun = 1;
    polled.pollLineErrors();
    EXPECT_EQ(events.size(), 3u);  // a closed port reports nothing new
    EXPECT_TRUE(lineErrorEvents({7, 1, 1, 1}, {5, 1, 0, 0}).empty());  // counters started again
}

}  // namespace
}  // namespace velkor::test
