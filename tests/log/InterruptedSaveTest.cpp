// A save killed part-way: a child process replaces a file and is killed with SIGKILL while it
// writes, as a crash or a power cut would stop the program. The file on disk must still be the
// old one, byte for byte.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "log/AtomicFile.h"
#include "support/Files.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

class InterruptedSave : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("velkor-interrupted-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = folder / "drive.log";
        std::ofstream(target, std::ios::binary) << oldText;
    }
    void TearDown() override { fs::remove_all(folder); }

    // Saves newText in a child process that reports and then stops for good once it has written
    // `bytes` or more; kills it there. Returns false when it never got that far.
    bool killSaveAfter(std::size_t bytes) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) {
            return false;
        }
        const pid_t child = ::fork();
        if (child == 0) {
            // The child: no test assertions here, and _exit so that nothing of the test runs on.
            ::close(pipeEnds[0]);
            const int report = pipeEnds[1];
            try {
                writeFileAtomically(target.string(), newText, [&](std::size_t written) {
                    if (written >= bytes) {
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
    const std::string oldText = std::string(100000, 'o') + "\r\n";
    // Several megabytes, so that the writer goes through many chunks before its rename.
    const std::string newText = std::string(5 << 20, 'n') + "\r\n";
};

TEST_F(InterruptedSave, KilledAfterTheFirstChunkLeavesTheOldFile) {
    ASSERT_TRUE(killSaveAfter(1));
    EXPECT_EQ(slurp(target), oldText);
    // What the killed writer left beside the target does not stand in the way of the next save.
    writeFileAtomically(target.string(), "new");
    EXPECT_EQ(slurp(target), "new");
}

TEST_F(InterruptedSave, KilledWithEveryByteWrittenButNotYetInPlaceLeavesTheOldFile) {
    ASSERT_TRUE(killSaveAfter(newText.size()));
    EXPECT_EQ(slurp(target), oldText);
}

}  // namespace
}  // namespace velkor::test
