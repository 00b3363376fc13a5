#pragma once
// Where to shift: the pull of the engine over its speed, measured in every gear and pooled
// through the gears' ratios, gives for each upshift the engine speed at which the next gear
// pulls as hard as the current one at the same road speed.

#include <vector>

#include "analysis/RunAnalysis.h"

namespace velkor {

struct LogSamples;

std::vector<ShiftPoint> findShiftPoints(const LogSamples& s, const std::vector<double>& gearRatios,
                                        const std::vector<RunResult>& runs);

}  // namespace velkor
