#pragma once
// The Trends window: one figure of every pass in date order (ET, 60 ft, trap speed or reaction),
// with the mean and a band of one standard deviation either side over a span of the latest
// passes, and the four figures' consistency over that span in a table.

#include <QWidget>
#include <vector>

#include "logbook/Pass.h"

class QAreaSeries;
class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QScatterSeries;
class QTableWidget;
class QValueAxis;

namespace velkor {

class TrendWindow : public QWidget {
    Q_OBJECT
public:
    explicit TrendWindow(QWidget* parent = nullptr);

    // The passes oldest first, as the logbook lists them.
    void setPasses(std::vector<Pass> passes);

    QComboBox* figureCombo = nullptr;  // TrendFigures, in their order
    QComboBox* spanCombo = nullptr;    // trendSpans(), in their order
    QChartView* chartView = nullptr;
    QScatterSeries* spanPointsSeries = nullptr;   // the passes in the span
    QScatterSeries* otherPointsSeries = nullptr;  // the passes before it
    QLineSeries* meanSeries = nullptr;            // across the span
    QAreaSeries* bandSeries = nullptr;            // mean +- 1 SD across the span
    QLabel* rangeLabel = nullptr;                 // the passes' numbers and dates
    QTableWidget* table = nullptr;                // the four figures over the span

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    // The plot's colours from the window's palette, light or dark.
    void colour();

    std::vector<Pass> m_passes;
    QLineSeries* m_bandUpper = nullptr;
    QLineSeries* m_bandLower = nullptr;
    QValueAxis* m_passAxis = nullptr;
    QValueAxis* m_valueAxis = nullptr;
};

}  // namespace velkor
