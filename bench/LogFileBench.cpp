// How long saving and opening a full log take: a simulated drive of 2700 samples written as a log
// file (the text built line by line, then the atomic replace with its flush to the disk) and read
// back, each timed over a number of runs (20, or the first argument).

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "base/Preferences.h"
#include "log/AtomicFile.h"
#include "log/FramDecode.h"
#include "log/LogFile.h"
#include "sim/Simulator.h"

namespace {

using namespace velkor;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    std::printf("%-28s median %8.3f ms   worst %8.3f ms\n", what, median, times.back());
}

std::string fileText(const DataLog& log, const Preferences& prefs) {
    std::string text;
    text.reserve(LogFileLines * 64);
    const auto append = [&text](const std::string& line) {
        text += line;
        text += LogFileLineEnd;
    };
    for (const std::string& line : logFileHeader(log, prefs)) {
        append(line);
    }
    for (int sample = 1; sample <= SampleCount; ++sample) {
        append(logFileSample(log, sample));
    }
    for (const std::string& line : logFileTrailer(log, "Acme")) {
        append(line);
    }
    append(logFileComment(log.Comment));
    return text;
}

}  // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;

    auto log = std::make_unique<DataLog>();
    log->FRAMBuffer = sim::generateDrive(368, 1);
    log->TPSMin = 26;
    log->TPSMax = 230;
    if (DecodeFRAMImage(*log)) {
        std::fprintf(stderr, "the simulated drive did not decode\n");
        return 1;
    }
    log->DataLogInterval = 0.096f;
    BuildElapsedTime(*log);
    log->FirmwareID = "Shift Light Controller V2.0";
    log->ControllerType = "Shift Light";
    log->DownloadDate = "06/12/2026 20:15:00";
    log->Comment = "Benchmark drive";
    const Preferences prefs;

    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("velkor-bench-log-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string path = (folder / "drive.log").string();

    std::vector<double> building, writing, saving, opening;
    std::size_t size = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const std::string text = fileText(*log, prefs);
        const double built = millisecondsSince(start);
        const auto writeStart = Clock::now();
        writeFileAtomically(path, text);
        writing.push_back(millisecondsSince(writeStart));
        building.push_back(built);
        saving.push_back(millisecondsSince(start));
        size = text.size();

        auto opened = std::make_unique<DataLog>();
        Preferences openedPrefs;
        const auto openStart = Clock::now();
        std::ifstream file(path, std::ios::binary);
        const LogFileRead outcome = readLogFile(file, *opened, openedPrefs);
        opening.push_back(millisecondsSince(openStart));
        if (outcome.end != LogFileRead::End::Complete || !outcome.firmwareKnown ||
            opened->RPMData != log->RPMData) {
            std::fprintf(stderr, "run %d: the log did not read back whole\n", run + 1);
            fs::remove_all(folder);
            return 1;
        }
    }
    fs::remove_all(folder);

    std::printf("Log file of %d samples: %zu bytes, %d runs\n", SampleCount, size, runs);
    report("saving: building the text", building);
    report("saving: atomic write", writing);
    report("saving: whole", saving);
    report("opening: reading the file", opening);
    return 0;
}
