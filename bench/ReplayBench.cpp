// The drag run replayed on the main window's gauges at 8x: how many frames a second the gauges
// are drawn (at least 30) and the processor time the program takes meanwhile (under 15 % of one
// core), measured over a stretch of wall time (5 s, or the first argument). Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.
//
// --hold-at SECONDS pauses the replay at that time of the log and keeps the window on the screen
// for 20 s instead, for a picture of it (under xvfb-run with QT_QPA_PLATFORM=xcb); the times of
// the run's shifts are printed to choose from.

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/frmMain.h"
#include "live/CircularGauge.h"
#include "live/ReplayControls.h"
#include "log/FramDecode.h"
#include "sim/DragRun.h"
#include "support/ScriptedPrompts.h"

namespace {

using namespace velkor;

constexpr double Interval = 0.096;  // the simulator's default logging interval
constexpr double LeastFramesPerSecond = 30;
constexpr double MostCoreShare = 0.15;

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto s = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

void runFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Counts the times a widget is drawn.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

void loadDragRun(AppData& data, const sim::DragRun& run) {
    DataLog& log = data.log;
    std::copy(run.fram.begin(), run.fram.end(), log.FRAMBuffer.begin());
    log.TPSMin = 26;
    log.TPSMax = 230;
    if (DecodeFRAMImage(log)) {
        std::fprintf(stderr, "the simulated drag run did not decode\n");
        std::exit(2);
    }
    log.DataLogInterval = float(Interval);
    BuildElapsedTime(log);
    log.DataBufferEmpty = false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    double holdAt = -1;
    int seconds = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hold-at") == 0 && i + 1 < argc) {
            holdAt = std::atof(argv[++i]);
        } else {
            seconds = std::max(1, std::atoi(argv[i]));
        }
    }

    const sim::DragRun run = sim::generateDragRun(Interval);
    std::printf("drag run: launch %.2f s, shifts at", run.truth.launch);
    for (const sim::TruthShift& shift : run.truth.shifts) {
        std::printf(" %.2f s (light %.2f s)", shift.time, shift.lightOn);
    }
    std::printf("\n");

    AppData data;
    loadDragRun(data, run);
    test::ScriptedPrompts prompts;
    frmMain window(data, prompts, {});
    window.setTachometerLimits(6.5, 10);
    window.setSpeedometerLimits(85, 140);
    window.resize(1100, 640);
    window.show();
    window.replayLogAction->trigger();
    ReplayControls& controls = *window.fraRealTimeData->fraReplay;
    if (!controls.running()) {
        std::fprintf(stderr, "the replay did not start\n");
        return 2;
    }

    if (holdAt >= 0) {
        controls.playButton->click();  // pause
        controls.positionSlider->setValue(replaySliderValue(holdAt));
        std::printf("holding at %s\n", controls.timeLabel->text().toLatin1().constData());
        std::fflush(stdout);
        runFor(20000);
        return 0;
    }

    controls.speedBox->setCurrentIndex(5);  // 8x
    runFor(500);                            // settle: the first paints lay out and cache the faces
    PaintCounter counter;
    window.gauTach->installEventFilter(&counter);
    const double cpuStart = cpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    runFor(seconds * 1000);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double cpu = cpuSeconds() - cpuStart;
    const double fps = counter.paints / wall;
    const double share = cpu / wall;
    const bool ok = fps >= LeastFramesPerSecond && share < MostCoreShare;
    std::printf(
        "replay at 8x over %.1f s: %.1f frames a second (at least %.0f), processor %.1f %% of a "
        "core (under %.0f %%), log time %.1f s: %s\n",
        wall, fps, LeastFramesPerSecond, 100 * share, 100 * MostCoreShare,
        controls.replay()->position(), ok ? "within" : "OUTSIDE");
    return ok ? 0 : 1;
}
