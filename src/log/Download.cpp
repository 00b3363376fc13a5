#include "log/Download.h"

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

}  // namespace

void mnuDownload_Click(ControllerLink& link) {
    AppContext& ctx = link.context();
    const auto session = link.beginMenuOperation();
    if (!session) {
        return;
    }
    Prompts& prompts = ctx.prompts;
    DataLog& log = ctx.data.log;

    runStep(prompts, [&] {
        closeRealTimeView(ctx);
        ClearFRAMBuffer(log);
        ClearDataBuffer(log);
        ctx.view.setCaption(emptyLogCaption(ctx.data.state.BaseCaption));

        link.ReSyncUpToFiveTimes();
        if (!link.CommandOK) {
            say(prompts, NoLinkMessage);
            link.closePort();
            return;
        }
        const std::int32_t state = toWhole(link.ReadStatus());
        if (!link.CommandOK) {
            return;  // the read has reported its failure
        }
        if (state > 1) {
            say(prompts, "Cannot download while controller is armed.");
            link.closePort();
            return;
        }
        link.ReadFirmwareID();
        if (!link.CommandOK) {
            say(prompts, "Firmware ID read failed - cannot download.");
            return;
        }
        if (log.FirmwareID.empty()) {
            say(prompts, "Invalid firmware ID - cannot download.");
            return;
        }
        say(prompts, "Firmware ID: " + log.FirmwareID);

        link.ReadTPSScaleFactors();
        if (!link.CommandOK) {
            say(prompts,
                "Error - unable to read TPS scale factors.\r\n"
                "TPS percent data may be incorrectly scaled.");
            log.TPSMin = 26;
            log.TPSMax = 230;
        }
        log.Comment.clear();

        link.ReadFRAMData();
        if (!link.CommandOK) {
            say(prompts, "FRAM download failed.", Icon::Information);
            return;
        }
        log.DownloadDate = ctx.clock.localDateTimeText();
        if (const auto error = DecodeFRAMImage(log)) {
            ErrorPrompt(prompts, *error);  // the image cannot be decoded: the log stays empty
            return;
        }
        log.DataLogInterval = link.ReadDataLogInterval();
        link.closePort();
        BuildElapsedTime(log);
        log.DataBufferEmpty = false;
        archiveDownload(ctx);
        ctx.view.setCaption(downloadedLogCaption(ctx.data.state.BaseCaption));
        mnuViewChart_Click(ctx);
    });
}

}  // namespace velkor
