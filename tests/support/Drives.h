#pragma once
// A log as a download leaves it: a drive image from the simulator, decoded, with its times built.

#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace velkor::test
