#include "sim/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
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
    ~Port() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    bool isOpen() const { return m_fd >= 0; }

    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(m_fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Up to `count` bytes, or fewer when `limit` passes first.
    Bytes read(std::size_t count, std::chrono::milliseconds limit = 500ms) {
        Bytes out;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (out.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd fd{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count()) + 1) <= 0) {
                break;
            }
            std::uint8_t buffer[256];
            const ssize_t n = ::read(m_fd, buffer, std::min(sizeof buffer, count - out.size()));
            if (n <= 0) {
                break;
            }
            out.insert(out.end(), buffer, buffer + n);
        }
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

TEST(SimulatorTerminal, AnswersThroughThePseudoTerminalAndLogsWhatItHears) {
    const std::string folder = ::testing::TempDir() + "velkor-sim-" + std::to_string(::getpid());
    Config config = plainConfig();
    config.linkPath = folder + "/ports/com9";
    config.logPath = folder + "/received.log";
    std::string device;
    {
        Simulator sim(config);
        device = sim.devicePath();
        char target[256] = {};
        ASSERT_GT(::readlink(config.linkPath.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(device, target);
        sim.start();

        {
            Port port(config.linkPath);
            ASSERT_TRUE(port.isOpen());
            port.send({16});
            const std::string id = "Shift Light Controller V2.0\r";
            EXPECT_EQ(port.read(id.size()), Bytes(id.begin(), id.end()));
            port.send({20, 19, 0});
            EXPECT_EQ(port.read(1), Bytes{6});
            port.send({21});
            EXPECT_EQ(port.read(1), Bytes{6});
        }
        // The program's port closed and opened again: the terminal has not hung up.
        Port again(device);
        sim.setFirmwareId("X");
        again.send({16});
        EXPECT_EQ(again.read(2), (Bytes{'X', 13}));

        Faults faults;
        faults.silent = true;
        sim.setFaults(faults);
        again.send({51});
        EXPECT_TRUE(again.read(1, 50ms).empty());

        const auto heard = sim.received();
        ASSERT_EQ(heard.size(), 7u);
        EXPECT_EQ(heard[1].value, 20);
        EXPECT_EQ(heard[6].value, 51);
        EXPECT_LE(heard[0].time, heard[6].time);
        sim.clearReceived();
        EXPECT_TRUE(sim.received().empty());
        sim.stop();
    }
    struct stat info {};
    EXPECT_NE(::lstat(config.linkPath.c_str(), &info), 0);  // the link went with the simulator

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
    EXPECT_EQ(sim.blocksServed(), 1);
}

}  // namespace
}  // namespace velkor::sim
