#pragma once
// What the logbook's windows share: the chart's look (the main chart's colours and fonts, or the
// desktop's on a dark desktop),
// its axes, and a read-only table filled from the core's rows.

#include <QColor>
#include <QString>
#include <string>
#include <vector>

class QChart;
class QChartView;
class QPalette;
class QTableWidget;
class QValueAxis;
class QWidget;
class QXYSeries;

namespace velkor::plots {

// The plots' colours. On a light desktop they are the main chart's: its text, trace 1's red,
// trace 2's blue, its grid on white. On a dark one the chart takes the desktop's background and
// text, and the series lighter shades that stand out on it.
struct PlotColours {
    QColor background;
    QColor text;  // the labels, the axes, and the lines drawn as text is (time behind)
    QColor grid;
    QColor red;      // the pass, the span's points
    QColor blue;     // the reference, the mean
    QColor band;     // the spread, see-through
    QColor earlier;  // points before the span
};

PlotColours plotColours(const QPalette& palette);

// Colours the chart's background, its legend's labels and each of its axes.
void colourChart(QChart* chart, const PlotColours& colours);

// The series' line in `colour`, its width and dashes kept.
void setLineColour(QXYSeries* series, const QColor& colour);

// A chart in a view, styled as the main chart, its legend at the top; the view is a child of
// `parent` and holds the chart.
QChartView* createChartView(QWidget* parent, const char* name, const QString& accessibleName);

// An axis with a bold title, added to the chart; colourChart gives it its colours.
QValueAxis* addAxis(QChart* chart, Qt::Alignment side, const QString& title);

// The axis from `low` to `high`, widened to round numbers with about six ticks. Across 0 they
// are counted from 0, so that the one there reads "0.00" rather than "-0.00", the sum of the
// steps below it.
void setRoundRange(QValueAxis* axis, double low, double high);

// A read-only table without row numbers, its rows selectable, keyboard reachable.
QTableWidget* createTable(QWidget* parent, const char* name, const QString& accessibleName);
// Fills the table: the headers, then the rows, numbers centred and the first column's names
// on the left; columns as wide as their contents, rows as tall as a line of text.
void fillTable(QTableWidget* table, const std::vector<std::string>& headers,
               const std::vector<std::vector<std::string>>& rows);

// The height that shows all of the table's rows and its header.
int tableHeight(const QTableWidget* table);

}  // namespace velkor::plots
