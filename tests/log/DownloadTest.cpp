// Downloading the controller's log: the simulator's controller logic answering through a scripted
// port on a fake clock for the edge cases, and the real serial port against the simulator on a
// pseudo-terminal for the whole road from the menu to the chart, a saved file and back.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <memory>

#include "base/AppContext.h"
#include "link/ClearLog.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "log/Download.h"
#include "log/FramDecode.h"
#include "log/LogFileOperations.h"
#include "sim/Protocol.h"
#include "sim/Simulator.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/Fakes.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"
#include "support/SimController.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

constexpr int RingStart = 368 + 12 * 1234;
const std::string Timeout = "RS-232 timeout. Check cable and click Abort.";

// What decoding the simulator's image gives, as a download should.
std::unique_ptr<DataLog> expectedLog(const sim::Fram& fram, float tpsMin, float tpsMax,
                                     float interval) {
    auto log = std::make_unique<DataLog>();
    loadDrive(*log, fram, interval, tpsMin, tpsMax);
    return log;
}

void expectSameSamples(const DataLog& actual, const DataLog& expected) {
    for (const auto column :
         {&DataLog::ElapsedTime, &DataLog::RPMData, &DataLog::VSSData, &DataLog::TPSData,
          &DataLog::Input1VoltsData, &DataLog::Input2VoltsData, &DataLog::BatVoltsData,
          &DataLog::InputData, &DataLog::OutputData, &DataLog::StatusData,
          &DataLog::ReservedData}) {
        EXPECT_EQ(actual.*column, expected.*column);
    }
}

class DownloadTest : public ::testing::Test, protected AppFixture {
protected:
    DownloadTest() {
        data->prefs.CommPortNumber = 1;
        data->state.BaseCaption = "Base";
        port.responder = [this](std::uint8_t byte, ScriptedPort& p) {
            if (intercept && intercept(byte, p)) {
                return;
            }
            answerFrom(controller, byte, p);
        };
    }

    // A log already in memory, which the download must discard.
    void haveOldLog() {
        data->log.DataBufferEmpty = false;
        data->log.RPMData.at(1) = 1234;
    }

    sim::Fram fram = sim::generateDrive(RingStart, 5);
    sim::Protocol controller{fram, sim::makeEeprom(125, 30, 220), "Shift Light Controller V2.0", 1,
                             sim::SimClock::now()};
    std::function<bool(std::uint8_t, ScriptedPort&)> intercept;
    ControllerLink link{ctx};
};

TEST_F(DownloadTest, ArmedControllerIsRefusedBeforeItsIdButTheLogIsAlreadyGone) {
    haveOldLog();
    controller.setState(2);
    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Cannot download while controller is armed."});
    EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{51, 46}));
    EXPECT_TRUE(data->log.DataBufferEmpty);
    EXPECT_EQ(data->log.RPMData.at(1), 0);
    EXPECT_EQ(view.caption, "Base - Data Buffer Empty");
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadTest, UnknownControllersAreDownloadedAllTheSame) {
    controller.setFirmwareId("Gear Indicator 1.1");
    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_FALSE(data->log.DataBufferEmpty);
    EXPECT_EQ(data->log.ControllerType, "Unknown");

    controller.setFirmwareId("");
    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(), "Invalid firmware ID - cannot download.");
    EXPECT_TRUE(data->log.DataBufferEmpty);
}

TEST_F(DownloadTest, UnreadableScaleFactorsFallBackTo26And230) {
    // The controller will not take address 21, where the scale factors are.
    intercept = refusingAddress(controller, 21);
    // Raw throttle 26 and 230 in the first two records.
    fram[RingStart + 4] = 26;
    fram[RingStart + 12 + 4] = 230;
    controller =
        sim::Protocol{fram, sim::makeEeprom(125, 30, 220), "Shift Light", 1, sim::SimClock::now()};
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_EQ(prompts.messageTexts()[1],
              "Error - unable to read TPS scale factors.\r\nTPS percent data may be incorrectly "
              "scaled.");
    EXPECT_EQ(data->log.TPSMin, 26);
    EXPECT_EQ(data->log.TPSMax, 230);
    EXPECT_EQ(data->log.TPSData.at(1), 0);
    EXPECT_EQ(data->log.TPSData.at(2), 100);
    EXPECT_FALSE(data->log.DataBufferEmpty);
}

TEST_F(DownloadTest, FailedIntervalReadStillOpensTheChartWithZeroTimes) {
    intercept = refusingAddress(controller, 19);  // the interval
    data->log.ElapsedTime.at(5) = 99;
    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_FLOAT_EQ(data->log.DataLogInterval, 0);
    EXPECT_TRUE(std::all_of(data->log.ElapsedTime.values().begin(),
                            data->log.ElapsedTime.values().end(), [](float t) { return t == 0; }));
    EXPECT_FALSE(data->log.DataBufferEmpty);
    EXPECT_EQ(view.chartsShown, 1);
}

TEST_F(DownloadTest, EscDuringTheFramReadEndsWithAnEmptyLog) {
    int blocks = 0;
    intercept = [&](std::uint8_t byte, ScriptedPort&) {
        if (byte == 48 && ++blocks == 100) {
            data->state.AbortRequested = true;  // as Esc would during a yield
        }
        return false;
    };
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(), "FRAM download failed.");
    EXPECT_EQ(prompts.messages().back().icon, Icon::Information);
    EXPECT_TRUE(data->log.DataBufferEmpty);
    EXPECT_FALSE(data->state.AbortRequested);
    EXPECT_EQ(view.chartsShown, 0);
}

// A read that fails reports its own time-out; the download then says which step failed, and the
// log stays empty. Abort and Ignore at the time-out end alike.
TEST_F(DownloadTest, AFailedIdOrBlockReadEndsWithItsMessageAndAnEmptyLog) {
    int blocks = 0;
    struct Case {
        std::function<bool(std::uint8_t, ScriptedPort&)> fault;
        Answer atTimeout;
        std::vector<std::string> messages;
    };
    for (const Case& c : std::vector<Case>{
             {// the ID comes without its carriage return
              [](std::uint8_t byte, ScriptedPort&p) {
                  if (byte == 16) {
                      p.reply({'S', 'h', 'i'});
                  }
                  return byte == 16;
              },
              Answer::Abort,
              {Timeout, "Firmware ID read failed - cannot download."}},
             {// the controller falls silent after ten blocks
              [&blocks](std::uint8_t byte, ScriptedPort&) { return byte == 48 && ++blocks > 10; },
              Answer::Ignore,
              {"Firmware ID: Shift Light Controller V2.0", Timeout, "FRAM download failed."}}}) {
        prompts = ScriptedPrompts();
        view.chartsShown = 0;
        haveOldLog();
        intercept = c.fault;
        for (const auto& text : c.messages) {
            prompts.answerMessages({text == Timeout ? c.atTimeout : Answer::Ok});
        }
        mnuDownload_Click(link);
        EXPECT_EQ(prompts.messageTexts(), c.messages);
        EXPECT_EQ(prompts.messages().back().title, "Download Data");
        EXPECT_TRUE(data->log.DataBufferEmpty);
        EXPECT_EQ(view.caption, "Base - Data Buffer Empty");
        EXPECT_EQ(view.chartsShown, 0);
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_EQ(prompts.messages().back().icon, Icon::Information);
}

// The state read reports its own time-out, and both operations that begin with it stop there
// without a word more and without sending anything else.
TEST_F(DownloadTest, AFailedStateReadStopsADownloadOrAnEraseWithoutAFurtherMessage) {
    intercept = [](std::uint8_t byte, ScriptedPort&) { return byte == 46; };
    const std::string Question = "All data logged by controller will be lost. Proceed?";
    for (const auto& [operation, before] :
         std::vector<std::pair<void (*)(ControllerLink&), std::vector<std::string>>>{
             {mnuDownload_Click, {}}, {mnuClearControllerBuffer_Click, {Question}}}) {
        prompts = ScriptedPrompts();
        port.written.clear();
        for (std::size_t i = 0; i < before.size(); ++i) {
            prompts.answerMessages({Answer::Ok});
        }
        prompts.answerMessages({Answer::Abort});
        operation(link);
        auto expected = before;
        expected.push_back(Timeout);
        EXPECT_EQ(prompts.messageTexts(), expected);
        EXPECT_EQ(port.writtenValues(), (std::vector<std::uint8_t>{51, 46}));
        EXPECT_FALSE(port.isOpen());
    }
    EXPECT_EQ(controller.eraseCount(), 0);
    EXPECT_TRUE(data->log.DataBufferEmpty);
}

TEST_F(DownloadTest, NoControllerGivesTheLinkMessageAfterFiveTries) {
    intercept = [](std::uint8_t, ScriptedPort&) { return true; };  // nothing answers
    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    EXPECT_EQ(port.writtenValues(), std::vector<std::uint8_t>(5, 51));
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{
                  "Cannot establish RS-232 link. Check cable and controller power."});
    EXPECT_FALSE(port.isOpen());
}

TEST_F(DownloadTest, ARingStartPastTheImageIsReportedAndTheLogStaysEmpty) {
    fram[35] = 0x01;  // 32769
    fram[36] = 0x80;
    controller = sim::Protocol{fram, sim::makeEeprom(), "Shift Light", 1, sim::SimClock::now()};
    prompts.answerMessages({Answer::Ok, Answer::Abort});
    mnuDownload_Click(link);
    EXPECT_EQ(prompts.messageTexts().back(),
              "Invalid ring start address 32769 in the controller's log header.");
    EXPECT_EQ(prompts.messages().back().title, "Error");
    EXPECT_TRUE(data->log.DataBufferEmpty);
}

TEST(DownloadEndToEnd, ThroughTheSerialPortToTheChartAndIntoAFileAndBack) {
    QTemporaryDir folder;
    sim::Config config;
    config.fram = sim::generateDrive(RingStart, 9);
    config.eeprom = sim::makeEeprom(6, 26, 230);
    config.firmwareId = "SHIFT LIGHT controller 2.0";
    config.linkPath = (folder.path() + "/com1").toStdString();
    sim::Simulator simulator(config);
    simulator.start();

    auto data = std::make_unique<AppData>();
    data->prefs.CommPortNumber = 1;
    data->state.BaseCaption = "Base";
    data->branding.InfoLines = {"Acme"};
    ScriptedPrompts prompts;
    MemorySettingsStore store;
    RecordingView view;
    SteadyClock clock;
    QtSerialPort port;
    AppContext ctx{*data, prompts, store, view, port, clock, folder.path().toStdString()};
    ControllerLink link(ctx);

    prompts.answerMessages({Answer::Ok});
    mnuDownload_Click(link);
    ASSERT_FALSE(data->log.DataBufferEmpty) << ::testing::PrintToString(prompts.messageTexts());
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Firmware ID: SHIFT LIGHT controller 2.0"});
    EXPECT_EQ(prompts.messages()[0].title, "Download Data");
    EXPECT_EQ(prompts.messages()[0].icon, Icon::Exclamation);
    EXPECT_TRUE(std::equal(config.fram.begin(), config.fram.end(), data->log.FRAMBuffer.begin()));
    const auto expected = expectedLog(config.fram, 26, 230, static_cast<float>(0.016 * 6));
    expectSameSamples(data->log, *expected);
    EXPECT_EQ(data->log.FirmwareID, "SHIFT LIGHT controller 2.0");
    EXPECT_EQ(data->log.ControllerType, "Shift Light");
    EXPECT_FALSE(data->log.DownloadDate.empty());
    EXPECT_EQ(view.caption, "Base - Downloaded Data");
    EXPECT_EQ(view.chartsShown, 1);
    EXPECT_FALSE(port.isOpen());

    const std::string path = (folder.path() + "/drive.log").toStdString();
    data->log.Comment = "From the simulator";
    prompts.answerFiles({path, path});
    mnuSaveFile_Click(ctx);
    const DataLog downloaded = data->log;
    prompts.answerMessages({Answer::Ok});
    mnuOpenFile_Click(ctx);  // over the downloaded log: asks first
    // The file keeps 7 significant digits: speeds in 1/128 steps may come back a hair apart.
    for (int i = 1; i <= SampleCount; ++i) {
        ASSERT_NEAR(data->log.VSSData.at(i), downloaded.VSSData.at(i),
                    1e-6 * std::max(1.0f, downloaded.VSSData.at(i)));
    }
    data->log.VSSData = downloaded.VSSData;
    expectSameSamples(data->log, downloaded);
    EXPECT_EQ(data->log.FirmwareID, downloaded.FirmwareID);
    EXPECT_EQ(data->log.DownloadDate, downloaded.DownloadDate);
    EXPECT_EQ(data->log.Comment, "From the simulator");
    EXPECT_EQ(view.caption, "Base - drive.log");
    EXPECT_EQ(view.chartsShown, 2);
}

}  // namespace
}  // namespace velkor::test
