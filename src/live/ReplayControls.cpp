#include "live/ReplayControls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "base/DataLog.h"
#include "base/QtText.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

constexpr int FrameMilliseconds = 16;  // about the display's refresh

}  // namespace

ReplayControls::ReplayControls(QWidget* parent) : QWidget(parent) {
    setObjectName("fraReplay");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    auto* legend = new QLabel("REPLAY", this);
    legend->setObjectName("lblReplayLegend");
    QFont bold = legend->font();
    bold.setBold(true);
    legend->setFont(bold);

    // The buttons show icons alone: each is named for a screen reader.
    playButton = toolButton("playButton", "Play or pause (Space)");
    showPlaying(false);
    stepBackButton = toolButton("stepBackButton", "One sample back (Left)");
    stepBackButton->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    stepBackButton->setAccessibleName("One sample back");
    stepForwardButton = toolButton("stepForwardButton", "One sample forward (Right)");
    stepForwardButton->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    stepForwardButton->setAccessibleName("One sample forward");

    speedBox = new QComboBox(this);
    speedBox->setObjectName("speedBox");
    speedBox->setFocusPolicy(Qt::NoFocus);
    speedBox->setToolTip("Replay speed");
    speedBox->setAccessibleName("Replay speed");
    for (const char* speed :
         {"\u00bc\u00d7", "\u00bd\u00d7", "1\u00d7", "2\u00d7", "4\u00d7", "8\u00d7"}) {
        speedBox->addItem(QString::fromUtf8(speed));
    }

    positionSlider = new QSlider(Qt::Horizontal, this);
    positionSlider->setObjectName("positionSlider");
    positionSlider->setFocusPolicy(Qt::NoFocus);
    positionSlider->setToolTip("Position in the log (Home: the start)");
    positionSlider->setAccessibleName("Position in the log");

    timeLabel = new QLabel(this);
    timeLabel->setObjectName("timeLabel");
    timeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    timeLabel->setAccessibleDescription("Replay time");
    timeLabel->setMinimumWidth(timeLabel->fontMetrics().horizontalAdvance("00000.0 Sec ") + 8);

    row->addWidget(legend);
    row->addWidget(stepBackButton);
    row->addWidget(playButton);
    row->addWidget(stepForwardButton);
    row->addWidget(speedBox);
    row->addWidget(positionSlider, 1);
    row->addWidget(timeLabel);

    frameTimer = new QTimer(this);
    frameTimer->setObjectName("frameTimer");
    frameTimer->setInterval(FrameMilliseconds);
    frameTimer->setTimerType(Qt::PreciseTimer);

    connect(playButton, &QToolButton::clicked, this, &ReplayControls::onPlayClicked);
    connect(stepBackButton, &QToolButton::clicked, this, &ReplayControls::onStepBackClicked);
    connect(stepForwardButton, &QToolButton::clicked, this, &ReplayControls::onStepForwardClicked);
    connect(speedBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ReplayControls::onSpeedChosen);
    connect(positionSlider, &QSlider::valueChanged, this, &ReplayControls::onSliderMoved);
    connect(frameTimer, &QTimer::timeout, this, &ReplayControls::onFrameTimer);

    addKey(Qt::Key_Space, &ReplayControls::onPlayClicked);
    addKey(Qt::Key_Left, &ReplayControls::onStepBackClicked);
    addKey(Qt::Key_Right, &ReplayControls::onStepForwardClicked);
    addKey(Qt::Key_Home, &ReplayControls::home);
    hide();
}

QToolButton* ReplayControls::toolButton(const char* name, const QString& tip) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

void ReplayControls::addKey(const QKeySequence& key, void (ReplayControls::*handler)()) {
    // The keys work wherever the focus is in the window, and only while a replay runs.
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setEnabled(false);
    connect(shortcut, &QShortcut::activated, this, handler);
    m_keys.push_back(shortcut);
}

void ReplayControls::start(const DataLog& log, const Preferences& prefs, const LiveState& scales,
                           Clock& clock, LiveDisplay& display) {
    m_replay.emplace(log, clock);
    m_prefs = &prefs;
    m_display = &display;
    m_scales = scales;
    {
        const QSignalBlocker blocker(positionSlider);
        positionSlider->setRange(replaySliderValue(m_replay->start()),
                                 replaySliderValue(m_replay->end()));
        // A page is a tenth of the log; a small step about one sample.
        positionSlider->setPageStep(
            std::max(1, (positionSlider->maximum() - positionSlider->minimum()) / 10));
        positionSlider->setSingleStep(std::max(
            1, (positionSlider->maximum() - positionSlider->minimum()) / (SampleCount - 1)));
    }
    {
        const QSignalBlocker blocker(speedBox);
        speedBox->setCurrentIndex(NormalReplaySpeed);
    }
    for (QShortcut* key : m_keys) {
        key->setEnabled(true);
    }
    show();
    m_replay->play();
    draw();
}

void ReplayControls::stop() {
    frameTimer->stop();
    for (QShortcut* key : m_keys) {
        key->setEnabled(false);
    }
    m_replay.reset();
    m_display = nullptr;
    hide();
}

void ReplayControls::onPlayClicked() {
    if (m_replay) {
        m_replay->togglePlay();
        draw();
    }
}

void ReplayControls::onSpeedChosen(int index) {
    if (m_replay) {
        m_replay->setSpeedIndex(index);
    }
}

void ReplayControls::onSliderMoved(int value) {
    if (m_replay) {
        m_replay->seek(replaySliderTime(value));
        draw();
    }
}

void ReplayControls::onStepBackClicked() {
    if (m_replay) {
        m_replay->stepBack();
        draw();
    }
}

void ReplayControls::onStepForwardClicked() {
    if (m_replay) {
        m_replay->stepForward();
        draw();
    }
}

void ReplayControls::home() {
    if (m_replay) {
        m_replay->home();
        draw();
    }
}

void ReplayControls::onFrameTimer() {
    if (m_replay) {
        m_replay->advance();
        draw();
    }
}

void ReplayControls::showPlaying(bool playing) {
    if (playing != m_showsPlaying || playButton->icon().isNull()) {
        m_showsPlaying = playing;
        playButton->setIcon(
            style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
        playButton->setAccessibleName(playing ? "Pause" : "Play");
    }
}

void ReplayControls::draw() {
    // The writes all land before the window next paints, so no refresh bracket is needed: each
    // gauge repaints once, and only when what it shows has changed.
    showReadings(*m_display, *m_prefs, m_replay->throttleFactors(), m_scales, m_replay->readings());
    {
        const QSignalBlocker blocker(positionSlider);
        positionSlider->setValue(replaySliderValue(m_replay->position()));
    }
    timeLabel->setText(fromCore(elapsedTimeText(m_replay->position())));
    const bool playing = m_replay->playing();
    showPlaying(playing);
    if (playing && !frameTimer->isActive()) {
        frameTimer->start();
    } else if (!playing) {
        frameTimer->stop();
    }
}

}  // namespace velkor
