#pragma once
// The controls under the gauges while the log in memory is replayed on them: play and pause, the
// speed, the position over the log's elapsed time with the time as the chart's read-out shows
// it, and a sample back or forward; Space, the arrow keys and Home work anywhere in the window.
// While playing it draws at the display's pace; paused, it draws nothing until told.

#include <QWidget>
#include <optional>
#include <vector>

#include "base/LiveState.h"
#include "live/LogReplay.h"

class QComboBox;
class QLabel;
class QShortcut;
class QSlider;
class QTimer;
class QToolButton;

namespace velkor {

class Clock;
class LiveDisplay;
struct DataLog;
struct Preferences;

class ReplayControls : public QWidget {
    Q_OBJECT
public:
    explicit ReplayControls(QWidget* parent = nullptr);

    // Shows the controls and plays `log` on `display` from its first sample at 1x, for the
    // preferences in force, with the input-2 scaling the gauges were laid out with in `scales`.
    // The log and the preferences must stay until stop().
    void start(const DataLog& log, const Preferences& prefs, const LiveState& scales, Clock& clock,
               LiveDisplay& display);
    // Ends the replay and hides the controls; the gauges keep what they last showed.
    void stop();
    bool running() const { return m_replay.has_value(); }
    const LogReplay* replay() const { return m_replay ? &*m_replay : nullptr; }

    // Controls, named as the window's other controls are.
    QToolButton* playButton = nullptr;
    QComboBox* speedBox = nullptr;
    QSlider* positionSlider = nullptr;
    QLabel* timeLabel = nullptr;
    QToolButton* stepBackButton = nullptr;
    QToolButton* stepForwardButton = nullptr;
    QTimer* frameTimer = nullptr;  // one frame at the display's pace while playing

private:
    QToolButton* toolButton(const char* name, const QString& tip);
    void addKey(const QKeySequence& key, void (ReplayControls::*handler)());

    void onPlayClicked();
    void onSpeedChosen(int index);
    void onSliderMoved(int value);
    void onStepBackClicked();
    void onStepForwardClicked();
    void home();
    void onFrameTimer();
    // Shows the readings at the position on the gauges and the position on the controls, and
    // runs the frame timer only while playing.
    void draw();
    // The play button shows pause while playing.
    void showPlaying(bool playing);

    std::optional<LogReplay> m_replay;
    const Preferences* m_prefs = nullptr;
    LiveDisplay* m_display = nullptr;
    LiveState m_scales;
    std::vector<QShortcut*> m_keys;
    bool m_showsPlaying = false;
};

}  // namespace velkor
