#pragma once
// The live display as designed: each gauge's caption, scale sections, colour bands and labels,
// the dials' texts, the lamps' captions and first colours, and the scales the live view's start
// writes (the pressure table and the scaled input 2).

#include <optional>
#include <string>
#include <vector>

#include "base/LiveDisplay.h"
#include "live/GaugeScale.h"

namespace velkor {

struct LabelSet {
    double first = 0.0;
    double last = 0.0;
    double step = 0.0;  // may be 0
};

struct ColourBand {
    double start = 0.0;
    double end = 0.0;
    Colour colour = ColourBlack;
};

// One scale section with the labels drawn on it.
struct SectionDesign {
    ScaleSection scale;
    LabelSet labels;
};

struct LinearGaugeDesign {
    std::string caption;                  // "TPS%"
    std::vector<SectionDesign> sections;  // one, or two on the throttle percent gauge
    std::vector<ColourBand> bands;        // the first is the one the program moves
    bool shown = true;                    // as laid out, for the default preferences
};

const LinearGaugeDesign& linearGaugeDesign(GaugeId gauge);

// The three text items of a dial: 1 units, 2 title, 3 read-out.
struct DialDesign {
    std::string units;
    std::string title;
    std::string readout;
};
const DialDesign& dialDesign(DialId dial);

struct LampDesign {
    const char* label;    // the label's name, "lblShiftLED"
    const char* caption;  // "SHIFT LIGHT"
    Colour colour;        // until the first poll
};
const LampDesign& lampDesign(LampId lamp);

// The legends and the frames that hold the lamps.
constexpr const char* RealTimeFrameCaption = "Real Time Data";
constexpr const char* InputsLegend = "INPUTS";
constexpr const char* OutputsLegend = "OUTPUTS";
constexpr const char* StatusLegend = "STATUS";
// Alt+L: Alt+C is the main window's Communications menu.
constexpr const char* CloseCaption = "C&lose";

// A whole scale as the live view's start writes it, member by member.
struct GaugeScaleSetting {
    double scaleMinimum;
    double scaleMaximum;
    double bandStart;
    double bandEnd;
    double firstLabel;
    double lastLabel;
    double labelStep;
};

// Writes a scale in the order scale minimum, maximum, band start, end, first label, last label,
// label step.
void applyScale(LiveDisplay& display, GaugeId gauge, const GaugeScaleSetting& scale);

// The analog scale of 0 V to 5 V, as designed.
GaugeScaleSetting analogScale();

// The pressure gauge's scale for a sensor type and unit: "In-Hg" selects the In-Hg rows, any
// other unit psi. Nothing for an input-1 type that is not a pressure sensor.
std::optional<GaugeScaleSetting> pressureScale(const std::string& input1Type,
                                               const std::string& pressureUnits);

}  // namespace velkor
