#include "options/AnalogInScale.h"

#include "base/AppContext.h"
#include "base/Numbers.h"
#include "base/PreferenceRules.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "base/TextLimits.h"
#include "options/StoreSettings.h"

namespace velkor {

namespace {

struct FieldRule {
    const char* key;  // its range is the stored setting's (PreferenceRules)
    const char* title;
    int decimals;
    const char* pattern;
    float Preferences::*setting;
};

const FieldRule& ruleFor(ScaleField field) {
    static const FieldRule minVolts{Key::MinInput2Volts, "Minimum Input Voltage", 2, "0.0#",
                                    &Preferences::MinInput2Volts};
    static const FieldRule maxVolts{Key::MaxInput2Volts, "Maximum Input Voltage", 2, "0.0#",
                                    &Preferences::MaxInput2Volts};
    static const FieldRule minValue{Key::MinInput2ScaledValue, "Minimum Scaled Value", 3,
                                    "####0.0##", &Preferences::MinInput2ScaledValue};
    static const FieldRule maxValue{Key::MaxInput2ScaledValue, "Maximum Scaled Value", 3,
                                    "####0.0##", &Preferences::MaxInput2ScaledValue};
    switch (field) {
        case ScaleField::MinVolts:
            return minVolts;
        case ScaleField::MaxVolts:
            return maxVolts;
        case ScaleField::MinValue:
            return minValue;
        case ScaleField::MaxValue:
            break;
    }
    return maxValue;
}

std::string withoutBlanksAtEnds(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string scaleFieldText(const Preferences& prefs, ScaleField field) {
    const FieldRule& rule = ruleFor(field);
    return formatNumber(prefs.*rule.setting, rule.pattern);
}

FieldCheck validateScaleField(Preferences& prefs, Prompts& prompts, ScaleField field,
                              const std::string& typed) {
    const FieldRule& rule = ruleFor(field);
    const int upper = static_cast<int>(settingRange(rule.key)->upper);
    FieldCheck check;

    double value = leadingNumber(typed);
    // Zero itself is accepted, although the message says "greater than zero".
    if (value < 0) {
        prompts.message("Value must be greater than zero", rule.title, Icon::Exclamation,
                        Buttons::Ok);
        value = 0;
        check.cancel = true;
    }
    if (value > upper) {
        prompts.message("Value must be less than or equal to " + std::to_string(upper), rule.title,
                        Icon::Exclamation, Buttons::Ok);
        value = upper;
        check.cancel = true;
    }

    float& setting = prefs.*rule.setting;
    setting = roundToFloat(value, rule.decimals);
    check.text = formatNumber(setting, rule.pattern);
    return check;
}

FieldCheck validateLegend(Preferences& prefs, const std::string& typed) {
    FieldCheck check;
    std::string legend = withoutBlanksAtEnds(typed);
    if (legend.size() > Input2LegendLimit) {
        // A cut inside a run of blanks would leave one at the end; the legend never ends in one.
        legend = withoutBlanksAtEnds(legend.substr(0, Input2LegendLimit));
        check.cancel = true;
    }
    prefs.Input2Legend = legend;
    check.text = legend;
    return check;
}

bool restoreDefaultScaling(AppContext& ctx) {
    if (ctx.prompts.message("This action will restore default analog input scaling.",
                            "Restore Defaults", Icon::Critical,
                            Buttons::OkCancel) == Answer::Cancel) {
        return false;
    }
    Preferences& prefs = ctx.data.prefs;
    prefs.MinInput2Volts = 0;
    prefs.MaxInput2Volts = 5;
    prefs.MinInput2ScaledValue = 0;
    prefs.MaxInput2ScaledValue = 5;
    prefs.Input2Legend = "Analog Input";
    storeScaling(ctx);
    return true;
}

bool storeScaling(AppContext& ctx) {
    const Preferences& prefs = ctx.data.prefs;
    return storeSettings(ctx, {{Key::MinInput2Volts, settingText(prefs.MinInput2Volts)},
                               {Key::MaxInput2Volts, settingText(prefs.MaxInput2Volts)},
                               {Key::MinInput2ScaledValue, settingText(prefs.MinInput2ScaledValue)},
                               {Key::MaxInput2ScaledValue, settingText(prefs.MaxInput2ScaledValue)},
                               {Key::Input2Legend, prefs.Input2Legend}});
}

}  // namespace velkor
