#include "options/DisplayOptions.h"

#include <string>

#include "base/AppContext.h"
#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/PreferenceRules.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "options/StoreSettings.h"

namespace velkor {

namespace {

// The range of each limit is the stored setting's (PreferenceRules).
struct LimitRule {
    const char* title;
    const char* pattern;
    const char* key;
    float Preferences::*setting;
    bool isMaximum;  // a maximum holds its red line down; a red line holds its maximum up
};

const LimitRule& ruleFor(GaugeLimit box) {
    static const LimitRule tachMax{"Tachometer Maximum Value", "#####", Key::TachMax,
                                   &Preferences::TachMax, true};
    static const LimitRule tachRedline{"Tachometer Redline", "#####", Key::TachRedline,
                                       &Preferences::TachRedline, false};
    static const LimitRule speedoMax{"Speedometer Maximum Value", "###", Key::SpeedoMax,
                                     &Preferences::SpeedoMax, true};
    static const LimitRule speedoRedline{"Speedometer Redline", "###", Key::SpeedoRedline,
                                         &Preferences::SpeedoRedline, false};
    switch (box) {
        case GaugeLimit::TachMax:
            return tachMax;
        case GaugeLimit::TachRedline:
            return tachRedline;
        case GaugeLimit::SpeedoMax:
            return speedoMax;
        case GaugeLimit::SpeedoRedline:
            break;
    }
    return speedoRedline;
}

bool isTachometer(GaugeLimit box) {
    return box == GaugeLimit::TachMax || box == GaugeLimit::TachRedline;
}

// The dial reads the tachometer in thousands of RPM, to one decimal.
void showLimitsOnDial(AppContext& ctx, GaugeLimit box) {
    const Preferences& prefs = ctx.data.prefs;
    if (isTachometer(box)) {
        ctx.view.setTachometerLimits(roundTo(prefs.TachRedline / 1000.0, 1),
                                     roundTo(prefs.TachMax / 1000.0, 1));
    } else {
        ctx.view.setSpeedometerLimits(prefs.SpeedoRedline, prefs.SpeedoMax);
    }
}

const char* input1Text(Input1Choice choice) {
    switch (choice) {
        case Input1Choice::Analog:
            return "Analog";
        case Input1Choice::AFR:
            return "AFR";
        case Input1Choice::MAP1Bar:
            return "MAP 1 bar";
        case Input1Choice::MAP2Bar:
            return "MAP 2 bar";
        case Input1Choice::MAP3Bar:
            break;
    }
    return "MAP 3 bar";
}

const char* input2Text(Input2Choice choice) {
    switch (choice) {
        case Input2Choice::Analog:
            return "Analog";
        case Input2Choice::AFR:
            return "AFR";
        case Input2Choice::ScaledAnalog:
            break;
    }
    return "Scaled Analog";
}

}  // namespace

DisplayChoices loadDisplayChoices(const Preferences& prefs) {
    DisplayChoices choices;
    choices.tpsPercent = prefs.TPSPercentDisplay;
    for (Input1Choice choice : {Input1Choice::Analog, Input1Choice::AFR, Input1Choice::MAP1Bar,
                                Input1Choice::MAP2Bar, Input1Choice::MAP3Bar}) {
        if (prefs.Input1Type == input1Text(choice)) {
            choices.input1 = choice;
        }
    }
    if (prefs.Input2Type == "Analog") {
        choices.input2 = Input2Choice::Analog;
    } else if (prefs.Input2Type == "AFR") {
        choices.input2 = Input2Choice::AFR;
    } else {
        choices.input2 = Input2Choice::ScaledAnalog;
    }
    choices.mph = prefs.VSSUnits == "MPH";
    choices.inHg = prefs.PressureUnits == "In-Hg";
    return choices;
}

bool scaleFactorsAvailable(Input2Choice input2) {
    return input2 == Input2Choice::ScaledAnalog;
}

bool applyDisplayChoices(AppContext& ctx, const DisplayChoices& choices) {
    Preferences& prefs = ctx.data.prefs;
    prefs.TPSPercentDisplay = choices.tpsPercent;
    prefs.Input1Type = input1Text(choices.input1);
    prefs.Input2Type = input2Text(choices.input2);
    prefs.VSSUnits = choices.mph ? "MPH" : "KPH";
    prefs.PressureUnits = choices.inHg ? "In-Hg" : "psi";
    // "Analog" and "AFR" keep the pressure scaling they had.
    if (isPressureSensor(prefs.Input1Type)) {
        applyPressureScaling(prefs);
    }
    return storeSettings(ctx, {{Key::Input1Type, prefs.Input1Type},
                               {Key::Input2Type, prefs.Input2Type},
                               {Key::VSSUnits, prefs.VSSUnits},
                               {Key::PressureUnits, prefs.PressureUnits},
                               {Key::TPSPercentDisplay, settingText(prefs.TPSPercentDisplay)}});
}

std::string gaugeLimitText(const Preferences& prefs, GaugeLimit box) {
    const LimitRule& rule = ruleFor(box);
    return formatNumber(prefs.*rule.setting, rule.pattern);
}

GaugeLimit partnerOf(GaugeLimit box) {
    switch (box) {
        case GaugeLimit::TachMax:
            return GaugeLimit::TachRedline;
        case GaugeLimit::TachRedline:
            return GaugeLimit::TachMax;
        case GaugeLimit::SpeedoMax:
            return GaugeLimit::SpeedoRedline;
        case GaugeLimit::SpeedoRedline:
            break;
    }
    return GaugeLimit::SpeedoMax;
}

GaugeLimitCheck validateGaugeLimit(AppContext& ctx, GaugeLimit box, const std::string& typed) {
    const LimitRule& rule = ruleFor(box);
    const SettingRange range = *settingRange(rule.key);
    const int lower = static_cast<int>(range.lower);
    const int upper = static_cast<int>(range.upper);
    GaugeLimitCheck check;

    double value = leadingNumber(typed);
    // The limit itself is accepted, although the message says "greater than".
    if (value < lower) {
        ctx.prompts.message("Value must be greater than " + std::to_string(lower), rule.title,
                            Icon::Exclamation, Buttons::Ok);
        value = lower;
        check.cancel = true;
    }
    if (value > upper) {
        ctx.prompts.message("Value must be less than or equal to " + std::to_string(upper),
                            rule.title, Icon::Exclamation, Buttons::Ok);
        value = upper;
        check.cancel = true;
    }

    Preferences& prefs = ctx.data.prefs;
    float& setting = prefs.*rule.setting;
    setting = static_cast<float>(dropFraction(value));
    check.text = formatNumber(setting, rule.pattern);

    const LimitRule& partner = ruleFor(partnerOf(box));
    float& partnerSetting = prefs.*partner.setting;
    const bool partnerOffSide =
        rule.isMaximum ? partnerSetting > setting : partnerSetting < setting;
    if (partnerOffSide) {
        partnerSetting = setting;
        check.partnerText = check.text;
        showLimitsOnDial(ctx, box);
        if (!storeSettings(ctx, {{partner.key, settingText(partnerSetting)}})) {
            return check;
        }
    }

    showLimitsOnDial(ctx, box);
    storeSettings(ctx, {{rule.key, settingText(setting)}});
    return check;
}

}  // namespace velkor
