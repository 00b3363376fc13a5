#pragma once
// Starting and ending the live view of the controller, and starting a replay of the log in
// memory on the same frame.

#include "log/LogUnits.h"

namespace velkor {

struct AppContext;
class ControllerLink;
class LiveDisplay;
struct LiveState;
struct Preferences;

// Chooses and scales the gauges from the preferences, as a live view's start does: the throttle
// in percent or volts, input 2 (its scaling kept in `live`), the speed unit on the speedometer,
// input 1 (a pressure sensor also sets the pressure scaling in `prefs`).
void layOutGauges(Preferences& prefs, LiveState& live, LiveDisplay& display);

// View, View Real Time Data: checks the link, identifies the controller, reads the throttle
// scale factors, chooses and scales the gauges from the preferences, shows the frame and sets
// RealTimeActive. Without a link it shows the link message only and nothing starts. Refused
// (MainView::showBusy) while another controller operation runs.
void mnuViewRealTime_Click(ControllerLink& link);

// The frame's Close button: ends the live view as every other operation does
// (closeRealTimeView).
void cmdCloseRealTimeData_Click(AppContext& ctx);

// View, Replay Log: ends a live view or a replay; with no log in memory says so as View Chart
// does; otherwise chooses and scales the gauges as a live view's start does (the input-2
// scaling into `replay`, the live view's own left as it was) and shows the frame. True when the
// replay may begin. Never touches the port.
bool replayLog(AppContext& ctx, LiveState& replay);

}  // namespace velkor
