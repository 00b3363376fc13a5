#include "logbookui/LogbookPlots.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QHeaderView>
#include <QLegend>
#include <QTableWidget>
#include <QValueAxis>
#include <QXYSeries>

#include "base/QtPalette.h"
#include "base/QtText.h"

namespace velkor::plots {

namespace {

// The main chart's colours: the text, trace 1's red, trace 2's blue and its grid.
const QColor Text{0x2B, 0x2F, 0x36};
const QColor Red{0xB3, 0x18, 0x2B};
const QColor Blue{0x1F, 0x5F, 0xB4};
const QColor Grid{0xD5, 0xDA, 0xE1};
const QColor Earlier{0x9A, 0xA0, 0xA8};
// On a dark background: a lighter red, and the sky blue of the overlays' Okabe-Ito colours.
const QColor LightRed{0xF2, 0x6B, 0x7A};
const QColor SkyBlue{0x56, 0xB4, 0xE9};
constexpr int BandAlpha = 0x50;

QColor withAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

}  // namespace

PlotColours plotColours(const QPalette& palette) {
    if (!isDarkPalette(palette)) {
        return {Qt::white, Text, Grid, Red, Blue, withAlpha(Blue, BandAlpha), Earlier};
    }
    // A text field's colours, as the tables beside the plot; the window's if those are light.
    const bool darkBase = isDark(toRgb(palette.color(QPalette::Base)));
    const QColor background = palette.color(darkBase ? QPalette::Base : QPalette::Window);
    const QColor text = palette.color(darkBase ? QPalette::Text : QPalette::WindowText);
    return {background, text,    toQColor(gridLine(toRgb(text), toRgb(background))),
            LightRed,   SkyBlue, withAlpha(SkyBlue, BandAlpha),
            Earlier};
}

void colourChart(QChart* chart, const PlotColours& colours) {
    chart->setBackgroundBrush(colours.background);
    chart->legend()->setLabelColor(colours.text);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setTitleBrush(colours.text);
        axis->setLabelsColor(colours.text);
        axis->setGridLineColor(colours.grid);
        axis->setLinePenColor(colours.text);
    }
}

void setLineColour(QXYSeries* series, const QColor& colour) {
    QPen pen = series->pen();
    pen.setColor(colour);
    series->setPen(pen);
}

QChartView* createChartView(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* chart = new QChart;
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setMinimumHeight(260);
    return view;
}

QValueAxis* addAxis(QChart* chart, Qt::Alignment side, const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    QFont font = axis->titleFont();
    font.setBold(true);
    axis->setTitleFont(font);
    chart->addAxis(axis, side);
    return axis;
}

void setRoundRange(QValueAxis* axis, double low, double high) {
    // applyNiceNumbers aims at the tick count it finds, and leaves its own: start afresh.
    axis->setTickType(QValueAxis::TicksFixed);
    axis->setTickCount(6);
    axis->setRange(low, high);
    axis->applyNiceNumbers();
    const int ticks = axis->tickCount();
    if (ticks < 2 || !(axis->min() < 0 && axis->max() > 0)) {
        return;
    }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval((axis->max() - axis->min()) / (ticks - 1));
}

QTableWidget* createTable(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(name);
    table->setAccessibleName(accessibleName);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->setTabKeyNavigation(false);  // Tab leaves the table for the next control
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    return table;
}

void fillTable(QTableWidget* table, const std::vector<std::string>& headers,
               const std::vector<std::vector<std::string>>& rows) {
    table->clear();
    table->setColumnCount(int(headers.size()));
    table->setRowCount(int(rows.size()));
    QStringList labels;
    for (const std::string& header : headers) {
        labels << fromCore(header);
    }
    table->setHorizontalHeaderLabels(labels);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(fromCore(rows[r][c]));
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
            table->setItem(int(r), int(c), item);
        }
    }
    table->resizeColumnsToContents();
    QHeaderView* header = table->horizontalHeader();
    for (int c = 0; c < table->columnCount(); ++c) {
        header->setSectionResizeMode(c,
                                     c == 0 ? QHeaderView::ResizeToContents : QHeaderView::Stretch);
    }
}

int tableHeight(const QTableWidget* table) {
    return table->horizontalHeader()->sizeHint().height() +
           table->rowCount() * table->verticalHeader()->defaultSectionSize() +
           2 * table->frameWidth() + 2;
}

}  // namespace velkor::plots
