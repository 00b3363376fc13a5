// The main window as the operations see it (MainView): caption, progress frame, live frame,
// port list, dial limits, notes, and the dialogs the operations open.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStatusBar>

#include "app/frmMain.h"
#include "base/QtText.h"
#include "chart/RunSummaryWindow.h"
#include "chart/frmChart1.h"
#include "live/CircularGauge.h"
#include "live/ReplayControls.h"
#include "options/frmDisplayOptions.h"

namespace velkor {

namespace {

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

void frmMain::showActivity(Activity running) {
    for (const auto& [action, choice] : m_choices) {
        action->setEnabled(offeredDuring(choice, running));
    }
    // Choosing another port closes the one in use.
    cboPort->setEnabled(offeredDuring(Choice::PortSetup, running));
    activityLabel->setText(fromCore(activityText(running)));
    activityLabel->setVisible(running != Activity::None);
}

void frmMain::showNote(const std::string& text) {
    statusBar()->showMessage(fromCore(text), 15000);
}

LiveDisplay& frmMain::liveDisplay() {
    return *fraRealTimeData;
}

void frmMain::showRealTimeFrame(bool shown) {
    if (!shown) {
        fraRealTimeData->fraReplay->stop();  // whatever ends a live view ends a replay
    }
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

void frmMain::runChartWindow(const std::function<void(frmChart1&)>& onceShown) {
    if (m_ctx.data.state.ShuttingDown) {
        return;  // a download that ended as the window closed opens nothing more
    }
    frmChart1 chart(m_ctx.data.log, m_ctx.data.prefs, m_ctx.prompts, m_dataFolders, this,
                    &chartKeep());
    chart.setPrinting(m_ctx, printer());
    chart.logic().setFilePlaces(&m_filePlaces);
    chart.Form_Load();
    if (onceShown) {
        QMetaObject::invokeMethod(
            &chart, [&chart, onceShown] { onceShown(chart); }, Qt::QueuedConnection);
    }
    chart.exec();
}

void frmMain::openChartWindow() {
    runChartWindow({});
}

void frmMain::openChartWithOverlay(const std::string& path) {
    runChartWindow([path](frmChart1& chart) { chart.overlayLogFile(path); });
}

ChartKeep& frmMain::chartKeep() {
    // The chart opens during a download or a file open only once the new log is in: it starts
    // afresh even on a log the same as the one before.
    if (m_loadingLog) {
        m_chartKeep.clear();
    }
    m_chartKeep.follow(m_ctx.data.log);
    return m_chartKeep;
}

void frmMain::openRunSummary() {
    if (m_ctx.data.state.ShuttingDown) {
        return;
    }
    if (m_ctx.data.log.DataBufferEmpty) {
        RunSummaryWindow summary(makeRunSummary(m_ctx.data.log, m_ctx.data.prefs), m_ctx.prompts,
                                 {}, this);
        summary.exec();
        return;
    }
    // The summary's rows lead to places on the chart, so it opens beside the chart window.
    runChartWindow([](frmChart1& chart) { chart.showRunSummary(); });
}

}  // namespace velkor
