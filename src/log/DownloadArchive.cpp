#include "log/DownloadArchive.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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
#include "log/RecentFiles.h"
#include "log/TemporaryFile.h"

namespace velkor {

namespace {

namespace fs = std::filesystem;

// Far more downloads than fit in one second; past it the folder is taken as unusable.
constexpr int CopyLimit = 1000;

// A drive is private: the folders made for the kept downloads and the files in them are this
// user's alone.
constexpr mode_t PrivateFolderMode = 0700;
constexpr mode_t PrivateFileMode = 0600;

// Makes each missing folder on the way to `folder`, readable by this user only. Folders that
// exist already are left as they are.
void makePrivateFolders(const fs::path& folder) {
    fs::path made;
    for (const fs::path& part : folder) {
        made /= part;
        if (::mkdir(made.c_str(), PrivateFolderMode) != 0 && errno != EEXIST) {
            const std::string reason =
                std::string("the folder cannot be made (") + std::strerror(errno) + ")";
            throw FileWriteError("The folder " + latin1FromUtf8(folder.string()) +
                                     " cannot be made (" + std::strerror(errno) + ").",
                                 reason);
        }
    }
}

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
    makePrivateFolders(folder);
    const std::string shown = (fs::path(folder) / archiveFileName(when)).string();
    file::TemporaryFile kept(folder, archiveFileName(when), shown, "log file");
    kept.setMode(PrivateFileMode);
    kept.write(content);
    kept.sync();
    // Another download kept at the same second (another window, the terminal program) may take a
    // name at any moment: a name is taken only by a rename that refuses to replace.
    for (int copy = 1; copy <= CopyLimit; ++copy) {
        const std::string path = (fs::path(folder) / archiveFileName(when, copy)).string();
        if (kept.placeNew(path)) {
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
        ctx.data.log.ArchivePath = path;
        rememberRecentFile(ctx.settings, path);
        ctx.view.showNote("Download kept as " + latin1FromUtf8(path));
    } catch (const FileWriteError& error) {
        notKept(ctx, error.reason());
    } catch (const std::exception& error) {
        notKept(ctx, error.what());
    }
}

}  // namespace velkor
