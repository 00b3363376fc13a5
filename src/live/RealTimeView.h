#pragma once
// Starting and ending the live view of the controller.

namespace velkor {

struct AppContext;
class ControllerLink;
struct Preferences;

// View, View Real Time Data: checks the link, identifies the controller, reads the throttle
// scale factors, chooses and scales the gauges from the preferences, shows the frame and sets
// RealTimeActive. Without a link it shows the link message only and nothing starts. Refused
// (MainView::showBusy) while another controller operation runs.
void mnuViewRealTime_Click(ControllerLink& link);

// The frame's Close button, and how every other operation ends a live view: the frame hides,
// the port closes, the polling stops. The gauges and lamps keep what they last showed.
void cmdCloseRealTimeData_Click(AppContext& ctx);

// The same as cmdCloseRealTimeData_Click, under the name the other operations use.
void closeRealTimeView(AppContext& ctx);

// Analog input 2's scaling from the preferences: volts MinInput2Volts..MaxInput2Volts map to
// MinInput2ScaledValue..MaxInput2ScaledValue; a span of 0.1 V or less counts as 0.1 V.
struct Input2Scaling {
    float slope;
    float offset;
};
Input2Scaling input2Scaling(const Preferences& prefs);

}  // namespace velkor
