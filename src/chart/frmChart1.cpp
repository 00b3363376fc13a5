#include "chart/frmChart1.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "base/DataFiles.h"
#include "base/QtText.h"
#include "base/QtWindowFit.h"
#include "chart/Chart2D.h"
#include "chart/ChartDescription.h"
#include "chart/ChartPrinter.h"
#include "chart/RunSummaryWindow.h"
#include "chart/TimeWindow.h"
#include "chart/Traces.h"
#include "chart/WindowPlacement.h"

namespace velkor {

namespace {

Chart2D::Axis chartAxis(ChartAxis axis) {
    switch (axis) {
        case ChartAxis::X:
            return Chart2D::Axis::X;
        case ChartAxis::Y:
            return Chart2D::Axis::Y;
        case ChartAxis::Y2:
            break;
    }
    return Chart2D::Axis::Y2;
}

QLabel* readout(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(90);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

frmChart1::frmChart1(const DataLog& log, Preferences& prefs, Prompts& prompts,
                     std::vector<std::string> dataFolders, QWidget* parent, ChartKeep* keep)
    : QDialog(parent),
      m_dataFolders(std::move(dataFolders)),
      m_log(log),
      m_prefs(prefs),
      m_logic(*this, prompts, log, prefs, keep != nullptr ? *keep : m_ownKeep) {
    setObjectName("frmChart1");
    setWindowTitle("Shift Light Controller Data Logging Program - Chart Display");
    setModal(true);

    Chart2D1 = new Chart2D(this);
    Chart2D1->setObjectName("Chart2D1");
    Chart2D1->setMinimumSize(640, 360);
    scrChart2D1 = new QScrollBar(Qt::Horizontal, this);
    scrChart2D1->setObjectName("scrChart2D1");
    Chart2D1->setAccessibleName("Chart");
    scrChart2D1->setAccessibleName("Time position");
    scrChart2D1->setAccessibleDescription("Moves the time window along the log");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Chart2D1, 1);
    layout->addWidget(scrChart2D1);
    layout->addWidget(createBReadout());
    auto* controls = new QHBoxLayout;
    controls->addWidget(createTraceFrames());
    controls->addWidget(createReadouts());
    layout->addLayout(controls);

    connect(scrChart2D1, &QScrollBar::valueChanged, this, [this] { m_logic.scrChart2D1_Change(); });
    connect(Chart2D1, &Chart2D::mouseButton, this, [this](int button, QPointF pixel) {
        m_logic.Chart2D1_MouseDown(button, Chart2D1->timeAt(pixel));
    });
    connect(Chart2D1, &Chart2D::markerKeyPressed, this,
            [this](MarkerKey key) { m_logic.moveMarker(key); });
    Chart2D1->setToolTip(
        "Click, or Left/Right, Page Up/Page Down and Ctrl+Home/Ctrl+End, to move the marker. "
        "The wheel zooms, the middle button pans, the right button opens the tools.");
    connect(cmdReset, &QPushButton::clicked, this, [this] { m_logic.cmdReset_Click(); });
    connect(cmdPrint, &QPushButton::clicked, this, &frmChart1::cmdPrint_Click);
    cmdPrint->setEnabled(false);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    connect(runSummaryButton, &QPushButton::clicked, this, &frmChart1::showRunSummary);
    createMeasureActions();
    connectMeasureEvents();
    resizeWithinScreen(*this, 1180, 760);
}

QWidget* frmChart1::createTraceFrames() {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    fraTrace1 = new QGroupBox("Trace 1", box);
    fraTrace1->setObjectName("fraTrace1");
    fraTrace2 = new QGroupBox("Trace 2", box);
    fraTrace2->setObjectName("fraTrace2");
    auto* grid1 = new QGridLayout(fraTrace1);
    auto* grid2 = new QGridLayout(fraTrace2);
    int placed1 = 0;
    int placed2 = 0;
    for (const TraceDefinition& definition : traceDefinitions()) {
        QGroupBox* frame = definition.trace == 1 ? fraTrace1 : fraTrace2;
        auto* button = new QRadioButton(definition.caption, frame);
        button->setObjectName(definition.control);
        traceOptions[definition.option] = button;
        if (definition.trace == 1) {
            grid1->addWidget(button, placed1 % 4, placed1 / 4);
            ++placed1;
        } else {
            grid2->addWidget(button, placed2 % 4, placed2 / 4);
            ++placed2;
        }
        const TraceOption option = definition.option;
        connect(button, &QRadioButton::clicked, this,
                [this, option] { m_logic.optTrace_Click(option); });
    }
    fraScaleOptions = new QGroupBox("Time Scale", box);
    fraScaleOptions->setObjectName("fraScaleOptions");
    auto* scales = new QVBoxLayout(fraScaleOptions);
    optTimeScale1 = timeScaleButton(1);
    optTimeScale2 = timeScaleButton(2);
    optTimeScale3 = timeScaleButton(3);
    for (QRadioButton* button : {optTimeScale1, optTimeScale2, optTimeScale3}) {
        scales->addWidget(button);
    }
    row->addWidget(fraTrace1);
    row->addWidget(fraTrace2);
    row->addWidget(fraScaleOptions);
    return box;
}

QRadioButton* frmChart1::timeScaleButton(int option) {
    auto* button = new QRadioButton(timeScale(option).caption, fraScaleOptions);
    button->setObjectName(QString("optTimeScale%1").arg(option));
    connect(button, &QRadioButton::clicked, this,
            [this, option] { m_logic.optTimeScale_Click(option); });
    return button;
}

QWidget* frmChart1::createReadouts() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);

    auto* marker = new QGroupBox("Marker", box);
    auto* grid = new QGridLayout(marker);
    lblMarkerTime = readout(marker, "lblMarkerTime");
    lblMarkerTrace1 = readout(marker, "lblMarkerTrace1");
    lblMarkerTrace2 = readout(marker, "lblMarkerTrace2");
    grid->addWidget(new QLabel("Time", marker), 0, 0);
    grid->addWidget(lblMarkerTime, 0, 1);
    grid->addWidget(new QLabel("Trace 1", marker), 1, 0);
    grid->addWidget(lblMarkerTrace1, 1, 1);
    grid->addWidget(new QLabel("Trace 2", marker), 2, 0);
    grid->addWidget(lblMarkerTrace2, 2, 1);
    lblMarkerTime->setAccessibleDescription("Marker time");
    lblMarkerTrace1->setAccessibleDescription("Trace 1 at the marker");
    lblMarkerTrace2->setAccessibleDescription("Trace 2 at the marker");

    fraMiscData = new QGroupBox(box);
    fraMiscData->setObjectName("fraMiscData");
    auto* misc = new QGridLayout(fraMiscData);
    lblStatusLegend = new QLabel("Controller Status", fraMiscData);
    lblStatusLegend->setObjectName("lblStatusLegend");
    lblStatus = new QLabel(fraMiscData);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setMinimumSize(150, 70);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblStatus->setFrameShadow(QFrame::Sunken);
    lblLogIntervalLegend = new QLabel("Log Interval (sec)", fraMiscData);
    lblLogIntervalLegend->setObjectName("lblLogIntervalLegend");
    lblLogIntervalData = readout(fraMiscData, "lblLogIntervalData");
    lblStatusLegend->setBuddy(lblStatus);
    lblLogIntervalData->setAccessibleDescription("Log interval in seconds");
    misc->addWidget(lblStatusLegend, 0, 0);
    misc->addWidget(lblStatus, 1, 0, 1, 2);
    misc->addWidget(lblLogIntervalLegend, 2, 0);
    misc->addWidget(lblLogIntervalData, 2, 1);

    auto* buttons = new QVBoxLayout;
    cmdReset = new QPushButton("&Reset Time Display", box);
    cmdReset->setObjectName("cmdReset");
    cmdPrint = new QPushButton("&Print", box);
    cmdPrint->setObjectName("cmdPrint");
    runSummaryButton = new QPushButton("R&un Summary", box);
    runSummaryButton->setObjectName("runSummaryButton");
    cmdExit = new QPushButton("E&xit", box);
    cmdExit->setObjectName("cmdExit");
    // Enter must not press a button here: Reset Time Display would silently move the zero of
    // the time read-out. QDialog makes push buttons default on focus unless told otherwise.
    for (QPushButton* button : {cmdReset, cmdPrint, runSummaryButton, cmdExit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    cmdReset->setAccessibleDescription("Puts the time read-out's zero back at the log's start");
    runSummaryButton->setAccessibleDescription("Opens the run summary beside the chart");
    cmdExit->setAccessibleDescription("Closes the chart");
    buttons->addWidget(cmdReset);
    buttons->addWidget(cmdPrint);
    // In the room above Exit, so that the other buttons stay where they were.
    buttons->addWidget(runSummaryButton);
    buttons->addStretch();
    buttons->addWidget(cmdExit);

    auto* row = new QHBoxLayout;
    row->addWidget(marker);
    row->addWidget(fraMiscData);
    row->addLayout(buttons);
    column->addLayout(row);
    return box;
}

void frmChart1::Form_Load() {
    Chart2D1->setFrozen(true);
    m_logic.Form_Load();
    Chart2D1->setFrozen(false);
    updateActions();  // the measuring tools need the chart's data
}

void frmChart1::done(int result) {
    m_logic.Form_Unload();
    QDialog::done(result);
}

void frmChart1::overlayLogFile(const std::string& path) {
    m_logic.overlayLogFile(path);
}

void frmChart1::showRunSummary() {
    if (runSummary == nullptr) {
        RunSummaryWindow::Chart chart;
        chart.mark = [this](double time) { m_logic.markAt(time, plotShareSeen()); };
        chart.ticks = [this](const std::vector<double>& times) { m_logic.setShiftTicks(times); };
        chart.bands = [this](const std::vector<TimeSpan>& spans) { m_logic.setSpinBands(spans); };
        runSummary = new RunSummaryWindow(makeRunSummary(m_log, m_prefs), m_logic.prompts(),
                                          std::move(chart), this);
        if (const QScreen* shown = screen()) {
            placeRunSummary(shown->availableGeometry());
        }
    }
    runSummary->show();
    runSummary->raise();
    runSummary->activateWindow();
}

void frmChart1::setShiftTicks(const std::vector<double>& times) {
    Chart2D1->setTicks(times);
}

void frmChart1::setSpinBands(const std::vector<std::pair<double, double>>& spans) {
    Chart2D1->setBands(spans);
}

void frmChart1::placeRunSummary(const QRect& area) {
    if (runSummary == nullptr) {
        return;
    }
    // The rule works on the windows' frames; the title bars and borders are given back after.
    const QRect frame = frameGeometry();
    const QSize chartBorder = frame.size() - size();
    // Before it is first shown the summary has no frame yet: the window manager will give it
    // the chart's title bar and borders.
    QSize summaryBorder = runSummary->frameGeometry().size() - runSummary->size();
    if (!runSummary->isVisible() && summaryBorder.isNull()) {
        summaryBorder = chartBorder;
    }
    // What lies below the plot (the scroll bar, the read-outs, the options and the buttons),
    // from the plot's foot to the frame's.
    const int plotFoot = mapToGlobal(QPoint(0, Chart2D1->geometry().bottom() + 1)).y();
    const int footer = frame.bottom() + 1 - plotFoot;
    const SideBySide placed = placeBeside(
        {area.x(), area.y(), area.width(), area.height()},
        {frame.x(), frame.y(), frame.width(), frame.height()},
        runSummary->width() + summaryBorder.width(),
        std::max(runSummary->height() + summaryBorder.height(), frame.height()),
        minimumSizeHint().width() + chartBorder.width(),
        std::max(RunSummaryMinWidth, runSummary->minimumSizeHint().width() + summaryBorder.width()),
        footer);
    move(placed.chart.x, placed.chart.y);
    resize(placed.chart.width - chartBorder.width(), placed.chart.height - chartBorder.height());
    runSummary->move(placed.summary.x, placed.summary.y);
    runSummary->resize(placed.summary.width - summaryBorder.width(),
                       placed.summary.height - summaryBorder.height());
}

double frmChart1::plotShareSeen() const {
    if (runSummary == nullptr || !runSummary->isVisible()) {
        return 1.0;
    }
    const QRect plot(Chart2D1->mapToGlobal(Chart2D1->plotArea().topLeft().toPoint()),
                     Chart2D1->plotArea().size().toSize());
    const QRect over = runSummary->frameGeometry();
    return velkor::plotShareSeen({plot.x(), plot.y(), plot.width(), plot.height()},
                                 {over.x(), over.y(), over.width(), over.height()});
}

void frmChart1::setPrinting(AppContext& ctx, QPrinter& printer) {
    m_printContext = &ctx;
    m_printer = &printer;
    cmdPrint->setEnabled(true);
    updateActions();
}

void frmChart1::cmdPrint_Click() {
    if (m_printContext == nullptr || m_printer == nullptr) {
        return;
    }
    QtChartPrinter printer(*m_printer, *Chart2D1);
    velkor::cmdPrint_Click(*m_printContext, printer);
}

void frmChart1::setLogIntervalText(const std::string& text) {
    lblLogIntervalData->setText(fromCore(text));
}

void frmChart1::setMarkerTimeText(const std::string& text) {
    lblMarkerTime->setText(fromCore(text));
    describeChart();
}

void frmChart1::setMarkerTrace1Text(const std::string& text) {
    lblMarkerTrace1->setText(fromCore(text));
    describeChart();
}

void frmChart1::setMarkerTrace2Text(const std::string& text) {
    lblMarkerTrace2->setText(fromCore(text));
    describeChart();
}

void frmChart1::setStatusText(const std::string& text) {
    lblStatus->setText(fromCore(text).replace("\r\n", "\n"));
}

void frmChart1::selectTraceOption(TraceOption option) {
    traceOptions.at(option)->setChecked(true);
}

void frmChart1::selectTimeScale(int option) {
    QRadioButton* buttons[] = {optTimeScale1, optTimeScale2, optTimeScale3};
    buttons[option - 1]->setChecked(true);
}

void frmChart1::setScrollRange(int minimum, int maximum) {
    const QSignalBlocker blocker(scrChart2D1);
    scrChart2D1->setRange(minimum, maximum);
}

int frmChart1::scrollValue() const {
    return scrChart2D1->value();
}

void frmChart1::setScrollValue(int value) {
    const QSignalBlocker blocker(scrChart2D1);
    scrChart2D1->setValue(value);
}

void frmChart1::setScrollSteps(int large, int small) {
    scrChart2D1->setPageStep(large);
    scrChart2D1->setSingleStep(small);
}

bool frmChart1::loadChartTemplate() {
    const auto path = findDataFile(m_dataFolders, ChartTemplateFileName);
    return path && Chart2D1->loadTemplate(QString::fromStdString(*path));
}

void frmChart1::setBatch(int group, bool on) {
    Chart2D1->setBatch(group, on);
}

void frmChart1::setAxisRange(ChartAxis axis, double minimum, double maximum) {
    Chart2D1->setAxisRange(chartAxis(axis), minimum, maximum);
    if (axis == ChartAxis::X) {
        describeChart();
    }
}

void frmChart1::setAxisTitle(ChartAxis axis, const std::string& title) {
    Chart2D1->setAxisTitle(chartAxis(axis), fromCore(title));
    describeChart();
}

void frmChart1::describeChart() {
    if (bTimeLabel == nullptr || lblMarkerTrace2 == nullptr) {
        return;  // still being built
    }
    ChartFacts facts;
    facts.trace1 = Chart2D1->axisTitle(Chart2D::Axis::Y).toStdString();
    facts.trace2 = Chart2D1->axisTitle(Chart2D::Axis::Y2).toStdString();
    std::tie(facts.from, facts.to) = Chart2D1->axisRange(Chart2D::Axis::X);
    facts.markerTime = lblMarkerTime->text().toStdString();
    facts.marker1 = lblMarkerTrace1->text().toStdString();
    facts.marker2 = lblMarkerTrace2->text().toStdString();
    facts.bTime = bTimeLabel->text().toStdString();
    facts.deltaTime = deltaTimeLabel->text().toStdString();
    facts.delta1 = deltaTrace1Label->text().toStdString();
    facts.delta2 = deltaTrace2Label->text().toStdString();
    const QString text = QString::fromStdString(chartDescription(facts));
    if (Chart2D1->accessibleDescription() != text) {
        Chart2D1->setAccessibleDescription(text);
    }
}

void frmChart1::setAxisShown(ChartAxis axis, bool shown) {
    Chart2D1->setAxisShown(chartAxis(axis), shown);
}

void frmChart1::setSeriesLabel(int group, const std::string& text) {
    Chart2D1->setSeriesLabel(group, fromCore(text));
}

void frmChart1::setXValues(int group, const TraceValues& values) {
    Chart2D1->setXValues(group, values);
}

void frmChart1::setYValues(int group, const TraceValues& values) {
    Chart2D1->setYValues(group, values);
}

void frmChart1::setMarker(double time) {
    Chart2D1->setMarker(time);
}

void frmChart1::setLevelLabelsShown(bool shown) {
    Chart2D1->setLabelShown(1, shown);
    Chart2D1->setLabelShown(2, shown);
}

void frmChart1::setTraceNameLabel(const std::string& text, bool shown) {
    Chart2D1->setLabelText(3, fromCore(text));
    Chart2D1->setLabelShown(3, shown);
}

}  // namespace velkor
