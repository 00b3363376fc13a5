#pragma once
// The main window and its live display as a terminal program has them: the progress frame is
// a progress report on standard error, notes are lines there, and the live view's gauges,
// dials and lamps are kept as readings for the live command to print. Windows that a terminal
// has not (the chart, the display options) are passed over.

#include <array>
#include <ostream>
#include <string>

#include "base/LiveDisplay.h"
#include "base/MainView.h"
#include "cli/Progress.h"

namespace velkor::cli {

template <std::size_t N>
constexpr std::array<bool, N> filled(bool value) {
    std::array<bool, N> all{};
    for (auto& one : all) {
        one = value;
    }
    return all;
}

// What the live display shows after a refresh.
struct LiveReadings {
    // Gauges are on show until the live view hides them.
    std::array<bool, GaugeCount> shown = filled<GaugeCount>(true);
    std::array<double, GaugeCount> gauge{};
    std::array<std::string, DialCount> readout;  // the dials' read-outs, as they show them
    std::array<Colour, LampCount> lamps{};
    std::string status;  // Latin-1, lines separated by CR LF
    int refreshes = 0;   // refreshes ended so far
};

class TerminalView : public MainView, public LiveDisplay {
public:
    TerminalView(std::ostream& err, bool terminal) : m_err(err), m_progress(err, terminal) {}

    // MainView
    void setCaption(const std::string&) override {}
    void setApplicationTitle(const std::string&) override {}
    void showProgressFrame(bool shown) override;
    void setProgressCaption(const std::string& caption) override;
    void setProgressValue(int percent) override;
    void showRealTimeFrame(bool shown) override { m_realTimeShown = shown; }
    LiveDisplay& liveDisplay() override { return *this; }
    void fillPortList(const std::vector<PortEntry>&) override {}
    void selectPortEntry(int) override {}
    void setTachometerLimits(double, double) override {}
    void setSpeedometerLimits(double, double) override {}
    void showDisplayOptions() override {}
    void openChartWindow() override {}
    void showBusy() override;
    void showActivity(Activity) override {}
    void showNote(const std::string& text) override;
    void showNoteInWords(const std::string& windowText, const std::string& terminalText) override;

    // LiveDisplay
    void showGauge(GaugeId gauge, bool shown) override;
    void setGaugeMember(GaugeId gauge, GaugeMember member, double value) override;
    void setDialMember(DialId dial, DialMember member, double value) override;
    void setDialCaption(DialId dial, const std::string& text) override;
    void setLampColour(LampId lamp, Colour colour) override;
    void setStatusText(const std::string& text) override { m_readings.status = text; }
    void endRefresh() override { ++m_readings.refreshes; }

    const LiveReadings& readings() const { return m_readings; }
    bool realTimeShown() const { return m_realTimeShown; }

private:
    std::ostream& m_err;
    ProgressReport m_progress;
    bool m_progressShown = false;
    std::string m_progressCaption;
    LiveReadings m_readings;
    std::array<int, DialCount> m_textSelector{};
    bool m_realTimeShown = false;
};

}  // namespace velkor::cli
