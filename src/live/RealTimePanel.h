#pragma once
// The frame "Real Time Data" of the main window: the two dials, the linear gauges, the input and
// output lamps with their labels, the status line and the Close button, laid out to be read at a
// glance. It carries out what the live view sets on it.

#include <QGroupBox>
#include <array>
#include <string>
#include <vector>

#include "base/LiveDisplay.h"

class QFrame;
class QLabel;
class QPushButton;

namespace velkor {

class CircularGauge;
class LampShape;
class LinearGauge;
class ReplayControls;

class RealTimePanel : public QGroupBox, public LiveDisplay {
    Q_OBJECT
public:
    explicit RealTimePanel(QWidget* parent = nullptr);

    LinearGauge* gauge(GaugeId id) const { return m_gauges.at(static_cast<std::size_t>(id)); }
    CircularGauge* dial(DialId id) const { return m_dials.at(static_cast<std::size_t>(id)); }
    LampShape* lamp(LampId id) const { return m_lamps.at(static_cast<std::size_t>(id)); }

    // LiveDisplay
    void showGauge(GaugeId gauge, bool shown) override;
    void setGaugeMember(GaugeId gauge, GaugeMember member, double value) override;
    void setDialMember(DialId dial, DialMember member, double value) override;
    void setDialCaption(DialId dial, const std::string& text) override;
    void setLampColour(LampId lamp, Colour colour) override;
    void setStatusText(const std::string& text) override;
    void beginRefresh() override;
    void endRefresh() override;

    // Controls, named as the system names them.
    CircularGauge* gauTach = nullptr;
    CircularGauge* gauSpeedometer = nullptr;
    QFrame* Frame1 = nullptr;  // the input lamps
    QFrame* fraOutputStatus = nullptr;
    QLabel* lblInputs = nullptr;
    QLabel* lblOutputs = nullptr;
    QLabel* lblStatusLegend = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* cmdCloseRealTimeData = nullptr;
    // Under the gauges, shown only while the log is replayed on them.
    ReplayControls* fraReplay = nullptr;

private:
    QWidget* createGauges();
    QWidget* createLamps(QFrame*& frame, const char* name, QLabel*& legend, const char* legendName,
                         const char* legendText, std::initializer_list<LampId> lamps, int columns);
    QWidget* createStatus();
    // Puts a dial's or a bar gauge's reading in its accessible name.
    void speak(DialId id);
    void speak(GaugeId id);
    // During a tick, a widget written to draws only when the tick ends, all in one pass.
    void hold(QWidget* widget);

    std::array<LinearGauge*, GaugeCount> m_gauges{};
    std::array<CircularGauge*, DialCount> m_dials{};
    std::array<LampShape*, LampCount> m_lamps{};
    bool m_refreshing = false;
    std::vector<QWidget*> m_held;
};

}  // namespace velkor
