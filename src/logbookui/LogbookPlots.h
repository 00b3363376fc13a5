#pragma once
// What the logbook's windows share: the chart's look (the colours and fonts of the main chart),
// its axes, and a read-only table filled from the core's rows.

#include <QColor>
#include <QString>
#include <string>
#include <vector>

class QChart;
class QChartView;
class QTableWidget;
class QValueAxis;
class QWidget;

namespace velkor::plots {

// The main chart's colours: the text, trace 1's red, trace 2's blue and the green of its third.
inline const QColor Text{0x2B, 0x2F, 0x36};
inline const QColor Red{0xB3, 0x18, 0x2B};
inline const QColor Blue{0x1F, 0x5F, 0xB4};
inline const QColor Green{0x1E, 0x9E, 0x4A};
inline const QColor Grid{0xD5, 0xDA, 0xE1};
inline const QColor Band{0x1F, 0x5F, 0xB4, 0x50};

// A chart in a view, styled as the main chart, its legend at the top; the view is a child of
// `parent` and holds the chart.
QChartView* createChartView(QWidget* parent, const char* name, const QString& accessibleName);

// An axis styled as the main chart's, with its title in `titleColour`, added to the chart.
QValueAxis* addAxis(QChart* chart, Qt::Alignment side, const QString& title,
                    const QColor& titleColour = Text);

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
