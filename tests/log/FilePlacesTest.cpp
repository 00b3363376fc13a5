// Where the file dialogs open, the names they suggest and the endings they add, and the recent
// files list, through the core and through Save File and Open File with scripted prompts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "log/DownloadArchive.h"
#include "log/FilePlaces.h"
#include "log/LogFileOperations.h"
#include "log/RecentFiles.h"
#include "support/AppFixture.h"
#include "support/Drives.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

TEST(FilePlaces, AnEndingIsAddedOnlyToANameWithout) {
    EXPECT_EQ(filterEnding("PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg"), ".png");
    EXPECT_EQ(withFilterEnding("/runs.d/run", "CSV (*.csv)|*.csv"), "/runs.d/run.csv");
    EXPECT_EQ(withFilterEnding("/runs/run.txt", "CSV (*.csv)|*.csv"), "/runs/run.txt");
    EXPECT_EQ(withFilterEnding("/runs/.hidden", "CSV (*.csv)|*.csv"), "/runs/.hidden.csv");
    EXPECT_EQ(withFilterEnding("/runs/run", "All Files (*.*)|*.*"), "/runs/run");
    EXPECT_EQ(baseName("/logs.d/2026-12-07_14-03-22.log"), "2026-12-07_14-03-22");
}

TEST(FilePlaces, EachKindKeepsItsFolderAndAVanishedOneFallsBackToHome) {
    const fs::path top = fs::temp_directory_path() / ("velkor-places-" + std::to_string(getpid()));
    fs::create_directories(top / "home");
    fs::create_directories(top / "logs");
    const std::string oldHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    ::setenv("HOME", (top / "home").c_str(), 1);

    MemorySettingsStore store;
    EXPECT_EQ(lastFolder(store, FileKind::Log), (top / "home").string());
    rememberFolder(store, FileKind::Log, (top / "logs" / "run.log").string());
    EXPECT_EQ(lastFolder(store, FileKind::Log), (top / "logs").string());
    EXPECT_EQ(lastFolder(store, FileKind::Pdf), (top / "home").string());  // its own folder
    store.values[folderKey(FileKind::Picture)] = "";
    EXPECT_EQ(lastFolder(store, FileKind::Picture), (top / "home").string());
    fs::remove_all(top / "logs");
    EXPECT_EQ(lastFolder(store, FileKind::Log), (top / "home").string());

    ::setenv("HOME", oldHome.c_str(), 1);
    fs::remove_all(top);
}

TEST(RecentFiles, MostRecentFirstOnceEachTenAtMostNumberedAndMissingOnesGreyed) {
    MemorySettingsStore store;
    for (int i = 1; i <= 12; ++i) {
        rememberRecentFile(store, "/logs/" + std::to_string(i) + ".log");
    }
    rememberRecentFile(store, "/logs/5.log");
    const auto items = recentFileItems(store);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[0].caption + ", " + items[1].caption, "&1 /logs/5.log, &2 /logs/12.log");
    EXPECT_EQ(items[9].caption, "1&0 /logs/3.log");
    EXPECT_FALSE(items[9].present);

    // A store edited by hand: gaps and repeats are passed over.
    MemorySettingsStore edited;
    edited.values = {{recentFileKey(1), ""},
                     {recentFileKey(2), "/a.log"},
                     {recentFileKey(3), "/a.log"},
                     {recentFileKey(7), "/b.log"}};
    EXPECT_EQ(recentFiles(edited), (std::vector<std::string>{"/a.log", "/b.log"}));
}

class FileDialogPlacesTest : public ::testing::Test, protected AppFixture {
protected:
    FileDialogPlacesTest() {
        folder = fs::temp_directory_path() /
                 ("velkor-dialogs-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "archive");
        ctx.downloadArchiveDir = (folder / "archive").string();
        data->branding.InfoLines = {"Acme"};
    }
    ~FileDialogPlacesTest() override { fs::remove_all(folder); }

    void download() {
        data->log = DataLog();
        loadDrive(data->log, sim::generateDrive(368 + 12 * 77, 3), 0.1f);
        data->log.FirmwareID = "Shift Light Controller V2.0";
        data->log.ControllerType = "Shift Light";
        data->log.Comment = "run";
    }
    FileDialogRequest lastRequest() const { return prompts.fileRequests().back(); }

    fs::path folder;
};

TEST_F(FileDialogPlacesTest, SaveFileSuggestsTheLogsNameAndAddsTheEndingToABareName) {
    download();
    prompts.answerFiles({std::nullopt});
    mnuSaveFile_Click(ctx);  // a download kept nowhere: named for the moment
    EXPECT_EQ(lastRequest().fileName, "2026-12-06_20-15-00.log");

    archiveDownload(ctx);
    prompts.answerFiles({(folder / "first").string()});
    EXPECT_TRUE(mnuSaveFile_Click(ctx).isDone());
    EXPECT_EQ(lastRequest().fileName, "2026-12-06_20-15-00.log");  // the archive copy's name
    EXPECT_TRUE(fs::is_regular_file(folder / "first.log"));
    EXPECT_EQ(data->log.FilePath, (folder / "first.log").string());

    // A typed ending stays as it is; the name the log now has is suggested.
    prompts.answerFiles({(folder / "second.txt").string()});
    EXPECT_TRUE(mnuSaveFile_Click(ctx).isDone());
    EXPECT_EQ(lastRequest().fileName, "first.log");
    EXPECT_EQ(lastRequest().folder, folder.string());
    EXPECT_TRUE(fs::is_regular_file(folder / "second.txt"));

    // "first" becomes first.log, which exists: the question names the file that would go.
    prompts.answerFiles({(folder / "first").string()});
    prompts.answerMessages({Answer::Yes});
    EXPECT_TRUE(mnuSaveFile_Click(ctx).isDone());
    EXPECT_NE(prompts.messageTexts().back().find("first.log\r\nThis file already exists."),
              std::string::npos);
}

TEST_F(FileDialogPlacesTest, OpenFileOffersTheArchiveStartsInTheLastFolderAndIsRemembered) {
    download();
    fs::create_directories(folder / "logs");
    prompts.answerFiles({(folder / "logs" / "run.log").string()});
    mnuSaveFile_Click(ctx);

    *data = AppData();
    prompts.answerFiles({(folder / "logs" / "run.log").string()});
    EXPECT_TRUE(mnuOpenFile_Click(ctx).outcome.isDone());
    EXPECT_EQ(lastRequest().folder, (folder / "logs").string());
    EXPECT_EQ(lastRequest().shortcuts, std::vector<std::string>{(folder / "archive").string()});
    EXPECT_EQ(recentFiles(store), std::vector<std::string>{(folder / "logs" / "run.log").string()});

    archiveDownload(ctx);
    const std::string kept = (folder / "archive" / "2026-12-06_20-15-00.log").string();
    EXPECT_EQ(data->log.ArchivePath, kept);
    EXPECT_EQ(recentFiles(store).front(), kept);

    // Opened by its path (the command line, Recent Files): the same question over a log in
    // memory, and the file goes to the top of the list again.
    prompts.answerMessages({Answer::Ok});
    EXPECT_TRUE(openLogFile(ctx, (folder / "logs" / "run.log").string()).outcome.isDone());
    EXPECT_EQ(prompts.messageTexts().back(), "Data buffer not empty. OK to overwrite?");
    EXPECT_EQ(recentFiles(store),
              (std::vector<std::string>{(folder / "logs" / "run.log").string(), kept}));
}

}  // namespace
}  // namespace velkor::test
