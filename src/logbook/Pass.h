#pragma once
// One pass in the logbook: a run out of a downloaded log, where and when it was run, the weather
// it was run in, and the figures the run analysis found for it. Any of the weather and the
// figures may be missing: the racer did not note the weather, or the run did not reach a mark.

#include <cstdint>
#include <optional>
#include <string>

namespace velkor {

struct RunResult;

struct Pass {
    std::int64_t id = 0;       // the logbook's own number for the pass
    std::string filePath;      // the log file the run is in
    int runNumber = 0;         // 1 = the log's first run
    std::string downloadDate;  // ISO 8601, "2026-06-14" or "2026-06-14T15:20:00"
    std::string track;
    std::string car;
    std::string note;
    std::optional<double> tempF;        // air temperature at the track, deg F
    std::optional<double> baroInHg;     // uncorrected barometer (station pressure), inHg
    std::optional<double> humidityPct;  // relative humidity, %
    // The estimated time slip's elapsed times from first motion, seconds, at 60 ft, 330 ft,
    // 1/8 mile, 1000 ft and 1/4 mile; and the 1/4 mile trap speed.
    std::optional<double> et60;
    std::optional<double> et330;
    std::optional<double> et660;
    std::optional<double> et1000;
    std::optional<double> et1320;
    std::optional<double> trapMph;
    std::optional<double> zeroToSixty;   // seconds
    std::optional<double> bestReaction;  // seconds from the shift light to the shift
    std::optional<double> peakRpm;
};

// A pass of a run: its figures from the analysis, and where it came from. The track, car, note
// and weather are the racer's to fill in.
Pass passFromRun(const RunResult& run, std::string filePath, int runNumber,
                 std::string downloadDate);

// The figures the logbook follows from pass to pass.
enum class PassFigure { Et, SixtyFoot, TrapMph, Reaction };

// One of a pass's figures: the 1/4 mile elapsed time, the 60 ft time, the trap speed or the best
// reaction to the shift light.
std::optional<double> figureOf(const Pass& pass, PassFigure figure);

}  // namespace velkor
