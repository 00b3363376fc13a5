#pragma once
// A simulated drive as a download leaves the log: the image decoded with the usual throttle
// scale factors and the times built from the interval. Exits with status 2 when the image does
// not decode, which only a broken simulator causes.

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/DataLog.h"
#include "log/FramDecode.h"
#include "sim/Simulator.h"

namespace velkor::bench {

inline DataLog decodedDrive(const sim::Fram& fram, float interval) {
    DataLog log;
    std::copy(fram.begin(), fram.end(), log.FRAMBuffer.begin());
    log.TPSMin = 26;
    log.TPSMax = 230;
    if (DecodeFRAMImage(log)) {
        std::fprintf(stderr, "the simulated image did not decode\n");
        std::exit(2);
    }
    log.DataLogInterval = interval;
    BuildElapsedTime(log);
    log.DataBufferEmpty = false;
    return log;
}

}  // namespace velkor::bench
