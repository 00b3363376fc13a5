#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "sim/Protocol.h"
#include "sim/Simulator.h"

namespace velkor::sim {
namespace {

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

TEST(GenerateDrive, RecordsADrivePlausibleSampleBySample) {
    for (unsigned seed : {1u, 2u, 99u}) {
        const Fram fram = generateDrive(368, seed);
        int maxRpm = 0, maxSpeed = 0, shiftLit = 0, launches = 0, previousSpeed = 0;
        for (int a = 368; a < 368 + 12 * 2700; a += 12) {
            const int rpm = fram[a] | fram[a + 1] << 8, speed = fram[a + 2] | fram[a + 3] << 8;
            const int inputs = fram[a + 8], outputs = fram[a + 9], state = fram[a + 10];
            maxRpm = std::max(maxRpm, rpm);
            maxSpeed = std::max(maxSpeed, speed);
            shiftLit += (outputs & OutShiftLight) != 0;
            launches += (outputs & OutLaunch) != 0;
            ASSERT_GE(rpm, 700) << a;
            ASSERT_TRUE(fram[a + 4] >= 26 && fram[a + 4] <= 230) << a;
            ASSERT_EQ((outputs & OutShiftLight) != 0, rpm > ShiftLightRpm) << a;
            ASSERT_NEAR(fram[a + 7] * 18.0 / 255.0, 13.7, 0.4) << a;
            ASSERT_TRUE(state == 1 || state == 2) << a;
            ASSERT_EQ((inputs & InArmSwitch) != 0, state == 2) << a;
            // A launch happens standing still, and the car never jumps more than 2 MPH a sample.
            ASSERT_TRUE((outputs & OutLaunch) == 0 || speed == 0) << a;
            ASSERT_LE(std::abs(speed - previousSpeed), 2 * 128) << a;
            previousSpeed = speed;
        }
        // Shifts near 6500 RPM, a run well past 100 MPH, and a stop at idle at both ends.
        EXPECT_TRUE(maxRpm > 6350 && maxRpm < 6800) << maxRpm;
        EXPECT_TRUE(maxSpeed / 128 > 110 && maxSpeed / 128 < 140) << maxSpeed;
        EXPECT_GE(shiftLit, 4);
        EXPECT_GT(launches, 10);
        for (int a : {368, 368 + 12 * 2699}) {
            EXPECT_EQ(fram[a + 2] | fram[a + 3] << 8, 0);
            EXPECT_LT(fram[a] | fram[a + 1] << 8, 900);
            EXPECT_EQ(fram[a + 10], 1);
        }
    }
}

}  // namespace
}  // namespace velkor::sim
