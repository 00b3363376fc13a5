// The options' rules without a window: the gauge limits (messages, clamps, partners), OK of the
// display options, the scaling boxes and legend, and the two ways the scaling is stored.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "base/AppError.h"
#include "options/AnalogInScale.h"
#include "options/DisplayOptions.h"
#include "support/AppFixture.h"

namespace velkor::test {
namespace {

// A store that refuses some keys, as a read-only profile does.
struct FailingStore : MemorySettingsStore {
    std::set<std::string> failing;
    void write(const std::string& key, const std::string& value) override {
        if (failing.count(key) != 0) {
            throw AppError(ErrorNumber::InvalidArgument, "Velkor", "cannot store " + key);
        }
        MemorySettingsStore::write(key, value);
    }
};

class OptionsRulesTest : public ::testing::Test, protected AppFixture {
protected:
    // "title: text" of every message box so far; each a warning with only OK.
    std::vector<std::string> warnings() const {
        std::vector<std::string> result;
        for (const ShownPrompt& shown : prompts.messages()) {
            EXPECT_EQ(shown.icon, Icon::Exclamation);
            EXPECT_EQ(shown.buttons, Buttons::Ok);
            result.push_back(shown.title + ": " + shown.text);
        }
        return result;
    }
    static std::string row(const char* typed, const FieldCheck& check) {
        return std::string(typed) + " -> " + check.text + (check.cancel ? ", cancel" : "");
    }

    Preferences& prefs = data->prefs;
};

TEST_F(OptionsRulesTest, EachGaugeLimitClampsUnderItsTitleAndMovesItsPartner) {
    const std::pair<GaugeLimit, const char*> typed[] = {
        {GaugeLimit::TachMax, "4500"},        {GaugeLimit::TachMax, "5000"},
        {GaugeLimit::TachMax, "1e9"},         {GaugeLimit::TachRedline, "3999"},
        {GaugeLimit::TachRedline, "19000.5"}, {GaugeLimit::TachMax, "12000rpm"},
        {GaugeLimit::SpeedoMax, "abc"},       {GaugeLimit::SpeedoRedline, "245"},
        {GaugeLimit::SpeedoMax, "251"},       {GaugeLimit::SpeedoRedline, "-3"}};
    prompts.answerMessages({Answer::Ok, Answer::Ok, Answer::Ok, Answer::Ok, Answer::Ok, Answer::Ok,
                            Answer::Ok, Answer::Ok});
    std::vector<std::string> rows;
    for (const auto& [box, text] : typed) {
        const GaugeLimitCheck check = validateGaugeLimit(ctx, box, text);
        if (rows.empty()) {
            // The partner is stored first; the dial follows both.
            EXPECT_EQ(store.writes, (std::vector<std::string>{"Tach_Redline", "Tach_Max"}));
            EXPECT_DOUBLE_EQ(view.tachRedline, 5.0);
            EXPECT_DOUBLE_EQ(view.tachMax, 5.0);
        }
        rows.push_back(row(text, {check.cancel, check.text}) +
                       (check.partnerText ? ", partner " + *check.partnerText : ""));
    }
    EXPECT_EQ(rows,
              (std::vector<std::string>{
                  "4500 -> 5000, cancel, partner 5000", "5000 -> 5000", "1e9 -> 20000, cancel",
                  "3999 -> 4000, cancel", "19000.5 -> 19000, cancel",
                  "12000rpm -> 12000, partner 12000", "abc -> 55, cancel, partner 55",
                  "245 -> 240, cancel, partner 240", "251 -> 250, cancel", "-3 -> 55, cancel"}));
    EXPECT_EQ(warnings(), (std::vector<std::string>{
                              "Tachometer Maximum Value: Value must be greater than 5000",
                              "Tachometer Maximum Value: Value must be less than or equal to 20000",
                              "Tachometer Redline: Value must be greater than 4000",
                              "Tachometer Redline: Value must be less than or equal to 19000",
                              "Speedometer Maximum Value: Value must be greater than 55",
                              "Speedometer Redline: Value must be less than or equal to 240",
                              "Speedometer Maximum Value: Value must be less than or equal to 250",
                              "Speedometer Redline: Value must be greater than 55"}));
    // Each clamped value is stored, the partner's too.
    EXPECT_EQ(store.values.at("Tach_Redline") + " " + store.values.at("Speedo_Redline"),
              "12000 55");
}

TEST_F(OptionsRulesTest, AFailedStoreGoesToTheErrorPrompt) {
    // Ignore on the partner's store goes on to the box's own; Abort stops there.
    FailingStore refusing;
    AppContext refusingCtx{*data, prompts, refusing, view, port, clock, ""};
    refusing.failing = {"Tach_Redline", "VSSUnits"};
    prompts.answerMessages({Answer::Ignore, Answer::Abort, Answer::Ignore, Answer::Abort});
    validateGaugeLimit(refusingCtx, GaugeLimit::TachMax, "6000");
    EXPECT_EQ(refusing.writes, std::vector<std::string>{"Tach_Max"});
    prefs.TachRedline = 9000;
    EXPECT_EQ(validateGaugeLimit(refusingCtx, GaugeLimit::TachMax, "8000").text, "8000");
    EXPECT_EQ(refusing.values.at("Tach_Max"), "6000");

    // OK of the display options: Ignore skips a key, Abort keeps the dialog open.
    refusing.writes.clear();
    EXPECT_TRUE(applyDisplayChoices(refusingCtx, DisplayChoices{}));
    EXPECT_EQ(refusing.writes, (std::vector<std::string>{"Input1Type", "Input2Type",
                                                         "PressureUnits", "TPS_Percent_Display"}));
    EXPECT_FALSE(applyDisplayChoices(refusingCtx, DisplayChoices{}));
}

TEST_F(OptionsRulesTest, LoadingComparesTheInput1TypeExactlyAndOkScalesOnlyAMapSensor) {
    prefs.Input1Type = "map 2 bar";
    EXPECT_EQ(loadDisplayChoices(prefs).input1, Input1Choice::Analog);
    prefs.Input1Slope = 1.5f;
    applyDisplayChoices(ctx, {false, Input1Choice::AFR, Input2Choice::ScaledAnalog, false, false});
    EXPECT_EQ(prefs.Input1Slope, 1.5f);
    EXPECT_EQ(store.values.at("Input2Type") + ", " + store.values.at("TPS_Percent_Display"),
              "Scaled Analog, False");
}

TEST_F(OptionsRulesTest, ScalingBoxesClampAndKeepTwoOrThreeDecimalsInMemoryAndTheLegendIsCut) {
    const std::pair<ScaleField, const char*> typed[] = {
        {ScaleField::MaxVolts, "5"},         {ScaleField::MaxVolts, "5.001"},
        {ScaleField::MinVolts, "2.125"},     {ScaleField::MinVolts, "4.999V"},
        {ScaleField::MinVolts, "-0.01"},     {ScaleField::MinValue, "-1"},
        {ScaleField::MaxValue, "12.5"},      {ScaleField::MaxValue, "10000.0004"},
        {ScaleField::MaxValue, "1234.5678"}, {ScaleField::MinValue, "abc"}};
    prompts.answerMessages({Answer::Ok, Answer::Ok, Answer::Ok, Answer::Ok});
    std::vector<std::string> rows;
    for (const auto& [field, text] : typed) {
        rows.push_back(row(text, validateScaleField(prefs, prompts, field, text)));
    }
    // The legend is trimmed and cut to twenty silently, never leaving a blank at its end.
    for (const char* typed : {"     ", "  Oil pressure (psi) ", "ABCDEFGHIJKLMNOPQRSTUVWXY",
                              "Exhaust gas temp    after cat"}) {
        rows.push_back(row(typed, validateLegend(prefs, typed)));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "5 -> 5.0", "5.001 -> 5.0, cancel", "2.125 -> 2.12", "4.999V -> 5.0",
                        "-0.01 -> 0.0, cancel", "-1 -> 0.0, cancel", "12.5 -> 12.5",
                        "10000.0004 -> 10000.0, cancel", "1234.5678 -> 1234.568", "abc -> 0.0",
                        "      -> ", "  Oil pressure (psi)  -> Oil pressure (psi)",
                        "ABCDEFGHIJKLMNOPQRSTUVWXY -> ABCDEFGHIJKLMNOPQRST, cancel",
                        "Exhaust gas temp    after cat -> Exhaust gas temp, cancel"}));
    EXPECT_EQ(warnings(), (std::vector<std::string>{
                              "Maximum Input Voltage: Value must be less than or equal to 5",
                              "Minimum Input Voltage: Value must be greater than zero",
                              "Minimum Scaled Value: Value must be greater than zero",
                              "Maximum Scaled Value: Value must be less than or equal to 10000"}));
    EXPECT_EQ(prefs.MaxInput2ScaledValue, 1234.568f);
    EXPECT_EQ(scaleFieldText(prefs, ScaleField::MaxValue), "1234.568");
    EXPECT_EQ(prefs.Input2Legend, "Exhaust gas temp");
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(OptionsRulesTest, RestoreDefaultsAsksFirstAndStoringKeepsTheTableOrder) {
    prefs.MaxInput2Volts = 4;
    prompts.answerMessages({Answer::Cancel, Answer::Ok});
    EXPECT_FALSE(restoreDefaultScaling(ctx));
    EXPECT_EQ(prefs.MaxInput2Volts, 4.0f);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_TRUE(restoreDefaultScaling(ctx));
    const ShownPrompt asked = prompts.messages().at(1);
    EXPECT_EQ(asked.title + ": " + asked.text,
              "Restore Defaults: This action will restore default analog input scaling.");
    EXPECT_EQ(asked.icon, Icon::Critical);
    EXPECT_EQ(asked.buttons, Buttons::OkCancel);
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"MinInput2Volts", "0"},
                                                                {"MaxInput2Volts", "5"},
                                                                {"MinInput2ScaledValue", "0"},
                                                                {"MaxInput2ScaledValue", "5"},
                                                                {"Input2Legend", "Analog Input"}}));
    store.writes.clear();
    validateScaleField(prefs, prompts, ScaleField::MinValue, "0.0625");
    EXPECT_TRUE(storeScaling(ctx));
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{"MinInput2Volts", "MaxInput2Volts", "MinInput2ScaledValue",
                                        "MaxInput2ScaledValue", "Input2Legend"}));
    EXPECT_EQ(store.values.at("MinInput2ScaledValue"), "0.062");
}

}  // namespace
}  // namespace velkor::test
