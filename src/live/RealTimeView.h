#pragma once
// Starting and ending the live view of the controller.

#include "log/LogUnits.h"

namespace velkor {

struct AppContext;
class ControllerLink;
struct Preferences;

// View, View Real Time Data: checks the link, identifies the controller, reads the throttle
// scale factors, chooses and scales the gauges from the preferences, shows the frame and sets
// RealTimeActive. Without a link it shows the link message only and nothing starts. Refused
// (MainView::showBusy) while another controller operation runs.
void mnuViewRealTime_Click(ControllerLink& link);

// The frame's Close button: ends the live view as every other operation does
// (closeRealTimeView).
void cmdCloseRealTimeData_Click(AppContext& ctx);

}  // namespace velkor
