// Reading one log file for the logbook: its stamp, its content's hash, and the passes the run
// analysis finds in it. Runs on the scan's worker threads: it touches nothing shared.

#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "analysis/RunAnalysis.h"
#include "base/DataLog.h"
#include "base/Preferences.h"
#include "base/Sha256.h"
#include "log/LogFile.h"
#include "logbook/FileStamp.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookSchema.h"
#include "logbook/PassDate.h"

namespace velkor {
namespace {

// A log file is about 300 KiB; anything past this is some other file.
constexpr std::int64_t LargestLogFile = 4 * 1024 * 1024;

const char* whereItEnds(LogFileRead::End end) {
    switch (end) {
        case LogFileRead::End::InHeader:
            return "in its header";
        case LogFileRead::End::InSamples:
            return "in its samples";
        case LogFileRead::End::InTrailer:
            return "before its firmware ID";
        case LogFileRead::End::Complete:
            break;
    }
    return "";
}

void readInto(IndexedLog& indexed) {
    const std::optional<FileStamp> stamp = fileStamp(indexed.path);
    if (!stamp || !stamp->regular) {
        indexed.error = "The file could not be found or is not a file.";
        return;
    }
    indexed.size = stamp->size;
    indexed.modifiedNs = stamp->modifiedNs;
    if (stamp->size > LargestLogFile) {
        indexed.error = "The file is too large to be a log file.";
        return;
    }
    std::ifstream in(indexed.path, std::ios::binary);
    std::string bytes;
    bytes.resize(std::size_t(stamp->size) + 1);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (in.bad() || (!in.eof() && in.fail())) {
        indexed.error = "The file could not be read.";
        return;
    }
    bytes.resize(std::size_t(in.gcount()));
    if (std::int64_t(bytes.size()) > LargestLogFile) {
        indexed.error = "The file is too large to be a log file.";
        return;
    }
    indexed.size = std::int64_t(bytes.size());
    indexed.hash = sha256Hex(bytes);

    auto log = std::make_unique<DataLog>();
    Preferences prefs;
    std::istringstream text(std::move(bytes));
    const LogFileRead read = readLogFile(text, *log, prefs);
    if (read.end != LogFileRead::End::Complete) {
        indexed.error =
            std::string("The file is not a whole log file: it ends ") + whereItEnds(read.end) + ".";
        return;
    }
    if (!read.firmwareKnown) {
        indexed.error = "The file is not a shift-light controller's log: its firmware ID is \"" +
                        log->FirmwareID + "\".";
        return;
    }
    indexed.firmwareId = log->FirmwareID;
    indexed.downloadDate = log->DownloadDate;
    indexed.comment = log->Comment;
    indexed.interval = double(log->DataLogInterval);
    indexed.passDate =
        passDate(schema::fileNameOf(indexed.path), log->DownloadDate, indexed.modifiedNs);
    const RunAnalysis analysis = analyseRuns(*log);
    for (std::size_t i = 0; i < analysis.runs.size(); ++i) {
        if (analysis.runs[i].fromStandstill) {
            indexed.passes.push_back(
                passFromRun(analysis.runs[i], indexed.path, int(i) + 1, indexed.passDate));
        }
    }
}

}  // namespace

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.size = std::int64_t(status.st_size);
    stamp.modifiedNs = std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    stamp.regular = S_ISREG(status.st_mode);
    return stamp;
}

IndexedLog indexLogFile(const std::string& path) {
    IndexedLog indexed;
    indexed.path = path;
    try {
        readInto(indexed);
    } catch (const std::exception& failure) {
        indexed.error = std::string("The file could not be read: ") + failure.what();
    } catch (...) {
        indexed.error = "The file could not be read.";
    }
    if (!indexed.error.empty()) {
        indexed.passes.clear();
    }
    return indexed;
}

}  // namespace velkor
