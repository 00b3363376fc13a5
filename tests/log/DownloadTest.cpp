// Downloading the controller's log, with the simulator's controller logic answering through a
// scripted port on a fake clock: the ways a download stops, and the copy kept in the per-user
// downloads folder. The whole road through the real port is proven by the serial link tests.

#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "app/frmMain.h"
#include "log/Download.h"
#include "log/LogFileOperations.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/SimController.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

namespace fs = std::filesystem;

constexpr int RingStart = 368 + 12 * 1234;
const std::string Timeout = "RS-232 timeout. Check cable and click Abort.";
const std::string IdShown = "Firmware ID: Shift Light Controller V2.0";
const sim::Eeprom Eeprom = sim::makeEeprom(125, 30, 220);

class DownloadTest : public ::testing::Test, protected SimLinkFixture {
protected:
    DownloadTest() : SimLinkFixture(shiftLight(sim::generateDrive(RingStart, 5), Eeprom)) {
        data->state.BaseCaption = "Base";
        data->branding.InfoLines = {"Acme"};
        ctx.downloadArchiveDir = (archive / "share" / "Velkor" / "downloads").string();
    }

    void download() {
        prompts.answerMessages({Answer::Ok});  // the firmware ID
        mnuDownload_Click(link);
        ASSERT_FALSE(data->log.DataBufferEmpty) << ::testing::PrintToString(prompts.messageTexts());
    }

    QTemporaryDir temporary;
    const fs::path archive = temporary.path().toStdString();
    sim::Fram fram = controller.fram();
};

// Whatever stops a download, it says why (a failed read first reports its own time-out), and
// the log that was in memory stays, caption and all: the new one is filled on the side.
TEST_F(DownloadTest, ADownloadThatCannotFinishSaysWhyAndKeepsTheLogInMemory) {
    const auto silentTo = [this](std::uint8_t command) {
        return [this, command] {
            intercept = [command](std::uint8_t byte, ScriptedPort&) { return byte == command; };
        };
    };
    const auto idWithoutItsEnd = [this] {
        intercept = [](std::uint8_t byte, ScriptedPort& p) {
            if (byte == 16) {
                p.reply({'S', 'h', 'i'});
            }
            return byte == 16;
        };
    };
    const auto silentAfterTenBlocks = [&] {
        intercept = [blocks = 0](std::uint8_t byte, ScriptedPort&) mutable {
            return byte == 48 && ++blocks > 10;
        };
    };
    const auto escAtTheHundredthBlock = [&] {
        intercept = [this, blocks = 0](std::uint8_t byte, ScriptedPort&) mutable {
            if (byte == 48 && ++blocks == 100) {
                requestAbort(data->state);  // as Esc would during a yield
            }
            return false;
        };
    };
    const auto ringStartPastTheImage = [this] {
        fram[35] = 0x01;  // 32769
        fram[36] = 0x80;
        controller = shiftLight(fram, Eeprom);
    };
    struct Case {
        std::function<void()> setUp;
        std::vector<Answer> answers;
        std::vector<std::string> messages;
        std::vector<std::uint8_t> sent;  // when given, everything sent
    };
    for (const Case& c : std::vector<Case>{
             {[this] { controller.setState(2); },
              {Answer::Ok},
              {"Cannot download while controller is armed."},
              {51, 46}},
             {silentTo(51),
              {Answer::Ok},
              {"Cannot establish RS-232 link. Check cable and controller power."},
              std::vector<std::uint8_t>(5, 51)},
             {silentTo(46), {Answer::Abort}, {Timeout}, {51, 46}},
             {idWithoutItsEnd,
              {Answer::Abort, Answer::Ok},
              {Timeout, "Firmware ID read failed - cannot download."},
              {}},
             {[this] { controller.setFirmwareId(""); },
              {Answer::Ok},
              {"Invalid firmware ID - cannot download."},
              {}},
             {silentAfterTenBlocks,
              {Answer::Ok, Answer::Ignore, Answer::Ok},
              {IdShown, Timeout, "FRAM download failed."},
              {}},
             {escAtTheHundredthBlock,
              {Answer::Ok, Answer::Ok},
              {IdShown, "FRAM download failed."},
              {}},
             {[this] { intercept = refusingAddress(controller, 19); },
              {Answer::Ok, Answer::Ok},
              {IdShown, IntervalReadFailed},
              {}},
             {ringStartPastTheImage,
              {Answer::Ok, Answer::Abort},
              {IdShown, "Invalid ring start address 32769 in the controller's log header."},
              {}}}) {
        SCOPED_TRACE(c.messages.back());
        prompts = ScriptedPrompts();
        port.written.clear();
        intercept = nullptr;
        controller = shiftLight(fram, Eeprom);
        data->log.DataBufferEmpty = false;  // a log already in memory
        data->log.RPMData.at(1) = 1234;
        data->log.Comment = "unsaved";
        view.caption = "Base - drive.log";
        c.setUp();
        for (const Answer answer : c.answers) {
            prompts.answerMessages({answer});
        }
        EXPECT_FALSE(mnuDownload_Click(link).isDone());
        EXPECT_EQ(prompts.messageTexts(), c.messages);
        if (!c.sent.empty()) {
            EXPECT_EQ(port.writtenValues(), c.sent);
        }
        EXPECT_FALSE(data->log.DataBufferEmpty);
        EXPECT_EQ(data->log.RPMData.at(1), 1234);
        EXPECT_EQ(data->log.Comment, "unsaved");
        EXPECT_EQ(view.caption, "Base - drive.log");
        EXPECT_FALSE(view.chartsShown || data->state.AbortRequested || port.isOpen());
    }
    EXPECT_EQ(prompts.messages().back().title, "Error");
    EXPECT_TRUE(view.notes.empty());  // nothing kept
}

// Choices that arrive while the download waits in a pause between bytes: View Chart (which
// ends the live view and so closes the port), Open File and the comment are refused with the
// busy notice; the download goes on undisturbed and keeps its own log.
TEST_F(DownloadTest, ChoicesMadeMidDownloadNeitherCloseThePortNorTouchTheLog) {
    intercept = [this, blocks = 0](std::uint8_t byte, ScriptedPort&) mutable {
        if (byte == 48 && ++blocks == 100) {
            prompts.onYield = [this] {
                link.runEndingLiveView([this] { closeRealTimeView(ctx); });
                mnuOpenFile_Click(ctx);
                mnuEditComment_Click(ctx);
            };
        }
        return false;
    };
    download();
    EXPECT_EQ(view.busyShown, 3);
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{IdShown});
    EXPECT_EQ(data->log.FirmwareID, "Shift Light Controller V2.0");
    EXPECT_EQ(view.activities, (std::vector<Activity>{Activity::Download, Activity::None}));
}

// The controller will not take address 21, where the scale factors are.
TEST_F(DownloadTest, AnUnknownControllerWithUnreadableFactorsIsDrawnWith26And230) {
    intercept = refusingAddress(controller, 21);
    fram[RingStart + 4] = 26;  // raw throttle 26 and 230 in the first two records
    fram[RingStart + 12 + 4] = 230;
    controller = shiftLight(fram, Eeprom, "Gear Indicator 1.1");
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    EXPECT_TRUE(mnuDownload_Click(link).isDone());
    EXPECT_EQ(prompts.messageTexts()[1],
              "Error - unable to read TPS scale factors.\r\nTPS percent data may be incorrectly "
              "scaled.");
    EXPECT_EQ(prompts.messages()[1].icon, Icon::Exclamation);
    EXPECT_EQ(data->log.ControllerType, "Unknown");
    const DataLog& log = data->log;
    EXPECT_EQ((std::vector<float>{log.TPSMin, log.TPSMax, log.TPSData.at(1), log.TPSData.at(2),
                                  log.DataLogInterval, log.ElapsedTime.at(2)}),
              (std::vector<float>{26, 230, 0, 100, 2, 4}));
    EXPECT_EQ(view.chartsShown, 1);
}

TEST_F(DownloadTest, TheKeptFileIsPrivateIsWhatSaveFileWritesAndItsNameIsNeverReused) {
    download();
    const fs::path kept = fs::path(ctx.downloadArchiveDir) / "2026-12-06_20-15-00.log";
    ASSERT_TRUE(fs::is_regular_file(kept));
    // A drive is private: the file, and each folder made on the way to it, are the user's alone.
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms(0600));
    for (fs::path made = kept.parent_path(); made != archive; made = made.parent_path()) {
        EXPECT_EQ(fs::status(made).permissions(), fs::perms(0700)) << made;
    }
    EXPECT_EQ(view.notes, std::vector<std::string>{"Download kept as " + kept.string()});
    // Keeping it asked for nothing, not even the comment.
    EXPECT_EQ(prompts.shown().size(), 1u);

    const fs::path saved = archive / "saved.log";
    prompts.answerFiles({saved.string()});
    prompts.answerInputs({std::nullopt});  // the comment asked for on saving, cancelled
    mnuSaveFile_Click(ctx);
    EXPECT_EQ(prompts.shown().back().text + "|" + prompts.shown().back().title,
              "Comment?|Optional Information Entry");
    const std::string bytes = slurp(kept);
    EXPECT_TRUE(bytes == slurp(saved));
    EXPECT_EQ(bytes.substr(bytes.size() - 15), "\"Comment\",\" \"\r\n");

    // A second download within the same second gets a name of its own.
    download();
    EXPECT_TRUE(fs::is_regular_file(kept.parent_path() / "2026-12-06_20-15-00_2.log"));
    EXPECT_TRUE(slurp(kept) == bytes);
}

TEST_F(DownloadTest, AnArchiveFolderThatCannotBeMadeCostsOneStatusLineAndNotTheDownload) {
    std::ofstream(archive / "share") << "in the way";  // a file where the folder should be
    download();
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{IdShown});
    EXPECT_EQ(view.caption, "Base - Downloaded Data");
    ASSERT_EQ(view.notes.size(), 1u);
    const std::string why = "This download was not kept in " + ctx.downloadArchiveDir;
    EXPECT_EQ(view.notes[0].rfind(why + ": the folder cannot be made (", 0), 0u) << view.notes[0];

    frmMain window(*data, prompts, {});
    EXPECT_EQ(window.context().downloadArchiveDir,
              qgetenv("XDG_DATA_HOME").toStdString() + "/Velkor/downloads");
    window.showNote(view.notes[0]);
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(), view.notes[0]);
}

}  // namespace
}  // namespace velkor::test
