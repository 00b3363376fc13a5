#include "logbookui/PassComparisonWindow.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "base/QtPalette.h"
#include "base/QtText.h"
#include "base/QtWindowFit.h"
#include "logbookui/LogbookPlots.h"

namespace velkor {

namespace {

// Pixels: a splits-and-three-shifts table whole, in a window of 720.
constexpr int MostTableHeight = 300;

// Its colour comes with the others' in colour().
QLineSeries* addSeries(QChart* chart, double width, Qt::PenStyle style = Qt::SolidLine) {
    auto* series = new QLineSeries;
    series->setPen(QPen(QBrush(Qt::black), width, style, Qt::RoundCap, Qt::RoundJoin));
    chart->addSeries(series);
    return series;
}

}  // namespace

PassComparisonWindow::PassComparisonWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("PassComparisonWindow");
    setWindowTitle(CompareTitle);
    auto* layout = new QVBoxLayout(this);

    standingLabel = new QLabel(this);
    standingLabel->setObjectName("standingLabel");
    QFont bold = standingLabel->font();
    bold.setBold(true);
    standingLabel->setFont(bold);
    lossLabel = new QLabel(this);
    lossLabel->setObjectName("lossLabel");
    for (QLabel* label : {standingLabel, lossLabel}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        layout->addWidget(label);
    }

    chartView = plots::createChartView(this, "chartView", "Time behind the reference and speeds");
    QChart* chart = chartView->chart();
    m_distanceAxis = plots::addAxis(chart, Qt::AlignBottom, CompareDistanceAxis);
    m_behindAxis = plots::addAxis(chart, Qt::AlignLeft, CompareBehindAxis);
    m_speedAxis = plots::addAxis(chart, Qt::AlignRight, CompareSpeedAxis);
    m_distanceAxis->setRange(0, CompareFeet);
    m_distanceAxis->setTickType(QValueAxis::TicksDynamic);
    m_distanceAxis->setTickAnchor(0);
    m_distanceAxis->setTickInterval(CompareFeet / 8);  // 165 ft: 330, 660 and 1320 on ticks
    m_distanceAxis->setLabelFormat("%.0f");
    m_speedAxis->setGridLineVisible(false);
    m_speedAxis->setLabelFormat("%.0f");

    // Speeds first, so that the time behind is drawn over them.
    passSpeedSeries = addSeries(chart, 1.5);
    referenceSpeedSeries = addSeries(chart, 1.5, Qt::DashLine);
    m_zeroLine = addSeries(chart, 1, Qt::DotLine);
    behindSeries = addSeries(chart, 2.5);
    behindSeries->setName(CompareBehindName);
    for (QLineSeries* series : {passSpeedSeries, referenceSpeedSeries}) {
        series->attachAxis(m_distanceAxis);
        series->attachAxis(m_speedAxis);
    }
    for (QLineSeries* series : {m_zeroLine, behindSeries}) {
        series->attachAxis(m_distanceAxis);
        series->attachAxis(m_behindAxis);
    }
    m_zeroLine->append(0, 0);
    m_zeroLine->append(CompareFeet, 0);
    chart->legend()->markers(m_zeroLine).front()->setVisible(false);
    layout->addWidget(chartView, 3);

    auto* hint = new QLabel(CompareHint, this);
    hint->setObjectName("hintLabel");
    hint->setWordWrap(true);
    showAsHint(hint);
    layout->addWidget(hint);

    table = plots::createTable(this, "table", "Splits and shifts against the reference");
    layout->addWidget(table);
    resizeWithinScreen(*this, 1000, 700);
    colour();
}

void PassComparisonWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colour();
    }
}

void PassComparisonWindow::colour() {
    const plots::PlotColours colours = plots::plotColours(palette());
    plots::colourChart(chartView->chart(), colours);
    plots::setLineColour(passSpeedSeries, colours.red);
    plots::setLineColour(referenceSpeedSeries, colours.blue);
    plots::setLineColour(m_zeroLine, colours.text);
    plots::setLineColour(behindSeries, colours.text);
}

void PassComparisonWindow::setComparison(const PassComparison& comparison,
                                         const QString& passCaption,
                                         const QString& referenceCaption) {
    standingLabel->setText(fromCore(comparison.standing));
    lossLabel->setText(fromCore(comparison.lossText));
    const auto names = speedNames(toCore(passCaption), toCore(referenceCaption));
    passSpeedSeries->setName(fromCore(names[0]));
    referenceSpeedSeries->setName(fromCore(names[1]));

    QList<QPointF> behind;
    QList<QPointF> passSpeed;
    QList<QPointF> referenceSpeed;
    double low = 0;
    double high = 0;
    double fastest = 0;
    for (const CompareStep& step : comparison.steps) {
        behind.append({step.feet, step.behindSeconds});
        passSpeed.append({step.feet, step.passMph});
        referenceSpeed.append({step.feet, step.referenceMph});
        low = std::min(low, step.behindSeconds);
        high = std::max(high, step.behindSeconds);
        fastest = std::max({fastest, step.passMph, step.referenceMph});
    }
    behindSeries->replace(behind);
    passSpeedSeries->replace(passSpeed);
    referenceSpeedSeries->replace(referenceSpeed);
    // Room either side of the zero line, so that it never sits on the plot's edge.
    const double room = std::max(0.01, 0.1 * (high - low));
    plots::setRoundRange(m_behindAxis, low - room, high + room);
    plots::setRoundRange(m_speedAxis, 0, std::max(10.0, fastest * 1.05));

    const CompareTable rows =
        compareTable(comparison, toCore(passCaption), toCore(referenceCaption));
    plots::fillTable(table, rows.headers, rows.rows);
    // The whole table, up to as many rows as leave the plot its room; beyond, it scrolls.
    const int height = plots::tableHeight(table);
    table->setMinimumHeight(std::min(height, MostTableHeight));
    table->setMaximumHeight(height);
}

}  // namespace velkor
