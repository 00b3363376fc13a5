#pragma once
// The main window: menus, the port frame, the progress frame and the live display. It wires
// events to the operations and shows what they set through MainView.

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/AppContext.h"
#include "base/Clock.h"
#include "base/MainView.h"
#include "base/QtSettingsStore.h"
#include "base/ShutdownPrompts.h"
#include "chart/ChartKeep.h"
#include "link/ControllerLink.h"
#include "link/QtSerialPort.h"
#include "live/RealTimePanel.h"
#include "log/FilePlaces.h"
#include "logbookui/LogbookWindow.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTimer;

namespace velkor {

class CircularGauge;
class frmChart1;
class LogbookKeeper;
class Prompts;

class frmMain : public QMainWindow, public MainView {
    Q_OBJECT
public:
    frmMain(AppData& data, Prompts& prompts, std::vector<std::string> dataFolders,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up sequence; runs before the window is first shown.
    void Form_Load();

    // The log file named on the command line or chosen under Recent Files, opened as Open File
    // opens the one chosen in its dialog, with the same questions and messages.
    void openLogByPath(const std::string& path);

    // A signal asked the program to end (log-out, kill, a closed terminal): the window closes as
    // File, Exit closes it, and the run ends with 128 plus the signal's number.
    void endForSignal(int signal);

    // MainView
    void setCaption(const std::string& caption) override;
    void setApplicationTitle(const std::string& title) override;
    void showProgressFrame(bool shown) override;
    void setProgressCaption(const std::string& caption) override;
    void setProgressValue(int percent) override;
    void showRealTimeFrame(bool shown) override;
    LiveDisplay& liveDisplay() override;
    void fillPortList(const std::vector<PortEntry>& entries) override;
    void selectPortEntry(int listIndex) override;
    void setTachometerLimits(double redline, double fullScale) override;
    void setSpeedometerLimits(double redline, double fullScale) override;
    void showDisplayOptions() override;
    void showBusy() override;
    void showActivity(Activity running) override;
    void showNote(const std::string& text) override;
    void openChartWindow() override;
    // The Run Summary: over the chart window when there is a log, else alone, saying so.
    void openRunSummary();
    // The chart of the log in memory with the log file at `path` laid over it.
    void openChartWithOverlay(const std::string& path);
    // The chart window on the log in memory, modal; `onceShown` runs as it opens.
    void runChartWindow(const std::function<void(frmChart1&)>& onceShown);

    // Controls, named as the system names them.
    QMenu* mnuFile = nullptr;
    QAction* mnuOpenFile = nullptr;
    QAction* mnuSaveFile = nullptr;
    QAction* mnuPrintSetup = nullptr;
    QMenu* mnuRecentFiles = nullptr;  // the last logs opened, saved or downloaded
    QAction* mnuExit = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditComment = nullptr;
    QAction* mnuDisplayOptions = nullptr;
    QMenu* mnuView = nullptr;
    QAction* mnuViewRealTime = nullptr;
    QAction* mnuViewChart = nullptr;
    QAction* runSummaryAction = nullptr;
    QAction* replayLogAction = nullptr;
    QAction* logbookAction = nullptr;
    QMenu* mnuCommunications = nullptr;
    QAction* mnuDownload = nullptr;
    QAction* mnuClearControllerBuffer = nullptr;
    QAction* mnuPortSetup = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuAbout = nullptr;

    QGroupBox* fraPortSelect = nullptr;
    QLabel* lblPort = nullptr;
    QComboBox* cboPort = nullptr;
    QLabel* lblPortDevice = nullptr;
    QPushButton* cmdPortSelectOK = nullptr;

    QGroupBox* fraProgress1 = nullptr;
    QProgressBar* prgProgress1 = nullptr;

    RealTimePanel* fraRealTimeData = nullptr;
    CircularGauge* gauTach = nullptr;
    CircularGauge* gauSpeedometer = nullptr;
    QPushButton* cmdCloseRealTimeData = nullptr;
    QTimer* tmrDataRead = nullptr;  // the live view's 500 ms tick, running for the whole run

    // Shown while no live view runs: where to start.
    QWidget* fraIdle = nullptr;
    QLabel* lblPortStatus = nullptr;
    QLabel* activityLabel = nullptr;  // the operation under way, in the status line

    AppContext& context() { return m_ctx; }
    // The printer chosen under Print Setup, kept for the rest of the run and used by every
    // print; made on first use.
    QPrinter& printer();
    ControllerLink& link() { return m_link; }
    LogbookKeeper& logbook() { return *m_logbook; }
    LogbookWindow* logbookWindow() const { return m_logbookWindow; }
    // What the chart window gives back when it opens again on the same log.
    const ChartKeep& keptChart() const { return m_chartKeep; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createFrames();
    void createIdlePanel(QWidget* parent);
    void showPortDevice(int listIndex);

    void cboPort_Click(int listIndex);
    void cmdPortSelectOK_Click();
    void mnuPortSetup_Click();
    void mnuPrintSetup_Click();
    void mnuOpenFile_Click();
    // Lists the recent files from the store, a missing one greyed.
    void fillRecentFiles();
    void mnuSaveFile_Click();
    void mnuEditComment_Click();
    void mnuViewChart_Click();
    void viewRunSummary();
    void mnuViewRealTime_Click();
    void replayLog();
    void viewLogbook();
    // The logbook's Open: the log file at `path` in place of the log in memory.
    void openFromLogbook(const std::string& path);
    void overlayFromLogbook(const std::string& path);
    // Ends a replay as the live view ends (the frame hides); nothing when none runs.
    void endReplay();
    void cmdCloseRealTimeData_Click();
    void tmrDataRead_Timer();
    void mnuDownload_Click();
    void mnuClearControllerBuffer_Click();
    void mnuDisplayOptions_Click();
    void mnuAbout_Click();
    void mnuHelpContents_Click();
    void mnuExit_Click();

    // Runs an operation; a run-time error escaping it goes to the shared error prompt.
    void runOperation(const std::function<void()>& operation);

    std::vector<std::pair<QAction*, Choice>> m_choices;  // every menu item, with its choice
    std::vector<std::string> m_dataFolders;
    std::vector<PortEntry> m_portEntries;
    QtSettingsStore m_settings;
    QtSerialPort m_port;
    SteadyClock m_clock;
    LiveState m_replayScales;  // the input-2 scaling a replay's gauges were laid out with
    ShutdownPrompts m_prompts;
    int m_exitStatus = 0;
    AppContext m_ctx;
    FilePlaces m_filePlaces;  // where the chart window's file dialogs open
    ControllerLink m_link;
    std::unique_ptr<QPrinter> m_printer;
    // What the chart window gives back when it opens again on the log it closed on; forgotten
    // when a download or an opened file replaces the log.
    ChartKeep m_chartKeep;
    bool m_loadingLog = false;
    // The logbook: every download and every log opened is indexed in it.
    LogbookKeeper* m_logbook = nullptr;
    QPointer<LogbookWindow>
        m_logbookWindow;  // a download or a file open runs: it may replace the log
    // The keep, made ready for the chart window about to open on the log in memory.
    ChartKeep& chartKeep();
};

}  // namespace velkor
