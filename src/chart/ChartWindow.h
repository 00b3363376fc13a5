#pragma once
// The chart window's logic: its load, the trace options, the time scale and scroll bar, the
// marker click and the reference time. The window itself only shows what this sets.

#include <optional>
#include <string>

#include "chart/ChartView.h"

namespace velkor {

struct DataLog;
struct Preferences;
class Prompts;

constexpr const char* ChartTemplateFileName = "Velkor_Chart.oc2";

class ChartWindow {
public:
    ChartWindow(ChartView& view, Prompts& prompts, const DataLog& log, Preferences& prefs)
        : m_view(view), m_prompts(prompts), m_log(log), m_prefs(prefs) {}

    void Form_Load();
    void optTrace_Click(TraceOption option);
    void optTimeScale_Click(int option);
    void scrChart2D1_Change();
    // A mouse button went down on the chart: `time` is the time under the pointer, nothing when
    // the pointer is outside the plot.
    void Chart2D1_MouseDown(int button, std::optional<double> time);
    void cmdReset_Click();

    std::string Trace1Format = "###0";
    std::string Trace2Format = "###0";
    float TotalTime = 0;
    float TimeWindow = 300;
    float MarkerTime = 0;
    float ReferenceTime = 0;
    TraceValues Trace1Values{};
    TraceValues Trace2Values{};

private:
    void clearReadouts();
    void placeWindow(float centre);

    ChartView& m_view;
    Prompts& m_prompts;
    const DataLog& m_log;
    Preferences& m_prefs;
    bool m_chartLoaded = false;  // the template loaded, so the chart holds the log
};

}  // namespace velkor
