#pragma once
// The Run Summary window: the runs and the shifts of the log in two tables, or a plain sentence
// when there are none. Double-clicking a row hands its time to whoever shows the chart; the
// check box asks for the shift ticks on the chart's time axis; Export... writes both tables.

#include <QDialog>
#include <functional>
#include <vector>

#include "chart/RunSummary.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace velkor {

class RunSummaryWindow : public QDialog {
    Q_OBJECT
public:
    struct Chart {
        std::function<void(double time)> mark;  // puts the chart's marker at a time
        std::function<void(const std::vector<double>& times)> ticks;
    };
    // Without a chart (no functions) the rows and the check box do nothing for one.
    RunSummaryWindow(RunSummary summary, Prompts& prompts, Chart chart, QWidget* parent = nullptr);

    void onExportClicked();

    QLabel* messageLabel = nullptr;
    QTableWidget* runsTableWidget = nullptr;
    QTableWidget* shiftsTableWidget = nullptr;
    QCheckBox* shiftTicksBox = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* closeButton = nullptr;

private:
    QTableWidget* createTable(const SummaryTable& table, const char* name);

    RunSummary m_summary;
    Prompts& m_prompts;
    Chart m_chart;
};

}  // namespace velkor
