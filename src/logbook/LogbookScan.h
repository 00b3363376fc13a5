#pragma once
// Bringing the logbook up to date with the log files: every file under the chosen folders (and
// the single files) that is new or changed is read, analysed and stored; unchanged files are
// passed over without being read; a file that cannot be read is reported and the scan goes on.
// Reading runs on worker threads; storing happens in step(), in small pieces, on the thread that
// owns the logbook, so a window can scan between its events and never stop answering.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace velkor {

class Logbook;

struct ScanProblem {
    std::string path;
    std::string reason;
};

struct ScanReport {
    int files = 0;                      // log files found
    int read = 0;                       // read and stored (new or changed)
    int unchanged = 0;                  // passed over
    int passes = 0;                     // passes stored from the files read
    std::vector<ScanProblem> problems;  // files that could not be read, and why
};

// "Scanned 120 log files: 3 new or changed (5 passes), 117 unchanged, 1 could not be read."
// A chosen folder or file that could not be looked at adds "; 1 folder or file was not found or
// could not be opened".
std::string scanSummary(const ScanReport& report);

class LogbookScan {
public:
    // `roots` are folders (searched with their subfolders for *.log) and single files.
    // `threads` 0 chooses one per core.
    LogbookScan(Logbook& book, std::vector<std::string> roots, unsigned threads = 0);
    ~LogbookScan();  // stops the workers; what was stored stays
    LogbookScan(const LogbookScan&) = delete;
    LogbookScan& operator=(const LogbookScan&) = delete;

    // Stores what the workers have read, for about `budget`; returns false once every file is
    // done. The first steps find the files.
    bool step(std::chrono::milliseconds budget);
    // Runs step() until the scan is done.
    void run();

    std::size_t done() const;   // files finished, read or passed over
    std::size_t total() const;  // files found so far
    const ScanReport& report() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace velkor
