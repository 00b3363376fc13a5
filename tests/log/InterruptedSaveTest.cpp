// A save killed part-way: a child process replaces a log file and is killed with SIGKILL while it
// writes, as a crash or a power cut would stop the program. The file on disk must still be the
// old log, byte for byte.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/Preferences.h"
#include "log/AtomicFile.h"
#include "log/FramDecode.h"
#include "log/LogFile.h"
#include "sim/Simulator.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

// The text of a complete log file of a simulated drive.
std::string driveLogText(unsigned seed) {
    auto log = std::make_unique<DataLog>();
    log->FRAMBuffer = sim::generateDrive(368, seed);
    log->TPSMin = 26;
    log->TPSMax = 230;
    if (DecodeFRAMImage(*log)) {
        return "";
    }
    log->DataLogInterval = 0.096f;
    BuildElapsedTime(*log);
    log->FirmwareID = "Shift Light Controller V2.0";
    log->ControllerType = "Shift Light";
    log->DownloadDate = "06/12/2026 20:15:00";

    std::string text;
    const auto append = [&text](const std::string& line) { text += line + LogFileLineEnd; };
    for (const std::string& line : logFileHeader(*log, Preferences{})) {
        append(line);
    }
    for (int sample = 1; sample <= SampleCount; ++sample) {
        append(logFileSample(*log, sample));
    }
    for (const std::string& line : logFileTrailer(*log, "Acme")) {
        append(line);
    }
    append(logFileComment("seed " + std::to_string(seed)));
    return text;
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class InterruptedSave : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("velkor-interrupted-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = folder / "drive.log";
        oldText = driveLogText(1);
        ASSERT_GT(oldText.size(), 100000u);
        std::ofstream(target, std::ios::binary) << oldText;
        // Several megabytes, so that the writer goes through many chunks before its rename.
        const std::string drive = driveLogText(2);
        for (int copy = 0; copy < 30; ++copy) {
            newText += drive;
        }
    }
    void TearDown() override { fs::remove_all(folder); }

    // Saves newText in a child process that reports and then stops for good once `stopAt` says
    // so of the bytes written; kills it there. Returns false when it never got that far.
    bool killSaveWhen(bool (*stopAt)(std::size_t written, std::size_t total)) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            return false;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            // The child: no test assertions here, and _exit so that nothing of the test runs on.
            ::close(pipeEnds[0]);
            const int report = pipeEnds[1];
            const std::size_t total = newText.size();
            try {
                writeFileAtomically(target.string(), newText, [&](std::size_t written) {
                    if (stopAt(written, total)) {
                        const char stopped = 's';
                        (void)!::write(report, &stopped, 1);
                        for (;;) {
                            ::pause();
                        }
                    }
                });
            } catch (...) {
                ::_exit(2);
            }
            ::_exit(1);  // the save went through unstopped
        }
        ::close(pipeEnds[1]);
        if (child < 0) {
            ::close(pipeEnds[0]);
            return false;
        }
        pollfd report{pipeEnds[0], POLLIN, 0};
        char stopped = 0;
        const bool reached =
            ::poll(&report, 1, 20000) == 1 && ::read(pipeEnds[0], &stopped, 1) == 1;
        ::close(pipeEnds[0]);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        return reached && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    fs::path folder;
    fs::path target;
    std::string oldText;
    std::string newText;
};

TEST_F(InterruptedSave, KilledAfterTheFirstChunkLeavesTheOldFile) {
    ASSERT_TRUE(killSaveWhen([](std::size_t, std::size_t) { return true; }));
    EXPECT_EQ(slurp(target), oldText);
}

TEST_F(InterruptedSave, KilledWithEveryByteWrittenButNotYetInPlaceLeavesTheOldFile) {
    ASSERT_TRUE(
        killSaveWhen([](std::size_t written, std::size_t total) { return written == total; }));
    EXPECT_EQ(slurp(target), oldText);
}

TEST_F(InterruptedSave, SaveAfterAKilledOneReplacesTheFileWhole) {
    ASSERT_TRUE(killSaveWhen([](std::size_t, std::size_t) { return true; }));
    // Whatever the killed writer left beside the target does not stand in the way.
    writeFileAtomically(target.string(), newText);
    EXPECT_EQ(slurp(target), newText);
    writeFileAtomically(target.string(), oldText);
    EXPECT_EQ(slurp(target), oldText);
    int leftovers = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        leftovers += entry.path() != target;
    }
    EXPECT_LE(leftovers, 1) << "only the killed writer's temporary may remain";
}

}  // namespace
}  // namespace velkor::test
