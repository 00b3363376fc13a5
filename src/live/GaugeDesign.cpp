#include "live/GaugeDesign.h"

#include <array>

#include "base/Preferences.h"

namespace velkor {

namespace {

// A single section runs over 0.09 to 0.95 of the gauge's length.
SectionDesign singleSection(double minimum, double maximum, LabelSet labels) {
    return {ScaleSection{minimum, maximum, 0.95, 0.09}, labels};
}

LinearGaugeDesign analogGauge(const char* caption) {
    return {caption, {singleSection(-0.2, 5.2, {0, 5, 0.5})}, {{-0.2, 5.2, ColourBlack}}};
}

LinearGaugeDesign ratioGauge(const char* caption) {
    // Rich in blue, the usual range in black, lean in red.
    return {caption,
            {singleSection(9.5, 20.5, {10, 20, 1})},
            {{9.5, 12.5, ColourBlue}, {12.5, 15, ColourBlack}, {15, 20.5, ColourRed}}};
}

std::array<LinearGaugeDesign, GaugeCount> makeLinearDesigns() {
    LinearGaugeDesign throttle;
    throttle.caption = "TPS%";
    // The two sections meet at 90: the last tenth of the travel gets twice the spacing.
    throttle.sections = {{ScaleSection{-0.5, 90, 0.95, 0.27}, {0, 90, 10}},
                         {ScaleSection{90, 102, 0.27, 0.09}, {90, 100, 5}}};
    throttle.bands = {{-0.5, 90, ColourBlack}};

    LinearGaugeDesign battery;
    battery.caption = "BAT V";
    battery.sections = {singleSection(-1, 19, {0, 18, 2})};
    battery.bands = {{-1, 11, ColourRed}, {11, 16, ColourBlack}, {16, 19, ColourRed}};

    LinearGaugeDesign pressure;
    pressure.caption = "MAP";
    pressure.sections = {singleSection(-1, 31, {0, 30, 5})};
    pressure.bands = {{-1, 31, ColourBlack}};

    // In the order of GaugeId. As laid out, the gauges of the default preferences show (the
    // throttle in percent, both inputs analog); the others wait for a live view to choose them.
    std::array<LinearGaugeDesign, GaugeCount> designs = {throttle,
                                                         analogGauge("TPS V"),
                                                         battery,
                                                         analogGauge("INPUT1"),
                                                         ratioGauge("AFR 1"),
                                                         pressure,
                                                         analogGauge("INPUT2"),
                                                         ratioGauge("AFR 2")};
    for (const GaugeId hidden :
         {GaugeId::gauTPSVolts, GaugeId::gauInput1AFR, GaugeId::gauMAP, GaugeId::gauInput2AFR}) {
        designs.at(static_cast<std::size_t>(hidden)).shown = false;
    }
    return designs;
}

constexpr std::array<LampDesign, LampCount> LampDesigns = {{
    {"lblArm", "ARM INPUT", ColourRed},
    {"lblGPI", "GPI", ColourGreen},
    {"lblShiftLED", "SHIFT LIGHT", ColourGreen},
    {"lblLaunchLED", "LAUNCH LIGHT", ColourGreen},
    {"lblAlarmVSS", "VSS ALARM", ColourGreen},
    {"lblAlarm1", "ALARM 1", ColourGreen},
    {"lblAlarm2", "ALARM 2", ColourGreen},
    {"lblGPO", "GPO (ACTIVE LOW)", ColourRed},
}};

}  // namespace

const LinearGaugeDesign& linearGaugeDesign(GaugeId gauge) {
    static const std::array<LinearGaugeDesign, GaugeCount> Designs = makeLinearDesigns();
    return Designs.at(static_cast<std::size_t>(gauge));
}

const DialDesign& dialDesign(DialId dial) {
    static const DialDesign Tach{"x 1000", "RPM", "0"};
    static const DialDesign Speedometer{"MPH", "SPEED", "0"};
    return dial == DialId::gauTach ? Tach : Speedometer;
}

const LampDesign& lampDesign(LampId lamp) {
    return LampDesigns.at(static_cast<std::size_t>(lamp));
}

void applyScale(LiveDisplay& display, GaugeId gauge, const GaugeScaleSetting& scale) {
    display.setGaugeMember(gauge, GaugeMember::ScaleMinimum, scale.scaleMinimum);
    display.setGaugeMember(gauge, GaugeMember::ScaleMaximum, scale.scaleMaximum);
    display.setGaugeMember(gauge, GaugeMember::BandStart, scale.bandStart);
    display.setGaugeMember(gauge, GaugeMember::BandEnd, scale.bandEnd);
    display.setGaugeMember(gauge, GaugeMember::FirstLabel, scale.firstLabel);
    display.setGaugeMember(gauge, GaugeMember::LastLabel, scale.lastLabel);
    display.setGaugeMember(gauge, GaugeMember::LabelStep, scale.labelStep);
}

GaugeScaleSetting analogScale() {
    return {-0.2, 5.2, -0.2, 5.2, 0, 5, 0.5};
}

std::optional<GaugeScaleSetting> pressureScale(const std::string& input1Type,
                                               const std::string& pressureUnits) {
    if (!isPressureSensor(input1Type)) {
        return std::nullopt;
    }
    const bool inHg = pressureUnits == "In-Hg";
    // The band starts at 0 on the psi rows and at the scale's minimum on the In-Hg rows.
    if (input1Type == "MAP 1 bar") {
        return inHg ? GaugeScaleSetting{-1, 31, -1, 31, 0, 30, 5}
                    : GaugeScaleSetting{-1, 16, 0, 16, 0, 15, 3};
    }
    if (input1Type == "MAP 2 bar") {
        return inHg ? GaugeScaleSetting{-1, 61, -1, 61, 0, 60, 10}
                    : GaugeScaleSetting{-1, 31, 0, 31, 0, 30, 5};
    }
    return inHg ? GaugeScaleSetting{-1, 92, -1, 92, 0, 90, 10}
                : GaugeScaleSetting{-1, 46, 0, 46, 0, 45, 5};
}

}  // namespace velkor
