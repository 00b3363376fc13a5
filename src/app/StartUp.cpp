#include "app/StartUp.h"

#include <functional>
#include <vector>

#include "about/BrandingFile.h"
#include "base/AppError.h"
#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/PortMap.h"
#include "base/Prompts.h"
#include "base/SerialPort.h"
#include "base/SettingsStore.h"
#include "live/RealTimeView.h"
#include "log/Caption.h"

namespace velkor {

namespace {

void selectStoredPort(AppContext& ctx) {
    const int number = ctx.data.prefs.CommPortNumber;
    if (number < 0 || number > PortCount) {
        throw AppError(ErrorNumber::InvalidPropertyValue, "Velkor",
                       "The stored port number " + std::to_string(number) +
                           " is not one of Com1 to Com255. Choose the port again under "
                           "Communications, Port Setup.");
    }
    ctx.view.selectPortEntry(number - 1);
    if (number > 0) {
        // Selecting the entry runs the port-choice handler, as a person's choice does.
        choosePort(ctx, number - 1);
    }
}

void applyGaugeLimits(AppContext& ctx) {
    const Preferences& prefs = ctx.data.prefs;
    ctx.view.setTachometerLimits(roundTo(prefs.TachRedline / 1000.0, 1),
                                 roundTo(prefs.TachMax / 1000.0, 1));
    ctx.view.setSpeedometerLimits(dropFraction(prefs.SpeedoRedline), dropFraction(prefs.SpeedoMax));
}

}  // namespace

void runStartUp(AppContext& ctx) {
    AppData& data = ctx.data;
    // A step returns false when the person chose Abort inside it.
    const std::vector<std::function<bool()>> steps = {
        [&] {
            ctx.view.showProgressFrame(false);
            ctx.view.showRealTimeFrame(false);
            data.state.RealTimeActive = false;
            return true;
        },
        [&] {
            ctx.view.setApplicationTitle("Velkor");
            return true;
        },
        // The data files are found from the executable's folder (see DataFiles), so the
        // current directory is left as the person started the program in.
        [&] {
            data.state.AbortRequested = false;
            return true;
        },
        [&] { return readCommPort(data.prefs, ctx.settings, ctx.prompts); },
        [&] {
            ctx.view.fillPortList(portEntries(ctx.portLinkDir));
            selectStoredPort(ctx);
            return true;
        },
        // The line settings are applied each time the port opens; the port stays closed here.
        [&] {
            data.state.CommErrorCount = 0;
            return true;
        },
        [&] {
            ClearFRAMBuffer(data.log);
            ClearDataBuffer(data.log);
            return true;
        },
        [&] {
            data.state.BaseCaption = DesignedCaption;
            ctx.view.setCaption(makerName(data.branding) + " " + data.state.BaseCaption);
            return true;
        },
        [&] {
            if (!readDisplaySettings(data.prefs, ctx.settings, ctx.prompts)) {
                return false;
            }
            applyGaugeLimits(ctx);
            return true;
        },
        [&] {
            clampInput2Volts(data.prefs);
            applyPressureScaling(data.prefs);
            return true;
        },
        [&] {
            data.log.FirmwareID.clear();
            data.log.ControllerType.clear();
            return true;
        },
        [&] {
            openDisplayOptions(ctx);
            return true;
        },
    };

    for (const auto& step : steps) {
        bool goOn = true;
        const StepResult result = runStep(ctx.prompts, [&] { goOn = step(); });
        if (result == StepResult::Aborted || !goOn) {
            return;
        }
    }
}

void choosePort(AppContext& ctx, int listIndex) {
    ctx.data.prefs.CommPortNumber = listIndex + 1;
    ctx.settings.write(Key::CommPort, std::to_string(ctx.data.prefs.CommPortNumber));
    if (ctx.port.isOpen()) {
        ctx.port.close();
    }
}

void openDisplayOptions(AppContext& ctx) {
    ctx.view.showDisplayOptions();
    // The new choices take effect when the live view is started again.
    cmdCloseRealTimeData_Click(ctx);
}

void showAbout(AppContext& ctx) {
    ctx.prompts.message(aboutText(ctx.data.branding), "About", Icon::Information, Buttons::Ok);
}

void shutDown(AppContext& ctx) {
    SharedState& state = ctx.data.state;
    // An operation still running (it yielded to the window system, where the close arrived)
    // stops at its next step: the flags end its loops, the port stays closed and its prompts
    // stay unseen.
    state.ShuttingDown = true;
    state.AbortRequested = true;
    state.RealTimeActive = false;
    if (ctx.port.isOpen()) {
        ctx.port.close();
    }
}

}  // namespace velkor
