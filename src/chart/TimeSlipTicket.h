#pragma once
// A standing start's estimated time slip as a track's printed slip shows it: one line a
// distance, the elapsed time with its uncertainty, the trap speeds at 1/8 and 1/4 mile in the
// display unit, and a dash for a distance the run did not reach. UTF-8, for the dash and the ±.

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/RunAnalysis.h"

namespace velkor {

// The distances' names, as a slip prints them: "60 ft" ... "1/4 mile".
const std::vector<std::string>& slipDistanceNames();

// The uncertainty as the slip prints it: two decimals, rounded up ("± 0.02 s").
std::string slipUncertaintyText(double seconds);

// The slip of run `number` (from 1): a heading, then one line a distance. A rolling run has
// no slip: its one line says why.
std::vector<std::string> timeSlipTicket(const RunResult& run, std::size_t number, SpeedUnit unit);

}  // namespace velkor
