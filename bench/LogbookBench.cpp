// How fast the logbook keeps up with a racer's archive: a cold scan of 1,000 archived drag logs
// (read on one worker thread per core), a rescan with nothing changed, and on a logbook of 10,000
// passes the list of all, a list filtered by track and date, and a trend (one car at one track
// with its consistency). Prints each against its limit as a ratio, and fails when one is over.
// The logs are written once into a temporary folder before anything is timed; with a folder as
// the argument they are written there, kept, and taken as they are on the next run.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ArchivedLogs.h"
#include "base/Sha256.h"
#include "logbook/Consistency.h"
#include "logbook/Journal.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookScan.h"

namespace {

using namespace velkor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Logs = bench::ArchivedLogCount;
constexpr int LogsOfPasses = 5000;  // two passes each: 10,000
const char* const Tracks[] = {"Santa Pod", "York", "Shakespeare County", "Elvington", "Melbourne"};
const char* const Cars[] = {"Nova", "Chevelle", "Escort"};

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool report(const char* what, double taken, double limit) {
    const bool within = taken <= limit;
    std::printf("%-44s %9.4f s   %.2f of the %g s limit%s\n", what, taken, taken / limit, limit,
                within ? "" : "   OVER");
    return within;
}

// The median of `runs` timings of `act`.
double median(int runs, const std::function<void()>& act) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        act();
        times.push_back(seconds(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 10,000 passes in a logbook of their own, every one with a track, a car and the weather: the
// entries go through the journal, which a new logbook reads back.
std::unique_ptr<Logbook> largeLogbook(const fs::path& folder) {
    std::vector<JournalRecord> records;
    std::vector<IndexedLog> logs;
    for (int i = 0; i < LogsOfPasses; ++i) {
        IndexedLog log;
        log.path = (folder / ("synthetic/run" + std::to_string(i) + ".log")).string();
        log.size = 330000;
        log.modifiedNs = i;
        log.hash = sha256Hex(log.path);
        log.firmwareId = "Shift Light Controller V2.0";
        char date[32];
        std::snprintf(date, sizeof date, "%04d-%02d-%02dT12:00:00", 2020 + i / 800, 1 + i / 60 % 12,
                      1 + i % 28);
        log.passDate = date;
        for (int run = 1; run <= 2; ++run) {
            Pass pass;
            pass.runNumber = run;
            pass.et60 = 1.8 + (i % 17) / 100.0;
            pass.et1320 = 12 + (i % 31) / 50.0;
            pass.trapMph = 105 + (i % 13) / 2.0;
            pass.bestReaction = 0.1 + (i % 7) / 100.0;
            log.passes.push_back(pass);
            JournalRecord record;
            record.hash = log.hash;
            record.run = run;
            record.entry = {Tracks[i % 5],          Cars[i % 3],    "synthetic pass", 60.0 + i % 30,
                            29.0 + (i % 10) / 10.0, double(i % 100)};
            records.push_back(record);
        }
        logs.push_back(std::move(log));
    }
    appendJournal((folder / "large-journal.txt").string(), records);
    auto book = std::make_unique<Logbook>((folder / "large.sqlite").string(),
                                          (folder / "large-journal.txt").string());
    Logbook::Batch batch(*book);
    for (const IndexedLog& log : logs) {
        book->store(log);
    }
    batch.commit();
    return book;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool keep = argc > 1;
    const fs::path folder =
        keep ? fs::path(argv[1])
             : fs::temp_directory_path() / ("velkor-logbook-bench-" + std::to_string(::getpid()));
    for (const char* name :
         {"logbook.sqlite", "journal.txt", "large.sqlite", "large-journal.txt"}) {
        fs::remove(folder / name);
        fs::remove(folder / (std::string(name) + "-wal"));
        fs::remove(folder / (std::string(name) + "-shm"));
    }
    if (!fs::exists(folder / "archive")) {
        std::printf("writing %d drag logs to %s ...\n", Logs, folder.c_str());
        fs::create_directories(folder / "archive");
        bench::writeArchive(folder / "archive");
    }

    bool within = true;
    {
        Logbook book((folder / "logbook.sqlite").string(), (folder / "journal.txt").string());
        auto start = Clock::now();
        LogbookScan cold(book, {(folder / "archive").string()}, 0);
        cold.run();
        const double coldTaken = seconds(start);
        std::printf("%s\n", scanSummary(cold.report()).c_str());
        within &= cold.report().read == Logs;
        within &= report("cold scan of 1,000 logs", coldTaken, 3.0);

        start = Clock::now();
        LogbookScan again(book, {(folder / "archive").string()}, 0);
        again.run();
        const double againTaken = seconds(start);
        std::printf("%s\n", scanSummary(again.report()).c_str());
        within &= again.report().unchanged == Logs;
        within &= report("rescan, nothing changed", againTaken, 0.3);
    }

    const auto start = Clock::now();
    const std::unique_ptr<Logbook> book = largeLogbook(folder);
    std::printf("made a logbook of %zu passes in %.1f s\n", book->passes().size(), seconds(start));
    std::size_t shown = 0;
    within &= report("list of all 10,000 passes", median(9, [&] { shown = book->passes().size(); }),
                     0.05);
    within &= report("list by track since a date",
                     median(9,
                            [&] {
                                shown = book->passes({"york", "", "2023-01-01", ""}).size();
                            }),
                     0.05);
    std::printf("  (%zu passes at York since 2023)\n", shown);
    Consistency trend;
    within &=
        report("trend: one car at one track, consistency",
               median(9,
                      [&] {
                          const std::vector<Pass> passes = book->passes({"York", "Nova", "", ""});
                          trend = consistency(passes, PassSpan::all());
                      }),
               0.05);
    std::printf("  (%d passes, ET spread %.3f s)\n", trend.passes,
                trend.et.standardDeviation.value_or(0));
    if (!keep) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    return within ? 0 : 1;
}
