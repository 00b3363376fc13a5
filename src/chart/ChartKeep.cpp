#include "chart/ChartKeep.h"

#include <cstring>

#include "base/DataLog.h"

namespace velkor {

namespace {

// FNV-1a over the bytes of the columns a chart draws from.
std::uint64_t digest(const DataLog& log) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (const SampleColumn* column :
         {&log.ElapsedTime, &log.RPMData, &log.VSSData, &log.TPSData, &log.Input1VoltsData,
          &log.Input2VoltsData, &log.StatusData, &log.OutputData}) {
        for (const float value : column->values()) {
            unsigned char bytes[sizeof value];
            std::memcpy(bytes, &value, sizeof value);
            for (const unsigned char byte : bytes) {
                hash = (hash ^ byte) * 1099511628211ULL;
            }
        }
    }
    return hash;
}

}  // namespace

bool LogStamp::operator==(const LogStamp& other) const {
    return downloadDate == other.downloadDate && interval == other.interval &&
           samples == other.samples;
}

LogStamp stampOf(const DataLog& log) {
    return {log.DownloadDate, log.DataLogInterval, digest(log)};
}

void ChartKeep::clear() {
    *this = ChartKeep{};
}

void ChartKeep::follow(const DataLog& shown) {
    const LogStamp stamp = stampOf(shown);
    if (log != stamp) {
        clear();
        log = stamp;
    }
}

}  // namespace velkor
