// Any bytes at all, fed to the log file reader as an opened file would be: reading must neither
// crash, overrun, leak nor throw, and what it leaves in the log must still be a log the chart can
// draw (throttle within 0..100 %, time not going backwards for a usable interval, texts within
// their limits).
//
// The log is allocated once and reset from a blank one for each input, and the input is read in
// place: a fresh 150 KB log, or a copy of a large input, is beyond the sanitizer's
// large-allocation threshold, so each would be mapped, zeroed and unmapped again. Only the
// samples whose lines the input reached are checked one by one.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

#include "base/DataLog.h"
#include "base/Preferences.h"
#include "base/TextLimits.h"
#include "log/LogFile.h"

namespace {

// The fuzzer's bytes as a stream, without a copy.
class InputBuffer : public std::streambuf {
public:
    InputBuffer(const std::uint8_t* data, std::size_t size) {
        // Only ever read: the get area is never written through.
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(begin, begin, begin + size);
    }
};

void require(bool holds, const char* what, int sample) {
    if (!holds) {
        std::fprintf(stderr, "log reader left %s at sample %d\n", what, sample);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velkor;
    static const auto blank = std::make_unique<const DataLog>();
    static const auto log = std::make_unique<DataLog>();
    *log = *blank;
    InputBuffer buffer(data, size);
    std::istream in(&buffer);
    Preferences prefs;

    const LogFileRead outcome = readLogFile(in, *log, prefs);

    require(outcome.firmwareKnown == (log->ControllerType == "Shift Light"),
            "a controller type that disagrees with the firmware check", 0);
    require(prefs.Input2Legend.size() <= Input2LegendLimit && log->Comment.size() <= CommentLimit &&
                log->DownloadDate.size() <= DownloadDateLimit,
            "a text longer than its limit", 0);
    require(outcome.sampleLines <= outcome.sampleLinesReached, "more samples read than reached",
            outcome.sampleLines);
    const float* tps = log->TPSData.values().data();
    for (int sample = 0; sample < outcome.sampleLinesReached; ++sample) {
        require(tps[sample] >= 0.0f && tps[sample] <= 100.0f, "a throttle outside 0..100 %",
                sample + 1);
    }
    // The time column is repaired over all samples, read or not.
    const float* times = log->ElapsedTime.values().data();
    const float interval = log->DataLogInterval;
    if (std::isfinite(interval) && interval >= 0.0f) {
        const float* end = times + SampleCount;
        const float* backwards = std::adjacent_find(times, end, std::greater<float>());
        require(backwards == end, "time going backwards", int(backwards - times) + 2);
    }
    return 0;
}
