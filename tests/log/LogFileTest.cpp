// Saving and opening, through the menu operations with scripted prompts and real files in a
// temporary folder; and the safe save against what a disk can hold at the chosen name (a symbolic
// link, a file with its own permissions, a folder, a device) and against a save killed part-way.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "base/StopSignals.h"
#include "log/AtomicFile.h"
#include "log/DownloadArchive.h"
#include "log/LogFileOperations.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/Files.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

const std::string PrematureEnd =
    "Error - reached premature end-of-file. Some data may be missing or corrupted";
const std::string BadFirmware =
    "Error - invalid firmware ID. Unable to identify controller version.\r\n"
    "Some data may be incorrectly scaled.";

// Saves `text` over `target` in a child process that stops itself once it has written `bytes` or
// more, and kills it there with SIGKILL, as a crash or a power cut would stop the program. Returns
// false when it never got that far.
bool killSaveAfter(const fs::path& target, const std::string& text, std::size_t bytes) {
    const pid_t child = ::fork();
    if (child == 0) {
        // The child: no test assertions here, and _exit so that nothing of the test runs on.
        try {
            writeFileAtomically(target.string(), text, [bytes](std::size_t written) {
                if (written >= bytes) {
                    ::raise(SIGSTOP);
                }
            });
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    if (child <= 0 || ::waitpid(child, &status, WUNTRACED) != child || !WIFSTOPPED(status)) {
        return false;
    }
    ::kill(child, SIGKILL);
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
           WTERMSIG(status) == SIGKILL;
}

class LogFileTest : public ::testing::Test, protected AppFixture {
protected:
    LogFileTest() {
        folder = fs::temp_directory_path() /
                 ("velkor-logfile-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        restart();
    }
    ~LogFileTest() override { fs::remove_all(folder); }

    // A log as a download leaves it: a decoded drive with its header values.
    void download(float interval = 0.096f) {
        DataLog& log = data->log;
        loadDrive(log, sim::generateDrive(368 + 12 * 77, 3), interval);
        log.FirmwareID = "Shift Light Controller V2.0";
        log.ControllerType = "Shift Light";
        log.DownloadDate = "06/12/2026 20:15:00";
    }

    void save(const fs::path& path) {
        prompts.answerFiles({path.string()});
        mnuSaveFile_Click(ctx);
    }

    void open(const fs::path& path) {
        prompts.answerFiles({path.string()});
        mnuOpenFile_Click(ctx);
    }

    // Leaves the log, and the prompts, as a fresh start does.
    void restart() {
        prompts = ScriptedPrompts();
        *data = std::move(*std::make_unique<AppData>());
        data->branding.InfoLines = {"Acme"};
        data->state.BaseCaption = "Base";
    }

    // What a folder holds, links not followed: a save leaves no temporary file behind.
    static std::vector<std::string> entries(const fs::path& in) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(in)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
};

TEST_F(LogFileTest, SavedFileHasTheExactLayoutAndReadsBackToTheSameBytes) {
    download(0.1f);
    data->log.Comment = "Caf\xE9, run 2";   // Latin-1, and a comma
    data->prefs.Input2Legend = "\xB0\x43";  // degrees C
    data->prefs.Input2Type = "Scaled Analog";
    data->prefs.MaxInput2ScaledValue = 150.5f;
    const std::string name = std::string(57, 'n') + ".log";  // 61 characters
    save(folder / name);
    EXPECT_TRUE(prompts.shown().size() == 1u);  // only the dialog: there was a comment
    EXPECT_EQ(view.caption, "Base - ..." + name.substr(1));
    EXPECT_EQ(fs::directory_iterator(folder)->path().filename(), name);  // no leftovers
    const std::string first = slurp(folder / name);
    std::vector<std::string> all;
    std::istringstream in(first);
    for (std::string line; std::getline(in, line);) {
        all.push_back(line);
    }
    ASSERT_EQ(all.size(), 2716u);
    EXPECT_EQ(std::count(first.begin(), first.end(), '\r'), 2716);  // CR LF everywhere
    for (const auto& [line, text] : std::vector<std::pair<int, std::string>>{
             {0, "\"Data Logging Interval\",0.1"},
             {1, "\"Maximum RPM Display\",10000"},
             {3, "\"VSS Units\",\"MPH\""},
             {8, "\"Maximum Input 2 Volts\",5"},
             {11, "\"Input 2 Legend\",\"\xB0\x43\""},
             {12,
              "\"Elapsed Time\",\"RPM\",\"VSS\",\"TPS%\",\"Input1 Volts\",\"Input2 Volts\","
              "\"Bat Volts\",\"Input Data\",\"Output Data\",\"Status\",\"Reserved\""},
             {2713, "\"Firmware ID\",\"Shift Light Controller V2.0\""},
             {2714, "\"Acme Shift Light Controller Data Downloaded\",\"06/12/2026 20:15:00\""},
             {2715, "\"Comment\",\"Caf\xE9, run 2\""}}) {
        EXPECT_EQ(all.at(line), text + "\r");
    }
    EXPECT_EQ(all[13].substr(0, 4) + all[2712].substr(0, 4), "0.1,270,");

    DataLog downloaded = data->log;
    restart();
    open(folder / name);
    // Seven significant digits hold every value exactly but the speeds; the times need no repair.
    downloaded.VSSData = data->log.VSSData;
    expectSameSamples(data->log, downloaded);
    EXPECT_EQ(data->log.FirmwareID, downloaded.FirmwareID);
    EXPECT_EQ(data->log.ControllerType + ", " + data->prefs.Input2Type,
              "Shift Light, Scaled Analog");
    // The comma belongs to the quoted comment.
    EXPECT_EQ(data->log.Comment, "Caf\xE9, run 2");
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{});
    EXPECT_TRUE(!data->log.DataBufferEmpty && view.chartsShown == 1);

    // An opened file's own settings are what the next save writes, never stored preferences.
    save(folder / "b.log");
    EXPECT_EQ(slurp(folder / "b.log"), first);
    EXPECT_EQ(store.values.count(Key::Input2Type) + store.values.count(Key::VSSUnits), 0u);
}

TEST_F(LogFileTest, SavingRefusedOrStoppedLeavesTheOldFile) {
    download();
    data->log.Comment = "c";
    const fs::path path = folder / "keep.log";
    spit(path, "old contents");

    // Cancel at the overwrite question reaches the error prompt; Ignore writes nothing.
    prompts.answerFiles({path.string()});
    prompts.answerMessages({Answer::Cancel, Answer::Ignore});
    mnuSaveFile_Click(ctx);
    EXPECT_EQ(prompts.messageTexts()[0], path.string() +
                                             "\r\nThis file already exists.\r\n\r\n"
                                             "Replace existing file?");
    EXPECT_EQ(prompts.messages()[1].text, "Canceled File Save");
    EXPECT_EQ(prompts.messages()[1].title, "Error");
    EXPECT_EQ(slurp(path), "old contents");

    // Esc while the samples are written.
    prompts.onYield = [&] { requestAbort(data->state); };
    prompts.answerFiles({path.string()});
    prompts.answerMessages({Answer::Yes});
    EXPECT_TRUE(mnuSaveFile_Click(ctx).isCancelled());
    EXPECT_FALSE(data->state.AbortRequested);
    EXPECT_EQ(slurp(path), "old contents");

    // No as an answer shows the dialog again; a dismissed dialog writes nothing.
    prompts.answerFiles({path.string(), std::nullopt});
    prompts.answerMessages({Answer::No});
    mnuSaveFile_Click(ctx);
    EXPECT_EQ(slurp(path), "old contents");

    restart();
    prompts.answerMessages({Answer::Ok});
    mnuSaveFile_Click(ctx);
    ASSERT_EQ(prompts.messageTexts(), std::vector<std::string>{"Data buffer empty."});
    EXPECT_EQ(prompts.shown().back().title, "Save Log File");
}

// A log file's text: the header with the given interval, `samples` sample lines, and optionally
// the trailer.
std::string logText(const std::string& interval, const std::vector<std::string>& samples,
                    bool trailer, const std::string& end = "\r\n") {
    std::string text = "\"Data Logging Interval\"," + interval + end;
    for (int i = 2; i <= 12; ++i) {
        text += "\"Label\",\"v\"" + end;
    }
    text +=
        "\"Elapsed Time\",\"RPM\",\"VSS\",\"TPS%\",\"Input1 Volts\",\"Input2 Volts\","
        "\"Bat Volts\",\"Input Data\",\"Output Data\",\"Status\",\"Reserved\"" +
        end;
    for (const auto& line : samples) {
        text += line + end;
    }
    if (trailer) {
        text += "\"Firmware ID\",\"my shift light\"" + end;
        text += "\"Acme Shift Light Controller Data Downloaded\",\"today\"" + end;
        text += "\"Comment\",\"  spaced  \"" + end;
    }
    return text;
}

std::vector<std::string> fullSamples() {
    return std::vector<std::string>(2700, "1,2,3,4,5,6,7,8,9,10,11");
}

TEST_F(LogFileTest, ReadingPiecesNumbersAndLineEnds) {
    auto samples = fullSamples();
    samples[0] = "0.1,2,3,150,5,6,7,8,9,10,11";
    samples[1] = ".2,2,3,-5,5,6,7,8,9,10,11";
    samples[2] = "0.3,2,3,4,5,6,7,8,9,10";        // 10 pieces: skipped
    samples[3] = "0.4,2,3,4,5,6,7,8,9,10,11,12";  // 12 pieces: skipped
    samples[5] = "1.7,2,3,4,5,6,7,8,9,10,11";     // equal to the one before
    for (const std::string end : {"\r\n", "\n"}) {
        restart();
        spit(folder / "x.log", logText(".5", samples, true, end));
        open(folder / "x.log");
        const DataLog& log = data->log;
        SCOPED_TRACE(end == "\n" ? "LF" : "CR LF");
        EXPECT_FLOAT_EQ(log.DataLogInterval, 0.5f);
        // Times that do not rise (0, 0, 1, 1.7) are raised to the previous plus the interval.
        const float times[] = {0.1f, 0.2f, 0.7f, 1.2f, 1.7f, 2.2f};
        for (int i = 1; i <= 6; ++i) {
            EXPECT_FLOAT_EQ(log.ElapsedTime.at(i), times[i - 1]) << i;
        }
        EXPECT_EQ((std::vector<float>{log.TPSData.at(1), log.TPSData.at(2), log.RPMData.at(3),
                                      log.RPMData.at(4), log.RPMData.at(5)}),
                  (std::vector<float>{100, 0, 0, 0, 2}));
        EXPECT_EQ(log.FirmwareID + "|" + log.ControllerType + "|" + log.DownloadDate + "|" +
                      log.Comment + "|" + data->prefs.VSSUnits,
                  "my shift light|Shift Light|today|spaced|v");
        EXPECT_TRUE(prompts.messageTexts().empty());
    }
}

TEST_F(LogFileTest, ADamagedOrCutFieldIsSaidOnceAfterTheFilesOtherMessages) {
    std::string text = logText("0", fullSamples(), true);
    text.replace(text.find("\"v\"\r\n\"Elapsed"), 3, "\"" + std::string(300, 'L') + "\"");
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    spit(folder / "d.log", text);
    open(folder / "d.log");
    EXPECT_EQ(prompts.messageTexts(),
              (std::vector<std::string>{
                  "Line 1 of the file holds a logging interval that is not above 0 s and at most "
                  "4.08 s and was passed over.",
                  "Texts longer than Velkor keeps were cut to their limit: the Input 2 legend (20 "
                  "characters)."}));
    EXPECT_TRUE(!data->log.DataBufferEmpty && view.chartsShown == 1);
}

TEST_F(LogFileTest, FilesThatEndEarly) {
    // Inside the header: no data, so nothing is replaced.
    spit(folder / "h.log", "\"Data Logging Interval\",2\r\n\"Maximum RPM Display\",8000\r\n");
    prompts.answerMessages({Answer::Ok});
    open(folder / "h.log");
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Error - reached premature end-of-file. No data found"});
    EXPECT_EQ(prompts.messages()[0].title, "Open Log File");
    EXPECT_EQ(prompts.messages()[0].icon, Icon::Exclamation);
    // A file with no data replaces nothing: neither the log nor the display settings.
    EXPECT_TRUE(data->log.DataBufferEmpty && view.chartsShown == 0);
    EXPECT_FLOAT_EQ(data->prefs.TachMax, 10000);

    // Only the header, right after start: zero samples at 0, D, 2D, ...
    restart();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    spit(folder / "only.log", logText("0.25", {}, false));
    open(folder / "only.log");
    EXPECT_EQ(prompts.messageTexts(), (std::vector<std::string>{PrematureEnd, BadFirmware}));
    EXPECT_TRUE(!data->log.DataBufferEmpty && view.chartsShown == 1);
    const SampleColumn& times = data->log.ElapsedTime;
    EXPECT_EQ((std::vector<float>{times.at(1), times.at(2), times.at(2700)}),
              (std::vector<float>{0, 0.25f, 674.75f}));
    EXPECT_EQ(data->log.ControllerType, "Unknown");

    // Inside the trailer: the trailer values are emptied.
    restart();
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    spit(folder / "t.log",
         logText("1", fullSamples(), false) + "\"Firmware ID\",\"Shift Light\"\r\n");
    open(folder / "t.log");
    EXPECT_EQ(prompts.messageTexts(), (std::vector<std::string>{PrematureEnd, BadFirmware}));
    EXPECT_EQ(data->log.FirmwareID, "");
    EXPECT_FLOAT_EQ(data->log.RPMData.at(2700), 2.0f);
}

TEST_F(LogFileTest, OpeningOverALogAndDeclinedFiles) {
    download();
    const DataLog before = data->log;
    prompts.answerMessages({Answer::Cancel});
    mnuOpenFile_Click(ctx);
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Data buffer not empty. OK to overwrite?"});
    EXPECT_EQ(prompts.shown()[0].icon, Icon::None);
    EXPECT_EQ(data->log.RPMData, before.RPMData);

    // A missing file: Retry shows the dialog again; Cancel goes to the error prompt.
    prompts.answerMessages({Answer::Ok, Answer::Retry, Answer::Cancel, Answer::Ignore});
    prompts.answerFiles({(folder / "nope.log").string(), (folder / "nope.log").string()});
    mnuOpenFile_Click(ctx);
    const auto texts = prompts.messageTexts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[2], (folder / "nope.log").string() + "\r\nFile not found.");
    EXPECT_TRUE(prompts.messages()[2].buttons == Buttons::RetryCancel &&
                prompts.messages()[2].title == "File Open");
    EXPECT_EQ(texts[4], "Canceled File Open");
    // The log in memory stays until a file has been read to replace it.
    EXPECT_TRUE(data->log.RPMData == before.RPMData && view.chartsShown == 0);
}

TEST_F(LogFileTest, ThroughASymbolicLinkTheTargetIsReplacedKeepingItsPermissionsAndTheLinkStays) {
    fs::create_directories(folder / "real");
    const fs::path target = folder / "real" / "drive.log";
    spit(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    fs::create_symlink("real/drive.log", folder / "link.log");
    fs::create_symlink("link.log", folder / "link-to-link.log");
    writeFileAtomically((folder / "link-to-link.log").string(), "new");
    EXPECT_TRUE(fs::is_symlink(folder / "link.log") && fs::is_symlink(folder / "link-to-link.log"));
    EXPECT_EQ(slurp(target), "new");
    EXPECT_EQ(entries(folder), (std::vector<std::string>{"link-to-link.log", "link.log", "real"}));
    EXPECT_EQ(entries(folder / "real"), std::vector<std::string>{"drive.log"});
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_gid, before.st_gid);

    // A link to a file not made yet makes it, in the link target's folder.
    fs::create_symlink(folder / "real" / "later.log", folder / "later.log");
    writeFileAtomically((folder / "later.log").string(), "first");
    EXPECT_TRUE(fs::is_symlink(folder / "later.log"));
    EXPECT_EQ(slurp(folder / "real" / "later.log"), "first");
}

// A safe save renames over whatever is at the name; it refuses what an editor's safe save refuses.
// Who may write a file is read from its mode bits and owner, as the tests run as root.
TEST_F(LogFileTest, AFolderADeviceAReadOnlyOrAnotherUsersFileIsRefusedWithTheReason) {
    fs::create_directories(folder / "folder.log");
    ASSERT_EQ(::mkfifo((folder / "pipe.log").c_str(), 0600), 0);
    const std::string Folder = "it is a folder, not a file";
    const std::string Special = "it is a device or another special file, not an ordinary file";
    const std::string ReadOnly = "it is write-protected (read-only)";
    std::vector<std::pair<fs::path, std::string>> refused = {
        {folder / "folder.log", Folder},
        {folder / "pipe.log", Special},
        {folder / "read-only.log", ReadOnly},
        {folder / "link-to-folder.log", Folder},
        {folder / "link-to-read-only.log", ReadOnly}};
    spit(folder / "read-only.log", "old");
    ASSERT_EQ(::chmod((folder / "read-only.log").c_str(), 0444), 0);
    fs::create_symlink("folder.log", folder / "link-to-folder.log");
    fs::create_symlink("read-only.log", folder / "link-to-read-only.log");
    // The null device's twin and a file given away, where the process may (as root it may).
    if (::mknod((folder / "null.log").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        refused.emplace_back(folder / "null.log", Special);
    }
    spit(folder / "theirs.log", "old");
    if (::chown((folder / "theirs.log").c_str(), ::geteuid() + 4242, static_cast<gid_t>(-1)) == 0) {
        refused.emplace_back(folder / "theirs.log", "it belongs to another user");
    }
    const auto before = entries(folder);
    for (const auto& [path, reason] : refused) {
        try {
            writeFileAtomically(path.string(), "new");
            ADD_FAILURE() << path << " was written";
        } catch (const FileWriteError& error) {
            EXPECT_EQ(error.reason(), reason) << path;
            EXPECT_NE(error.description().find("Nothing was written."), std::string::npos)
                << error.description();
        }
        EXPECT_EQ(entries(folder), before) << path;
    }
    EXPECT_TRUE(fs::is_empty(folder / "folder.log") && fs::is_fifo(folder / "pipe.log"));
    EXPECT_EQ(slurp(folder / "read-only.log") + slurp(folder / "theirs.log"), "oldold");
    EXPECT_EQ(fs::status(folder / "read-only.log").permissions(), fs::perms(0444));
}

TEST_F(LogFileTest, SaveFileIntoAFolderGoesToTheErrorPromptWithTheNameAsTyped) {
    data->log.DataBufferEmpty = false;
    data->log.Comment = "Track day";
    const fs::path chosen = folder / "Pr\303\274fung.log";  // "Prüfung.log" in UTF-8
    fs::create_directories(chosen);
    prompts.answerFiles({chosen.string()});
    prompts.answerMessages({Answer::Abort});
    mnuSaveFile_Click(ctx);
    const auto boxes = prompts.messages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].title == "Error" && boxes[0].buttons == Buttons::AbortRetryIgnore);
    EXPECT_EQ(boxes[0].text, "The log file " + folder.string() +
                                 "/Pr\374fung.log could not be saved: it is a folder, not a file. "
                                 "Nothing was written.");
    EXPECT_TRUE(fs::is_empty(chosen) && view.caption.empty());
}

TEST_F(LogFileTest, ASaveKilledAfterItsFirstChunkOrItsLastLeavesTheOldFile) {
    const fs::path target = folder / "drive.log";
    spit(target, "old");
    // Several megabytes, so that the writer goes through many chunks before its rename.
    const std::string text = std::string(5 << 20, 'n');
    for (const std::size_t bytes : {std::size_t{1}, text.size()}) {
        ASSERT_TRUE(killSaveAfter(target, text, bytes)) << bytes;
        EXPECT_EQ(slurp(target), "old") << bytes;
    }
    // What the killed writer left beside the target does not stand in the way of the next save.
    writeFileAtomically(target.string(), "new");
    EXPECT_EQ(slurp(target), "new");
}

// SIGTERM at log-out, SIGHUP from a closed terminal, Ctrl-C: a save in progress gives up its
// temporary file, the old file stays, and the program ends with 128 plus the signal's number.
TEST_F(LogFileTest, ASignalToStopMidSaveRemovesTheTemporaryFileAndKeepsTheOldOne) {
    const fs::path target = folder / "drive.log";
    spit(target, "old");
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        const pid_t child = ::fork();
        if (child == 0) {
            catchStopSignals();
            try {
                writeFileAtomically(target.string(), std::string(1 << 20, 'n'),
                                    [signal](std::size_t) { ::raise(signal); });
            } catch (const FileWriteError&) {
                ::_exit(stopStatus(stopSignal()));
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << signal;
        EXPECT_EQ(entries(folder), std::vector<std::string>{"drive.log"}) << signal;
        EXPECT_EQ(slurp(target), "old");
    }
}

// Downloads kept by two programs at the same second: each takes a name of its own, none is lost.
TEST_F(LogFileTest, ArchiveWritersAtTheSameSecondNeverTakeTheSameName) {
    const LocalDateTime when{2026, 12, 7, 14, 3, 22};
    constexpr int Writers = 4;
    constexpr int Each = 25;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = ::fork();
        if (child == 0) {
            try {
                for (int copy = 0; copy < Each; ++copy) {
                    writeArchiveFile(folder.string(), when,
                                     std::to_string(writer) + "/" + std::to_string(copy));
                }
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::set<std::string> kept;
    for (const std::string& name : entries(folder)) {
        kept.insert(slurp(folder / name));
    }
    EXPECT_EQ(entries(folder).size(), std::size_t{Writers * Each});
    EXPECT_EQ(kept.size(), std::size_t{Writers * Each});
}

}  // namespace
}  // namespace velkor::test
