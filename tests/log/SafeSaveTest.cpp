// The safe save against what a person's disk can hold at the chosen name: a symbolic link, a file
// with its own permissions, a folder, a device; and names with letters beyond ASCII in the
// messages about them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "log/AtomicFile.h"
#include "log/LogFileOperations.h"
#include "support/AppFixture.h"
#include "support/Files.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

class SafeSaveTest : public ::testing::Test, protected AppFixture {
protected:
    SafeSaveTest() {
        fs::remove_all(folder);
        fs::create_directories(folder / "real");
        std::ofstream(folder / "real" / "drive.log", std::ios::binary) << "old";
    }
    ~SafeSaveTest() override { fs::remove_all(folder); }

    // What the folder holds, links not followed: a save leaves no temporary file behind.
    std::vector<std::string> entries(const fs::path& in) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(in)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    const fs::path folder =
        fs::temp_directory_path() / ("velkor-safe-save-" + std::to_string(::getpid()));
};

TEST_F(SafeSaveTest, ThroughASymbolicLinkTheTargetIsReplacedAndTheLinkStays) {
    fs::create_symlink("real/drive.log", folder / "link.log");
    fs::create_symlink("link.log", folder / "link-to-link.log");
    writeFileAtomically((folder / "link-to-link.log").string(), "new");
    EXPECT_TRUE(fs::is_symlink(folder / "link.log"));
    EXPECT_TRUE(fs::is_symlink(folder / "link-to-link.log"));
    EXPECT_EQ(slurp(folder / "real" / "drive.log"), "new");
    EXPECT_EQ(entries(folder), (std::vector<std::string>{"link-to-link.log", "link.log", "real"}));
    EXPECT_EQ(entries(folder / "real"), std::vector<std::string>{"drive.log"});

    // A link to a file not made yet makes it, in the link target's folder.
    fs::create_symlink(folder / "real" / "later.log", folder / "later.log");
    writeFileAtomically((folder / "later.log").string(), "first");
    EXPECT_TRUE(fs::is_symlink(folder / "later.log"));
    EXPECT_EQ(slurp(folder / "real" / "later.log"), "first");
}

TEST_F(SafeSaveTest, AnExistingFileKeepsItsPermissionBitsAndGroup) {
    const fs::path target = folder / "real" / "drive.log";
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    writeFileAtomically(target.string(), "new");
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(slurp(target), "new");
}

TEST_F(SafeSaveTest, AFolderOrADeviceIsRefusedAndNothingIsWritten) {
    fs::create_directories(folder / "folder.log");
    ASSERT_EQ(::mkfifo((folder / "pipe.log").c_str(), 0600), 0);
    std::vector<fs::path> refused = {folder / "folder.log", folder / "pipe.log"};
    // The null device's twin, where the process may make one (as root it may; not otherwise).
    if (::mknod((folder / "null.log").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        refused.push_back(folder / "null.log");
    }
    fs::create_symlink("folder.log", folder / "link-to-folder.log");
    refused.push_back(folder / "link-to-folder.log");
    const auto before = entries(folder);
    for (const fs::path& path : refused) {
        try {
            writeFileAtomically(path.string(), "new");
            ADD_FAILURE() << path << " was written";
        } catch (const FileWriteError& error) {
            EXPECT_NE(error.description().find("Nothing was written."), std::string::npos)
                << error.description();
        }
        EXPECT_EQ(entries(folder), before) << path;
    }
    EXPECT_TRUE(fs::is_empty(folder / "folder.log"));
    EXPECT_TRUE(fs::is_fifo(folder / "pipe.log"));
}

TEST_F(SafeSaveTest, SaveFileIntoAFolderGoesToTheErrorPromptWithTheNameAsTyped) {
    data->log.DataBufferEmpty = false;
    data->log.Comment = "Track day";
    data->state.BaseCaption = "Base";
    const fs::path chosen = folder / "Pr\303\274fung.log";  // "Prüfung.log" in UTF-8
    fs::create_directories(chosen);
    prompts.answerFiles({chosen.string()});
    prompts.answerMessages({Answer::Abort});
    mnuSaveFile_Click(ctx);
    ASSERT_EQ(prompts.messages().size(), 1u);
    const ShownPrompt shown = prompts.messages()[0];
    EXPECT_EQ(shown.title, "Error");
    EXPECT_EQ(shown.buttons, Buttons::AbortRetryIgnore);
    EXPECT_EQ(shown.text, "The log file " + folder.string() +
                              "/Pr\374fung.log could not be saved: it is a folder, not a file. "
                              "Nothing was written.");
    EXPECT_TRUE(fs::is_empty(chosen));
    EXPECT_EQ(view.caption, "");
}

}  // namespace
}  // namespace velkor::test
