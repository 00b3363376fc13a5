// How long the run analysis takes on a full log of 2700 samples: the simulated road drive and
// drag runs (with the time slip, spins at the launch and after the first shift, and the shift
// points), each analysed a number of times (200, or the first argument). Prints the median and
// the worst of each against the 2 ms limit, and fails when a median is over it.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "DecodedDrive.h"
#include "analysis/RunAnalysis.h"
#include "base/DataLog.h"
#include "sim/DragRun.h"
#include "sim/Simulator.h"

namespace {

using namespace velkor;
using Clock = std::chrono::steady_clock;
constexpr double LimitMs = 2.0;

using bench::decodedDrive;

// Times `runs` analyses of the log; returns whether the median is within the limit.
bool measure(const char* what, const DataLog& log, int runs) {
    std::vector<double> times;
    std::size_t shifts = 0;
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        const RunAnalysis analysis = analyseRuns(log);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        shifts = 0;
        for (const RunResult& run : analysis.runs) {
            shifts += run.shifts.size();
        }
    }
    const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC / runs;
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf(
        "%-22s %zu shifts   median %6.3f ms   worst %6.3f ms   processor %6.3f ms   "
        "limit %.1f ms: %s\n",
        what, shifts, median, times.back(), cpuMs, LimitMs, median <= LimitMs ? "within" : "OVER");
    return median <= LimitMs;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const DataLog road = decodedDrive(sim::generateDrive(368, 1), 0.096f);
    const DataLog drag = decodedDrive(sim::generateDragRun(0.048, 368, 1).fram, 0.048f);
    const DataLog spins =
        decodedDrive(sim::generateDragRun(0.016, 368, 1, sim::Wheelspin::Both).fram, 0.016f);
    const bool roadOk = measure("road drive, 0.096 s", road, runs);
    const bool dragOk = measure("drag run, 0.048 s", drag, runs);
    const bool spinsOk = measure("spinning drag, 0.016 s", spins, runs);
    return roadOk && dragOk && spinsOk ? 0 : 1;
}
