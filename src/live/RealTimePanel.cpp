#include "live/RealTimePanel.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/QtText.h"
#include "live/CircularGauge.h"
#include "live/GaugeDesign.h"
#include "live/LampShape.h"
#include "live/LinearGauge.h"
#include "live/ReplayControls.h"
#include "live/SpokenReadings.h"

namespace velkor {

namespace {

QString fromCore(const char* text) {
    return QString::fromLatin1(text);
}

QLabel* legendLabel(const char* name, const char* text, QWidget* parent) {
    auto* label = new QLabel(fromCore(text), parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(80, 85, 96));
    label->setPalette(palette);
    return label;
}

// A reading spoken only when its words change: each change is announced to a screen reader.
void sayIfChanged(QWidget* widget, const std::string& words) {
    const QString text = QString::fromStdString(words);
    if (widget->accessibleName() != text) {
        widget->setAccessibleName(text);
    }
}

QFrame* panelFrame(const char* name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

}  // namespace

RealTimePanel::RealTimePanel(QWidget* parent) : QGroupBox(fromCore(RealTimeFrameCaption), parent) {
    setObjectName("fraRealTimeData");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(createGauges(), 1);
    fraReplay = new ReplayControls(this);
    layout->addWidget(fraReplay);

    auto* lower = new QHBoxLayout;
    lower->setSpacing(8);
    lower->addWidget(createLamps(Frame1, "Frame1", lblInputs, "lblInputs", InputsLegend,
                                 {LampId::shpLED_ArmIn, LampId::shpLED_GPI}, 1));
    lower->addWidget(
        createLamps(fraOutputStatus, "fraOutputStatus", lblOutputs, "lblOutputs", OutputsLegend,
                    {LampId::shpLED_Shift, LampId::shpLED_Alarm1, LampId::shpLED_Launch,
                     LampId::shpLED_Alarm2, LampId::shpLED_AlarmVSS, LampId::shpLED_GPO},
                    2));
    lower->addWidget(createStatus(), 1);
    layout->addLayout(lower);
}

QWidget* RealTimePanel::createGauges() {
    // The instruments sit on a dark dashboard panel of their own; being opaque, they repaint
    // without the frame behind them.
    auto* area = new QWidget(this);
    area->setObjectName("fraInstruments");
    area->setAutoFillBackground(true);
    QPalette dashboard = area->palette();
    dashboard.setColor(QPalette::Window, QColor(36, 38, 43));
    area->setPalette(dashboard);
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(8, 8, 8, 8);
    row->setSpacing(6);

    for (const DialId id : {DialId::gauTach, DialId::gauSpeedometer}) {
        const DialDesign& design = dialDesign(id);
        auto* dial = new CircularGauge(fromCore(design.units), fromCore(design.title), area);
        dial->setObjectName(dialName(id));
        m_dials.at(static_cast<std::size_t>(id)) = dial;
        speak(id);
        row->addWidget(dial, 1);
    }
    gauTach = dial(DialId::gauTach);
    gauSpeedometer = dial(DialId::gauSpeedometer);
    row->addSpacing(6);

    // Throttle, battery, input 1, input 2 from left to right; the start shows one of each kind.
    for (int i = 0; i < GaugeCount; ++i) {
        const auto id = static_cast<GaugeId>(i);
        auto* gauge = new LinearGauge(linearGaugeDesign(id), area);
        gauge->setObjectName(gaugeName(id));
        gauge->setVisible(linearGaugeDesign(id).shown);
        m_gauges.at(static_cast<std::size_t>(i)) = gauge;
        speak(id);
        row->addWidget(gauge);
    }
    return area;
}

QWidget* RealTimePanel::createLamps(QFrame*& frame, const char* name, QLabel*& legend,
                                    const char* legendName, const char* legendText,
                                    std::initializer_list<LampId> lamps, int columns) {
    frame = panelFrame(name, this);
    auto* box = new QVBoxLayout(frame);
    box->setContentsMargins(10, 6, 10, 8);
    box->setSpacing(6);
    legend = legendLabel(legendName, legendText, frame);
    box->addWidget(legend);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    int at = 0;
    for (const LampId id : lamps) {
        const LampDesign& design = lampDesign(id);
        auto* shape = new LampShape(design.colour, frame);
        shape->setObjectName(lampName(id));
        auto* label = new QLabel(fromCore(design.caption), frame);
        label->setObjectName(design.label);
        m_lamps.at(static_cast<std::size_t>(id)) = shape;
        sayIfChanged(shape, lampSpokenText(id, design.colour));
        const int row = at / columns;
        const int column = (at % columns) * 2;
        grid->addWidget(shape, row, column);
        grid->addWidget(label, row, column + 1);
        ++at;
    }
    for (int c = 1; c < columns * 2; c += 2) {
        grid->setColumnStretch(c, 1);
    }
    box->addLayout(grid);
    box->addStretch();
    return frame;
}

QWidget* RealTimePanel::createStatus() {
    auto* frame = panelFrame("fraStatus", this);
    auto* box = new QGridLayout(frame);
    box->setContentsMargins(10, 6, 10, 8);
    box->setVerticalSpacing(6);
    lblStatusLegend = legendLabel("lblStatusLegend", StatusLegend, frame);
    // Amber on black, as the gauges' read-outs. Palettes rather than a style sheet keep the
    // gauges' repaints cheap.
    lblStatus = new QLabel(frame);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setAutoFillBackground(true);
    QPalette statusColours = lblStatus->palette();
    statusColours.setColor(QPalette::Window, QColor(18, 20, 24));
    statusColours.setColor(QPalette::WindowText, QColor(255, 176, 60));
    lblStatus->setPalette(statusColours);
    lblStatus->setMargin(4);
    lblStatus->setIndent(6);
    QFont statusFont = lblStatus->font();
    statusFont.setPixelSize(14);
    statusFont.setBold(true);
    lblStatus->setFont(statusFont);
    // Room for the longest state and the throttle voltage line beneath it.
    const QFontMetrics metrics(statusFont);
    lblStatus->setMinimumWidth(metrics.horizontalAdvance("Power On - Not Armed") + 24);
    lblStatus->setMinimumHeight(2 * metrics.lineSpacing() + 14);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblStatus->setAccessibleName("Controller status");
    cmdCloseRealTimeData = new QPushButton(fromCore(CloseCaption), frame);
    cmdCloseRealTimeData->setAccessibleDescription("Close the real time display");
    cmdCloseRealTimeData->setObjectName("cmdCloseRealTimeData");
    box->addWidget(lblStatusLegend, 0, 0);
    box->addWidget(lblStatus, 1, 0);
    box->addWidget(cmdCloseRealTimeData, 1, 1, Qt::AlignRight | Qt::AlignBottom);
    box->setColumnStretch(0, 1);
    box->setRowStretch(2, 1);
    return frame;
}

void RealTimePanel::showGauge(GaugeId id, bool shown) {
    gauge(id)->setVisible(shown);
}

void RealTimePanel::setGaugeMember(GaugeId id, GaugeMember member, double value) {
    hold(gauge(id));
    gauge(id)->setMember(member, value);
    speak(id);
}

void RealTimePanel::setDialMember(DialId id, DialMember member, double value) {
    CircularGauge* target = dial(id);
    hold(target);
    switch (member) {
        case DialMember::Value:
            target->setValue(value);
            break;
        case DialMember::Redline:
            target->setRedline(value);
            break;
        case DialMember::FullScale:
            target->setFullScale(value);
            break;
        case DialMember::TextSelector:
            target->setTextSelector(
                std::isfinite(value) ? static_cast<int>(std::clamp(value, -1.0, 99.0)) : 0);
            break;
    }
    speak(id);
}

void RealTimePanel::setDialCaption(DialId id, const std::string& text) {
    hold(dial(id));
    dial(id)->setCaption(fromCore(text));
    speak(id);
}

void RealTimePanel::setLampColour(LampId id, Colour colour) {
    hold(lamp(id));
    lamp(id)->setFillColour(colour);
    sayIfChanged(lamp(id), lampSpokenText(id, colour));
}

void RealTimePanel::setStatusText(const std::string& text) {
    QString shown = fromCore(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    hold(lblStatus);
    lblStatus->setText(shown);
}

void RealTimePanel::speak(DialId id) {
    CircularGauge* target = dial(id);
    sayIfChanged(target, dialSpokenText(id, target->textItem(3).toStdString()));
}

void RealTimePanel::speak(GaugeId id) {
    LinearGauge* target = gauge(id);
    sayIfChanged(target, gaugeSpokenText(target->caption().toStdString(),
                                         target->readoutText().toStdString()));
}

void RealTimePanel::beginRefresh() {
    m_refreshing = true;
}

void RealTimePanel::endRefresh() {
    m_refreshing = false;
    // Updates come back on with a repaint of each widget written meanwhile.
    for (QWidget* widget : m_held) {
        widget->setUpdatesEnabled(true);
    }
    m_held.clear();
}

void RealTimePanel::hold(QWidget* widget) {
    if (m_refreshing && widget->updatesEnabled()) {
        widget->setUpdatesEnabled(false);
        m_held.push_back(widget);
    }
}

}  // namespace velkor
