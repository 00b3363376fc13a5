#include <gtest/gtest.h>

#include <string>

#include "base/Numbers.h"
#include "base/Preferences.h"
#include "log/Caption.h"
#include "log/FramDecode.h"
#include "log/LogUnits.h"
#include "support/Drives.h"

using namespace velkor;

namespace {

// An image whose ring slot n (n = 0 at address 368) holds n in its RPM field, so a decoded
// sample tells which record it was read from.
DataLog logWithNumberedSlots(int ringStart) {
    DataLog log;
    for (int slot = 0; slot < SampleCount; ++slot) {
        log.FRAMBuffer[FramHeaderSize + RecordSize * slot] = static_cast<std::uint8_t>(slot);
        log.FRAMBuffer[FramHeaderSize + RecordSize * slot + 1] =
            static_cast<std::uint8_t>(slot >> 8);
    }
    log.FRAMBuffer[RingStartLow] = static_cast<std::uint8_t>(ringStart);
    log.FRAMBuffer[RingStartHigh] = static_cast<std::uint8_t>(ringStart >> 8);
    return log;
}

}  // namespace

TEST(FramDecode, RecordsFollowTheRingFromItsStartAndWrap) {
    DataLog log = logWithNumberedSlots(32756);
    ASSERT_FALSE(DecodeFRAMImage(log).has_value());
    EXPECT_EQ(log.RPMData.at(1), 2699.0f);  // 32756..32767
    EXPECT_EQ(log.RPMData.at(2), 0.0f);     // 368
    for (int start : {368, 32768}) {        // 32768 wraps straight to 368
        log = logWithNumberedSlots(start);
        ASSERT_FALSE(DecodeFRAMImage(log).has_value());
        EXPECT_EQ(log.RPMData.at(1234), 1233.0f);
        EXPECT_EQ(log.RPMData.at(2700), 2699.0f);  // 32756
    }
    for (int start : {32769, 65535}) {  // the last records would run past byte 32767
        log = logWithNumberedSlots(start);
        const auto error = DecodeFRAMImage(log);  // its message is shown by the download
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number(), ErrorNumber::SubscriptOutOfRange);
        EXPECT_EQ(log.RPMData, SampleColumn());
    }
}

TEST(FramDecode, RecordFieldsDecodeToStoredUnits) {
    DataLog log;  // all zero: ring start 0
    log.TPSMin = 26;
    log.TPSMax = 230;
    log.TPSData.fill(7);
    ASSERT_FALSE(DecodeFRAMImage(log).has_value());
    for (const auto column : test::SampleColumns) {
        EXPECT_EQ(log.*column, SampleColumn());
    }
    const std::uint8_t record[RecordSize] = {0x34, 0x12, 0x80, 0,    230, 255,
                                             51,   255,  3,    0x41, 2,   0xEE};
    std::copy(record, record + RecordSize, log.FRAMBuffer.begin() + 12);
    ASSERT_FALSE(DecodeFRAMImage(log).has_value());
    EXPECT_EQ(test::sampleRow(log, 2),
              (std::vector<float>{0, 0x1234, 1, 100, 5, 1, 18, 3, 0x41, 2, 0xEE}));
    EXPECT_EQ(batteryVoltsFromRaw(100), 7.1f);  // 7.0588...
}

TEST(LogUnits, ThrottleIsRoundedToEvenAndClampedAndBitsUseTheNearestWholeNumber) {
    EXPECT_EQ(tpsPercentFromRaw(255, 26, 230), 100.0f);
    EXPECT_EQ(tpsPercentFromRaw(1, 0, 200), 0.0f);   // 0.5 -> 0
    EXPECT_EQ(tpsPercentFromRaw(3, 0, 200), 2.0f);   // 1.5 -> 2
    EXPECT_EQ(tpsPercentFromRaw(40, 40, 40), 0.0f);  // zero span: divided by 0.1
    EXPECT_EQ(tpsPercentFromRaw(41, 40, 40), 100.0f);
    EXPECT_TRUE(bitSet(63.6f, OutputGPO));
    EXPECT_FALSE(bitSet(2.5f, InputArm));  // 2.5 -> 2
    EXPECT_DOUBLE_EQ(speedInUnits(100.0f, "KPH"), 160.93);
    Preferences prefs;
    prefs.MinInput2Volts = prefs.MaxInput2Volts = 1;  // no span: the slope is taken over 0.1 V
    prefs.MaxInput2ScaledValue = 50;
    EXPECT_NEAR(scaledInput2(1.1, prefs), 50.0, 1e-9);
}

TEST(ElapsedTime, BuiltFromTheInterval) {
    DataLog log;
    log.DataLogInterval = 0.1f;
    BuildElapsedTime(log);
    EXPECT_EQ(log.ElapsedTime.at(2700), 270.0f);
    for (int i = 1; i <= SampleCount; ++i) {
        ASSERT_EQ(log.ElapsedTime.at(i), roundToFloat(static_cast<double>(0.1f) * i, 2)) << i;
    }
}

TEST(DataLog, ClearingEmptiesTheLogButKeepsTimesAndScaleFactors) {
    DataLog log;
    log.DataLogInterval = 0.2f;
    log.FirmwareID = log.Comment = log.ControllerType = "x";
    log.TPSMin = 26;
    for (const auto column : test::SampleColumns) {
        (log.*column).fill(4);
    }
    log.FRAMBuffer.fill(0xAA);
    ClearDataBuffer(log);
    EXPECT_TRUE(log.DataBufferEmpty && log.DataLogInterval == 0 &&
                log.FirmwareID + log.Comment == "");
    EXPECT_EQ(test::sampleRow(log, 2700), (std::vector<float>{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(log.FRAMBuffer[9] == 0xAA && log.ControllerType == "x" && log.TPSMin == 26.0f);
    ClearFRAMBuffer(log);
    EXPECT_TRUE(log.FRAMBufferEmpty && log.FRAMBuffer == FramImage{});
}

TEST(Caption, NamesFollowTheDesignedTitle) {
    const std::string base = DesignedCaption;
    EXPECT_EQ(emptyLogCaption(base), base + " - Data Buffer Empty");
    EXPECT_EQ(downloadedLogCaption(base), base + " - Downloaded Data");
    EXPECT_EQ(fileCaption(base, "C:\\Logs\\run.log"), base + " - run.log");
    const std::string sixty = std::string(56, 'n') + ".log";
    EXPECT_EQ(fileCaption(base, "/d/" + sixty), base + " - " + sixty);
    EXPECT_EQ(fileCaption(base, "/d/A" + sixty), base + " - ..." + sixty);
    // A UTF-8 file name counts by characters and comes out in Latin-1; others become '?'.
    std::string accented;
    for (int i = 0; i < 60; ++i) {
        accented += "\xC3\xA9";
    }
    EXPECT_EQ(fileCaption(base, accented), base + " - " + std::string(60, '\xE9'));
    EXPECT_EQ(fileCaption(base, "x" + accented), base + " - ..." + std::string(60, '\xE9'));
    EXPECT_EQ(fileCaption(base, "/l/\xE2\x82\xAC.log"), base + " - ?.log");
}
