#include "live/LiveReadings.h"

#include "base/LiveDisplay.h"
#include "base/LiveState.h"
#include "base/Numbers.h"
#include "base/Preferences.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

constexpr float SmallestThrottleSpan = 0.1f;

float throttleSpan(float tpsMin, float tpsMax) {
    const float span = tpsMax - tpsMin;
    return span == 0.0f ? SmallestThrottleSpan : span;
}

void lamp(LiveDisplay& display, LampId id, bool lit) {
    display.setLampColour(id, lit ? LampLit : LampDark);
}

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
    const float span = throttleSpan(tpsMin, tpsMax);
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

float throttleCount(float percent, float tpsMin, float tpsMax) {
    return static_cast<float>(tpsMin + double(percent) * throttleSpan(tpsMin, tpsMax) / 100.0);
}

void showSpeed(LiveDisplay& display, float mph, const std::string& vssUnits) {
    const auto speed = static_cast<float>(speedInUnits(mph, vssUnits));
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

void showReading(LiveDisplay& display, const Preferences& prefs, ThrottleFactors factors,
                 LiveState& live, Reading reading, float value) {
    switch (reading) {
        case Reading::State:
            display.setStatusText(
                statusText(toWhole(value), prefs.TPSPercentDisplay, live.LastTPSVolts));
            break;
        case Reading::Throttle:
            if (prefs.TPSPercentDisplay) {
                const ThrottleShown shown = throttleShown(value, factors.min, factors.max);
                display.setGaugeMember(GaugeId::gauTPSPercent, GaugeMember::ScaleIndex,
                                       shown.scaleIndex);
                display.setGaugeMember(GaugeId::gauTPSPercent, GaugeMember::Value, shown.value);
            } else {
                live.LastTPSVolts = static_cast<float>(value * 5.0 / 255.0);
                display.setGaugeMember(GaugeId::gauTPSVolts, GaugeMember::Value, live.LastTPSVolts);
            }
            break;
        case Reading::Battery:
            display.setGaugeMember(GaugeId::gauBatVolts, GaugeMember::Value, value);
            break;
        case Reading::EngineSpeed:
            showEngineSpeed(display, value);
            break;
        case Reading::RoadSpeed:
            showSpeed(display, value, prefs.VSSUnits);
            break;
        case Reading::Input1:
            showInput1(display, prefs, value);
            break;
        case Reading::Input2:
            showInput2(display, prefs, live.Input2Slope, live.Input2Offset, value);
            break;
        case Reading::InputBits:
            showInputBits(display, value);
            break;
        case Reading::OutputBits:
            showOutputBits(display, value);
            break;
    }
}

void showReadings(LiveDisplay& display, const Preferences& prefs, ThrottleFactors factors,
                  LiveState& live, const LiveReadings& readings) {
    showReading(display, prefs, factors, live, Reading::Throttle, readings[Reading::Throttle]);
    for (int i = 0; i < ReadingCount; ++i) {
        const auto reading = static_cast<Reading>(i);
        if (reading != Reading::Throttle) {
            showReading(display, prefs, factors, live, reading, readings[reading]);
        }
    }
}

}  // namespace velkor
