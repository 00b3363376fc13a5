#include "log/LogFileOperations.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "base/AppContext.h"
#include "base/AppError.h"
#include "base/Latin1.h"
#include "base/MainView.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "log/AtomicFile.h"
#include "log/Caption.h"
#include "log/FileDialogs.h"
#include "log/LogFile.h"
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

}  // namespace

void mnuSaveFile_Click(AppContext& ctx) {
    DataLog& log = ctx.data.log;
    Prompts& prompts = ctx.prompts;
    if (log.DataBufferEmpty) {
        prompts.message("Data buffer empty.", SaveTitle, Icon::Exclamation, Buttons::Ok);
        return;
    }
    const auto path =
        chooseFile(prompts, [&] { return FileSave(prompts, "Save File", LogFileFilter, ""); });
    if (!path) {
        return;
    }

    auto body = logFileBody(log, ctx.data.prefs, makerName(ctx.data.branding), [&] {
        prompts.yield();
        if (ctx.data.state.AbortRequested) {
            // Nothing has touched the disk yet, so the file as it was stays.
            ctx.data.state.AbortRequested = false;
            return false;
        }
        return true;
    });
    if (!body) {
        return;
    }
    std::string content = std::move(*body);
    if (log.Comment.empty()) {
        log.Comment = prompts.inputBox("Comment?", "Optional Information Entry", "").value_or("");
    }
    content += logFileComment(log.Comment);
    content += LogFileLineEnd;

    if (runStep(prompts, [&] { writeFileAtomically(*path, content); }) != StepResult::Done) {
        return;  // nothing was replaced
    }
    ctx.view.setCaption(fileCaption(ctx.data.state.BaseCaption, *path));
}

std::optional<LogFileRead> mnuOpenFile_Click(AppContext& ctx) {
    DataLog& log = ctx.data.log;
    Prompts& prompts = ctx.prompts;
    if (!log.DataBufferEmpty) {
        if (prompts.message("Data buffer not empty. OK to overwrite?", OpenTitle, Icon::None,
                            Buttons::OkCancel) != Answer::Ok) {
            return std::nullopt;
        }
        ClearDataBuffer(log);
    }
    log.FirmwareID.clear();
    log.ControllerType.clear();

    const auto path =
        chooseFile(prompts, [&] { return FileOpen(prompts, "Open File", LogFileFilter, ""); });
    if (!path) {
        return std::nullopt;
    }

    std::ifstream file;
    const StepResult opened = runStep(prompts, [&] {
        file.open(*path, std::ios::binary);
        if (!file) {
            throw AppError(ErrorNumber::FileNotFound, "Velkor",
                           "The log file " + latin1FromUtf8(*path) + " could not be opened (" +
                               std::strerror(errno) + ").");
        }
    });
    if (opened != StepResult::Done) {
        return std::nullopt;
    }

    const LogFileRead read = readLogFile(file, log, ctx.data.prefs);
    file.close();
    if (read.end == LogFileRead::End::InHeader) {
        prompts.message(PrematureEndNoData, OpenTitle, Icon::Exclamation, Buttons::Ok);
        return read;
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
    log.DataBufferEmpty = false;
    ctx.view.setCaption(fileCaption(ctx.data.state.BaseCaption, *path));
    if (isPressureSensor(ctx.data.prefs.Input1Type)) {
        applyPressureScaling(ctx.data.prefs);
    }
    mnuViewChart_Click(ctx);
    return read;
}

void mnuEditComment_Click(AppContext& ctx) {
    ctx.data.log.Comment = ctx.prompts
                               .inputBox("Enter or edit comment. Cancel will erase any comment.",
                                         "Optional Information Entry/Edit", ctx.data.log.Comment)
                               .value_or("");
}

}  // namespace velkor
