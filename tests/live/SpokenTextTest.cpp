// The words a screen reader says for the live display's readings and for the chart.

#include <gtest/gtest.h>

#include <string>

#include "chart/ChartDescription.h"
#include "live/SpokenReadings.h"

namespace velkor {
namespace {

TEST(SpokenReadings, DialsGaugesAndLampsInWords) {
    const struct {
        std::string said, expected;
    } cases[] = {
        {dialSpokenText(DialId::gauTach, "6468"), "Tachometer 6468 RPM"},
        {dialSpokenText(DialId::gauSpeedometer, " 62\r\n"), "Speedometer 62 MPH"},
        {dialSpokenText(DialId::gauTach, " "), "Tachometer, no reading"},
        {gaugeSpokenText("BAT V", "13.8"), "BAT V 13.8"},
        {gaugeSpokenText("TPS%", ""), "TPS%, no reading"},
        {lampSpokenText(LampId::shpLED_Shift, LampLit), "Shift light on"},
        {lampSpokenText(LampId::shpLED_Shift, LampDark), "Shift light off"},
        // The colours before the first poll are lit ones.
        {lampSpokenText(LampId::shpLED_GPI, ColourGreen), "General purpose input on"},
        {lampSpokenText(LampId::shpLED_GPO, LampDark), "General purpose output off"},
        {lampSpokenText(LampId::shpLED_AlarmVSS, ColourBlue), "VSS alarm on"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.said, c.expected);
    }
}

TEST(ChartDescription, TracesTimeWindowAndTheMarkers) {
    ChartFacts facts;
    facts.trace1 = "RPM";
    facts.trace2 = "VSS (MPH)";
    facts.from = 120;
    facts.to = 270;
    facts.markerTime = "Sec ";  // as the chart opens: no reading yet
    EXPECT_EQ(chartDescription(facts),
              "Trace 1 RPM, trace 2 VSS (MPH). Time window 120.0 to 270.0 seconds. Marker: no "
              "reading.");

    facts.markerTime = "12.5 Sec ";
    facts.marker1 = "6468";
    facts.marker2 = "";  // an on/off trace between states reads nothing
    EXPECT_EQ(chartDescription(facts),
              "Trace 1 RPM, trace 2 VSS (MPH). Time window 120.0 to 270.0 seconds. Marker at "
              "12.5 Sec: RPM 6468.");

    facts.marker2 = "62";
    facts.bTime = "10.0 Sec";
    facts.deltaTime = "+2.50 Sec";
    facts.delta1 = "+300";
    facts.delta2 = "+4";
    EXPECT_EQ(chartDescription(facts),
              "Trace 1 RPM, trace 2 VSS (MPH). Time window 120.0 to 270.0 seconds. Marker at "
              "12.5 Sec: RPM 6468, VSS (MPH) 62. B at 10.0 Sec; marker minus B +2.50 Sec, RPM "
              "+300, VSS (MPH) +4.");
}

}  // namespace
}  // namespace velkor
