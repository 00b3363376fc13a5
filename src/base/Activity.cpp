#include "base/Activity.h"

#include "base/MainView.h"
#include "base/SharedState.h"

namespace velkor {

bool offeredDuring(Choice choice, Activity running) {
    if (running == Activity::None) {
        return true;
    }
    switch (choice) {
        case Choice::PrintSetup:
        case Choice::Exit:
        case Choice::HelpContents:
        case Choice::About:
        // The logbook reads and writes its own files; what it opens goes through Open File.
        case Choice::Logbook:
        // The chart window's choices touch neither the port nor the log in memory.
        case Choice::ChartMarkers:
        case Choice::ChartZoom:
        case Choice::ChartPictures:
        case Choice::ChartExportData:
        case Choice::ChartOverlays:
        case Choice::ChartPrint:
            return true;
        default:
            return false;
    }
}

std::string activityText(Activity running) {
    switch (running) {
        case Activity::Download:
            return "Downloading the controller's log - Esc stops it";
        case Activity::Erase:
            return "Erasing the controller's log";
        case Activity::LiveStart:
            return "Starting the live view";
        case Activity::SaveFile:
            return "Writing the log file - Esc stops it";
        case Activity::None:
            break;
    }
    return "";
}

void requestAbort(SharedState& state) {
    if (state.running != Activity::None || state.RealTimeActive) {
        state.AbortRequested = true;
    }
}

RunningOperation::RunningOperation(SharedState& state, MainView& view, Activity activity)
    : m_state(state), m_view(view), m_outer(state.running) {
    m_state.running = activity;
    if (!m_state.ShuttingDown) {
        m_state.AbortRequested = false;
    }
    m_view.showActivity(activity);
}

RunningOperation::~RunningOperation() {
    m_state.running = m_outer;
    if (!m_state.ShuttingDown) {
        m_state.AbortRequested = false;
    }
    m_view.showActivity(m_outer);
}

}  // namespace velkor
