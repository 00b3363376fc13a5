// Any bytes at all, fed to the log file reader as an opened file would be: reading must neither
// crash, overrun, leak nor throw, and what it leaves in the log must still be a log the chart can
// draw (throttle within 0..100 %, time not going backwards for a usable interval).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "base/DataLog.h"
#include "base/Preferences.h"
#include "log/LogFile.h"

namespace {

void require(bool holds, const char* what, int sample) {
    if (!holds) {
        std::fprintf(stderr, "log reader left %s at sample %d\n", what, sample);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velkor;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    auto log = std::make_unique<DataLog>();  // too large for the stack
    Preferences prefs;

    const LogFileRead outcome = readLogFile(in, *log, prefs);

    require(outcome.firmwareKnown == (log->ControllerType == "Shift Light"),
            "a controller type that disagrees with the firmware check", 0);
    const float interval = log->DataLogInterval;
    const bool usableInterval = std::isfinite(interval) && interval >= 0.0f;
    for (int sample = 1; sample <= SampleCount; ++sample) {
        const float tps = log->TPSData.at(sample);
        require(tps >= 0.0f && tps <= 100.0f, "a throttle outside 0..100 %", sample);
        if (usableInterval && sample > 1) {
            require(log->ElapsedTime.at(sample) >= log->ElapsedTime.at(sample - 1),
                    "time going backwards", sample);
        }
    }
    return 0;
}
