// The simulator's terminal seen through plain POSIX calls. Its use by the real serial port, its
// faults, its record of received bytes and a port closed and opened again are proven by the link
// and download tests.

#include "sim/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace velkor::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// The program's end of the line, opened the plain POSIX way.
class Port {
public:
    explicit Port(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios t{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Port() { ::close(m_fd); }

    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Up to `count` bytes, or fewer when half a second passes first.
    Bytes read(std::size_t count) {
        Bytes out(count);
        std::size_t got = 0;
        const auto deadline = std::chrono::steady_clock::now() + 500ms;
        pollfd fd{m_fd, POLLIN, 0};
        while (got < count && std::chrono::steady_clock::now() < deadline &&
               ::poll(&fd, 1, 50) >= 0) {
            const ssize_t n = (fd.revents & POLLIN) ? ::read(m_fd, &out[got], count - got) : 0;
            got += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        out.resize(got);
        return out;
    }

private:
    int m_fd;
};

Config plainConfig() {
    Config config;
    config.fram = generateDrive(368, 3);
    config.eeprom = makeEeprom(6, 26, 230);
    return config;
}

TEST(SimulatorTerminal, AnswersThroughItsLinkLogsWhatItHearsAndRemovesTheLink) {
    const std::string folder = ::testing::TempDir() + "velkor-sim-" + std::to_string(::getpid());
    Config config = plainConfig();
    config.linkPath = folder + "/ports/com9";
    config.logPath = folder + "/received.log";
    {
        Simulator sim(config);
        char target[256] = {};
        ASSERT_GT(::readlink(config.linkPath.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(sim.devicePath(), target);
        sim.start();
        sim.setFirmwareId("X");
        Port port(config.linkPath);
        port.send({16});
        EXPECT_EQ(port.read(3), (Bytes{'X', 13}));
        sim.stop();
    }
    struct stat info {};
    EXPECT_NE(::lstat(config.linkPath.c_str(), &info), 0);

    std::ifstream log(config.logPath);
    double seconds = -1.0;
    int byte = -1;
    ASSERT_TRUE(log >> seconds >> byte);
    EXPECT_GE(seconds, 0.0);
    EXPECT_EQ(byte, 16);
    std::remove(config.logPath.c_str());
    ::rmdir((folder + "/ports").c_str());
    ::rmdir(folder.c_str());
}

TEST(SimulatorTerminal, PacedRepliesTakeTheLineTime) {
    Config config = plainConfig();
    config.paced = true;
    Simulator sim(config);
    sim.start();
    Port port(sim.devicePath());
    port.send({20, 0, 0});
    ASSERT_EQ(port.read(1), Bytes{6});

    // The block length's own byte time and 64 reply bytes at 10 bits each, 56000 bit/s.
    const auto lineTime = std::chrono::microseconds(65 * 10 * 1000000 / 56000);
    port.send({48});
    std::this_thread::sleep_for(2ms);
    const auto sent = std::chrono::steady_clock::now();
    port.send({64});
    const Bytes block = port.read(64);
    const auto took = std::chrono::steady_clock::now() - sent;
    EXPECT_EQ(block, Bytes(config.fram.begin(), config.fram.begin() + 64));
    EXPECT_GE(took, lineTime * 95 / 100);
}

}  // namespace
}  // namespace velkor::sim
