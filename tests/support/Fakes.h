#pragma once
// Stand-ins for what cannot run for real in a unit test: the clock, a serial device answering
// from a script, and a main window that records what it is told.

#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "base/LiveDisplay.h"
#include "base/MainView.h"
#include "base/SerialPort.h"

namespace velkor::test {

// Time that moves only when something sleeps on it or a test advances it.
class FakeClock : public Clock {
public:
    time_point now() override { return m_now; }
    std::string localDateTimeText() override { return "06/12/2026 20:15:00"; }
    LocalDateTime localDateTime() override { return {2026, 12, 6, 20, 15, 0}; }
    void sleepUntil(time_point when) override {
        if (when > m_now) {
            m_now = when;
        }
    }
    void advance(duration by) { m_now += by; }
    double secondsSince(time_point start) const {
        return std::chrono::duration<double>(m_now - start).count();
    }

private:
    time_point m_now{std::chrono::hours(1)};
};

struct WrittenByte {
    Clock::time_point time;
    std::uint8_t value;
};

// A port whose far end is a function: each written byte may queue reply bytes. Waiting for bytes
// that never come sleeps the fake clock to the deadline.
class ScriptedPort : public SerialPort {
public:
    using Responder = std::function<void(std::uint8_t written, ScriptedPort& port)>;

    explicit ScriptedPort(Clock& clock) : m_clock(clock) {}

    Responder responder;
    std::vector<WrittenByte> written;
    std::vector<std::string> openedDevices;

    void reply(const std::vector<std::uint8_t>& bytes) {
        m_input.insert(m_input.end(), bytes.begin(), bytes.end());
    }
    void reply(std::uint8_t byte) { m_input.push_back(byte); }
    std::vector<std::uint8_t> writtenValues() const;

    void open(const std::string& portName, const std::string& device) override;
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    void discardInput() override { m_input.clear(); }
    int bytesWaiting() override { return static_cast<int>(m_input.size()); }
    void writeByte(std::uint8_t byte) override;
    std::uint8_t readByte() override;
    bool waitForBytes(int count, Clock::time_point deadline) override;
    void setLineErrorHandler(LineErrorHandler) override {}

private:
    Clock& m_clock;
    bool m_open = false;
    std::deque<std::uint8_t> m_input;
};

// Records what the live view sets inside the real-time frame: the last value of every member,
// text and lamp, and every write in order ("gauMAP.55=0", "gauTach.caption=6500").
struct RecordingLiveDisplay : LiveDisplay {
    std::map<std::string, double> members;     // "gauMAP.51", "gauTach.43"
    std::map<std::string, bool> shown;         // "gauMAP"
    std::map<std::string, std::string> texts;  // "gauTach.3": the dial's text items
    std::map<std::string, Colour> lamps;       // "shpLED_GPI"
    std::string status;
    std::vector<std::string> writes;

    // NaN for a member never written, "" for a text, -1 for a lamp never coloured.
    double member(GaugeId g, GaugeMember m) const { return find(gaugeName(g), int(m)); }
    double member(DialId d, DialMember m) const { return find(dialName(d), int(m)); }
    std::string text(DialId d, int item) const {
        return valueOr(texts, std::string(dialName(d)) + "." + std::to_string(item), {});
    }
    Colour lamp(LampId l) const { return valueOr(lamps, lampName(l), Colour(-1)); }
    bool isShown(GaugeId g) const { return valueOr(shown, gaugeName(g), false); }

    void showGauge(GaugeId g, bool on) override {
        shown[gaugeName(g)] = on;
        note(std::string(gaugeName(g)) + ".visible", on ? 1 : 0);
    }
    void setGaugeMember(GaugeId g, GaugeMember m, double value) override {
        set(gaugeName(g), int(m), value);
    }
    void setDialMember(DialId d, DialMember m, double value) override {
        set(dialName(d), int(m), value);
    }
    void setDialCaption(DialId d, const std::string& text) override {
        const double selector = member(d, DialMember::TextSelector);
        texts[std::string(dialName(d)) + "." +
              std::to_string(std::isnan(selector) ? 0 : int(selector))] = text;
        writes.push_back(std::string(dialName(d)) + ".caption=" + text);
    }
    void setLampColour(LampId l, Colour colour) override {
        lamps[lampName(l)] = colour;
        note(lampName(l), colour);
    }
    void setStatusText(const std::string& text) override {
        status = text;
        writes.push_back("lblStatus=" + text);
    }
    int refreshes = 0;   // ticks begun
    int refreshing = 0;  // begun and not yet ended
    void beginRefresh() override {
        ++refreshes;
        ++refreshing;
    }
    void endRefresh() override { --refreshing; }

private:
    template <typename Value>
    static Value valueOr(const std::map<std::string, Value>& map, const std::string& key,
                         const Value& missing) {
        const auto it = map.find(key);
        return it == map.end() ? missing : it->second;
    }
    double find(const std::string& name, int number) const {
        return valueOr(members, name + "." + std::to_string(number), std::nan(""));
    }
    void set(const std::string& name, int number, double value) {
        const std::string key = name + "." + std::to_string(number);
        members[key] = value;
        note(key, value);
    }
    void note(const std::string& key, double value) {
        std::ostringstream text;
        text << key << "=" << value;
        writes.push_back(text.str());
    }
};

// Records what the operations set on the main window.
struct RecordingView : MainView {
    std::string caption;
    bool progressShown = true;
    std::string progressCaption;
    std::vector<int> progressValues;
    bool realTimeShown = true;
    std::size_t portEntries = 0;
    int selectedPort = -2;
    double tachRedline = 0, tachMax = 0;
    double speedoRedline = 0, speedoMax = 0;
    int displayOptionsShown = 0;
    int busyShown = 0;
    int chartsShown = 0;
    std::vector<Activity> activities;  // every change of the running operation, in order

    void setCaption(const std::string& text) override { caption = text; }
    void setApplicationTitle(const std::string&) override {}
    void showProgressFrame(bool shown) override { progressShown = shown; }
    void setProgressCaption(const std::string& text) override { progressCaption = text; }
    void setProgressValue(int percent) override { progressValues.push_back(percent); }
    void showRealTimeFrame(bool shown) override { realTimeShown = shown; }
    RecordingLiveDisplay live;
    LiveDisplay& liveDisplay() override { return live; }
    void fillPortList(const std::vector<PortEntry>& entries) override {
        portEntries = entries.size();
    }
    void selectPortEntry(int listIndex) override { selectedPort = listIndex; }
    void setTachometerLimits(double redline, double fullScale) override {
        tachRedline = redline;
        tachMax = fullScale;
    }
    void setSpeedometerLimits(double redline, double fullScale) override {
        speedoRedline = redline;
        speedoMax = fullScale;
    }
    void showDisplayOptions() override { ++displayOptionsShown; }
    void showBusy() override { ++busyShown; }
    void showActivity(Activity running) override { activities.push_back(running); }
    std::vector<std::string> notes;
    void showNote(const std::string& text) override { notes.push_back(text); }
    void openChartWindow() override { ++chartsShown; }
};

}  // namespace velkor::test
