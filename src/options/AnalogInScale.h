#pragma once
// The scaling of analog input 2: the checks of its four number boxes and its legend, which
// change the preferences in memory only, and the two ways they reach the store (OK and
// Restore Defaults).

#include <string>

namespace velkor {

struct AppContext;
struct Preferences;
class Prompts;

enum class ScaleField { MinVolts, MaxVolts, MinValue, MaxValue };

// A box's text for its setting: "0.0#" for the voltages, "####0.0##" for the scaled values.
std::string scaleFieldText(const Preferences& prefs, ScaleField field);

struct FieldCheck {
    bool cancel = false;  // keep the focus in the box
    std::string text;     // what the box shows now
};

// The focus leaves a number box holding `typed`. The leading number, clamped to 0 and to the
// box's upper limit (5 volts, 10000) with a message under the box's title, is taken to two
// decimals (volts) or three (values), a tie going to the even digit. Memory only.
FieldCheck validateScaleField(Preferences& prefs, Prompts& prompts, ScaleField field,
                              const std::string& typed);

// The legend loses its blanks at both ends; a longer one than 20 characters is cut, without a
// message, and the focus stays in the box. Memory only.
FieldCheck validateLegend(Preferences& prefs, const std::string& typed);

// Restore Defaults: asks first; on OK the five settings become 0, 5, 0, 5 and "Analog Input"
// and are stored. The boxes are not rewritten. Returns whether the defaults were restored.
bool restoreDefaultScaling(AppContext& ctx);

// OK: the five settings from memory go to the store. Returns false when the person chose Abort
// on a failed store; the dialog then stays open.
bool storeScaling(AppContext& ctx);

}  // namespace velkor
