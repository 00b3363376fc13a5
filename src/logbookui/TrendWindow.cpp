#include "logbookui/TrendWindow.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "base/QtText.h"
#include "base/QtWindowFit.h"
#include "logbook/Trend.h"
#include "logbookui/LogbookPlots.h"

namespace velkor {

namespace {

QScatterSeries* addPoints(QChart* chart, const char* name) {
    auto* series = new QScatterSeries;
    series->setName(fromCore(name));
    series->setMarkerSize(9);
    chart->addSeries(series);
    return series;
}

void colourPoints(QScatterSeries* series, const QColor& colour) {
    series->setColor(colour);
    series->setBorderColor(colour.darker(130));
}

// A label in front of the control it names, which Alt and its letter reach.
QLabel* buddyLabel(const char* text, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    return label;
}

}  // namespace

TrendWindow::TrendWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("TrendWindow");
    setWindowTitle(TrendTitle);
    auto* layout = new QVBoxLayout(this);

    figureCombo = new QComboBox(this);
    figureCombo->setObjectName("figureCombo");
    figureCombo->setAccessibleName("Figure");
    for (const PassFigure figure : TrendFigures) {
        figureCombo->addItem(fromCore(figureName(figure)));
    }
    spanCombo = new QComboBox(this);
    spanCombo->setObjectName("spanCombo");
    spanCombo->setAccessibleName("Span for the mean and spread");
    for (const TrendSpan& span : trendSpans()) {
        spanCombo->addItem(fromCore(span.name));
    }
    auto* controls = new QHBoxLayout;
    controls->addWidget(buddyLabel("&Figure:", figureCombo, this));
    controls->addWidget(figureCombo);
    controls->addSpacing(16);
    controls->addWidget(buddyLabel("Mean and spread &over:", spanCombo, this));
    controls->addWidget(spanCombo);
    controls->addStretch();
    layout->addLayout(controls);

    chartView = plots::createChartView(this, "chartView", "Trend of the figure over the passes");
    QChart* chart = chartView->chart();
    m_passAxis = plots::addAxis(chart, Qt::AlignBottom, TrendPassAxis);
    m_passAxis->setLabelFormat("%.0f");
    m_passAxis->setTickType(QValueAxis::TicksDynamic);
    m_passAxis->setTickAnchor(0);
    m_valueAxis = plots::addAxis(chart, Qt::AlignLeft, QString());

    m_bandUpper = new QLineSeries(this);
    m_bandLower = new QLineSeries(this);
    bandSeries = new QAreaSeries(m_bandUpper, m_bandLower);
    bandSeries->setName(fromCore(TrendBandName));
    chart->addSeries(bandSeries);
    meanSeries = new QLineSeries;
    meanSeries->setName(fromCore(TrendMeanName));
    meanSeries->setPen(QPen(QBrush(Qt::black), 2));
    chart->addSeries(meanSeries);
    otherPointsSeries = addPoints(chart, TrendEarlierName);
    spanPointsSeries = addPoints(chart, TrendSpanName);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(m_passAxis);
        series->attachAxis(m_valueAxis);
    }
    for (QScatterSeries* points : {spanPointsSeries, otherPointsSeries}) {
        connect(points, &QScatterSeries::hovered, this, [this](const QPointF& at, bool state) {
            if (!state) {
                QToolTip::hideText();
                return;
            }
            const auto figure = TrendFigures[std::size_t(figureCombo->currentIndex())];
            const auto n = std::size_t(std::lround(at.x()));
            if (n >= 1 && n <= m_passes.size()) {
                const Pass& pass = m_passes[n - 1];
                const TrendPoint point{int(n), pass.downloadDate.substr(0, 10), at.y(), true};
                QToolTip::showText(QCursor::pos(), fromCore(pointText(figure, point)));
            }
        });
    }
    layout->addWidget(chartView, 1);

    rangeLabel = new QLabel(this);
    rangeLabel->setObjectName("rangeLabel");
    rangeLabel->setWordWrap(true);
    layout->addWidget(rangeLabel);

    table = plots::createTable(this, "table", "Consistency of the four figures over the span");
    layout->addWidget(table);

    connect(figureCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TrendWindow::refresh);
    connect(spanCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TrendWindow::refresh);
    resizeWithinScreen(*this, 1000, 680);
    refresh();
    // Drawn "from the series", the band's sample in the legend comes out empty.
    chart->legend()->markers(bandSeries).front()->setShape(QLegend::MarkerShapeRectangle);
    colour();
}

void TrendWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colour();
    }
}

void TrendWindow::colour() {
    const plots::PlotColours colours = plots::plotColours(palette());
    QChart* chart = chartView->chart();
    plots::colourChart(chart, colours);
    bandSeries->setBrush(colours.band);
    bandSeries->setPen(QPen(colours.blue, 0.5));
    chart->legend()->markers(bandSeries).front()->setBrush(colours.band);
    plots::setLineColour(meanSeries, colours.blue);
    colourPoints(otherPointsSeries, colours.earlier);
    colourPoints(spanPointsSeries, colours.red);
}

void TrendWindow::setPasses(std::vector<Pass> passes) {
    m_passes = std::move(passes);
    refresh();
}

void TrendWindow::refresh() {
    const auto figure = TrendFigures[std::size_t(std::max(0, figureCombo->currentIndex()))];
    const TrendSpan span = trendSpans()[std::size_t(std::max(0, spanCombo->currentIndex()))];
    const FigureTrend trend = figureTrend(m_passes, figure, span.span);

    QList<QPointF> inSpan;
    QList<QPointF> earlier;
    double low = 0;
    double high = 0;
    for (const TrendPoint& point : trend.points) {
        const bool first = inSpan.isEmpty() && earlier.isEmpty();
        low = first ? point.value : std::min(low, point.value);
        high = first ? point.value : std::max(high, point.value);
        (point.inSpan ? inSpan : earlier).append({double(point.number), point.value});
    }
    spanPointsSeries->replace(inSpan);
    otherPointsSeries->replace(earlier);
    chartView->chart()
        ->legend()
        ->markers(otherPointsSeries)
        .front()
        ->setVisible(!earlier.isEmpty());

    QList<QPointF> mean;
    QList<QPointF> upper;
    QList<QPointF> lower;
    if (trend.summary.mean) {
        // Half a pass beyond the span's first and last, so that a span of one pass shows.
        const double from = trend.firstInSpan - 0.5;
        const double to = trend.lastInSpan + 0.5;
        mean = {{from, *trend.summary.mean}, {to, *trend.summary.mean}};
        if (const auto sd = trend.summary.standardDeviation) {
            upper = {{from, *trend.summary.mean + *sd}, {to, *trend.summary.mean + *sd}};
            lower = {{from, *trend.summary.mean - *sd}, {to, *trend.summary.mean - *sd}};
            low = std::min(low, lower.front().y());
            high = std::max(high, upper.front().y());
        }
    }
    meanSeries->replace(mean);
    m_bandUpper->replace(upper);
    m_bandLower->replace(lower);
    bandSeries->setVisible(!upper.isEmpty());

    const int count = std::max(1, int(m_passes.size()));
    m_passAxis->setRange(0.5, count + 0.5);
    m_passAxis->setTickInterval(std::max(1, int(std::ceil(count / 12.0))));
    const double room = std::max(0.01, 0.1 * (high - low));
    plots::setRoundRange(m_valueAxis, low - room, high + room);
    m_valueAxis->setTitleText(fromCore(figureName(figure)));

    rangeLabel->setText(fromCore(trendText(m_passes, figure, trend, span.name)));
    const TrendTable rows = trendTable(m_passes, span.span);
    plots::fillTable(table, rows.headers, rows.rows);
    table->setFixedHeight(plots::tableHeight(table));
}

}  // namespace velkor
