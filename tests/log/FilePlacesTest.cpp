// Where the file dialogs open, the names they suggest and the endings they add, and the recent
// files list, through the core and through Save File and Open File with scripted prompts.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "base/PreferenceRules.h"
#include "log/DownloadArchive.h"
#include "log/FileDialogs.h"
#include "log/LogFileOperations.h"
#include "log/RecentFiles.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/Files.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

TEST(FilePlaces, AnEndingIsAddedOnlyToANameWithout) {
    EXPECT_EQ(filterEnding(LogFileFilter), ".log");
    EXPECT_EQ(filterEnding("PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg"), ".png");
    EXPECT_EQ(filterEnding("All Files (*.*)|*.*"), "");
    EXPECT_EQ(filterEnding(""), "");
    EXPECT_EQ(withFilterEnding("/runs/run", "CSV (*.csv)|*.csv"), "/runs/run.csv");
    EXPECT_EQ(withFilterEnding("/runs/run.txt", "CSV (*.csv)|*.csv"), "/runs/run.txt");
    EXPECT_EQ(withFilterEnding("/runs.d/run", "CSV (*.csv)|*.csv"), "/runs.d/run.csv");
    EXPECT_EQ(withFilterEnding("/runs/.hidden", "CSV (*.csv)|*.csv"), "/runs/.hidden.csv");
    EXPECT_EQ(withFilterEnding("/runs/run", "All Files (*.*)|*.*"), "/runs/run");
    EXPECT_EQ(baseName("/logs/2026-12-07_14-03-22.log"), "2026-12-07_14-03-22");
    EXPECT_EQ(baseName("/logs.d/run"), "run");
    EXPECT_EQ(fileNameOf("/logs/run.log"), "run.log");
}

TEST(FilePlaces, EachKindKeepsItsFolderAndAVanishedOneFallsBackToHome) {
    const fs::path top = fs::temp_directory_path() / ("velkor-places-" + std::to_string(getpid()));
    fs::create_directories(top / "home");
    fs::create_directories(top / "logs");
    const char* home = std::getenv("HOME");
    const std::string oldHome = home != nullptr ? home : "";
    ::setenv("HOME", (top / "home").c_str(), 1);

    MemorySettingsStore store;
    EXPECT_EQ(lastFolder(store, FileKind::Log), (top / "home").string());
    rememberFolder(store, FileKind::Log, (top / "logs" / "run.log").string());
    EXPECT_EQ(lastFolder(store, FileKind::Log), (top / "logs").string());
    EXPECT_EQ(lastFolder(store, FileKind::Pdf), (top / "home").string());  // its own folder
    store.values[folderKey(FileKind::Picture)] = (top / "gone").string();
    EXPECT_EQ(lastFolder(store, FileKind::Picture), (top / "home").string());
    store.values[folderKey(FileKind::ExportData)] = "";
    EXPECT_EQ(lastFolder(store, FileKind::ExportData), (top / "home").string());
    fs::remove_all(top / "logs");
    EXPECT_EQ(lastFolder(store, FileKind::Log), (top / "home").string());

    ::setenv("HOME", oldHome.c_str(), 1);
    fs::remove_all(top);
}

TEST(RecentFiles, MostRecentFirstOnceEachAndTenAtMost) {
    MemorySettingsStore store;
    for (int i = 1; i <= 12; ++i) {
        rememberRecentFile(store, "/logs/" + std::to_string(i) + ".log");
    }
    rememberRecentFile(store, "/logs/5.log");
    rememberRecentFile(store, "");
    const auto files = recentFiles(store);
    ASSERT_EQ(files.size(), 10u);
    EXPECT_EQ(files.front(), "/logs/5.log");
    EXPECT_EQ(files[1], "/logs/12.log");
    EXPECT_EQ(files.back(), "/logs/3.log");
    EXPECT_EQ(std::count(files.begin(), files.end(), "/logs/5.log"), 1);

    // A store edited by hand: gaps and repeats are passed over.
    MemorySettingsStore edited;
    edited.values = {{recentFileKey(1), ""},
                     {recentFileKey(2), "/a.log"},
                     {recentFileKey(3), "/a.log"},
                     {recentFileKey(7), "/b.log"}};
    EXPECT_EQ(recentFiles(edited), (std::vector<std::string>{"/a.log", "/b.log"}));
}

TEST(RecentFiles, ItemsAreNumberedWithAccessKeysAndMissingFilesGreyed) {
    const fs::path present = fs::temp_directory_path() / ("velkor-r&d-" + std::to_string(getpid()));
    spit(present, "x");
    MemorySettingsStore store;
    for (int i = 10; i >= 2; --i) {
        rememberRecentFile(store, "/nowhere/" + std::to_string(i) + ".log");
    }
    rememberRecentFile(store, present.string());
    const auto items = recentFileItems(store);
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(items[0].caption, "&1 " + fs::temp_directory_path().string() + "/velkor-r&&d-" +
                                    std::to_string(getpid()));
    EXPECT_TRUE(items[0].present);
    EXPECT_EQ(items[8].caption, "&9 /nowhere/9.log");
    EXPECT_EQ(items[9].caption, "1&0 /nowhere/10.log");
    EXPECT_FALSE(items[9].present);
    EXPECT_EQ(items[9].path, "/nowhere/10.log");
    fs::remove(present);
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
    EXPECT_TRUE(lastRequest().shortcuts.empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "first.log"));
    EXPECT_FALSE(fs::exists(folder / "first"));
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
    const auto& keys = preferenceKeys();  // the file's display settings are not stored
    EXPECT_EQ(
        std::find_first_of(store.writes.begin(), store.writes.end(), keys.begin(), keys.end()),
        store.writes.end());

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

TEST_F(FileDialogPlacesTest, APathThatCannotBeOpenedIsSaidAsOpenFileSaysIt) {
    prompts.answerMessages({Answer::Abort});
    EXPECT_FALSE(openLogFile(ctx, (folder / "missing.log").string()).outcome.isDone());
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_NE(prompts.messageTexts()[0].find("missing.log could not be opened"), std::string::npos);
    EXPECT_TRUE(data->log.DataBufferEmpty);
    EXPECT_TRUE(recentFiles(store).empty());
}

}  // namespace
}  // namespace velkor::test
