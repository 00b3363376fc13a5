#pragma once
// The chart window's logic: its load, the trace options, the time scale and scroll bar, the
// marker click and the reference time. The window itself only shows what this sets.

#include <optional>
#include <string>
#include <vector>

#include "chart/ChartExport.h"
#include "chart/ChartKeep.h"
#include "chart/ChartOverlay.h"
#include "chart/ChartView.h"
#include "chart/TimeWindow.h"

namespace velkor {

struct DataLog;
struct Preferences;
class Prompts;

constexpr const char* ChartTemplateFileName = "Velkor_Chart.oc2";

class ChartWindow {
public:
    // `keep` gives back what the window held when it last closed on the same log.
    ChartWindow(ChartView& view, Prompts& prompts, const DataLog& log, Preferences& prefs,
                ChartKeep& keep)
        : m_view(view), m_prompts(prompts), m_log(log), m_prefs(prefs), m_keep(keep) {}

    void Form_Load();
    // The window closes: the overlays, the markers and the time window go to the keep, for the
    // next time it opens on this log.
    void Form_Unload();
    void optTrace_Click(TraceOption option);
    void optTimeScale_Click(int option);
    void scrChart2D1_Change();
    // A mouse button went down on the chart: `time` is the time under the pointer, nothing when
    // the pointer is outside the plot.
    void Chart2D1_MouseDown(int button, std::optional<double> time);
    void cmdReset_Click();

    // The measuring tools. The wheel zooms around a time (`steps` > 0 zooms in), a middle-button
    // drag moves the window, Home shows the whole log; none of them moves the marker.
    void zoomAt(double time, double steps);
    void panBy(double seconds);
    void showWholeLog();
    // The time window from `from` to `to` seconds, cut to the log; false (nothing changes) when
    // no time of the log lies between them.
    bool showSpan(double from, double to);
    // The second marker on the sample nearest a time (nothing outside the plot: no change).
    void setBMarkerAt(std::optional<double> time);
    void clearBMarker();
    // Asks for another log file and lays it over the chart (up to MaxOverlays), in the lowest
    // free slot's colour.
    void overlayLogFile(const std::optional<std::string>& path = std::nullopt);
    // Moves one overlay (by its slot; -1: the one laid over last) so that its sample at B comes
    // to the marker. The others stay where they are.
    void shiftOverlayToMarker(int slot = -1);
    // Takes one overlay away (by its slot); the others keep their colours and shifts.
    void removeOverlay(int slot);
    void removeOverlays();
    // The overlays in the order they were laid over the chart; the last is the one Shift Overlay
    // to Marker moves unless told which.
    const std::vector<Overlay>& overlays() const { return m_overlays; }
    // The marker on the sample nearest a time, as a left click there would put it, with the
    // time window moved to show it when it lies outside. When another window covers the right
    // of the plot, `seenShare` is the part left in sight, and the marker is brought into that.
    void markAt(double time, double seenShare = 1.0);
    // The marker walked by a key from the sample it stands on, read out as a click leaves it.
    void moveMarker(MarkerKey key);
    void setShiftTicks(const std::vector<double>& times) { m_view.setShiftTicks(times); }
    void setSpinBands(const std::vector<std::pair<double, double>>& spans) {
        m_view.setSpinBands(spans);
    }
    // Asks for a file and writes the log as CSV: between the markers when B is set, else whole.
    void exportData();
    bool chartLoaded() const { return m_chartLoaded; }
    Prompts& prompts() { return m_prompts; }
    // Where the window's file dialogs open, remembered per kind of file; without it they open
    // where the toolkit chooses.
    void setFilePlaces(const FilePlaces* places) { m_places = places; }
    // The place of an export of `kind`: its folder, and the log's base name with the filter's
    // ending.
    FilePlace exportPlace(FileKind kind, const std::string& filter) const {
        return {m_places, kind, exportName(m_log, filter)};
    }
    int overlayCount() const { return int(m_overlays.size()); }
    // The samples an export of data takes: between the marker and B, or the whole log.
    std::pair<int, int> exportSpan() const;

    std::string Trace1Format = "###0";
    std::string Trace2Format = "###0";
    float TotalTime = 0;
    float TimeWindow = 300;
    float MarkerTime = 0;
    float ReferenceTime = 0;
    TraceValues Trace1Values{};
    TraceValues Trace2Values{};
    std::optional<int> BSample;  // the second marker's sample, 1..2700
    TimeRange Shown{0, 0};       // the time window on show

private:
    void clearReadouts();
    void placeWindow(float centre);
    void showWindow(TimeRange range);  // a zoomed window, with the scroll bar following it
    int markerSample() const;
    void updateBReadout();
    void drawOverlays();
    void restoreKept();

    ChartView& m_view;
    Prompts& m_prompts;
    const DataLog& m_log;
    Preferences& m_prefs;
    ChartKeep& m_keep;
    bool m_chartLoaded = false;  // the template loaded, so the chart holds the log
    bool m_zoomed = false;       // the scroll bar follows a zoomed window
    bool m_trace2OnOff = false;
    bool m_markerPlaced = false;  // the person put the marker (not the window's opening)
    int m_timeScale = 3;
    bool m_holding = false;  // took what was kept on opening, and gives it back on closing
    TraceOption m_trace1 = TraceOption::Trace1RPM;
    TraceOption m_trace2 = TraceOption::Trace2VSS;
    std::vector<Overlay> m_overlays;
    const FilePlaces* m_places = nullptr;
};

}  // namespace velkor
