// The live view against the simulator at true line timing, offscreen: how long one polling tick
// takes against the line's own minimum for its nine reads (their bytes at 10 bits a byte and
// 56000 bit/s plus the 2 ms pause after each), the CPU the process uses while no live view runs
// and between the ticks of a running one, and how long repainting the gauges takes.

#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "PacedSimulator.h"
#include "base/AppContext.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/CircularGauge.h"
#include "live/LinearGauge.h"
#include "live/LivePoll.h"
#include "live/RealTimePanel.h"
#include "live/RealTimeView.h"
#include "support/Fakes.h"
#include "support/ScriptedPrompts.h"

namespace {

using WallClock = std::chrono::steady_clock;

double seconds(WallClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

// Yields as the program does: window events run, the panel repaints.
struct EventPrompts : velkor::test::ScriptedPrompts {
    void yield() override { QCoreApplication::processEvents(); }
};

// The main window as the live view sees it: the real frame.
struct PanelView : velkor::test::RecordingView {
    velkor::RealTimePanel* panel = nullptr;
    velkor::LiveDisplay& liveDisplay() override { return *panel; }
};

void runFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double worst(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace velkor;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(3, std::atoi(argv[1])) : 20;

    const bench::PacedSimulator simulator;

    RealTimePanel panel;
    panel.resize(836, 498);  // its size in the main window at 860 x 560
    panel.show();
    panel.gauTach->setRedline(6.5);
    panel.gauTach->setFullScale(10);
    panel.gauSpeedometer->setRedline(85);
    panel.gauSpeedometer->setFullScale(140);

    auto data = std::make_unique<AppData>();
    data->prefs.CommPortNumber = 1;
    data->prefs.Input1Type = "MAP 2 bar";
    data->prefs.Input2Type = "AFR";
    EventPrompts prompts;
    test::MemorySettingsStore store;
    PanelView view;
    view.panel = &panel;
    SteadyClock clock;
    QtSerialPort port;
    AppContext ctx{*data, prompts, store, view, port, clock, simulator.portLinkDir()};
    ControllerLink link(ctx);

    // No live view: the 500 ms timer ticks on and each tick ends at once.
    double inTicksCpu = 0, inTicksWall = 0;
    QTimer tmrDataRead;
    tmrDataRead.setInterval(500);
    QObject::connect(&tmrDataRead, &QTimer::timeout, [&] {
        const double cpu = cpuSeconds();
        const auto wall = WallClock::now();
        tmrDataRead_Timer(link);
        inTicksCpu += cpuSeconds() - cpu;
        inTicksWall += seconds(WallClock::now() - wall);
    });
    tmrDataRead.start();
    runFor(200);
    double cpu = cpuSeconds();
    auto wall = WallClock::now();
    runFor(5000);
    const double idleShare = (cpuSeconds() - cpu) / seconds(WallClock::now() - wall);
    tmrDataRead.stop();

    mnuViewRealTime_Click(link);
    if (!data->state.RealTimeActive) {
        std::fprintf(stderr, "the live view did not start\n");
        return 1;
    }

    // Single ticks, each after the window has settled.
    const double bytes = 9 + 7 * 1 + 2 * 2;  // nine commands; seven 1-byte, two 2-byte replies
    const double minimum = bytes * bench::LineByteSeconds + 9 * 0.002;
    std::vector<double> tickTimes;
    for (int i = 0; i < ticks; ++i) {
        runFor(60);
        const auto start = WallClock::now();
        tmrDataRead_Timer(link);
        tickTimes.push_back(seconds(WallClock::now() - start));
    }

    // The running live view on its timer: the CPU outside the ticks, repaints included.
    inTicksCpu = inTicksWall = 0;
    tmrDataRead.start();
    cpu = cpuSeconds();
    wall = WallClock::now();
    runFor(10000);
    const double liveCpu = cpuSeconds() - cpu;
    const double liveWall = seconds(WallClock::now() - wall);
    tmrDataRead.stop();

    // Repainting the gauges on show after every value changed: in one pass, as the window does
    // after a tick, and one by one.
    std::vector<QWidget*> shown{panel.gauTach, panel.gauSpeedometer};
    for (int i = 0; i < GaugeCount; ++i) {
        if (panel.gauge(static_cast<GaugeId>(i))->isVisible()) {
            shown.push_back(panel.gauge(static_cast<GaugeId>(i)));
        }
    }
    const auto setAll = [&](double value) {
        for (int i = 0; i < GaugeCount; ++i) {
            panel.gauge(static_cast<GaugeId>(i))->setMember(GaugeMember::Value, value);
        }
        panel.gauTach->setValue(value);
        panel.gauSpeedometer->setValue(value * 10);
    };
    std::vector<double> onePass, oneByOne;
    for (int run = 0; run < 50; ++run) {
        setAll(run % 10 + 0.5);
        auto start = WallClock::now();
        QCoreApplication::processEvents();
        onePass.push_back(seconds(WallClock::now() - start));

        setAll(run % 10);
        start = WallClock::now();
        for (QWidget* gauge : shown) {
            gauge->repaint();
        }
        oneByOne.push_back(seconds(WallClock::now() - start));
    }
    cmdCloseRealTimeData_Click(ctx);

    std::printf("Live view against velkor-sim at line timing (line minimum of a tick %.2f ms)\n",
                1000 * minimum);
    std::printf("tick: median %.2f ms, ratio %.3f (limit 1.1); worst %.2f ms, ratio %.3f\n",
                1000 * median(tickTimes), median(tickTimes) / minimum, 1000 * worst(tickTimes),
                worst(tickTimes) / minimum);
    std::printf("CPU while no live view runs: %.3f %% of a core (limit 1 %%)\n", 100 * idleShare);
    std::printf(
        "CPU between the ticks of a live view: %.3f %% of a core (limit 1 %%); "
        "ticks included %.2f %%\n",
        100 * (liveCpu - inTicksCpu) / (liveWall - inTicksWall), 100 * liveCpu / liveWall);
    std::printf(
        "repainting the %zu gauges on show: %.2f ms in one pass (limit 4 ms), worst "
        "%.2f ms; %.2f ms one by one\n",
        shown.size(), 1000 * median(onePass), 1000 * worst(onePass), 1000 * median(oneByOne));
    return 0;
}
