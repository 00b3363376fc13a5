#pragma once
// What the chart window's logic sets on the window and its chart.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/DataLog.h"

namespace velkor {

enum class ChartAxis { X, Y, Y2 };

// The eighteen trace options, trace 1's seven then trace 2's eleven.
enum class TraceOption {
    Trace1Input1MAP,
    Trace1Input1AFR,
    Trace1Input1Analog,
    Trace1Bat,
    Trace1TPS,
    Trace1VSS,
    Trace1RPM,
    Trace2Input2ScaledAnalog,
    Trace2Input2AFR,
    Trace2Input2Analog,
    Trace2GPO,
    Trace2GPI,
    Trace2Alarm,
    Trace2Shift,
    Trace2ArmIn,
    Trace2RPM,
    Trace2TPS,
    Trace2VSS,
};

using TraceValues = std::array<float, SampleCount>;

struct BReadout;

// How an overlay is named in the chart's legend: its file, and its two traces.
struct OverlayNames {
    std::string file;
    std::string trace1;
    std::string trace2;
};

class ChartView {
public:
    virtual ~ChartView() = default;

    // Read-outs and controls of the window.
    virtual void setLogIntervalText(const std::string& text) = 0;
    virtual void setMarkerTimeText(const std::string& text) = 0;
    virtual void setMarkerTrace1Text(const std::string& text) = 0;
    virtual void setMarkerTrace2Text(const std::string& text) = 0;
    virtual void setStatusText(const std::string& text) = 0;
    // Checks an option button without running its handler.
    virtual void selectTraceOption(TraceOption option) = 0;
    virtual void selectTimeScale(int option) = 0;  // 1 "15 Sec", 2 "1 Min", 3 "5 Min"
    // The time scroll bar, in whole seconds; setting it from here runs no handler.
    virtual void setScrollRange(int minimum, int maximum) = 0;
    virtual int scrollValue() const = 0;
    virtual void setScrollValue(int value) = 0;
    virtual void setScrollSteps(int large, int small) = 0;

    // The chart.
    virtual bool loadChartTemplate() = 0;  // false when the template is missing or unreadable
    virtual void setBatch(int group, bool on) = 0;
    virtual void setAxisRange(ChartAxis axis, double minimum, double maximum) = 0;
    virtual void setAxisTitle(ChartAxis axis, const std::string& title) = 0;
    virtual void setAxisShown(ChartAxis axis, bool shown) = 0;
    virtual void setSeriesLabel(int group, const std::string& text) = 0;
    virtual void setXValues(int group, const TraceValues& values) = 0;
    virtual void setYValues(int group, const TraceValues& values) = 0;
    virtual void setMarker(double time) = 0;
    // Labels "OFF" and " ON " beside the plot, and the on/off trace's name.
    virtual void setLevelLabelsShown(bool shown) = 0;
    virtual void setTraceNameLabel(const std::string& text, bool shown) = 0;

    // The measuring tools; a view without them passes these over.
    // The second marker's line at a time, or none.
    virtual void setBMarker(std::optional<double> /*time*/) {}
    virtual void setBReadout(const BReadout& /*readout*/) {}
    // Overlay `index` (0..2, its slot and colour): its two traces against its own (moved)
    // times, named in the legend.
    virtual void setOverlay(int /*index*/, const OverlayNames& /*names*/, const TraceValues& /*x*/,
                            const TraceValues& /*y1*/, const TraceValues& /*y2*/) {}
    virtual void removeOverlay(int /*index*/) {}
    virtual void clearOverlays() {}
    // Short ticks on the time axis at these times; an empty list takes them away.
    virtual void setShiftTicks(const std::vector<double>& /*times*/) {}
    // Shaded bands over the plot, behind the traces, from each span's first time to its second
    // (the wheelspin of the run analysis); an empty list takes them away.
    virtual void setSpinBands(const std::vector<std::pair<double, double>>& /*spans*/) {}
};

}  // namespace velkor
