#include "logbook/LogbookScan.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <thread>

#include "logbook/FileStamp.h"
#include "logbook/Logbook.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Folders nested deeper than this are not log archives.
constexpr int DeepestFolder = 64;

bool isLogName(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".log";
}

std::string plural(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string scanSummary(const ScanReport& report) {
    std::string text = "Scanned " + plural(report.files, "log file", "log files") + ": " +
                       std::to_string(report.read) + " new or changed (" +
                       plural(report.passes, "pass", "passes") + "), " +
                       std::to_string(report.unchanged) + " unchanged";
    // The problems are the files found that could not be read, then any folder or named file
    // the scan could not look at.
    const int unread = std::max(0, report.files - report.read - report.unchanged);
    if (unread > 0) {
        text += ", " + std::to_string(unread) + " could not be read";
    }
    const int places = int(report.problems.size()) - unread;
    if (places > 0) {
        text += "; " + std::to_string(places) +
                (places == 1 ? " folder or file was" : " folders or files were") +
                " not found or could not be opened";
    }
    return text + ".";
}

struct LogbookScan::State {
    Logbook& book;
    std::vector<std::string> roots;
    unsigned threads;

    bool found = false;
    std::vector<std::string> candidates;  // every log file found, in the order found
    std::size_t checked = 0;              // candidates compared with the logbook so far
    std::size_t queued = 0;               // candidates handed to the workers
    std::size_t finished = 0;             // read or passed over
    std::set<std::string> seen;
    ScanReport report;

    std::mutex mutex;
    std::condition_variable work;     // a file to read, or the end
    std::condition_variable results;  // a file read
    std::deque<std::string> toRead;
    std::deque<IndexedLog> read;
    bool noMoreWork = false;
    std::atomic<bool> stop{false};
    std::vector<std::thread> workers;

    State(Logbook& book, std::vector<std::string> roots, unsigned threads)
        : book(book), roots(std::move(roots)), threads(threads) {}

    void add(const fs::path& path) {
        std::string name = path.lexically_normal().string();
        if (seen.insert(name).second) {
            candidates.push_back(std::move(name));
        }
    }

    void walk(const fs::path& folder, int depth) {
        std::error_code error;
        fs::directory_iterator entries(folder, error);
        if (error) {
            report.problems.push_back(
                {folder.string(), "The folder could not be read: " + error.message() + "."});
            return;
        }
        std::vector<fs::path> subfolders;
        for (; entries != fs::directory_iterator(); entries.increment(error)) {
            if (error) {
                break;
            }
            const fs::directory_entry& entry = *entries;
            // Links to folders are not followed, so no loop of links can hold a scan.
            const fs::file_status own = entry.symlink_status(error);
            if (fs::is_directory(own)) {
                subfolders.push_back(entry.path());
            } else if (isLogName(entry.path()) && entry.is_regular_file(error)) {
                add(entry.path());
            }
        }
        std::sort(subfolders.begin(), subfolders.end());
        for (const fs::path& subfolder : subfolders) {
            if (depth < DeepestFolder) {
                walk(subfolder, depth + 1);
            }
        }
    }

    void find() {
        for (const std::string& root : roots) {
            std::error_code error;
            if (fs::is_directory(root, error)) {
                walk(root, 0);
            } else if (fs::exists(root, error)) {
                add(root);
            } else {
                report.problems.push_back({root, "The file or folder was not found."});
            }
        }
        report.files = int(candidates.size());
        found = true;
    }

    void startWorkers() {
        unsigned count = threads != 0 ? threads : std::thread::hardware_concurrency();
        count = std::max(1u, count);
        for (unsigned i = 0; i < count; ++i) {
            workers.emplace_back([this] { readFiles(); });
        }
    }

    void readFiles() {
        for (;;) {
            std::string path;
            {
                std::unique_lock<std::mutex> lock(mutex);
                work.wait(lock, [this] { return stop || noMoreWork || !toRead.empty(); });
                if (stop || toRead.empty()) {
                    return;
                }
                path = std::move(toRead.front());
                toRead.pop_front();
            }
            IndexedLog indexed = indexLogFile(path);
            {
                std::lock_guard<std::mutex> lock(mutex);
                read.push_back(std::move(indexed));
            }
            results.notify_one();
        }
    }

    // Compares found files with the logbook until the deadline; the changed ones go to the
    // workers.
    void check(Clock::time_point deadline) {
        std::vector<std::string> changed;
        do {
            const std::string& path = candidates[checked++];
            const std::optional<FileStamp> stamp = fileStamp(path);
            if (stamp && book.isUnchanged(path, stamp->size, stamp->modifiedNs)) {
                ++report.unchanged;
                ++finished;
            } else {
                changed.push_back(path);
            }
        } while (checked < candidates.size() && changed.size() < 64 && Clock::now() < deadline);
        {
            std::lock_guard<std::mutex> lock(mutex);
            queued += changed.size();
            for (std::string& path : changed) {
                toRead.push_back(std::move(path));
            }
            noMoreWork = checked == candidates.size();
        }
        work.notify_all();
        if (workers.empty() && queued > 0) {
            startWorkers();
        }
    }

    void store(IndexedLog& indexed) {
        ++finished;
        if (!indexed.error.empty()) {
            report.problems.push_back({indexed.path, indexed.error});
            return;
        }
        book.store(indexed);
        ++report.read;
        report.passes += int(indexed.passes.size());
    }

    bool allDone() const {
        return found && checked == candidates.size() && finished == candidates.size();
    }

    void stopWorkers() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        work.notify_all();
        for (std::thread& worker : workers) {
            worker.join();
        }
        workers.clear();
    }
};

LogbookScan::LogbookScan(Logbook& book, std::vector<std::string> roots, unsigned threads)
    : m_state(std::make_unique<State>(book, std::move(roots), threads)) {}

LogbookScan::~LogbookScan() {
    m_state->stopWorkers();
}

bool LogbookScan::step(std::chrono::milliseconds budget) {
    State& s = *m_state;
    const Clock::time_point deadline = Clock::now() + budget;
    if (s.allDone()) {
        return false;
    }
    if (!s.found) {
        s.find();
    }
    Logbook::Batch batch(s.book);
    while (!s.allDone()) {
        if (s.checked < s.candidates.size()) {
            s.check(deadline);
        }
        if (s.allDone()) {
            break;  // every file found was unchanged: no worker has anything to give
        }
        std::deque<IndexedLog> ready;
        {
            std::unique_lock<std::mutex> lock(s.mutex);
            const bool checking = s.checked < s.candidates.size();
            s.results.wait_until(lock, checking ? Clock::now() : deadline,
                                 [&] { return !s.read.empty(); });
            ready.swap(s.read);
        }
        for (IndexedLog& indexed : ready) {
            s.store(indexed);
        }
        if (Clock::now() >= deadline) {
            break;
        }
    }
    if (s.allDone()) {
        s.book.forgetMissing();
    }
    batch.commit();
    if (s.allDone()) {
        s.stopWorkers();
        return false;
    }
    return true;
}

void LogbookScan::run() {
    while (step(std::chrono::milliseconds(100))) {
    }
}

std::size_t LogbookScan::done() const {
    return m_state->finished;
}

std::size_t LogbookScan::total() const {
    return m_state->candidates.size();
}

const ScanReport& LogbookScan::report() const {
    return m_state->report;
}

}  // namespace velkor
