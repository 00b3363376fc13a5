// How close the FRAM transfer comes to the line's own limit: the whole transfer against the
// simulator at true line timing, divided by the paced minimum (512 blocks of 66 bytes at 10 bits
// a byte and 56000 bit/s, plus two 2 ms pauses a block), and the CPU it takes meanwhile.

#include <sys/resource.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <memory>

#include "PacedSimulator.h"
#include "base/AppContext.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace velkor;
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const bench::PacedSimulator simulator;

    auto data = std::make_unique<AppData>();
    data->prefs.CommPortNumber = 1;
    test::ScriptedPrompts prompts;
    test::MemorySettingsStore store;
    test::RecordingView view;
    SteadyClock clock;
    QtSerialPort port;
    AppContext ctx{*data, prompts, store, view, port, clock, simulator.portLinkDir()};
    ControllerLink link(ctx);

    constexpr double byteTime = bench::LineByteSeconds;
    const double minimum = 512 * (66 * byteTime + 2 * 0.002);
    std::printf("FRAM transfer against velkor-sim at line timing (paced minimum %.3f s)\n",
                minimum);
    double worstRatio = 0.0;
    double worstCpu = 0.0;
    for (int run = 1; run <= runs; ++run) {
        const double cpuBefore = cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        link.ReadFRAMData(data->log);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = cpuSeconds() - cpuBefore;
        if (!link.CommandOK) {
            std::fprintf(stderr, "run %d: the transfer failed\n", run);
            return 1;
        }
        const double ratio = wall / minimum;
        worstRatio = std::max(worstRatio, ratio);
        worstCpu = std::max(worstCpu, cpu / wall);
        std::printf(
            "run %d: wall %.3f s, ratio %.4f (limit 1.03), CPU %.3f s = %.1f %% of wall "
            "(limit 10 %%)\n",
            run, wall, ratio, cpu, 100.0 * cpu / wall);
    }
    std::printf("worst: ratio %.4f, CPU %.1f %% of wall\n", worstRatio, 100.0 * worstCpu);
    return 0;
}
