// The simulator: where the drive it records lies, its controller logic's own rules and faults,
// and its terminal. What the program sees of it end to end is proven by the link, download and
// live view tests.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sim/Protocol.h"
#include "sim/Simulator.h"

namespace velkor::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

TEST(GenerateDrive, LaysTheRingFromItsStartAcrossTheWrap) {
    const Fram plain = generateDrive(368, 7);
    const Fram wrapped = generateDrive(32756, 7);
    EXPECT_EQ(plain[35] | plain[36] << 8, 368);
    EXPECT_EQ(wrapped[35] | wrapped[36] << 8, 32756);
    // Sample 1 of the wrapped ring sits at 32756, sample 2 at 368, and both rings hold the same
    // drive.
    EXPECT_TRUE(std::equal(plain.begin() + 368, plain.begin() + 380, wrapped.begin() + 32756));
    EXPECT_TRUE(std::equal(plain.begin() + 380, plain.end(), wrapped.begin() + 368));
    EXPECT_TRUE(std::all_of(plain.begin(), plain.begin() + 35, [](auto b) { return b == 0; }));

    EXPECT_EQ(generateDrive(368, 7), plain);
    EXPECT_NE(generateDrive(368, 8), plain);
    for (int badStart : {356, 369, 32768}) {
        EXPECT_THROW(generateDrive(badStart), std::invalid_argument) << badStart;
    }
}

const SimClock::time_point Origin{};

Fram patternFram() {
    Fram fram{};
    for (std::size_t i = 0; i < fram.size(); ++i) {
        fram[i] = static_cast<std::uint8_t>((i * 7 + i / 256) & 0xFF);
    }
    return fram;
}

// Feeds the controller a command's bytes 2 ms apart, as the program sends them, and collects
// everything it answers.
struct Line {
    Protocol controller{patternFram(), makeEeprom(6, 26, 230), "Shift Light Controller V2.0", 1,
                        Origin};
    SimClock::time_point now = Origin + 1s;
    SimClock::duration lastDelay{};

    Bytes send(std::initializer_list<int> bytes) {
        Bytes out;
        for (int b : bytes) {
            now += 2ms;
            if (auto reply = controller.receive(static_cast<std::uint8_t>(b), now)) {
                out.insert(out.end(), reply->bytes.begin(), reply->bytes.end());
                lastDelay = reply->delay;
            }
        }
        return out;
    }
    void faults(void (*set)(Faults&)) {
        Faults f;
        set(f);
        controller.setFaults(f);
    }
};

TEST(Protocol, OnePointerServesEepromAndFramAndWraps) {
    Line line;
    const Fram& fram = line.controller.fram();
    EXPECT_EQ(line.send({20, 19, 0, 21, 30, 30}), (Bytes{Ack, 6, fram[20], fram[21]}));
    EXPECT_EQ(line.controller.pointer(), 22);

    line.send({20, 255, 1});  // 511, the EEPROM's last byte
    EXPECT_EQ(line.send({21}), Bytes{0});
    EXPECT_EQ(line.controller.pointer(), 0);

    // A block read across the end of the FRAM comes back round to address 0.
    line.send({20, 0xF8, 0x7F});  // 32760
    EXPECT_EQ(line.send({48, 64}).at(8), fram[0]);
}

TEST(Protocol, ParserDropsStrayBytesBrokenErasesAndCommandsLeftHalfSent) {
    Line line;
    EXPECT_TRUE(line.send({0, 1, 255, 17, 50}).empty());
    EXPECT_EQ(line.send({51}), Bytes{Ack});

    const Fram before = line.controller.fram();
    EXPECT_TRUE(line.send({49, 105, 52, 190, 59}).empty());
    EXPECT_TRUE(line.send({49, 105, 51}).empty());  // the stray byte is dropped with the rest
    line.send({49, 105});
    line.now += 200ms;
    EXPECT_TRUE(line.send({52, 191, 59}).empty());
    EXPECT_EQ(line.controller.eraseCount(), 0);

    EXPECT_TRUE(line.send({20, 5}).empty());
    line.now += 150ms;
    // The late byte is read as a new command (0: ignored), not as the address's high byte.
    EXPECT_TRUE(line.send({0}).empty());
    EXPECT_EQ(line.send({51}), Bytes{Ack});
    EXPECT_TRUE(line.send({48}).empty());
    line.now += 90ms;  // within the limit: still the block length
    EXPECT_EQ(line.send({4}).size(), 4u);

    // The whole sequence erases the ring and keeps the header.
    EXPECT_EQ(line.send({49, 105, 52, 191, 59}), Bytes{Ack});
    const Fram& after = line.controller.fram();
    EXPECT_TRUE(std::equal(after.begin(), after.begin() + 368, before.begin()));
    EXPECT_TRUE(std::all_of(after.begin() + 368, after.end(), [](auto b) { return b == 0; }));
}

TEST(ProtocolFaults, EachFaultChangesOnlyWhatItNames) {
    Line line;
    line.faults([](Faults& f) { f.wrongAck = true; });
    EXPECT_EQ(line.send({20, 19, 0}), Bytes{Nak});
    EXPECT_EQ(line.controller.pointer(), 0);  // refused: the pointer stays
    EXPECT_EQ(line.send({51, 49, 105, 52, 191, 59}), (Bytes{Nak, Nak}));
    EXPECT_EQ(line.controller.eraseCount(), 0);
    EXPECT_EQ(line.send({46}), Bytes{1});

    line.faults([](Faults& f) { f.replyLatency = 0.25; });
    EXPECT_EQ(line.send({46}), Bytes{1});
    EXPECT_EQ(line.lastDelay, 250ms);

    line.faults([](Faults& f) { f.eraseAckDelay = 4.0; });
    line.send({51});
    EXPECT_EQ(line.lastDelay, SimClock::duration{});
    EXPECT_EQ(line.send({49, 105, 52, 191, 59}), Bytes{Ack});
    EXPECT_EQ(line.lastDelay, 4s);

    line.faults([](Faults& f) { f.silent = true; });
    EXPECT_TRUE(line.send({16, 51, 46, 20, 0, 0, 48, 64}).empty());
}

TEST(SimulatorTerminal, AnswersThroughItsLinkAndRemovesTheLink) {
    const std::string folder = ::testing::TempDir() + "velkor-sim-" + std::to_string(::getpid());
    Config config;
    config.linkPath = folder + "/com9";
    {
        Simulator sim(config);
        EXPECT_EQ(std::filesystem::read_symlink(config.linkPath), sim.devicePath());
        sim.start();
        const int fd = ::open(config.linkPath.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        const std::uint8_t id = 16;
        EXPECT_EQ(::write(fd, &id, 1), 1);
        for (int i = 0; i < 500 && sim.received().empty(); ++i) {
            std::this_thread::sleep_for(10ms);
        }
        ::close(fd);
        ASSERT_EQ(sim.received().size(), 1u);
        EXPECT_EQ(sim.received()[0].value, 16);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(config.linkPath)));
    ::rmdir(folder.c_str());
}

}  // namespace
}  // namespace velkor::sim
