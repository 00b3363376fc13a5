// The main window's handlers: each menu item, button and timer tick runs its operation.

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "about/HelpContents.h"
#include "about/HelpWindow.h"
#include "app/StartUp.h"
#include "app/frmMain.h"
#include "base/DataFiles.h"
#include "base/Prompts.h"
#include "link/ClearLog.h"
#include "live/LivePoll.h"
#include "live/RealTimeView.h"
#include "live/ReplayControls.h"
#include "log/Download.h"
#include "log/LogFileOperations.h"
#include "log/RecentFiles.h"
#include "log/ViewChart.h"
#include "logbook/LogbookTable.h"
#include "logbookui/LogbookKeeper.h"
#include "logbookui/LogbookWindow.h"

namespace velkor {

namespace {

// Marks, while it lives, an operation that may replace the log.
class LoadingLog {
public:
    explicit LoadingLog(bool& flag) : m_flag(flag) { m_flag = true; }
    ~LoadingLog() { m_flag = false; }
    LoadingLog(const LoadingLog&) = delete;
    LoadingLog& operator=(const LoadingLog&) = delete;

private:
    bool& m_flag;
};

}  // namespace

void frmMain::runOperation(const std::function<void()>& operation) {
    runStep(m_ctx.prompts, operation);
}

void frmMain::cboPort_Click(int listIndex) {
    showPortDevice(listIndex);
    runOperation([&] { choosePort(m_ctx, listIndex); });
}

void frmMain::cmdPortSelectOK_Click() {
    fraPortSelect->hide();
}

void frmMain::mnuPortSetup_Click() {
    fraPortSelect->show();
}

QPrinter& frmMain::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_printer;
}

void frmMain::mnuPrintSetup_Click() {
    QPrintDialog dialog(&printer(), this);
    dialog.setObjectName("dlgCommonDialog1");
    dialog.setWindowTitle("Printer Setup");
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The dialog sets the printer up for later printing; it prints nothing itself.
    if (auto* buttons =
            dialog.findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText("OK");
        }
    }
    // Cancel leaves the printer as it was; OK keeps the printer and page chosen.
    dialog.exec();
}

void frmMain::mnuOpenFile_Click() {
    endReplay();  // the log being replayed is about to be replaced
    const LoadingLog loading(m_loadingLog);
    runOperation([&] {
        if (velkor::mnuOpenFile_Click(m_ctx).outcome.isDone()) {
            m_logbook->addFile(m_ctx.data.log.FilePath);
        }
    });
}

void frmMain::fillRecentFiles() {
    mnuRecentFiles->clear();
    for (const RecentFileItem& recent : recentFileItems(m_settings)) {
        QAction* action = mnuRecentFiles->addAction(QString::fromStdString(recent.caption));
        action->setEnabled(recent.present);
        const std::string path = recent.path;
        // Opened from the event loop, once the menu has closed.
        connect(
            action, &QAction::triggered, this, [this, path] { openLogByPath(path); },
            Qt::QueuedConnection);
    }
    if (mnuRecentFiles->isEmpty()) {
        mnuRecentFiles->addAction(NoRecentFiles)->setEnabled(false);
    }
}

void frmMain::openLogByPath(const std::string& path) {
    endReplay();
    const LoadingLog loading(m_loadingLog);
    runOperation([&] {
        if (velkor::openLogFile(m_ctx, path).outcome.isDone()) {
            m_logbook->addFile(m_ctx.data.log.FilePath);
        }
    });
}

void frmMain::openFromLogbook(const std::string& path) {
    endReplay();
    const LoadingLog loading(m_loadingLog);
    runOperation([&] { velkor::openLogFile(m_ctx, path); });
}

void frmMain::overlayFromLogbook(const std::string& path) {
    if (m_ctx.data.log.DataBufferEmpty) {
        m_ctx.prompts.message(LogbookOverlayNeedsLog, "Logbook", Icon::Exclamation, Buttons::Ok);
        return;
    }
    m_link.runEndingLiveView([this, path] {
        runOperation([this, &path] {
            closeRealTimeView(m_ctx);
            openChartWithOverlay(path);
        });
    });
}

void frmMain::viewLogbook() {
    if (m_logbookWindow == nullptr) {
        LogbookWindow::Actions actions;
        actions.open = [this](const std::string& path) { openFromLogbook(path); };
        actions.overlay = [this](const std::string& path) { overlayFromLogbook(path); };
        m_logbookWindow = new LogbookWindow(*m_logbook, m_ctx.prompts, std::move(actions), this);
        m_logbookWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_logbook->scanAll();
    }
    m_logbookWindow->show();
    m_logbookWindow->raise();
    m_logbookWindow->activateWindow();
}

void frmMain::mnuSaveFile_Click() {
    runOperation([&] { velkor::mnuSaveFile_Click(m_ctx); });
}

void frmMain::mnuDownload_Click() {
    m_link.runEndingLiveView([this] {
        const LoadingLog loading(m_loadingLog);
        if (velkor::mnuDownload_Click(m_link).isDone()) {
            m_logbook->scanArchive();  // the download was kept there
        }
    });
}

void frmMain::mnuViewRealTime_Click() {
    endReplay();
    runOperation([&] { velkor::mnuViewRealTime_Click(m_link); });
}

void frmMain::replayLog() {
    m_link.runEndingLiveView([this] {
        runOperation([this] {
            if (velkor::replayLog(m_ctx, m_replayScales)) {
                fraRealTimeData->fraReplay->start(m_ctx.data.log, m_ctx.data.prefs, m_replayScales,
                                                  m_clock, *fraRealTimeData);
            }
        });
    });
}

void frmMain::endReplay() {
    if (fraRealTimeData->fraReplay->running()) {
        closeRealTimeView(m_ctx);
    }
}

void frmMain::cmdCloseRealTimeData_Click() {
    velkor::cmdCloseRealTimeData_Click(m_ctx);
}

void frmMain::tmrDataRead_Timer() {
    velkor::tmrDataRead_Timer(m_link);
}

void frmMain::mnuViewChart_Click() {
    m_link.runEndingLiveView(
        [this] { runOperation([this] { velkor::mnuViewChart_Click(m_ctx); }); });
}

void frmMain::viewRunSummary() {
    m_link.runEndingLiveView([this] {
        runOperation([this] {
            closeRealTimeView(m_ctx);
            openRunSummary();
        });
    });
}

void frmMain::mnuEditComment_Click() {
    velkor::mnuEditComment_Click(m_ctx);
}

void frmMain::mnuClearControllerBuffer_Click() {
    velkor::mnuClearControllerBuffer_Click(m_link);
}

void frmMain::mnuDisplayOptions_Click() {
    m_link.runEndingLiveView([this] { runOperation([this] { openDisplayOptions(m_ctx); }); });
}

void frmMain::mnuAbout_Click() {
    showAbout(m_ctx);
}

void frmMain::mnuHelpContents_Click() {
    const auto path = findDataFile(m_dataFolders, HelpFileName);
    if (!path) {
        m_ctx.prompts.message(std::string("The help file ") + HelpFileName +
                                  " was not found beside the program or in its data folder.",
                              "Help", Icon::Exclamation, Buttons::Ok);
        return;
    }
    if (const auto error = HelpWindow::showContents(*path, this)) {
        m_ctx.prompts.message(*error, "Help", Icon::Exclamation, Buttons::Ok);
    }
}

void frmMain::mnuExit_Click() {
    close();
}

}  // namespace velkor
