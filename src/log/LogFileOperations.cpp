#include "log/LogFileOperations.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>

#include "base/Activity.h"
#include "base/AppContext.h"
#include "base/AppError.h"
#include "base/Clock.h"
#include "base/Latin1.h"
#include "base/MainView.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "log/AtomicFile.h"
#include "log/Caption.h"
#include "log/DownloadArchive.h"
#include "log/FileDialogs.h"
#include "log/LogFile.h"
#include "log/RecentFiles.h"
#include "log/ViewChart.h"

namespace velkor {

namespace {

// Runs a dialog loop under the error prompt. Its "Canceled" error: Retry shows the dialog again;
// Abort and Ignore both end the operation, since the person declined the file.
std::optional<std::string> chooseFile(Prompts& prompts,
                                      const std::function<std::optional<std::string>()>& dialog) {
    std::optional<std::string> path;
    const StepResult result = runStep(prompts, [&] { path = dialog(); });
    if (result != StepResult::Done || !path || path->empty()) {
        return std::nullopt;
    }
    return path;
}

// The windows grey these choices while an operation runs; one that still arrives (from a
// script, or a window that missed the change) is refused the same way.
bool refusedWhileBusy(AppContext& ctx) {
    if (ctx.data.state.running == Activity::None) {
        return false;
    }
    ctx.view.showBusy();
    return true;
}

}  // namespace

std::string suggestedLogFileName(const DataLog& log, const LocalDateTime& now) {
    if (!log.FilePath.empty()) {
        return fileNameOf(log.FilePath);
    }
    if (!log.ArchivePath.empty()) {
        return fileNameOf(log.ArchivePath);
    }
    return archiveFileName(now);
}

Outcome mnuSaveFile_Click(AppContext& ctx) {
    DataLog& log = ctx.data.log;
    Prompts& prompts = ctx.prompts;
    if (refusedWhileBusy(ctx)) {
        return Outcome::failed("another operation is running");
    }
    if (log.DataBufferEmpty) {
        prompts.message("Data buffer empty.", SaveTitle, Icon::Exclamation, Buttons::Ok);
        return Outcome::failed("the log is empty");
    }
    const FilePlaces places{ctx.settings, ctx.downloadArchiveDir};
    const FilePlace place{&places, FileKind::Log,
                          suggestedLogFileName(log, ctx.clock.localDateTime())};
    const auto path = chooseFile(
        prompts, [&] { return FileSave(prompts, "Save File", LogFileFilter, "", place); });
    if (!path) {
        return Outcome::cancelled("no file chosen");
    }

    std::optional<std::string> body;
    {
        const RunningOperation writing(ctx.data.state, ctx.view, Activity::SaveFile);
        body = logFileBody(log, ctx.data.prefs, makerName(ctx.data.branding), [&] {
            prompts.yield();
            // Nothing has touched the disk yet, so the file as it was stays.
            return !ctx.data.state.AbortRequested;
        });
    }
    if (!body) {
        return Outcome::cancelled("stopped");
    }
    std::string content = std::move(*body);
    if (log.Comment.empty()) {
        log.Comment = prompts.inputBox("Comment?", "Optional Information Entry", "").value_or("");
    }
    content += logFileComment(log.Comment);
    content += LogFileLineEnd;

    Outcome outcome = Outcome::failed("the file could not be written");
    if (runStep(prompts, [&] { writeFileAtomically(*path, content); }) == StepResult::Done) {
        ctx.view.setCaption(fileCaption(ctx.data.state.BaseCaption, *path));
        log.FilePath = *path;
        rememberRecentFile(ctx.settings, *path);
        outcome = Outcome::done();
    }
    return outcome;  // when not written, nothing was replaced
}

namespace {

// Reads the log file at `path` in place of the log in memory, which stays when the file cannot be
// opened or holds no data.
OpenedLog readChosenLog(AppContext& ctx, const std::string& path) {
    Prompts& prompts = ctx.prompts;
    std::ifstream file;
    const StepResult opened = runStep(prompts, [&] {
        file.open(path, std::ios::binary);
        if (!file) {
            throw AppError(ErrorNumber::FileNotFound, "Velkor",
                           "The log file " + latin1FromUtf8(path) + " could not be opened (" +
                               std::strerror(errno) + ").");
        }
    });
    if (opened != StepResult::Done) {
        return {Outcome::failed("the file could not be opened"), {}};
    }

    auto fresh = std::make_unique<DataLog>();
    Preferences settings = ctx.data.prefs;
    const LogFileRead read = readLogFile(file, *fresh, settings);
    file.close();
    if (read.end == LogFileRead::End::InHeader) {
        prompts.message(PrematureEndNoData, OpenTitle, Icon::Exclamation, Buttons::Ok);
        return {Outcome::failed("the file holds no data"), read};
    }
    if (read.end != LogFileRead::End::Complete) {
        prompts.message(PrematureEnd, OpenTitle, Icon::Exclamation, Buttons::Ok);
    }
    if (!read.firmwareKnown) {
        prompts.message(InvalidFirmware, OpenTitle, Icon::Exclamation, Buttons::Ok);
    }
    for (const std::string& note : logFileNotes(read)) {
        prompts.message(note, OpenTitle, Icon::Exclamation, Buttons::Ok);
    }
    fresh->DataBufferEmpty = false;
    fresh->FilePath = path;
    ctx.data.log = *fresh;
    rememberRecentFile(ctx.settings, path);
    ctx.data.prefs = settings;
    ctx.view.setCaption(fileCaption(ctx.data.state.BaseCaption, path));
    if (isPressureSensor(ctx.data.prefs.Input1Type)) {
        applyPressureScaling(ctx.data.prefs);
    }
    mnuViewChart_Click(ctx);
    return {Outcome::done(), read};
}

// Asks before a log in memory is replaced; true when it may be.
bool mayReplaceLog(AppContext& ctx) {
    return ctx.data.log.DataBufferEmpty ||
           ctx.prompts.message("Data buffer not empty. OK to overwrite?", OpenTitle, Icon::None,
                               Buttons::OkCancel) == Answer::Ok;
}

}  // namespace

OpenedLog mnuOpenFile_Click(AppContext& ctx) {
    if (refusedWhileBusy(ctx)) {
        return {Outcome::failed("another operation is running"), {}};
    }
    if (!mayReplaceLog(ctx)) {
        return {Outcome::cancelled("not confirmed"), {}};
    }
    Prompts& prompts = ctx.prompts;
    const FilePlaces places{ctx.settings, ctx.downloadArchiveDir};
    const FilePlace place{&places, FileKind::Log, ""};
    const auto path = chooseFile(
        prompts, [&] { return FileOpen(prompts, "Open File", LogFileFilter, "", place); });
    if (!path) {
        return {Outcome::cancelled("no file chosen"), {}};
    }
    return readChosenLog(ctx, *path);
}

OpenedLog openLogFile(AppContext& ctx, const std::string& path) {
    if (refusedWhileBusy(ctx)) {
        return {Outcome::failed("another operation is running"), {}};
    }
    if (!mayReplaceLog(ctx)) {
        return {Outcome::cancelled("not confirmed"), {}};
    }
    return readChosenLog(ctx, path);
}

void mnuEditComment_Click(AppContext& ctx) {
    if (refusedWhileBusy(ctx)) {
        return;
    }
    ctx.data.log.Comment = ctx.prompts
                               .inputBox("Enter or edit comment. Cancel will erase any comment.",
                                         "Optional Information Entry/Edit", ctx.data.log.Comment)
                               .value_or("");
}

}  // namespace velkor
