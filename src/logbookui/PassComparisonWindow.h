#pragma once
// The Compare with Reference window: how far behind or ahead of the reference pass a pass was
// down the track, both passes' speeds, and the splits and shifts side by side in a table.

#include <QString>
#include <QWidget>

#include "logbook/PassComparison.h"

class QChartView;
class QLabel;
class QLineSeries;
class QTableWidget;
class QValueAxis;

namespace velkor {

class PassComparisonWindow : public QWidget {
    Q_OBJECT
public:
    explicit PassComparisonWindow(QWidget* parent = nullptr);

    // Shows a comparison; the captions name the passes in the legend ("2026-06-14 run 1").
    void setComparison(const PassComparison& comparison, const QString& passCaption,
                       const QString& referenceCaption);

    QLabel* standingLabel = nullptr;  // where the pass ended up against the reference
    QLabel* lossLabel = nullptr;      // where the most time went
    QChartView* chartView = nullptr;
    QLineSeries* behindSeries = nullptr;  // seconds behind the reference against distance
    QLineSeries* passSpeedSeries = nullptr;
    QLineSeries* referenceSpeedSeries = nullptr;
    QTableWidget* table = nullptr;  // the splits, then each shift's engine speed and reaction

protected:
    void changeEvent(QEvent* event) override;

private:
    // The plot's colours from the window's palette, light or dark.
    void colour();

    QLineSeries* m_zeroLine = nullptr;
    QValueAxis* m_distanceAxis = nullptr;
    QValueAxis* m_behindAxis = nullptr;
    QValueAxis* m_speedAxis = nullptr;
};

}  // namespace velkor
