#include "analysis/ShiftPoints.h"

#include "analysis/LogSamples.h"

namespace velkor {

std::vector<ShiftPoint> findShiftPoints(const LogSamples&, const std::vector<double>&,
                                        const std::vector<RunResult>&) {
    return {};
}

}  // namespace velkor
