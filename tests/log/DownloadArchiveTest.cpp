// Every completed download is also kept, in the log-file format, in the per-user downloads
// folder: the same bytes Save File writes, a new name for each download, and a folder that
// cannot be written costing one status line, never the download.

#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/frmMain.h"
#include "link/ControllerLink.h"
#include "log/Download.h"
#include "log/DownloadArchive.h"
#include "log/LogFileOperations.h"
#include "sim/Protocol.h"
#include "sim/Simulator.h"
#include "support/AppFixture.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/SimController.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

namespace fs = std::filesystem;

class DownloadArchiveTest : public ::testing::Test, protected AppFixture {
protected:
    DownloadArchiveTest() {
        data->prefs.CommPortNumber = 1;
        data->branding.InfoLines = {"Acme"};
        ctx.downloadArchiveDir = (archive / "Velkor" / "downloads").string();
        port.responder = [this](std::uint8_t byte, ScriptedPort& p) {
            answerFrom(controller, byte, p);
        };
    }

    void download() {
        prompts.answerMessages({Answer::Ok});  // the firmware ID
        mnuDownload_Click(link);
        ASSERT_FALSE(data->log.DataBufferEmpty) << ::testing::PrintToString(prompts.messageTexts());
    }

    QTemporaryDir temporary;
    const fs::path archive = temporary.path().toStdString();
    sim::Protocol controller{sim::generateDrive(368 + 12 * 77, 3), sim::makeEeprom(125, 30, 220),
                             "Shift Light Controller V2.0", 1, sim::SimClock::now()};
    ControllerLink link{ctx};
};

TEST_F(DownloadArchiveTest, TheKeptFileIsWhatSaveFileWritesAndANameIsNeverReused) {
    download();
    const fs::path kept = fs::path(ctx.downloadArchiveDir) / "2026-12-06_20-15-00.log";
    ASSERT_TRUE(fs::is_regular_file(kept));
    EXPECT_EQ(view.notes, std::vector<std::string>{"Download kept as " + kept.string()});
    EXPECT_EQ(view.chartsShown, 1);
    // Keeping it asked for nothing, not even the comment.
    EXPECT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(data->log.Comment, "");

    const fs::path saved = archive / "saved.log";
    prompts.answerFiles({saved.string()});
    prompts.answerInputs({std::nullopt});  // "Comment?" cancelled
    mnuSaveFile_Click(ctx);
    ASSERT_EQ(prompts.shown().back().text, "Comment?");
    const std::string bytes = slurp(kept);
    EXPECT_TRUE(bytes == slurp(saved));

    // A second download within the same second gets a name of its own.
    download();
    const fs::path second = fs::path(ctx.downloadArchiveDir) / "2026-12-06_20-15-00_2.log";
    EXPECT_TRUE(fs::is_regular_file(second));
    EXPECT_TRUE(slurp(kept) == bytes);
}

TEST_F(DownloadArchiveTest, AFolderThatCannotBeMadeCostsOneStatusLineAndNotTheDownload) {
    // A file stands where the downloads folder should be.
    std::ofstream(archive / "Velkor") << "in the way";
    download();
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Firmware ID: Shift Light Controller V2.0"});
    EXPECT_EQ(view.chartsShown, 1);
    EXPECT_EQ(view.caption, " - Downloaded Data");
    ASSERT_EQ(view.notes.size(), 1u);
    EXPECT_EQ(view.notes[0].rfind("This download was not kept in " + ctx.downloadArchiveDir +
                                      ": the folder cannot be made (",
                                  0),
              0u)
        << view.notes[0];
}

TEST_F(DownloadArchiveTest, TheMainWindowKeepsDownloadsUnderTheUsersDataFolder) {
    frmMain window(*data, prompts, {});
    EXPECT_EQ(window.context().downloadArchiveDir,
              qgetenv("XDG_DATA_HOME").toStdString() + "/Velkor/downloads");
    window.showNote("This download was not kept");
    EXPECT_EQ(window.statusBar()->currentMessage(), "This download was not kept");
}

}  // namespace
}  // namespace velkor::test
