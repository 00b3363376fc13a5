#pragma once
// What the operations set on the main window.

#include <string>
#include <vector>

#include "base/Activity.h"
#include "base/LiveDisplay.h"
#include "base/PortMap.h"

namespace velkor {

class MainView {
public:
    virtual ~MainView() = default;

    virtual void setCaption(const std::string& caption) = 0;
    virtual void setApplicationTitle(const std::string& title) = 0;
    virtual void showProgressFrame(bool shown) = 0;
    virtual void setProgressCaption(const std::string& caption) = 0;
    virtual void setProgressValue(int percent) = 0;  // 0..100
    // Hiding the frame ends whatever it shows: a live view's display or a replay of the log.
    virtual void showRealTimeFrame(bool shown) = 0;
    // The gauges, lamps and status line inside the real-time frame.
    virtual LiveDisplay& liveDisplay() = 0;
    virtual void fillPortList(const std::vector<PortEntry>& entries) = 0;
    // Selects a list position (-1: none) without running the port-choice handler.
    virtual void selectPortEntry(int listIndex) = 0;
    // Dial limits in the dial's own units (thousands of RPM on the tachometer).
    virtual void setTachometerLimits(double redline, double fullScale) = 0;
    virtual void setSpeedometerLimits(double redline, double fullScale) = 0;
    // Shows the display options dialog modally and returns when it has closed.
    virtual void showDisplayOptions() = 0;
    // Shows the chart window on the log in memory, modally; returns when it has closed.
    virtual void openChartWindow() = 0;
    // A controller operation was asked for while another one runs; it is not started.
    virtual void showBusy() = 0;
    // An operation began or ended (None): grey what it rules out and say what runs.
    virtual void showActivity(Activity running) = 0;
    // One line in the status line, for something worth knowing that needs no answer.
    virtual void showNote(const std::string& text) = 0;
    // A note whose window text names the windows' menus, with the same said in a terminal's
    // words for a front end without them. The windows show `windowText`.
    virtual void showNoteInWords(const std::string& windowText, const std::string& terminalText) {
        (void)terminalText;
        showNote(windowText);
    }
};

}  // namespace velkor
