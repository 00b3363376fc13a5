#pragma once
// The Run Summary window: the runs of the log, their time slips, the shifts, the wheelspin and
// where to shift, or a plain sentence when there are none. Double-clicking a row hands its time
// to whoever shows the chart; the check boxes ask for the shift ticks on the chart's time axis
// and for the spins as bands over the plot; Export... writes the runs and the shifts as CSV.

#include <QDialog>
#include <functional>
#include <vector>

#include "chart/RunSummary.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

namespace velkor {

class RunSummaryWindow : public QDialog {
    Q_OBJECT
public:
    struct Chart {
        std::function<void(double time)> mark;  // puts the chart's marker at a time
        std::function<void(const std::vector<double>& times)> ticks;
        std::function<void(const std::vector<TimeSpan>& spans)> bands;  // the spins
    };
    // Without a chart (no functions) the rows and the check box do nothing for one.
    RunSummaryWindow(RunSummary summary, Prompts& prompts, Chart chart, QWidget* parent = nullptr);

    void onExportClicked();

    QLabel* messageLabel = nullptr;
    QTableWidget* runsTableWidget = nullptr;
    QTableWidget* shiftsTableWidget = nullptr;
    QTableWidget* wheelspinTableWidget = nullptr;
    QTableWidget* shiftPointsTableWidget = nullptr;
    std::vector<QLabel*> timeSlipLabels;  // one a run
    QCheckBox* shiftTicksBox = nullptr;
    QCheckBox* wheelspinBox = nullptr;
    QLabel* statusLabel = nullptr;  // what the last export wrote
    QPushButton* exportButton = nullptr;
    QPushButton* closeButton = nullptr;

private:
    QTableWidget* createTable(const SummaryTable& table, const char* name);
    QWidget* createTimeSlips();
    // A group holding a table, or a sentence in its place when the table has no row.
    QWidget* tableGroup(const char* title, QTableWidget* table, const char* none);
    void fitWidth();

    RunSummary m_summary;
    Prompts& m_prompts;
    Chart m_chart;
};

}  // namespace velkor
