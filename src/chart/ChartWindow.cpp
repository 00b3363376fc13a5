#include "chart/ChartWindow.h"

#include <algorithm>

#include "base/DataLog.h"
#include "base/Numbers.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "chart/ChartZoom.h"
#include "chart/TimeWindow.h"
#include "chart/Traces.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

constexpr int LeftButton = 1;
// The scroll bar holds whole seconds in 16 bits; a longer log scrolls to its 32767th second.
constexpr double ScrollLimit = 32767;

int scrollPosition(double seconds) {
    return toWhole(std::clamp(roundTo(seconds, 0), 0.0, ScrollLimit));
}

}  // namespace

void ChartWindow::Form_Load() {
    m_view.setLogIntervalText(
        formatNumber(roundTo(double(m_log.DataLogInterval) * 20, 0) / 20, "0.00"));
    m_view.setMarkerTimeText("");
    m_view.setMarkerTrace1Text("");
    m_view.setMarkerTrace2Text("");
    m_view.setStatusText("");
    Trace1Format = "###0";
    Trace2Format = "###0";

    m_chartLoaded = m_view.loadChartTemplate();
    if (!m_chartLoaded) {
        // The window still opens, with its controls but without data.
        m_prompts.message("Chart template file Velkor_Chart.oc2 not found.", "Form Load",
                          Icon::Exclamation, Buttons::Ok);
        return;
    }
    m_view.setLevelLabelsShown(false);
    m_view.setTraceNameLabel("", false);
    for (int group = 1; group <= 2; ++group) {
        m_view.setBatch(group, true);
    }
    m_view.setAxisShown(ChartAxis::Y, true);
    m_view.setAxisShown(ChartAxis::Y2, true);

    m_view.selectTraceOption(TraceOption::Trace1RPM);
    optTrace_Click(TraceOption::Trace1RPM);
    m_view.selectTraceOption(TraceOption::Trace2VSS);
    optTrace_Click(TraceOption::Trace2VSS);

    for (int group = 1; group <= 2; ++group) {
        m_view.setXValues(group, m_log.ElapsedTime.values());
        m_view.setBatch(group, false);
    }

    ReferenceTime = 0;
    TotalTime = static_cast<float>(roundTo(double(m_log.DataLogInterval) * SampleCount, 0));
    TimeWindow = 300;
    MarkerTime = TotalTime;

    m_view.setScrollRange(0, scrollPosition(TotalTime));
    const int position = scrollPosition(MarkerTime);
    if (position != m_view.scrollValue()) {
        m_view.setScrollValue(position);
        scrChart2D1_Change();  // setting the scroll bar runs its handler
    }
    m_view.setMarker(MarkerTime);
    m_view.selectTimeScale(3);
    optTimeScale_Click(3);
    restoreKept();
}

void ChartWindow::restoreKept() {
    m_holding = true;
    m_overlays = std::move(m_keep.overlays);
    m_keep.overlays.clear();
    ReferenceTime = m_keep.referenceTime;
    if (m_keep.markerTime) {
        MarkerTime = *m_keep.markerTime;
        m_view.setMarker(MarkerTime);
    }
    if (m_keep.zoomed) {
        showWindow(*m_keep.zoomed);
    } else if (m_keep.timeScale != m_timeScale || m_keep.scrollCentre >= 0) {
        m_view.selectTimeScale(m_keep.timeScale);
        optTimeScale_Click(m_keep.timeScale);
        if (m_keep.scrollCentre >= 0 && m_keep.scrollCentre != m_view.scrollValue()) {
            m_view.setScrollValue(m_keep.scrollCentre);
            scrChart2D1_Change();
        }
    }
    if (m_keep.markerTime) {
        Chart2D1_MouseDown(LeftButton, MarkerTime);  // its read-outs as the click left them
    }
    if (m_keep.bSample) {
        setBMarkerAt(m_log.ElapsedTime.at(*m_keep.bSample));
    }
    drawOverlays();
}

void ChartWindow::Form_Unload() {
    if (!m_chartLoaded || !m_holding) {
        return;  // a window without data had nothing to keep, and leaves what is kept alone
    }
    m_holding = false;
    m_keep.overlays = std::move(m_overlays);
    m_overlays.clear();
    m_keep.bSample = BSample;
    m_keep.markerTime = m_markerPlaced ? std::optional<float>(MarkerTime) : std::nullopt;
    m_keep.referenceTime = ReferenceTime;
    m_keep.timeScale = m_timeScale;
    m_keep.scrollCentre = m_zoomed ? -1 : m_view.scrollValue();
    m_keep.zoomed = m_zoomed ? std::optional<TimeRange>(Shown) : std::nullopt;
}

void ChartWindow::optTrace_Click(TraceOption option) {
    if (!m_chartLoaded) {
        return;  // a chart without its template holds no data
    }
    const TraceDefinition& definition = traceDefinition(option);
    const Trace trace = buildTrace(option, m_log, m_prefs);
    const int group = definition.trace;
    (group == 1 ? m_trace1 : m_trace2) = option;
    if (group == 1) {
        Trace1Format = trace.format;
        m_view.setBatch(1, true);
        m_view.setAxisRange(ChartAxis::Y, trace.minimum, trace.maximum);
        m_view.setAxisTitle(ChartAxis::Y, trace.name);
        m_view.setAxisShown(ChartAxis::Y, true);
        m_view.setSeriesLabel(1, trace.name);
        Trace1Values = trace.values;
        m_view.setYValues(1, Trace1Values);
        m_view.setBatch(1, false);
        drawOverlays();
        updateBReadout();
        return;
    }
    m_trace2OnOff = trace.onOff;
    Trace2Format = trace.format;
    m_view.setBatch(2, true);
    m_view.setAxisRange(ChartAxis::Y2, trace.minimum, trace.maximum);
    if (trace.onOff) {
        m_view.setAxisTitle(ChartAxis::Y2, "");
        m_view.setAxisShown(ChartAxis::Y2, false);
        m_view.setSeriesLabel(2, trace.name);
        m_view.setLevelLabelsShown(true);
        m_view.setTraceNameLabel(trace.name, true);
    } else {
        m_view.setLevelLabelsShown(false);
        m_view.setTraceNameLabel("", false);
        m_view.setAxisTitle(ChartAxis::Y2, trace.name);
        m_view.setAxisShown(ChartAxis::Y2, true);
        m_view.setSeriesLabel(2, trace.name);
    }
    Trace2Values = trace.values;
    m_view.setYValues(2, Trace2Values);
    m_view.setBatch(2, false);
    drawOverlays();
    updateBReadout();
}

void ChartWindow::clearReadouts() {
    m_view.setMarkerTrace1Text("");
    m_view.setMarkerTrace2Text("");
    m_view.setStatusText("");
    m_view.setMarkerTimeText("Sec ");
}

void ChartWindow::placeWindow(float centre) {
    const TimeRange range = placeTimeWindow(centre, TimeWindow, TotalTime);
    Shown = range;
    m_view.setAxisRange(ChartAxis::X, range.low, range.high);
}

void ChartWindow::optTimeScale_Click(int option) {
    const TimeScale& scale = timeScale(option);
    clearReadouts();
    if (m_zoomed) {
        // Back from a zoomed window: the scroll bar runs over the whole log again.
        m_zoomed = false;
        m_view.setScrollRange(0, scrollPosition(TotalTime));
    }
    TimeWindow = scale.window;
    m_timeScale = option;
    placeWindow(MarkerTime);
    const int position = scrollPosition(MarkerTime);
    if (position != m_view.scrollValue()) {
        m_view.setScrollValue(position);
        scrChart2D1_Change();  // runs at once, re-centring on the whole second
    }
    m_view.setScrollSteps(scale.largeStep, scale.smallStep);
}

void ChartWindow::scrChart2D1_Change() {
    clearReadouts();
    placeWindow(static_cast<float>(m_view.scrollValue()));
}

void ChartWindow::Chart2D1_MouseDown(int button, std::optional<double> time) {
    // Without its template the chart holds no data, so a click has no sample to read out.
    if (button != LeftButton || !m_chartLoaded) {
        return;
    }
    if (!time) {
        clearReadouts();
        return;
    }
    m_view.setMarker(*time);
    m_markerPlaced = true;
    const int p = nearestSample(m_log.ElapsedTime.values(), *time);
    MarkerTime = m_log.ElapsedTime.at(p);
    m_view.setMarkerTimeText(elapsedTimeText(double(MarkerTime) - double(ReferenceTime)));
    const auto index = static_cast<std::size_t>(p - 1);
    m_view.setMarkerTrace1Text(formatNumber(Trace1Values[index], Trace1Format));
    m_view.setMarkerTrace2Text(formatNumber(Trace2Values[index], Trace2Format));
    m_view.setStatusText(statusText(m_log.StatusData.at(p), m_log.OutputData.at(p)));
    updateBReadout();
}

void ChartWindow::cmdReset_Click() {
    ReferenceTime = MarkerTime;
    m_view.setMarkerTimeText("0.000 Sec ");
    updateBReadout();
}

void ChartWindow::markAt(double time, double seenShare) {
    if (!m_chartLoaded) {
        return;
    }
    const double at = m_log.ElapsedTime.at(nearestSample(m_log.ElapsedTime.values(), time));
    const double seen = std::clamp(seenShare, 0.1, 1.0) * (Shown.high - Shown.low);
    if (at < Shown.low || at > Shown.low + seen) {
        showWindow(panWindow(Shown, at - (Shown.low + seen / 2), TotalTime));
    }
    Chart2D1_MouseDown(LeftButton, at);
}

}  // namespace velkor
