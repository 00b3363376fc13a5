#pragma once
// The display options: what the dialog's option buttons mean, how they are applied and stored,
// and the checks of the four gauge-limit boxes that keep each red line at or below its maximum.

#include <optional>
#include <string>

namespace velkor {

struct AppContext;
struct Preferences;

enum class Input1Choice { Analog, AFR, MAP1Bar, MAP2Bar, MAP3Bar };
enum class Input2Choice { Analog, AFR, ScaledAnalog };

// The option buttons of the dialog, one choice per frame.
struct DisplayChoices {
    bool tpsPercent = true;
    Input1Choice input1 = Input1Choice::Analog;
    Input2Choice input2 = Input2Choice::Analog;
    bool mph = true;
    bool inHg = true;
};

// The buttons chosen when the dialog loads. An input-1 type that is none of the five leaves
// "Analog" chosen; any input-2 type other than "Analog" and "AFR" chooses "Scaled Analog".
DisplayChoices loadDisplayChoices(const Preferences& prefs);

// "Set Scale Factors" is offered only while input 2 carries a scaled sensor.
bool scaleFactorsAvailable(Input2Choice input2);

// OK: the choices become the preferences, a MAP sensor on input 1 takes its pressure scaling,
// and the five settings are stored in the order Input1Type, Input2Type, VSSUnits,
// PressureUnits, TPS_Percent_Display. A failed store goes to the error prompt (Retry stores it
// again, Ignore goes on with the next one); returns false when the person chose Abort, and the
// dialog then stays open.
bool applyDisplayChoices(AppContext& ctx, const DisplayChoices& choices);

enum class GaugeLimit { TachMax, TachRedline, SpeedoMax, SpeedoRedline };

// The box's text for the stored limit: "#####" on the tachometer, "###" on the speedometer.
std::string gaugeLimitText(const Preferences& prefs, GaugeLimit box);

// The limit that must stay on the other side of this one: a maximum's red line and the
// red line's maximum.
GaugeLimit partnerOf(GaugeLimit box);

struct GaugeLimitCheck {
    bool cancel = false;  // keep the focus in the box
    std::string text;     // what the box shows now
    // What the partner box shows now, when the partner limit had to follow this one.
    std::optional<std::string> partnerText;
};

// The focus leaves a gauge-limit box holding `typed`. The leading number, clamped into the
// box's range with a message under the box's title, loses its fraction and becomes the
// setting; a red line above its maximum pulls the maximum up and a maximum below its red line
// pulls the red line down. The main window's dials follow and each changed setting is stored
// at once. A failed store goes to the error prompt; Abort leaves the rest undone.
GaugeLimitCheck validateGaugeLimit(AppContext& ctx, GaugeLimit box, const std::string& typed);

}  // namespace velkor
