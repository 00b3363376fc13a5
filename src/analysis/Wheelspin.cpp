#include "analysis/Wheelspin.h"

#include "analysis/LogSamples.h"

namespace velkor {

std::optional<double> launchSlip(const LogSamples&, const std::vector<double>&, double,
                                 std::size_t) {
    return std::nullopt;
}

std::vector<WheelspinEvent> findWheelspin(const LogSamples&, const std::vector<double>&,
                                          std::size_t, std::size_t) {
    return {};
}

}  // namespace velkor
