#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "sim/Protocol.h"
#include "sim/Simulator.h"

namespace velkor::sim {
namespace {

struct Record {
    int rpm, speed, tps, input1, input2, battery, inputs, outputs, state;
};

// Reads the ring back in sample order, the way the program decodes it.
std::vector<Record> samples(const Fram& fram) {
    const int start = fram[35] | fram[36] << 8;
    std::vector<Record> out;
    for (int k = 0; k < 2700; ++k) {
        int a = start + 12 * k;
        if (a > 32756) {
            a -= 32400;
        }
        const auto* r = fram.data() + a;
        out.push_back(
            {r[0] | r[1] << 8, r[2] | r[3] << 8, r[4], r[5], r[6], r[7], r[8], r[9], r[10]});
    }
    return out;
}

TEST(GenerateDrive, LaysTheRingFromItsStartAcrossTheWrap) {
    const Fram plain = generateDrive(368, 7);
    const Fram wrapped = generateDrive(32756, 7);
    EXPECT_EQ(plain[35], 368 & 0xFF);
    EXPECT_EQ(plain[36], 368 >> 8);
    EXPECT_EQ(wrapped[35], 32756 & 0xFF);
    EXPECT_EQ(wrapped[36], 32756 >> 8);
    // Sample 1 of the wrapped ring sits at 32756, sample 2 at 368, and both rings hold the same
    // drive.
    EXPECT_TRUE(std::equal(plain.begin() + 368, plain.begin() + 380, wrapped.begin() + 32756));
    EXPECT_TRUE(std::equal(plain.begin() + 380, plain.end(), wrapped.begin() + 368));
    EXPECT_TRUE(std::all_of(plain.begin(), plain.begin() + 35, [](auto b) { return b == 0; }));

    EXPECT_EQ(generateDrive(368, 7), plain);
    EXPECT_NE(generateDrive(368, 8), plain);

    EXPECT_THROW(generateDrive(356), std::invalid_argument);
    EXPECT_THROW(generateDrive(369), std::invalid_argument);
    EXPECT_THROW(generateDrive(32768), std::invalid_argument);
}

TEST(GenerateDrive, RecordsADrivePlausibleSampleBySample) {
    for (unsigned seed : {1u, 2u, 99u}) {
        const auto drive = samples(generateDrive(368 + 12 * 100, seed));
        int maxRpm = 0;
        int maxSpeed = 0;
        int shiftLit = 0;
        int launches = 0;
        for (const Record& r : drive) {
            maxRpm = std::max(maxRpm, r.rpm);
            maxSpeed = std::max(maxSpeed, r.speed);
            EXPECT_GE(r.rpm, 700);
            EXPECT_GE(r.tps, 26);
            EXPECT_LE(r.tps, 230);
            EXPECT_NEAR(r.battery * 18.0 / 255.0, 13.7, 0.4);
            EXPECT_EQ((r.outputs & OutShiftLight) != 0, r.rpm > ShiftLightRpm);
            EXPECT_TRUE(r.state == 1 || r.state == 2);
            EXPECT_EQ((r.inputs & InArmSwitch) != 0, r.state == 2);
            shiftLit += (r.outputs & OutShiftLight) != 0;
            launches += (r.outputs & OutLaunch) != 0;
        }
        // Shifts near 6500 RPM, a run well past 100 MPH, and a stop at idle at both ends.
        EXPECT_GT(maxRpm, 6350);
        EXPECT_LT(maxRpm, 6800);
        EXPECT_GT(maxSpeed / 128, 110);
        EXPECT_LT(maxSpeed / 128, 140);
        EXPECT_GE(shiftLit, 4);
        EXPECT_GT(launches, 10);
        for (const Record* r : {&drive.front(), &drive.back()}) {
            EXPECT_EQ(r->speed, 0);
            EXPECT_LT(r->rpm, 900);
            EXPECT_EQ(r->state, 1);
        }
        // A launch happens standing still, and the car never jumps more than 2 MPH a sample.
        for (std::size_t i = 1; i < drive.size(); ++i) {
            EXPECT_LE(std::abs(drive[i].speed - drive[i - 1].speed), 2 * 128) << i;
            if ((drive[i].outputs & OutLaunch) != 0) {
                EXPECT_EQ(drive[i].speed, 0);
            }
        }
    }
}

}  // namespace
}  // namespace velkor::sim
