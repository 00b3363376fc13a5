#include "app/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/StartUp.h"
#include "base/DataFiles.h"
#include "base/QtPalette.h"
#include "base/QtWindowFit.h"
#include "base/StopSignals.h"
#include "link/LineErrors.h"
#include "live/CircularGauge.h"
#include "live/ReplayControls.h"
#include "log/Caption.h"
#include "logbookui/LogbookKeeper.h"

namespace velkor {

namespace {

QString portLinkFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Velkor/ports";
}

// Where every completed download is also kept: $XDG_DATA_HOME/Velkor/downloads, by default
// ~/.local/share/Velkor/downloads.
std::string downloadArchiveFolder() {
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             "/Velkor/downloads")
        .toStdString();
}

// Where the logbook's database and journal are kept, beside the archive.
std::string programDataFolder() {
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             "/Velkor")
        .toStdString();
}

}  // namespace

frmMain::frmMain(AppData& data, Prompts& prompts, std::vector<std::string> dataFolders,
                 QWidget* parent)
    : QMainWindow(parent),
      m_dataFolders(std::move(dataFolders)),
      m_prompts(prompts, data.state),
      m_ctx{data,
            m_prompts,
            m_settings,
            *this,
            m_port,
            m_clock,
            portLinkFolder().toStdString(),
            downloadArchiveFolder()},
      m_filePlaces{m_settings, m_ctx.downloadArchiveDir},
      m_link(m_ctx),
      m_logbook(new LogbookKeeper(programDataFolder(), downloadArchiveFolder(), this)) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromLatin1(DesignedCaption));
    createMenus();
    createFrames();
    resizeWithinScreen(*this, 860, 560);
    m_port.setLineErrorHandler([this](int code) { OnComm(m_ctx, code); });
    // A menu choice that waited for a live refresh runs from the event loop, after the
    // refresh's own events.
    m_link.setChoicePoster([this](std::function<void()> choice) {
        QMetaObject::invokeMethod(this, std::move(choice), Qt::QueuedConnection);
    });
    // Esc stops the running operation whichever control of this window has the focus.
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
}

void frmMain::createMenus() {
    auto item = [this](QMenu* menu, QAction*& action, const char* name, const QString& caption,
                       void (frmMain::*handler)(), Choice choice, QKeySequence keys = {}) {
        action = menu->addAction(caption);
        action->setObjectName(name);
        // Window-scoped, so a chart window with the focus keeps its own Ctrl+O and Ctrl+S.
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        m_choices.emplace_back(action, choice);
        if (handler != nullptr) {
            connect(action, &QAction::triggered, this, handler);
        }
    };

    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    item(mnuFile, mnuOpenFile, "mnuOpenFile", "&Open File", &frmMain::mnuOpenFile_Click,
         Choice::OpenFile, QKeySequence(Qt::CTRL | Qt::Key_O));
    item(mnuFile, mnuSaveFile, "mnuSaveFile", "&Save File", &frmMain::mnuSaveFile_Click,
         Choice::SaveFile, QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFile->addSeparator()->setObjectName("mnuSep1");
    item(mnuFile, mnuPrintSetup, "mnuPrintSetup", "Print Set&up", &frmMain::mnuPrintSetup_Click,
         Choice::PrintSetup, QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuFile->addSeparator()->setObjectName("mnuSep2");
    mnuRecentFiles = mnuFile->addMenu("Recent &Files");
    mnuRecentFiles->setObjectName("mnuRecentFiles");
    mnuRecentFiles->menuAction()->setObjectName("mnuRecentFilesMenu");
    m_choices.emplace_back(mnuRecentFiles->menuAction(), Choice::OpenFile);
    fillRecentFiles();
    connect(mnuRecentFiles, &QMenu::aboutToShow, this, &frmMain::fillRecentFiles);
    mnuFile->addSeparator()->setObjectName("recentFilesSeparator");
    item(mnuFile, mnuExit, "mnuExit", "E&xit", &frmMain::mnuExit_Click, Choice::Exit,
         QKeySequence(Qt::CTRL | Qt::Key_Q));

    mnuEdit = menuBar()->addMenu("&Edit");
    mnuEdit->setObjectName("mnuEdit");
    item(mnuEdit, mnuEditComment, "mnuEditComment", "&Comment", &frmMain::mnuEditComment_Click,
         Choice::EditComment);
    item(mnuEdit, mnuDisplayOptions, "mnuDisplayOptions", "Display &Options",
         &frmMain::mnuDisplayOptions_Click, Choice::DisplayOptions);

    mnuView = menuBar()->addMenu("&View");
    mnuView->setObjectName("mnuView");
    item(mnuView, mnuViewRealTime, "mnuViewRealTime", "View &Real Time Data",
         &frmMain::mnuViewRealTime_Click, Choice::ViewRealTime);
    item(mnuView, mnuViewChart, "mnuViewChart", "View &Chart (Downloaded Data)",
         &frmMain::mnuViewChart_Click, Choice::ViewChart);
    mnuView->addSeparator()->setObjectName("mnuSep3");
    item(mnuView, runSummaryAction, "runSummaryAction", "Run &Summary", &frmMain::viewRunSummary,
         Choice::RunSummary);
    mnuView->addSeparator()->setObjectName("mnuSep4");
    item(mnuView, replayLogAction, "replayLogAction", "Re&play Log", &frmMain::replayLog,
         Choice::ReplayLog);
    mnuView->addSeparator()->setObjectName("logbookSeparator");
    item(mnuView, logbookAction, "logbookAction", "&Logbook", &frmMain::viewLogbook,
         Choice::Logbook);

    mnuCommunications = menuBar()->addMenu("&Communications");
    mnuCommunications->setObjectName("mnuCommunications");
    item(mnuCommunications, mnuDownload, "mnuDownload", "&Download Data",
         &frmMain::mnuDownload_Click, Choice::Download);
    item(mnuCommunications, mnuClearControllerBuffer, "mnuClearControllerBuffer",
         "&Clear Controller Data Buffer", &frmMain::mnuClearControllerBuffer_Click,
         Choice::ClearControllerBuffer);
    item(mnuCommunications, mnuPortSetup, "mnuPortSetup", "&Port Setup",
         &frmMain::mnuPortSetup_Click, Choice::PortSetup);

    mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    item(mnuHelp, mnuHelpContents, "mnuHelpContents", "&Contents", &frmMain::mnuHelpContents_Click,
         Choice::HelpContents, QKeySequence(Qt::Key_F1));
    item(mnuHelp, mnuAbout, "mnuAbout", "&About", &frmMain::mnuAbout_Click, Choice::About);
}

void frmMain::createFrames() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    fraPortSelect = new QGroupBox("Data Port Setup", central);
    fraPortSelect->setObjectName("fraPortSelect");
    auto* portLayout = new QHBoxLayout(fraPortSelect);
    lblPort = new QLabel("&Port", fraPortSelect);
    lblPort->setObjectName("lblPort");
    cboPort = new QComboBox(fraPortSelect);
    cboPort->setObjectName("cboPort");
    cboPort->setMaxVisibleItems(16);
    cboPort->setMinimumContentsLength(28);
    lblPort->setBuddy(cboPort);
    lblPortDevice = new QLabel(fraPortSelect);
    lblPortDevice->setObjectName("lblPortDevice");
    lblPortDevice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdPortSelectOK = new QPushButton("&OK", fraPortSelect);
    cmdPortSelectOK->setObjectName("cmdPortSelectOK");
    portLayout->addWidget(lblPort);
    portLayout->addWidget(cboPort);
    portLayout->addWidget(lblPortDevice, 1);
    portLayout->addWidget(cmdPortSelectOK);
    connect(cboPort, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &frmMain::cboPort_Click);
    connect(cmdPortSelectOK, &QPushButton::clicked, this, &frmMain::cmdPortSelectOK_Click);

    fraProgress1 = new QGroupBox("Downloading Data", central);
    fraProgress1->setObjectName("fraProgress1");
    auto* progressLayout = new QVBoxLayout(fraProgress1);
    prgProgress1 = new QProgressBar(fraProgress1);
    prgProgress1->setObjectName("prgProgress1");
    prgProgress1->setRange(0, 100);
    prgProgress1->setAccessibleName("Download progress");
    progressLayout->addWidget(prgProgress1);

    fraRealTimeData = new RealTimePanel(central);
    gauTach = fraRealTimeData->gauTach;
    gauSpeedometer = fraRealTimeData->gauSpeedometer;
    cmdCloseRealTimeData = fraRealTimeData->cmdCloseRealTimeData;
    connect(cmdCloseRealTimeData, &QPushButton::clicked, this,
            &frmMain::cmdCloseRealTimeData_Click);
    // Enabled for the whole run; a tick does nothing unless a live view runs.
    tmrDataRead = new QTimer(this);
    tmrDataRead->setObjectName("tmrDataRead");
    tmrDataRead->setInterval(500);
    connect(tmrDataRead, &QTimer::timeout, this, &frmMain::tmrDataRead_Timer);
    tmrDataRead->start();

    createIdlePanel(central);

    layout->addWidget(fraPortSelect);
    layout->addWidget(fraProgress1);
    layout->addWidget(fraRealTimeData, 1);
    layout->addWidget(fraIdle, 1);
    setCentralWidget(central);

    lblPortStatus = new QLabel(this);
    lblPortStatus->setObjectName("lblPortStatus");
    statusBar()->addWidget(lblPortStatus, 1);
    // What runs, kept in view while menus are hovered (which clears passing messages).
    activityLabel = new QLabel(this);
    activityLabel->setObjectName("activityLabel");
    activityLabel->setStyleSheet("font-weight: bold");
    activityLabel->setContentsMargins(0, 0, 8, 0);
    activityLabel->hide();
    statusBar()->addPermanentWidget(activityLabel);
    statusBar()->setSizeGripEnabled(false);

    fraPortSelect->hide();
    fraProgress1->hide();
    fraRealTimeData->hide();
}

void frmMain::createIdlePanel(QWidget* parent) {
    fraIdle = new QWidget(parent);
    fraIdle->setObjectName("fraIdle");
    auto* layout = new QHBoxLayout(fraIdle);
    layout->addStretch();
    auto* logo = new QLabel(fraIdle);
    if (const auto path = findDataFile(m_dataFolders, "Velkor_Logo.png")) {
        logo->setPixmap(QPixmap(QString::fromStdString(*path)));
    }
    layout->addWidget(logo, 0, Qt::AlignVCenter);
    layout->addSpacing(24);
    // The titles and the table in the window's text colour, the lines around them in a hint's,
    // both following the desktop's light or dark palette.
    auto* hints = new QVBoxLayout;
    auto* title = new QLabel(
        "<p style='font-size:15pt; font-weight:600'>Shift Light Controller Data Logging</p>",
        fraIdle);
    auto* cable = new QLabel("Connect the controller's cable, then choose:", fraIdle);
    showAsHint(cable);
    auto* choices = new QLabel(
        "<table cellspacing='0' cellpadding='3'>"
        "<tr><td><b>Communications &#9656; Download Data</b></td>"
        "<td>read the controller's log and chart it</td></tr>"
        "<tr><td><b>View &#9656; View Real Time Data</b></td>"
        "<td>watch the controller live</td></tr>"
        "<tr><td><b>File &#9656; Open File</b></td><td>open a saved log</td></tr>"
        "<tr><td><b>Communications &#9656; Port Setup</b></td><td>choose the serial port</td></tr>"
        "</table>",
        fraIdle);
    auto* esc = new QLabel("Esc stops a long operation.", fraIdle);
    showAsHint(esc);
    for (QLabel* label : {title, cable, choices, esc}) {
        hints->addWidget(label);
    }
    hints->setSpacing(8);
    layout->addLayout(hints);
    layout->setAlignment(hints, Qt::AlignVCenter);
    layout->addStretch();
}

void frmMain::Form_Load() {
    runStartUp(m_ctx);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        requestAbort(m_ctx.data.state);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    tmrDataRead->stop();
    fraRealTimeData->fraReplay->stop();
    shutDown(m_ctx);
    event->accept();
    // Ends the run at once, leaving any other window without asking it. An operation that was
    // running (the close arrived while it let window events run) ends at its next step, and the
    // main loop then returns.
    QCoreApplication::exit(m_exitStatus);
}

void frmMain::endForSignal(int signal) {
    m_exitStatus = stopStatus(signal);
    close();
    // A window never shown gets no close event; the run ends all the same.
    shutDown(m_ctx);
    QCoreApplication::exit(m_exitStatus);
}

}  // namespace velkor
