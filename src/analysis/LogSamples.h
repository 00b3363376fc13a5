#pragma once
// The log's columns as the run analysis reads them: plain numbers, sample 1 at index 0.

#include <cstddef>
#include <vector>

namespace velkor {

struct DataLog;

struct LogSamples {
    std::vector<double> time, rpm, mph, tps;
    std::vector<bool> shiftLight, launchLight;
    double interval = 0;  // seconds between samples, as the log states it

    std::size_t size() const { return time.size(); }
};

// Anything not a finite number reads as 0, so a damaged file cannot lead the analysis astray.
// The time column holds two decimals; where it is the log's interval times the sample number
// to within that rounding, the exact times stand in for it.
LogSamples samplesOf(const DataLog& log);

}  // namespace velkor
