#pragma once
// A log as a download leaves it: a drive image from the simulator, decoded, with its times built;
// and its samples compared column by column.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/DataLog.h"
#include "log/FramDecode.h"
#include "sim/Simulator.h"

namespace velkor::test {

inline void loadDrive(DataLog& log, const sim::Fram& fram, float interval, float tpsMin = 26,
                      float tpsMax = 230) {
    std::copy(fram.begin(), fram.end(), log.FRAMBuffer.begin());
    log.TPSMin = tpsMin;
    log.TPSMax = tpsMax;
    EXPECT_FALSE(DecodeFRAMImage(log));
    log.DataLogInterval = interval;
    BuildElapsedTime(log);
    log.DataBufferEmpty = false;
}

// Every sample column: the elapsed time, then a record's fields in their order.
inline constexpr SampleColumn DataLog::*SampleColumns[] = {
    &DataLog::ElapsedTime,  &DataLog::RPMData,         &DataLog::VSSData,
    &DataLog::TPSData,      &DataLog::Input1VoltsData, &DataLog::Input2VoltsData,
    &DataLog::BatVoltsData, &DataLog::InputData,       &DataLog::OutputData,
    &DataLog::StatusData,   &DataLog::ReservedData};

inline std::vector<float> sampleRow(const DataLog& log, int n) {
    std::vector<float> row;
    for (const auto column : SampleColumns) {
        row.push_back((log.*column).at(n));
    }
    return row;
}

inline void expectSameSamples(const DataLog& actual, const DataLog& expected) {
    for (std::size_t i = 0; i < std::size(SampleColumns); ++i) {
        EXPECT_EQ(actual.*SampleColumns[i], expected.*SampleColumns[i]) << "column " << i;
    }
}

}  // namespace velkor::test
