// The whole download against the simulator at true line timing: wall time from the menu choice
// to the chart's data being set, divided by the paced minimum of the same exchange (its bytes at
// 10 bits a byte and 56000 bit/s plus its 2 ms pauses, the firmware ID message answered at
// once), and the time the decoding and the chart set-up take after the last byte.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "PacedSimulator.h"
#include "base/AppContext.h"
#include "chart/frmChart1.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "log/Download.h"
#include "log/FramDecode.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"

namespace {

using WallClock = std::chrono::steady_clock;

double seconds(WallClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Opens the real chart window offscreen and notes when its data is set.
struct BenchView : velkor::test::RecordingView {
    velkor::AppData* data = nullptr;
    velkor::Prompts* prompts = nullptr;
    WallClock::time_point chartSet;
    double chartSetUp = 0;
    void openChartWindow() override {
        const auto start = WallClock::now();
        velkor::frmChart1 chart(data->log, data->prefs, *prompts, {VELKOR_DATA_DIR});
        chart.Form_Load();
        chartSet = WallClock::now();
        chartSetUp = seconds(chartSet - start);
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    using namespace velkor;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    const bench::PacedSimulator simulator;

    auto data = std::make_unique<AppData>();
    data->prefs.CommPortNumber = 1;
    test::ScriptedPrompts prompts;
    test::MemorySettingsStore store;
    BenchView view;
    view.data = data.get();
    view.prompts = &prompts;
    SteadyClock clock;
    QtSerialPort port;
    AppContext ctx{*data, prompts, store, view, port, clock, simulator.portLinkDir()};
    ControllerLink link(ctx);

    std::printf("Download against velkor-sim at line timing\n");
    for (int run = 1; run <= runs; ++run) {
        prompts.answerMessages({Answer::Ok});  // the firmware ID, answered at once
        const auto start = WallClock::now();
        mnuDownload_Click(link);
        if (data->log.DataBufferEmpty) {
            std::fprintf(stderr, "run %d: the download failed\n", run);
            return 1;
        }
        const double wall = seconds(view.chartSet - start);

        constexpr double byteTime = bench::LineByteSeconds;
        const auto idBytes = static_cast<double>(data->log.FirmwareID.size() + 1);
        const double bytes = 2 + 2 + (1 + idBytes) + (4 + 2 + 2) + (4 + 512 * 66) + (4 + 2);
        const double pauses = 1 + 1 + 1 + (3 + 1 + 1) + (3 + 512 * 2) + (3 + 1);
        const double minimum = bytes * byteTime + pauses * 0.002;

        // Decoding alone, on the image just downloaded.
        auto copy = std::make_unique<DataLog>(data->log);
        const auto decodeStart = WallClock::now();
        DecodeFRAMImage(*copy);
        const double decode = seconds(WallClock::now() - decodeStart);

        std::printf(
            "run %d: wall %.3f s, paced minimum %.3f s, ratio %.4f (limit 1.03); "
            "decode %.1f ms + chart set-up %.1f ms = %.1f ms after the last byte "
            "(limit 50 ms)\n",
            run, wall, minimum, wall / minimum, 1000 * decode, 1000 * view.chartSetUp,
            1000 * (decode + view.chartSetUp));
    }
    return 0;
}
