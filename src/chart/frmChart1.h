#pragma once
// The chart window: the log in memory as two traces against time, with the trace and time-scale
// options, the time scroll bar, the marker read-outs and the buttons.

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartView.h"
#include "chart/ChartWindow.h"

class QAction;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace velkor {

struct AppContext;
class Chart2D;
class RunSummaryWindow;
class Prompts;
struct DataLog;
struct Preferences;

class frmChart1 : public QDialog, public ChartView {
    Q_OBJECT
public:
    // `keep` (when given) holds what the window gives back when it opens again on the same log;
    // without it the window keeps nothing past its closing.
    frmChart1(const DataLog& log, Preferences& prefs, Prompts& prompts,
              std::vector<std::string> dataFolders, QWidget* parent = nullptr,
              ChartKeep* keep = nullptr);

    // Sets the window up on the log; runs before the window is shown.
    void Form_Load();
    // Closing the window, however it closes (Exit, Esc, its frame), keeps its overlays, markers
    // and time window.
    void done(int result) override;
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
    void setBMarker(std::optional<double> time) override;
    void setBReadout(const BReadout& readout) override;
    void setOverlay(int index, const OverlayNames& names, const TraceValues& x,
                    const TraceValues& y1, const TraceValues& y2) override;
    void removeOverlay(int index) override;
    void clearOverlays() override;
    void setShiftTicks(const std::vector<double>& times) override;
    void setSpinBands(const std::vector<std::pair<double, double>>& spans) override;

    // Opens the Run Summary beside the chart (once; again it is brought to the front), moving or
    // narrowing the chart when the screen has no room for both. On a screen too narrow for both
    // it stands over the right of the plot, above the chart's controls, and a row double-clicked
    // there brings its moment into the part of the plot left in sight.
    void showRunSummary();
    // Lays the log file at `path` over the chart, as Overlay Log File does with the file chosen
    // in its dialog (the logbook's Overlay on Chart).
    void overlayLogFile(const std::string& path);
    // The Run Summary's narrowest width beside the chart: its tables scroll below this.
    static constexpr int RunSummaryMinWidth = 460;
    // Places the chart and the open Run Summary side by side on a screen's free area.
    void placeRunSummary(const QRect& area);
    // The share of the plot, from its left, the open Run Summary leaves in sight.
    double plotShareSeen() const;

    // The chart's context menu and its shortcuts.
    void copyImage();
    void saveImage();
    void savePage();
    // The chart as drawn, at its size on screen times `scale`.
    QImage chartImage(double scale) const;
    // The chart as an SVG drawing at its size on screen.
    QByteArray chartSvg() const;

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
    QPushButton* runSummaryButton = nullptr;
    RunSummaryWindow* runSummary = nullptr;  // once opened
    QPushButton* cmdExit = nullptr;

    // The B read-out, one line: B's time and values, marker minus B, the minimum, maximum and
    // mean of each trace between the markers, or the time an on/off trace 2 was on.
    QFrame* fraBMarker = nullptr;
    QLabel* bLegendLabel = nullptr;
    QLabel* bTimeLabel = nullptr;
    QLabel* bTrace1Label = nullptr;
    QLabel* bTrace2Label = nullptr;
    QLabel* deltaTimeLabel = nullptr;
    QLabel* deltaTrace1Label = nullptr;
    QLabel* deltaTrace2Label = nullptr;
    QLabel* minTrace1Label = nullptr;
    QLabel* minTrace2Label = nullptr;
    QLabel* maxTrace1Label = nullptr;
    QLabel* maxTrace2Label = nullptr;
    QLabel* meanTrace1Label = nullptr;
    QLabel* meanTrace2Label = nullptr;
    QLabel* timeOnLegendLabel = nullptr;
    QLabel* timeOnLabel = nullptr;

    QAction* setBMarkerAction = nullptr;
    QAction* clearBMarkerAction = nullptr;
    QAction* showWholeLogAction = nullptr;
    QAction* copyImageAction = nullptr;
    QAction* saveImageAction = nullptr;
    QAction* savePageAction = nullptr;
    QAction* exportDataAction = nullptr;
    QAction* overlayAction = nullptr;
    QAction* shiftOverlayAction = nullptr;
    QAction* removeOverlaysAction = nullptr;
    // With several overlays the context menu asks which one to shift (the submenu stands where
    // Shift Overlay to Marker stands) and offers to remove one of them (at the menu's end).
    QMenu* shiftOverlayMenu = nullptr;
    QMenu* removeOverlayMenu = nullptr;
    // Builds the context menu as it stands for a pixel of the chart (B goes there).
    QMenu* contextMenu(QPointF pixel);

private:
    // The chart's accessible description: its traces, its time window and what the markers
    // read, written again whenever one of them changes.
    void describeChart();
    QWidget* createTraceFrames();
    QWidget* createReadouts();
    QRadioButton* timeScaleButton(int option);
    QWidget* createBReadout();
    void createMeasureActions();
    void connectMeasureEvents();
    void updateActions();
    void addOverlayChoices();

    std::vector<std::string> m_dataFolders;
    const DataLog& m_log;
    const Preferences& m_prefs;
    ChartKeep m_ownKeep;  // when no keep is given: forgotten with the window
    ChartWindow m_logic;
    AppContext* m_printContext = nullptr;
    QPrinter* m_printer = nullptr;
    QPointF m_menuPixel;      // where the context menu was asked for
    bool m_menuOpen = false;  // the context menu is up: its actions take its pixel
    QMenu* m_menu = nullptr;  // the last context menu, a child of the window
};

}  // namespace velkor
