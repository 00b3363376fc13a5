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

    cmdPlay = toolButton("cmdPlay", "Play or pause (Space)");
    showPlaying(false);
    cmdStepBack = toolButton("cmdStepBack", "One sample back (Left)");
    cmdStepBack->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    cmdStepForward = toolButton("cmdStepForward", "One sample forward (Right)");
    cmdStepForward->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));

    cboSpeed = new QComboBox(this);
    cboSpeed->setObjectName("cboSpeed");
    cboSpeed->setFocusPolicy(Qt::NoFocus);
    cboSpeed->setToolTip("Replay speed");
    for (const char* speed :
         {"\u00bc\u00d7", "\u00bd\u00d7", "1\u00d7", "2\u00d7", "4\u00d7", "8\u00d7"}) {
        cboSpeed->addItem(QString::fromUtf8(speed));
    }

    sldPosition = new QSlider(Qt::Horizontal, this);
    sldPosition->setObjectName("sldPosition");
    sldPosition->setFocusPolicy(Qt::NoFocus);
    sldPosition->setToolTip("Position in the log (Home: the start)");

    lblTime = new QLabel(this);
    lblTime->setObjectName("lblTime");
    lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTime->setMinimumWidth(lblTime->fontMetrics().horizontalAdvance("00000.0 Sec ") + 8);

    row->addWidget(legend);
    row->addWidget(cmdStepBack);
    row->addWidget(cmdPlay);
    row->addWidget(cmdStepForward);
    row->addWidget(cboSpeed);
    row->addWidget(sldPosition, 1);
    row->addWidget(lblTime);

    tmrFrame = new QTimer(this);
    tmrFrame->setObjectName("tmrFrame");
    tmrFrame->setInterval(FrameMilliseconds);
    tmrFrame->setTimerType(Qt::PreciseTimer);

    connect(cmdPlay, &QToolButton::clicked, this, &ReplayControls::cmdPlay_Click);
    connect(cmdStepBack, &QToolButton::clicked, this, &ReplayControls::cmdStepBack_Click);
    connect(cmdStepForward, &QToolButton::clicked, this, &ReplayControls::cmdStepForward_Click);
    connect(cboSpeed, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ReplayControls::cboSpeed_Click);
    connect(sldPosition, &QSlider::valueChanged, this, &ReplayControls::sldPosition_Change);
    connect(tmrFrame, &QTimer::timeout, this, &ReplayControls::tmrFrame_Timer);

    addKey(Qt::Key_Space, &ReplayControls::cmdPlay_Click);
    addKey(Qt::Key_Left, &ReplayControls::cmdStepBack_Click);
    addKey(Qt::Key_Right, &ReplayControls::cmdStepForward_Click);
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
        const QSignalBlocker blocker(sldPosition);
        sldPosition->setRange(replaySliderValue(m_replay->start()),
                              replaySliderValue(m_replay->end()));
        // A page is a tenth of the log; a small step about one sample.
        sldPosition->setPageStep(
            std::max(1, (sldPosition->maximum() - sldPosition->minimum()) / 10));
        sldPosition->setSingleStep(
            std::max(1, (sldPosition->maximum() - sldPosition->minimum()) / (SampleCount - 1)));
    }
    {
        const QSignalBlocker blocker(cboSpeed);
        cboSpeed->setCurrentIndex(NormalReplaySpeed);
    }
    for (QShortcut* key : m_keys) {
        key->setEnabled(true);
    }
    show();
    m_replay->play();
    draw();
}

void ReplayControls::stop() {
    tmrFrame->stop();
    for (QShortcut* key : m_keys) {
        key->setEnabled(false);
    }
    m_replay.reset();
    m_display = nullptr;
    hide();
}

void ReplayControls::cmdPlay_Click() {
    if (m_replay) {
        m_replay->togglePlay();
        draw();
    }
}

void ReplayControls::cboSpeed_Click(int index) {
    if (m_replay) {
        m_replay->setSpeedIndex(index);
    }
}

void ReplayControls::sldPosition_Change(int value) {
    if (m_replay) {
        m_replay->seek(replaySliderTime(value));
        draw();
    }
}

void ReplayControls::cmdStepBack_Click() {
    if (m_replay) {
        m_replay->stepBack();
        draw();
    }
}

void ReplayControls::cmdStepForward_Click() {
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

void ReplayControls::tmrFrame_Timer() {
    if (m_replay) {
        m_replay->advance();
        draw();
    }
}

void ReplayControls::showPlaying(bool playing) {
    if (playing != m_showsPlaying || cmdPlay->icon().isNull()) {
        m_showsPlaying = playing;
        cmdPlay->setIcon(
            style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    }
}

void ReplayControls::draw() {
    // The writes all land before the window next paints, so no refresh bracket is needed: each
    // gauge repaints once, and only when what it shows has changed.
    showReadings(*m_display, *m_prefs, m_replay->throttleFactors(), m_scales, m_replay->readings());
    {
        const QSignalBlocker blocker(sldPosition);
        sldPosition->setValue(replaySliderValue(m_replay->position()));
    }
    lblTime->setText(fromCore(elapsedTimeText(m_replay->position())));
    const bool playing = m_replay->playing();
    showPlaying(playing);
    if (playing && !tmrFrame->isActive()) {
        tmrFrame->start();
    } else if (!playing) {
        tmrFrame->stop();
    }
}

}  // namespace velkor
