#include "log/DownloadArchive.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "base/AppContext.h"
#include "base/Branding.h"
#include "base/Clock.h"
#include "base/Latin1.h"
#include "base/MainView.h"
#include "log/AtomicFile.h"
#include "log/LogFile.h"

namespace velkor {

namespace {

namespace fs = std::filesystem;

// Far more downloads than fit in one second; past it the folder is taken as unusable.
constexpr int CopyLimit = 1000;

void notKept(AppContext& ctx, const std::string& reason) {
    const std::string folder = latin1FromUtf8(ctx.downloadArchiveDir);
    ctx.view.showNoteInWords(
        "This download was not kept in " + folder + ": " + reason + ". Save it with Save File.",
        "this download was not kept in " + folder + " (" + reason + ")");
}

}  // namespace

std::string archiveFileName(const LocalDateTime& when, int copy) {
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d_%02d-%02d-%02d", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
    std::string result = name;
    if (copy > 1) {
        result += "_" + std::to_string(copy);
    }
    return result + ".log";
}

std::string writeArchiveFile(const std::string& folder, const LocalDateTime& when,
                             const std::string& content) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        throw FileWriteError(
            "The folder " + latin1FromUtf8(folder) + " cannot be made (" + error.message() + ").",
            "the folder cannot be made (" + error.message() + ")");
    }
    for (int copy = 1; copy <= CopyLimit; ++copy) {
        const std::string path = (fs::path(folder) / archiveFileName(when, copy)).string();
        if (!fs::exists(fs::symlink_status(path, error))) {
            writeFileAtomically(path, content);
            return path;
        }
    }
    const std::string reason = "every name for this time is taken";
    throw FileWriteError("The folder " + latin1FromUtf8(folder) + ": " + reason, reason);
}

void archiveDownload(AppContext& ctx) {
    if (ctx.downloadArchiveDir.empty()) {
        return;
    }
    const LocalDateTime when = ctx.clock.localDateTime();
    try {
        const std::string content =
            logFileText(ctx.data.log, ctx.data.prefs, makerName(ctx.data.branding));
        const std::string path = writeArchiveFile(ctx.downloadArchiveDir, when, content);
        ctx.view.showNote("Download kept as " + latin1FromUtf8(path));
    } catch (const FileWriteError& error) {
        notKept(ctx, error.reason());
    } catch (const std::exception& error) {
        notKept(ctx, error.what());
    }
}

}  // namespace velkor
