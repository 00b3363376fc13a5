#pragma once
// The chart window: the log in memory as two traces against time, with the trace and time-scale
// options, the time scroll bar, the marker read-outs and the buttons.

#include <QDialog>
#include <map>
#include <string>
#include <vector>

#include "chart/ChartView.h"
#include "chart/ChartWindow.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace velkor {

struct AppContext;
class Chart2D;
class Prompts;
struct DataLog;
struct Preferences;

class frmChart1 : public QDialog, public ChartView {
    Q_OBJECT
public:
    frmChart1(const DataLog& log, Preferences& prefs, Prompts& prompts,
              std::vector<std::string> dataFolders, QWidget* parent = nullptr);

    // Sets the window up on the log; runs before the window is shown.
    void Form_Load();
    ChartWindow& logic() { return m_logic; }

    // Printing needs the application's context (the comment, the prompts, the maker's name) and
    // the printer chosen under Print Setup; until it has them, the Print button is disabled.
    void setPrinting(AppContext& ctx, QPrinter& printer);
    void cmdPrint_Click();

    // ChartView
    void setLogIntervalText(const std::string& text) override;
    void setMarkerTimeText(const std::string& text) override;
    void setMarkerTrace1Text(const std::string& text) override;
    void setMarkerTrace2Text(const std::string& text) override;
    void setStatusText(const std::string& text) override;
    void selectTraceOption(TraceOption option) override;
    void selectTimeScale(int option) override;
    void setScrollRange(int minimum, int maximum) override;
    int scrollValue() const override;
    void setScrollValue(int value) override;
    void setScrollSteps(int large, int small) override;
    bool loadChartTemplate() override;
    void setBatch(int group, bool on) override;
    void setAxisRange(ChartAxis axis, double minimum, double maximum) override;
    void setAxisTitle(ChartAxis axis, const std::string& title) override;
    void setAxisShown(ChartAxis axis, bool shown) override;
    void setSeriesLabel(int group, const std::string& text) override;
    void setXValues(int group, const TraceValues& values) override;
    void setYValues(int group, const TraceValues& values) override;
    void setMarker(double time) override;
    void setLevelLabelsShown(bool shown) override;
    void setTraceNameLabel(const std::string& text, bool shown) override;

    Chart2D* Chart2D1 = nullptr;
    QScrollBar* scrChart2D1 = nullptr;
    QGroupBox* fraTrace1 = nullptr;
    QGroupBox* fraTrace2 = nullptr;
    std::map<TraceOption, QRadioButton*> traceOptions;  // optTrace1RPM ...
    QGroupBox* fraScaleOptions = nullptr;
    QRadioButton* optTimeScale1 = nullptr;
    QRadioButton* optTimeScale2 = nullptr;
    QRadioButton* optTimeScale3 = nullptr;
    QLabel* lblMarkerTime = nullptr;
    QLabel* lblMarkerTrace1 = nullptr;
    QLabel* lblMarkerTrace2 = nullptr;
    QGroupBox* fraMiscData = nullptr;
    QLabel* lblStatusLegend = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblLogIntervalLegend = nullptr;
    QLabel* lblLogIntervalData = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExit = nullptr;

private:
    QWidget* createTraceFrames();
    QWidget* createReadouts();
    QRadioButton* timeScaleButton(int option);

    std::vector<std::string> m_dataFolders;
    ChartWindow m_logic;
    AppContext* m_printContext = nullptr;
    QPrinter* m_printer = nullptr;
};

}  // namespace velkor
