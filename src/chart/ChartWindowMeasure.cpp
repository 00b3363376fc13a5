// The chart window's measuring tools: zoom and pan, the second marker and its read-out, the
// overlaid runs and the export of data.

#include <algorithm>

#include "base/DataLog.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "chart/ChartCsv.h"
#include "chart/ChartExport.h"
#include "chart/ChartWindow.h"
#include "chart/ChartZoom.h"
#include "chart/MarkerStats.h"
#include "chart/Traces.h"

namespace velkor {

void ChartWindow::showWindow(TimeRange range) {
    if (!m_chartLoaded) {
        return;
    }
    Shown = range;
    TimeWindow = range.high - range.low;
    m_zoomed = true;
    m_view.setAxisRange(ChartAxis::X, range.low, range.high);
    const ScrollSetting scroll = zoomScroll(range, TotalTime);
    m_view.setScrollRange(scroll.minimum, scroll.maximum);
    m_view.setScrollValue(scroll.value);
    m_view.setScrollSteps(scroll.largeStep, scroll.smallStep);
}

void ChartWindow::zoomAt(double time, double steps) {
    showWindow(zoomWindow(Shown, time, steps, TotalTime));
}

void ChartWindow::panBy(double seconds) {
    showWindow(panWindow(Shown, seconds, TotalTime));
}

void ChartWindow::showWholeLog() {
    showWindow(wholeLog(TotalTime));
}

bool ChartWindow::showSpan(double from, double to) {
    const auto range = spanWindow(from, to, TotalTime);
    if (!range) {
        return false;
    }
    showWindow(*range);
    return true;
}

int ChartWindow::markerSample() const {
    return nearestSample(m_log.ElapsedTime.values(), MarkerTime);
}

void ChartWindow::setBMarkerAt(std::optional<double> time) {
    if (!m_chartLoaded || !time) {
        return;
    }
    BSample = nearestSample(m_log.ElapsedTime.values(), *time);
    m_view.setBMarker(m_log.ElapsedTime.at(*BSample));
    updateBReadout();
}

void ChartWindow::clearBMarker() {
    BSample.reset();
    m_view.setBMarker(std::nullopt);
    updateBReadout();
}

void ChartWindow::updateBReadout() {
    if (!BSample) {
        m_view.setBReadout(BReadout{});
        return;
    }
    m_view.setBReadout(bReadout(markerSample(), *BSample, m_log.ElapsedTime.values(), ReferenceTime,
                                {Trace1Values, Trace1Format, false},
                                {Trace2Values, Trace2Format, m_trace2OnOff}));
}

std::pair<int, int> ChartWindow::exportSpan() const {
    if (!BSample) {
        return {1, SampleCount};
    }
    const int a = markerSample();
    return {std::min(a, *BSample), std::max(a, *BSample)};
}

void ChartWindow::exportData() {
    const std::pair<int, int> span = exportSpan();
    exportToFile(
        m_prompts, ExportDataTitle, CsvFilter, "data file", m_log.FilePath,
        [&](const std::string&) { return csvText(m_log, m_prefs, span.first, span.second); },
        exportPlace(FileKind::ExportData, CsvFilter));
}

void ChartWindow::overlayLogFile(const std::optional<std::string>& path) {
    if (!m_chartLoaded) {
        return;
    }
    const std::optional<int> slot = freeOverlaySlot(m_overlays);
    if (!slot) {
        m_prompts.message(
            "Up to three log files can be laid over the chart. Remove an overlay "
            "to lay another one over it.",
            OverlayTitle, Icon::Exclamation, Buttons::Ok);
        return;
    }
    auto overlay = path ? readOverlayFile(m_prompts, *path)
                        : readOverlay(m_prompts, {m_places, FileKind::Log, ""});
    if (!overlay) {
        return;
    }
    overlay->shift = overlayAlignment(m_log, *overlay->log);
    overlay->slot = *slot;
    m_overlays.push_back(std::move(*overlay));
    drawOverlays();
}

void ChartWindow::shiftOverlayToMarker(int slot) {
    if (!BSample || m_overlays.empty()) {
        return;
    }
    const auto overlay = slot < 0
                             ? m_overlays.end() - 1
                             : std::find_if(m_overlays.begin(), m_overlays.end(),
                                            [slot](const Overlay& o) { return o.slot == slot; });
    if (overlay == m_overlays.end()) {
        return;
    }
    const double bTime = m_log.ElapsedTime.at(*BSample);
    overlay->shift = shiftToMarker(*overlay->log, overlay->shift, bTime, MarkerTime);
    drawOverlays();
}

void ChartWindow::removeOverlay(int slot) {
    const auto overlay = std::find_if(m_overlays.begin(), m_overlays.end(),
                                      [slot](const Overlay& o) { return o.slot == slot; });
    if (overlay == m_overlays.end()) {
        return;
    }
    m_overlays.erase(overlay);
    m_view.removeOverlay(slot);
}

void ChartWindow::removeOverlays() {
    m_overlays.clear();
    m_view.clearOverlays();
}

void ChartWindow::drawOverlays() {
    if (m_overlays.empty()) {
        return;
    }
    // Drawn in the settings in use; the MAP trace's conversion is set on a copy.
    Preferences scratch = m_prefs;
    for (const Overlay& overlay : m_overlays) {
        const Trace t1 = buildTrace(m_trace1, *overlay.log, scratch);
        const Trace t2 = buildTrace(m_trace2, *overlay.log, scratch);
        TraceValues x = overlay.log->ElapsedTime.values();
        for (float& t : x) {
            t = float(double(t) + overlay.shift);
        }
        m_view.setOverlay(overlay.slot, {overlay.name, t1.name, t2.name}, x, t1.values, t2.values);
    }
}

void ChartWindow::moveMarker(MarkerKey key) {
    if (!m_chartLoaded) {
        return;
    }
    const int sample = markerSampleAfterKey(key, markerSample(), double(Shown.high - Shown.low),
                                            double(m_log.DataLogInterval));
    markAt(m_log.ElapsedTime.at(sample));
}

}  // namespace velkor
