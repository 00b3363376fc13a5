#include "app/frmMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "about/HelpContents.h"
#include "about/HelpWindow.h"
#include "app/StartUp.h"
#include "base/DataFiles.h"
#include "base/Prompts.h"
#include "chart/frmChart1.h"
#include "link/ClearLog.h"
#include "link/LineErrors.h"
#include "live/CircularGauge.h"
#include "live/LivePoll.h"
#include "live/RealTimeView.h"
#include "log/Caption.h"
#include "log/Download.h"
#include "log/LogFileOperations.h"
#include "log/ViewChart.h"
#include "options/frmDisplayOptions.h"

namespace velkor {

namespace {

QString fromCore(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

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

QIcon presenceIcon(bool present) {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(present ? QColor(30, 130, 50) : QColor(150, 150, 150));
    painter.setBrush(present ? QColor(60, 190, 80) : Qt::transparent);
    painter.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    return QIcon(pixmap);
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
      m_link(m_ctx) {
    setObjectName("frmMain");
    setWindowTitle(QString::fromLatin1(DesignedCaption));
    createMenus();
    createFrames();
    resize(860, 560);
    m_port.setLineErrorHandler([this](int code) { OnComm(m_ctx, code); });
    // A menu choice that waited for a live refresh runs from the event loop, after the
    // refresh's own events.
    m_link.setChoicePoster([this](std::function<void()> choice) {
        QMetaObject::invokeMethod(this, std::move(choice), Qt::QueuedConnection);
    });
    // Esc sets AbortRequested whichever control of this window has the focus.
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
}

void frmMain::createMenus() {
    auto item = [this](QMenu* menu, QAction*& action, const char* name, const QString& caption,
                       void (frmMain::*handler)()) {
        action = menu->addAction(caption);
        action->setObjectName(name);
        if (handler != nullptr) {
            connect(action, &QAction::triggered, this, handler);
        }
    };

    mnuFile = menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    item(mnuFile, mnuOpenFile, "mnuOpenFile", "&Open File", &frmMain::mnuOpenFile_Click);
    item(mnuFile, mnuSaveFile, "mnuSaveFile", "&Save File", &frmMain::mnuSaveFile_Click);
    mnuFile->addSeparator()->setObjectName("mnuSep1");
    item(mnuFile, mnuPrintSetup, "mnuPrintSetup", "Print Set&up", &frmMain::mnuPrintSetup_Click);
    mnuFile->addSeparator()->setObjectName("mnuSep2");
    item(mnuFile, mnuExit, "mnuExit", "E&xit", &frmMain::mnuExit_Click);

    mnuEdit = menuBar()->addMenu("&Edit");
    mnuEdit->setObjectName("mnuEdit");
    item(mnuEdit, mnuEditComment, "mnuEditComment", "&Comment", &frmMain::mnuEditComment_Click);
    item(mnuEdit, mnuDisplayOptions, "mnuDisplayOptions", "Display &Options",
         &frmMain::mnuDisplayOptions_Click);

    mnuView = menuBar()->addMenu("&View");
    mnuView->setObjectName("mnuView");
    item(mnuView, mnuViewRealTime, "mnuViewRealTime", "View &Real Time Data",
         &frmMain::mnuViewRealTime_Click);
    item(mnuView, mnuViewChart, "mnuViewChart", "View &Chart (Downloaded Data)",
         &frmMain::mnuViewChart_Click);

    mnuCommunications = menuBar()->addMenu("&Communications");
    mnuCommunications->setObjectName("mnuCommunications");
    item(mnuCommunications, mnuDownload, "mnuDownload", "&Download Data",
         &frmMain::mnuDownload_Click);
    item(mnuCommunications, mnuClearControllerBuffer, "mnuClearControllerBuffer",
         "Clear Controller Data Buffer", &frmMain::mnuClearControllerBuffer_Click);
    item(mnuCommunications, mnuPortSetup, "mnuPortSetup", "&Port Setup",
         &frmMain::mnuPortSetup_Click);

    mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    item(mnuHelp, mnuHelpContents, "mnuHelpContents", "&Contents", &frmMain::mnuHelpContents_Click);
    item(mnuHelp, mnuAbout, "mnuAbout", "&About", &frmMain::mnuAbout_Click);
}

void frmMain::createFrames() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    fraPortSelect = new QGroupBox("Data Port Setup", central);
    fraPortSelect->setObjectName("fraPortSelect");
    auto* portLayout = new QHBoxLayout(fraPortSelect);
    lblPort = new QLabel("Port", fraPortSelect);
    lblPort->setObjectName("lblPort");
    cboPort = new QComboBox(fraPortSelect);
    cboPort->setObjectName("cboPort");
    cboPort->setMaxVisibleItems(16);
    cboPort->setMinimumContentsLength(28);
    lblPort->setBuddy(cboPort);
    lblPortDevice = new QLabel(fraPortSelect);
    lblPortDevice->setObjectName("lblPortDevice");
    lblPortDevice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdPortSelectOK = new QPushButton("OK", fraPortSelect);
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
    auto* hints = new QLabel(fraIdle);
    hints->setTextFormat(Qt::RichText);
    hints->setText(
        "<p style='font-size:15pt; font-weight:600; margin-bottom:2px'>Shift Light Controller "
        "Data Logging</p>"
        "<p style='color:#555'>Connect the controller's cable, then choose:</p>"
        "<table cellspacing='0' cellpadding='3' style='color:#333'>"
        "<tr><td><b>Communications &#9656; Download Data</b></td>"
        "<td>read the controller's log and chart it</td></tr>"
        "<tr><td><b>View &#9656; View Real Time Data</b></td>"
        "<td>watch the controller live</td></tr>"
        "<tr><td><b>File &#9656; Open File</b></td><td>open a saved log</td></tr>"
        "<tr><td><b>Communications &#9656; Port Setup</b></td><td>choose the serial port</td></tr>"
        "</table>"
        "<p style='color:#777'>Esc stops a long operation.</p>");
    layout->addWidget(hints, 0, Qt::AlignVCenter);
    layout->addStretch();
}

void frmMain::Form_Load() {
    runStartUp(m_ctx);
}

void frmMain::setCaption(const std::string& caption) {
    setWindowTitle(fromCore(caption));
}

void frmMain::setApplicationTitle(const std::string& title) {
    QCoreApplication::setApplicationName(fromCore(title));
}

void frmMain::showProgressFrame(bool shown) {
    fraProgress1->setVisible(shown);
}

void frmMain::setProgressCaption(const std::string& caption) {
    fraProgress1->setTitle(fromCore(caption));
    fraProgress1->repaint();
}

void frmMain::setProgressValue(int percent) {
    prgProgress1->setValue(percent);
}

void frmMain::showBusy() {
    QApplication::beep();
    statusBar()->showMessage("Wait: another controller operation is still running.", 4000);
}

void frmMain::showNote(const std::string& text) {
    statusBar()->showMessage(fromCore(text), 15000);
}

LiveDisplay& frmMain::liveDisplay() {
    return *fraRealTimeData;
}

void frmMain::showRealTimeFrame(bool shown) {
    // The panel going away is hidden first, so that the window never has to hold both.
    QWidget* leaving = shown ? fraIdle : static_cast<QWidget*>(fraRealTimeData);
    QWidget* coming = shown ? static_cast<QWidget*>(fraRealTimeData) : fraIdle;
    leaving->hide();
    coming->show();
}

void frmMain::fillPortList(const std::vector<PortEntry>& entries) {
    const QSignalBlocker blocker(cboPort);
    m_portEntries = entries;
    cboPort->clear();
    for (const PortEntry& entry : entries) {
        const QString device = QString::fromStdString(entry.shown);
        cboPort->addItem(presenceIcon(entry.present),
                         QString::fromStdString(entry.name) + "    " + device);
        const int row = cboPort->count() - 1;
        cboPort->setItemData(row,
                             QString::fromStdString(entry.name) + " is " + device +
                                 (entry.present ? "" : " (not present)"),
                             Qt::ToolTipRole);
    }
    cboPort->setCurrentIndex(-1);
    showPortDevice(-1);
}

void frmMain::selectPortEntry(int listIndex) {
    const QSignalBlocker blocker(cboPort);
    cboPort->setCurrentIndex(listIndex);
    showPortDevice(listIndex);
}

void frmMain::showPortDevice(int listIndex) {
    if (listIndex < 0 || listIndex >= int(m_portEntries.size())) {
        lblPortDevice->clear();
        lblPortStatus->setText("No serial port chosen");
        return;
    }
    const PortEntry& entry = m_portEntries[std::size_t(listIndex)];
    QString text = QString::fromStdString(entry.shown);
    if (entry.linked) {
        text += " (your link com" + QString::number(entry.number) + ")";
    }
    text += entry.present ? QString::fromUtf8(" \u2014 present")
                          : QString::fromUtf8(" \u2014 not present on this computer");
    lblPortDevice->setText(text);
    lblPortStatus->setText(QString::fromStdString(entry.name) + " is " + text);
}

void frmMain::setTachometerLimits(double redline, double fullScale) {
    gauTach->setRedline(redline);
    gauTach->setFullScale(fullScale);
}

void frmMain::setSpeedometerLimits(double redline, double fullScale) {
    gauSpeedometer->setRedline(redline);
    gauSpeedometer->setFullScale(fullScale);
}

void frmMain::showDisplayOptions() {
    if (m_ctx.data.state.ShuttingDown) {
        return;
    }
    // Loaded afresh each time; at start-up it shows before this window does.
    frmDisplayOptions dialog(m_ctx, this);
    dialog.Form_Load();
    dialog.exec();
}

void frmMain::openChartWindow() {
    if (m_ctx.data.state.ShuttingDown) {
        return;  // a download that ended as the window closed opens nothing more
    }
    frmChart1 chart(m_ctx.data.log, m_ctx.data.prefs, m_ctx.prompts, m_dataFolders, this);
    chart.setPrinting(m_ctx, printer());
    chart.Form_Load();
    chart.exec();
}

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
    runOperation([&] { velkor::mnuOpenFile_Click(m_ctx); });
}

void frmMain::mnuSaveFile_Click() {
    runOperation([&] { velkor::mnuSaveFile_Click(m_ctx); });
}

void frmMain::mnuDownload_Click() {
    m_link.runEndingLiveView([this] { velkor::mnuDownload_Click(m_link); });
}

void frmMain::mnuViewRealTime_Click() {
    runOperation([&] { velkor::mnuViewRealTime_Click(m_link); });
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

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_ctx.data.state.AbortRequested = true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    tmrDataRead->stop();
    shutDown(m_ctx);
    event->accept();
    // Ends the run at once, leaving any other window without asking it. An operation that was
    // running (the close arrived while it let window events run) ends at its next step, and the
    // main loop then returns.
    QCoreApplication::exit(0);
}

}  // namespace velkor
