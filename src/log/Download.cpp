#include "log/Download.h"

#include <memory>

#include "base/Clock.h"
#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/Prompts.h"
#include "link/ControllerLink.h"
#include "log/Caption.h"
#include "log/DownloadArchive.h"
#include "log/FramDecode.h"
#include "log/ViewChart.h"

namespace velkor {

namespace {

void say(Prompts& prompts, const std::string& text, Icon icon = Icon::Exclamation) {
    prompts.message(text, DownloadTitle, icon, Buttons::Ok);
}

// The steps from the link check to the time column, filling `log`, which nobody else sees.
Outcome downloadInto(ControllerLink& link, DataLog& log) {
    AppContext& ctx = link.context();
    Prompts& prompts = ctx.prompts;
    ControllerIdentity& controller = ctx.data.controller;

    link.ReSyncUpToFiveTimes();
    if (!link.CommandOK) {
        say(prompts, NoLinkMessage);
        link.closePort();
        return Outcome::failed("no link to the controller");
    }
    const std::int32_t state = toWhole(link.ReadStatus());
    if (!link.CommandOK) {
        return Outcome::failed("the controller's state could not be read");
    }
    if (state > 1) {
        say(prompts, "Cannot download while controller is armed.");
        link.closePort();
        return Outcome::failed("the controller is armed");
    }
    controller = {};
    link.ReadFirmwareID();
    if (!link.CommandOK) {
        say(prompts, "Firmware ID read failed - cannot download.");
        return Outcome::failed("the firmware ID could not be read");
    }
    if (controller.FirmwareID.empty()) {
        say(prompts, "Invalid firmware ID - cannot download.");
        return Outcome::failed("the controller sent an empty firmware ID");
    }
    say(prompts, "Firmware ID: " + controller.FirmwareID);

    readTPSScaleFactorsOrUsual(link, DownloadTitle);
    log.FirmwareID = controller.FirmwareID;
    log.ControllerType = controller.ControllerType;
    log.TPSMin = controller.TPSMin;
    log.TPSMax = controller.TPSMax;

    const Outcome read = link.ReadFRAMData(log);
    if (!read.isDone()) {
        if (!ctx.data.state.ShuttingDown) {
            say(prompts, "FRAM download failed.", Icon::Information);
        }
        return read;
    }
    log.DownloadDate = ctx.clock.localDateTimeText();
    if (const auto error = DecodeFRAMImage(log)) {
        ErrorPrompt(prompts, *error);
        return Outcome::failed(error->description());
    }
    // Without the interval every time would be 0: such a log is no download.
    log.DataLogInterval = link.ReadDataLogInterval();
    if (!link.CommandOK) {
        link.closePort();
        if (!ctx.data.state.ShuttingDown) {
            say(prompts, IntervalReadFailed, Icon::Information);
        }
        return Outcome::failed("the logging interval could not be read");
    }
    link.closePort();
    BuildElapsedTime(log);
    log.DataBufferEmpty = false;
    return Outcome::done();
}

}  // namespace

Outcome mnuDownload_Click(ControllerLink& link) {
    AppContext& ctx = link.context();
    auto fresh = std::make_unique<DataLog>();
    Outcome outcome = Outcome::failed("the download stopped at a run-time error");
    {
        const auto session = link.beginMenuOperation(Activity::Download);
        if (!session) {
            return Outcome::failed("another controller operation is running");
        }
        runStep(ctx.prompts, [&] {
            closeRealTimeView(ctx);
            outcome = downloadInto(link, *fresh);
        });
    }
    if (!outcome.isDone()) {
        return outcome;
    }
    ctx.data.log = *fresh;
    archiveDownload(ctx);
    ctx.view.setCaption(downloadedLogCaption(ctx.data.state.BaseCaption));
    runStep(ctx.prompts, [&] { mnuViewChart_Click(ctx); });
    return outcome;
}

Outcome verifyDownload(ControllerLink& link, const DataLog& log) {
    const auto session = link.beginMenuOperation(Activity::Download);
    if (!session) {
        return Outcome::failed("another controller operation is running");
    }
    auto second = std::make_unique<DataLog>();
    Outcome read = Outcome::failed("the second read stopped at a run-time error");
    runStep(link.context().prompts, [&] {
        link.ReSyncUpToFiveTimes();
        if (!link.CommandOK) {
            link.closePort();
            read = Outcome::failed("no link to the controller for the second read");
            return;
        }
        read = link.ReadFRAMData(*second);
    });
    if (!read.isDone()) {
        return read;
    }
    if (second->FRAMBuffer != log.FRAMBuffer) {
        return Outcome::failed("the two reads of the controller's memory differ");
    }
    return Outcome::done();
}

}  // namespace velkor
