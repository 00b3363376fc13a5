#include "live/RealTimeView.h"

#include "base/AppContext.h"
#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/Prompts.h"
#include "base/SerialPort.h"
#include "link/ControllerLink.h"
#include "live/GaugeDesign.h"
#include "log/ViewChart.h"

namespace velkor {

namespace {

constexpr const char* ViewTitle = "View Real Time Data";

void say(Prompts& prompts, const std::string& text) {
    prompts.message(text, ViewTitle, Icon::Exclamation, Buttons::Ok);
}

// R(x): the nearest whole number, a tie going to the even one.
double whole(double value) {
    return roundTo(value, 0);
}

void showOnly(LiveDisplay& display, std::initializer_list<GaugeId> shown,
              std::initializer_list<GaugeId> hidden) {
    for (const GaugeId gauge : shown) {
        display.showGauge(gauge, true);
    }
    for (const GaugeId gauge : hidden) {
        display.showGauge(gauge, false);
    }
}

void layOutInput2(const Preferences& prefs, LiveState& live, LiveDisplay& display) {
    if (prefs.Input2Type == "Analog") {
        showOnly(display, {GaugeId::gauInput2Analog}, {GaugeId::gauInput2AFR});
        applyScale(display, GaugeId::gauInput2Analog, analogScale());
        return;
    }
    if (prefs.Input2Type == "AFR") {
        showOnly(display, {GaugeId::gauInput2AFR}, {GaugeId::gauInput2Analog});
        return;
    }
    // Any other type is a scaled input: the gauge spans the scaled values of 0 V to 5 V.
    showOnly(display, {GaugeId::gauInput2Analog}, {GaugeId::gauInput2AFR});
    const Input2Scaling scaling = input2Scaling(prefs);
    live.Input2Slope = scaling.slope;
    live.Input2Offset = scaling.offset;
    const double at0V = whole(scaling.offset);
    const double at5V = whole(5.0 * scaling.slope + scaling.offset);
    const double step = whole(5.0 * scaling.slope / 10.0);
    applyScale(display, GaugeId::gauInput2Analog, {at0V, at5V, at0V, at5V, at0V, at5V, step});
}

void layOutInput1(Preferences& prefs, LiveDisplay& display) {
    if (prefs.Input1Type == "Analog") {
        showOnly(display, {GaugeId::gauInput1Analog}, {GaugeId::gauInput1AFR, GaugeId::gauMAP});
        return;
    }
    if (prefs.Input1Type == "AFR") {
        showOnly(display, {GaugeId::gauInput1AFR}, {GaugeId::gauInput1Analog, GaugeId::gauMAP});
        return;
    }
    const auto scale = pressureScale(prefs.Input1Type, prefs.PressureUnits);
    if (!scale) {
        return;  // a type this program does not know: the input 1 gauges stay as they are
    }
    showOnly(display, {GaugeId::gauMAP}, {GaugeId::gauInput1Analog, GaugeId::gauInput1AFR});
    for (const GaugeMember member :
         {GaugeMember::Member55, GaugeMember::Member3, GaugeMember::Member64}) {
        display.setGaugeMember(GaugeId::gauMAP, member, 0);
    }
    applyScale(display, GaugeId::gauMAP, *scale);
    applyPressureScaling(prefs);
}

}  // namespace

void layOutGauges(Preferences& prefs, LiveState& live, LiveDisplay& display) {
    if (prefs.TPSPercentDisplay) {
        showOnly(display, {GaugeId::gauTPSPercent}, {GaugeId::gauTPSVolts});
    } else {
        showOnly(display, {GaugeId::gauTPSVolts}, {GaugeId::gauTPSPercent});
    }
    layOutInput2(prefs, live, display);
    display.setDialMember(DialId::gauSpeedometer, DialMember::TextSelector, 1);
    display.setDialCaption(DialId::gauSpeedometer, prefs.VSSUnits);
    layOutInput1(prefs, display);
}

void mnuViewRealTime_Click(ControllerLink& link) {
    AppContext& ctx = link.context();
    const auto session = link.beginMenuOperation(Activity::LiveStart);
    if (!session) {
        return;
    }
    Prompts& prompts = ctx.prompts;
    // The identity read here is the connected controller's; the log in memory keeps its own.
    ControllerIdentity& controller = ctx.data.controller;

    link.ReSyncUpToFiveTimes();
    if (!link.CommandOK) {
        say(prompts, NoLinkMessage);
        link.closePort();
        return;
    }

    controller = {};
    link.ReadFirmwareID();
    if (controller.FirmwareID.empty() || !link.CommandOK) {
        say(prompts,
            "Error - invalid firmware ID. Unable to identify controller version.\r\n"
            "Some data may be incorrectly scaled.");
        controller.ControllerType = "Unknown";
    }

    readTPSScaleFactorsOrUsual(link, ViewTitle);

    layOutGauges(ctx.data.prefs, ctx.data.live, ctx.view.liveDisplay());
    ctx.view.showRealTimeFrame(true);
    ctx.data.state.RealTimeActive = true;
    ctx.data.state.CommErrorCount = 0;
}

void cmdCloseRealTimeData_Click(AppContext& ctx) {
    closeRealTimeView(ctx);
}

bool replayLog(AppContext& ctx, LiveState& replay) {
    closeRealTimeView(ctx);
    if (ctx.data.log.DataBufferEmpty) {
        ctx.prompts.message(EmptyLogMessage, "Replay Log", Icon::Exclamation, Buttons::Ok);
        return false;
    }
    replay = ctx.data.live;
    layOutGauges(ctx.data.prefs, replay, ctx.view.liveDisplay());
    ctx.view.showRealTimeFrame(true);
    return true;
}

}  // namespace velkor
