#include "live/LivePoll.h"

#include <functional>
#include <vector>

#include "base/AppContext.h"
#include "base/LiveDisplay.h"
#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "link/ControllerLink.h"
#include "live/RealTimeView.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

constexpr float SmallestThrottleSpan = 0.1f;
constexpr double RatioAtRest = 15.0;  // the middle of the ratio gauges' 10 to 20

void lamp(LiveDisplay& display, LampId id, bool lit) {
    display.setLampColour(id, lit ? LampLit : LampDark);
}

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

void dialReading(LiveDisplay& display, DialId dial, double value, const std::string& caption) {
    display.setDialMember(dial, DialMember::Value, value);
    display.setDialMember(dial, DialMember::TextSelector, 3);
    display.setDialCaption(dial, caption);
}

}  // namespace

std::string statusText(std::int32_t state, bool tpsPercentDisplay, float lastTPSVolts) {
    std::string text = stateName(state, "Invalid");
    if (!tpsPercentDisplay) {
        const double volts = toWhole(20.0 * lastTPSVolts) / 20.0;
        text += "\r\nTPS Volts: " + formatNumber(volts, "0.00");
    }
    return text;
}

ThrottleShown throttleShown(float rawCount, float tpsMin, float tpsMax) {
    float span = tpsMax - tpsMin;
    if (span == 0.0f) {
        span = SmallestThrottleSpan;
    }
    const auto percent = static_cast<float>((rawCount - tpsMin) * 100.0 / span);
    if (percent <= 0.0f) {
        return {0, 0.0f};
    }
    if (percent <= 90.0f) {
        return {0, percent};
    }
    // Above 90 the value is drawn on the upper section, 90 to 102.
    return {1, percent <= 100.0f ? percent : 100.0f};
}

void showSpeed(LiveDisplay& display, float mph, const std::string& vssUnits) {
    float speed = mph;
    if (vssUnits != "MPH") {
        speed = static_cast<float>(speed * KphPerMph);
    }
    dialReading(display, DialId::gauSpeedometer, speed, formatNumber(speed, "##0"));
}

void showEngineSpeed(LiveDisplay& display, float rpm) {
    // The dial reads in thousands; its read-out gives the engine speed in full.
    dialReading(display, DialId::gauTach, rpm / 1000.0, formatNumber(rpm, "####0"));
}

void showInput1(LiveDisplay& display, const Preferences& prefs, float volts) {
    if (prefs.Input1Type == "Analog") {
        display.setGaugeMember(GaugeId::gauInput1Analog, GaugeMember::Value, volts);
    } else if (prefs.Input1Type == "AFR") {
        display.setGaugeMember(GaugeId::gauInput1AFR, GaugeMember::Value, afrFromVolts(volts));
    } else {
        display.setGaugeMember(GaugeId::gauMAP, GaugeMember::Value,
                               pressureFromVolts(volts, prefs));
    }
}

void showInput2(LiveDisplay& display, const Preferences& prefs, float input2Slope,
                float input2Offset, float volts) {
    if (prefs.Input2Type == "Analog") {
        display.setGaugeMember(GaugeId::gauInput2Analog, GaugeMember::Value, volts);
    } else if (prefs.Input2Type == "AFR") {
        display.setGaugeMember(GaugeId::gauInput2AFR, GaugeMember::Value, afrFromVolts(volts));
    } else {
        display.setGaugeMember(GaugeId::gauInput2Analog, GaugeMember::Value,
                               static_cast<double>(input2Slope) * volts + input2Offset);
    }
}

void showInputBits(LiveDisplay& display, float bits) {
    lamp(display, LampId::shpLED_GPI, bitSet(bits, InputGPI));
    lamp(display, LampId::shpLED_ArmIn, bitSet(bits, InputArm));
}

void showOutputBits(LiveDisplay& display, float bits) {
    // Bits 32 and 128 have no lamp.
    lamp(display, LampId::shpLED_Shift, bitSet(bits, OutputShift));
    lamp(display, LampId::shpLED_Launch, bitSet(bits, OutputLaunch));
    lamp(display, LampId::shpLED_AlarmVSS, bitSet(bits, OutputVSSAlarm));
    lamp(display, LampId::shpLED_Alarm1, bitSet(bits, OutputAlarm1));
    lamp(display, LampId::shpLED_Alarm2, bitSet(bits, OutputAlarm2));
    lamp(display, LampId::shpLED_GPO, bitSet(bits, OutputGPO));
}

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
    dialReading(display, DialId::gauTach, 0, formatNumber(0, "###0"));
    dialReading(display, DialId::gauSpeedometer, 0, formatNumber(0, "##0"));
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
    const DataLog& log = ctx.data.log;
    LiveState& live = ctx.data.live;

    // Each step returns false when the tick ends with it.
    const std::vector<std::function<bool()>> steps = {
        [&] {
            const std::int32_t state = toWhole(link.ReadStatus());
            if (!link.CommandOK) {
                // The read has reported its time-out; no further message.
                showLostLink(display);
                link.closePort();
                cmdCloseRealTimeData_Click(ctx);
                return false;
            }
            display.setStatusText(statusText(state, prefs.TPSPercentDisplay, live.LastTPSVolts));
            return true;
        },
        [&] {
            if (prefs.TPSPercentDisplay) {
                const ThrottleShown shown = throttleShown(link.ReadTPS(), log.TPSMin, log.TPSMax);
                display.setGaugeMember(GaugeId::gauTPSPercent, GaugeMember::ScaleIndex,
                                       shown.scaleIndex);
                display.setGaugeMember(GaugeId::gauTPSPercent, GaugeMember::Value, shown.value);
            } else {
                live.LastTPSVolts = static_cast<float>(link.ReadTPS() * 5.0 / 255.0);
                display.setGaugeMember(GaugeId::gauTPSVolts, GaugeMember::Value, live.LastTPSVolts);
            }
            return true;
        },
        [&] {
            display.setGaugeMember(GaugeId::gauBatVolts, GaugeMember::Value, link.ReadBAT());
            return true;
        },
        [&] {
            showEngineSpeed(display, link.ReadRPM());
            return true;
        },
        [&] {
            showSpeed(display, link.ReadVSS(), prefs.VSSUnits);
            return true;
        },
        [&] {
            showInput1(display, prefs, link.ReadVIN1());
            return true;
        },
        [&] {
            showInput2(display, prefs, live.Input2Slope, live.Input2Offset, link.ReadVIN2());
            return true;
        },
        [&] {
            showInputBits(display, link.ReadInputData());
            return true;
        },
        [&] {
            showOutputBits(display, link.ReadOutputData());
            return true;
        },
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
