// The controller logic's own rules. What the program sees of it end to end (every command's
// answer, the whole FRAM copy, the armed state, live values that move) is proven by the link,
// download and live view tests.

#include "sim/Protocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <vector>

namespace velkor::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

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
    const Bytes block = line.send({48, 64});
    ASSERT_EQ(block.size(), 64u);
    EXPECT_EQ(block[7], fram[32767]);
    EXPECT_EQ(block[8], fram[0]);
    EXPECT_EQ(line.controller.pointer(), 56);
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

    line.faults([](Faults& f) {
        f.halfReply = true;
        f.strayBytes = 2;
        f.replyLatency = 0.25;
    });
    const Bytes rpm = line.send({39});  // the first byte of the engine speed is its low byte
    EXPECT_EQ(rpm, (Bytes{std::uint8_t(line.controller.liveValues(line.now).rpm & 0xFF), StrayByte,
                          StrayByte}));
    EXPECT_EQ(line.send({46}), (Bytes{1, StrayByte, StrayByte}));
    EXPECT_EQ(line.lastDelay, 250ms);

    line.faults([](Faults& f) { f.eraseAckDelay = 4.0; });
    line.send({51});
    EXPECT_EQ(line.lastDelay, SimClock::duration{});
    EXPECT_EQ(line.send({49, 105, 52, 191, 59}), Bytes{Ack});
    EXPECT_EQ(line.lastDelay, 4s);

    line.faults([](Faults& f) { f.silent = true; });
    EXPECT_TRUE(line.send({16, 51, 46, 20, 0, 0, 48, 64}).empty());
}

TEST(ProtocolFaults, NoiseTurnsSomeReplyBytesIntoZerosAndNeverChangesALength) {
    const auto run = [] {
        Line line;
        line.faults([](Faults& f) { f.noiseOneIn = 4; });
        Bytes replies;
        for (int i = 0; i < 200; ++i) {
            const Bytes block = line.send({20, 0, 0, 48, 64});
            EXPECT_EQ(block.size(), 65u);
            replies.insert(replies.end(), block.begin(), block.end());
        }
        return replies;
    };
    const Bytes first = run();
    const Fram fram = patternFram();
    long damaged = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const std::uint8_t sent = i % 65 == 0 ? Ack : fram[i % 65 - 1];
        damaged += first[i] != sent;
        EXPECT_TRUE(first[i] == sent || first[i] == 0) << i;
    }
    EXPECT_NEAR(double(damaged) / double(first.size()), 0.25, 0.05);
    EXPECT_EQ(run(), first);  // the same faults damage the same bytes
}

TEST(ProtocolFaults, StallsLastUntilTheFaultsChange) {
    Line line;
    const auto stall = [](Faults& f) {
        f.stopAfterBlocks = 2;
        f.resyncIgnored = 2;
    };
    line.faults(stall);
    EXPECT_TRUE(line.send({51, 51}).empty());
    EXPECT_EQ(line.send({51}), Bytes{Ack});

    line.send({20, 0, 0});
    EXPECT_EQ(line.send({48, 64, 48, 64}).size(), 128u);
    EXPECT_TRUE(line.send({48, 64, 48, 64}).empty());
    EXPECT_EQ(line.controller.pointer(), 128);  // unanswered reads do not move the pointer

    line.faults(stall);  // the counts start again
    EXPECT_EQ(line.send({48, 64}).size(), 64u);
    EXPECT_TRUE(line.send({51}).empty());
    EXPECT_EQ(line.controller.blocksServed(), 3);
}

}  // namespace
}  // namespace velkor::sim
