#include "live/LivePoll.h"

#include <functional>
#include <vector>

#include "base/AppContext.h"
#include "base/LiveDisplay.h"
#include "base/MainView.h"
#include "base/Prompts.h"
#include "link/ControllerLink.h"
#include "live/RealTimeView.h"

namespace velkor {

namespace {

constexpr double RatioAtRest = 15.0;  // the middle of the ratio gauges' 10 to 20

// False when the tick must end here (Esc, which is consumed; the view ended; or a menu choice
// that ends the view waits for the link). Window events, Esc among them, have just run in the
// pause that ends every read, so the check takes no extra round of them: that would cost the
// line time of the poll.
bool continueCheck(ControllerLink& link) {
    SharedState& state = link.context().data.state;
    if (state.AbortRequested) {
        state.AbortRequested = false;
        return false;
    }
    return state.RealTimeActive && !link.refreshEndRequested();
}

// Brackets the writes of one tick, however the tick ends.
class Refresh {
public:
    explicit Refresh(LiveDisplay& display) : m_display(display) { m_display.beginRefresh(); }
    ~Refresh() { m_display.endRefresh(); }
    Refresh(const Refresh&) = delete;
    Refresh& operator=(const Refresh&) = delete;

private:
    LiveDisplay& m_display;
};

}  // namespace

void showLostLink(LiveDisplay& display) {
    display.setStatusText("");
    for (const GaugeId gauge : {GaugeId::gauTPSPercent, GaugeId::gauTPSVolts}) {
        display.setGaugeMember(gauge, GaugeMember::ScaleIndex, 0);
        display.setGaugeMember(gauge, GaugeMember::Value, 0);
    }
    display.setGaugeMember(GaugeId::gauInput1Analog, GaugeMember::Value, 0);
    display.setGaugeMember(GaugeId::gauInput1AFR, GaugeMember::Member38, 0);
    display.setGaugeMember(GaugeId::gauInput1AFR, GaugeMember::Value, RatioAtRest);
    display.setGaugeMember(GaugeId::gauMAP, GaugeMember::Member38, 0);
    display.setGaugeMember(GaugeId::gauMAP, GaugeMember::Value, 0);
    display.setGaugeMember(GaugeId::gauInput2Analog, GaugeMember::Value, 0);
    display.setGaugeMember(GaugeId::gauInput2AFR, GaugeMember::Member38, 0);
    display.setGaugeMember(GaugeId::gauInput2AFR, GaugeMember::Value, RatioAtRest);
    showEngineSpeed(display, 0);
    showSpeed(display, 0, "MPH");
    display.setGaugeMember(GaugeId::gauBatVolts, GaugeMember::Value, 0);
    display.setLampColour(LampId::shpLED_GPI, LampLit);
    for (const LampId dark : {LampId::shpLED_ArmIn, LampId::shpLED_Shift, LampId::shpLED_Launch,
                              LampId::shpLED_AlarmVSS, LampId::shpLED_Alarm1, LampId::shpLED_Alarm2,
                              LampId::shpLED_GPO}) {
        display.setLampColour(dark, LampDark);
    }
}

void tmrDataRead_Timer(ControllerLink& link) {
    AppContext& ctx = link.context();
    if (!ctx.data.state.RealTimeActive) {
        return;
    }
    const auto session = link.beginLiveRefresh();
    if (!session) {
        return;  // the previous tick, or another operation, still has the port
    }
    LiveDisplay& display = ctx.view.liveDisplay();
    const Refresh refresh(display);
    const Preferences& prefs = ctx.data.prefs;
    const ControllerIdentity& controller = ctx.data.controller;
    LiveState& live = ctx.data.live;

    auto show = [&](Reading reading, float value) {
        showReading(display, prefs, {controller.TPSMin, controller.TPSMax}, live, reading, value);
        return true;
    };
    // Each step returns false when the tick ends with it.
    const std::vector<std::function<bool()>> steps = {
        [&] {
            const float state = link.ReadStatus();
            if (!link.CommandOK) {
                // The read has reported its time-out; no further message.
                showLostLink(display);
                link.closePort();
                cmdCloseRealTimeData_Click(ctx);
                return false;
            }
            return show(Reading::State, state);
        },
        [&] { return show(Reading::Throttle, link.ReadTPS()); },
        [&] { return show(Reading::Battery, link.ReadBAT()); },
        [&] { return show(Reading::EngineSpeed, link.ReadRPM()); },
        [&] { return show(Reading::RoadSpeed, link.ReadVSS()); },
        [&] { return show(Reading::Input1, link.ReadVIN1()); },
        [&] { return show(Reading::Input2, link.ReadVIN2()); },
        [&] { return show(Reading::InputBits, link.ReadInputData()); },
        [&] { return show(Reading::OutputBits, link.ReadOutputData()); },
    };

    for (std::size_t i = 0; i < steps.size(); ++i) {
        bool goOn = true;
        // A run-time error in a step goes to the error prompt: Abort ends the tick, Retry runs
        // the step again, Ignore goes on with the next one.
        if (runStep(ctx.prompts, [&] { goOn = steps[i](); }) == StepResult::Aborted || !goOn) {
            return;
        }
        if (i + 1 < steps.size() && !continueCheck(link)) {
            return;
        }
    }
    ctx.prompts.yield();
}

}  // namespace velkor
