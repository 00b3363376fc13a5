#pragma once
// The long operation that is running, the choices the windows offer, and which of those a
// running operation leaves open.
//
// While a download, an erase of the controller's log, the start of the live view or the writing
// of a log file runs, every choice that would use the serial port, replace or change the log,
// or end the live view (which closes the port) is greyed out; Exit, Print Setup, Help and About
// stay open. The live view's refresh is no such operation: a choice made during one waits the
// few milliseconds until the refresh has let go of the port.

#include <string>

namespace velkor {

class MainView;
struct SharedState;

enum class Activity { None, Download, Erase, LiveStart, SaveFile };

// The choices of the main window's menus and of the chart window.
enum class Choice {
    OpenFile,
    SaveFile,
    PrintSetup,
    Exit,
    EditComment,
    DisplayOptions,
    ViewRealTime,
    ViewChart,
    RunSummary,
    ReplayLog,
    Logbook,
    Download,
    ClearControllerBuffer,
    PortSetup,
    HelpContents,
    About,
    // The chart window's own, reached only while no operation runs: the window is modal and
    // every operation opens it only once its work is done.
    ChartMarkers,
    ChartZoom,
    ChartPictures,
    ChartExportData,
    ChartOverlays,
    ChartPrint,
};

// True when the choice can be made while `running` runs (always, when nothing does).
bool offeredDuring(Choice choice, Activity running);

// The status line while an operation runs; empty for none.
std::string activityText(Activity running);

// Esc: asks the operation that is running, or the live view, to stop at its next step. Pressed
// while nothing runs it does nothing, so it never stops a later operation.
void requestAbort(SharedState& state);

// Marks an operation as running for as long as it lives: the windows grey the choices it rules
// out and show what runs. A stop asked for before it began does not reach it, and one it leaves
// unanswered does not reach the next.
class RunningOperation {
public:
    RunningOperation(SharedState& state, MainView& view, Activity activity);
    ~RunningOperation();
    RunningOperation(const RunningOperation&) = delete;
    RunningOperation& operator=(const RunningOperation&) = delete;

private:
    SharedState& m_state;
    MainView& m_view;
    Activity m_outer;
};

}  // namespace velkor
