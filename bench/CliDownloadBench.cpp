// velkor-cli download against the simulator at true line timing: the whole command, from its
// start to its exit with the log file saved, divided by the paced minimum of the exchange (its
// bytes at 10 bits a byte and 56000 bit/s plus its 2 ms pauses), and the processor time the
// command takes as a share of that wall time. The simulator's log of received bytes splits the
// wall time into the exchange (first to last byte heard) and the command's own time around it
// (start-up, saving, syncing and reading the file back).

#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "PacedSimulator.h"

namespace {

// Processor time of the children waited for so far.
double childCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The time from the first to the last byte in the simulator's log of received bytes.
double exchangeSeconds(const QString& path) {
    std::ifstream log(path.toStdString());
    double first = -1;
    double last = 0;
    double time = 0;
    int value = 0;
    while (log >> time >> value) {
        first = first < 0 ? time : first;
        last = time;
    }
    return first < 0 ? 0 : last - first;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir profile;
    QDir(profile.path()).mkpath("config/Velkor/ports");
    QProcess simulator;
    const QString heard = profile.filePath("heard.txt");
    simulator.start(
        VELKOR_SIM_PATH,
        {"--paced", "--link", profile.filePath("config/Velkor/ports/com1"), "--log", heard});
    if (!simulator.waitForStarted() || !simulator.waitForReadyRead(5000)) {
        std::fprintf(stderr, "velkor-sim did not start\n");
        return 1;
    }

    // The exchange of a download: ReSync, the state, the firmware ID ("Shift Light Controller
    // V2.0" and its CR), the throttle scale factors, the FRAM and the interval.
    constexpr double idBytes = 27 + 1;
    constexpr double bytes = 2 + 2 + (1 + idBytes) + (4 + 2 + 2) + (4 + 512 * 66) + (4 + 2);
    constexpr double pauses = 1 + 1 + 1 + (3 + 1 + 1) + (3 + 512 * 2) + (3 + 1);
    const double minimum = bytes * velkor::bench::LineByteSeconds + pauses * 0.002;

    std::printf("velkor-cli download against velkor-sim at line timing (paced minimum %.3f s)\n",
                minimum);
    bool within = true;
    for (int run = 1; run <= runs; ++run) {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", profile.filePath("config"));
        env.insert("XDG_DATA_HOME", profile.filePath("share"));
        cli.setProcessEnvironment(env);
        const QString file = profile.filePath(QString("run%1.log").arg(run));
        QFile(heard).resize(0);
        const double cpuBefore = childCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        cli.start(VELKOR_CLI_PATH, {"download", "--port", "Com1", "-o", file});
        cli.waitForFinished(60000);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = childCpuSeconds() - cpuBefore;
        if (cli.exitCode() != 0 || !QFileInfo::exists(file)) {
            std::fprintf(stderr, "run %d: the download failed:\n%s\n", run,
                         cli.readAllStandardError().constData());
            within = false;
            break;
        }
        const double ratio = wall / minimum;
        const double exchange = exchangeSeconds(heard);
        const double cpuShare = cpu / wall;
        within = within && ratio <= 1.02 && cpuShare < 0.05;
        std::printf(
            "run %d: wall %.3f s, ratio %.4f (limit 1.02); CPU %.3f s = %.2f %% of wall "
            "(limit 5 %%); exchange %.3f s (ratio %.4f), the command's own %.0f ms\n",
            run, wall, ratio, cpu, 100 * cpuShare, exchange, exchange / minimum,
            1000 * (wall - exchange));
    }
    simulator.terminate();
    simulator.waitForFinished(3000);
    return within ? 0 : 1;
}
