#include "live/LinearGauge.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Numbers.h"

namespace velkor {

namespace {

const QColor Bezel(42, 45, 51);
const QColor Face(250, 249, 244);
const QColor Ink(24, 24, 24);
const QColor Tube(226, 226, 220);
const QColor BarTop(255, 160, 40);
const QColor BarFoot(226, 104, 0);

const char* readoutPattern(int decimals) {
    switch (decimals) {
        case 0:
            return "###0";
        case 1:
            return "##0.0";
        default:
            return "0.00";
    }
}

QString numberText(double value, int decimals) {
    return QString::fromStdString(formatNumber(value, readoutPattern(decimals)));
}

// Label text: as many decimals as the step needs, none for whole numbers.
QString labelText(double value) {
    const double rounded = std::round(value);
    if (std::fabs(value - rounded) < 1e-9) {
        return QString::fromStdString(formatNumber(rounded, "###0"));
    }
    return QString::fromStdString(formatNumber(value, "0.0#"));
}

}  // namespace

QColor colourOf(Colour colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

LinearGauge::LinearGauge(const LinearGaugeDesign& design, QWidget* parent)
    : GaugeWidget(parent),
      m_caption(QString::fromLatin1(design.caption.c_str())),
      m_sections(design.sections),
      m_bands(design.bands) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

SectionDesign& LinearGauge::currentSection() {
    return m_sections.at(static_cast<std::size_t>(m_scaleIndex));
}

double LinearGauge::keptMember(GaugeMember member) const {
    const auto it = m_kept.find(member);
    return it == m_kept.end() ? 0.0 : it->second;
}

void LinearGauge::setMember(GaugeMember member, double value) {
    switch (member) {
        case GaugeMember::Value:
            if (value == m_value) {
                return;  // nothing to draw again
            }
            m_value = value;
            break;
        case GaugeMember::ScaleIndex: {
            const int last = static_cast<int>(m_sections.size()) - 1;
            const double index = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, double(last));
            const int section = static_cast<int>(std::lround(index));
            if (section == m_scaleIndex) {
                return;
            }
            m_scaleIndex = section;
            break;
        }
        case GaugeMember::ScaleMinimum:
            currentSection().scale.minimum = value;
            break;
        case GaugeMember::ScaleMaximum:
            currentSection().scale.maximum = value;
            break;
        case GaugeMember::FirstLabel:
            currentSection().labels.first = value;
            break;
        case GaugeMember::LastLabel:
            currentSection().labels.last = value;
            break;
        case GaugeMember::LabelStep:
            currentSection().labels.step = value;
            break;
        case GaugeMember::BandStart:
        case GaugeMember::BandEnd:
            if (m_bands.empty()) {
                m_bands.push_back({value, value, ColourBlack});
            }
            (member == GaugeMember::BandStart ? m_bands.front().start : m_bands.front().end) =
                value;
            break;
        default:
            m_kept[member] = value;
            return;
    }
    if (member != GaugeMember::Value && member != GaugeMember::ScaleIndex) {
        faceChanged();
    }
    update();
}

void LinearGauge::paintFace(QPainter& p) {
    // Body with the caption plate on top, the face below it.
    const QRectF body = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(88, 92, 100), 1));
    p.setBrush(Bezel);
    p.drawRoundedRect(body, 6, 6);

    QFont captionFont = font();
    captionFont.setPixelSize(12);
    captionFont.setBold(true);
    p.setFont(captionFont);
    const double plate = QFontMetricsF(captionFont).height() + 8;
    p.setPen(QColor(236, 238, 242));
    p.drawText(QRectF(body.left(), body.top(), body.width(), plate), Qt::AlignCenter, m_caption);

    const QRectF face = body.adjusted(4, plate, -4, -4);
    p.setPen(Qt::NoPen);
    p.setBrush(Face);
    p.drawRoundedRect(face, 4, 4);

    // Read-out window at the foot of the face.
    QFont readoutFont = font();
    readoutFont.setPixelSize(13);
    readoutFont.setBold(true);
    const double readoutHeight = QFontMetricsF(readoutFont).height() + 6;
    Layout& at = m_layout;
    at.readout = QRectF(face.left() + 5, face.bottom() - readoutHeight - 5, face.width() - 10,
                        readoutHeight);
    p.setPen(QPen(QColor(70, 72, 78), 1));
    p.setBrush(QColor(18, 20, 24));
    p.drawRoundedRect(at.readout, 3, 3);

    at.top = face.top() + 4;
    at.length = at.readout.top() - 6 - at.top;
    at.footAt = 0.0;
    double headAt = 1.0;
    for (const SectionDesign& section : m_sections) {
        at.footAt = std::max({at.footAt, section.scale.minimumAt, section.scale.maximumAt});
        headAt = std::min({headAt, section.scale.minimumAt, section.scale.maximumAt});
    }

    // Labels of every section, each drawn once.
    QFont labelFont = font();
    labelFont.setPixelSize(11);
    const QFontMetricsF labelMetrics(labelFont);
    struct Mark {
        double y;
        QString text;
        bool major;
    };
    std::vector<Mark> marks;
    double labelWidth = labelMetrics.horizontalAdvance(QStringLiteral("00"));
    for (const SectionDesign& section : m_sections) {
        const auto values =
            labelValues(section.labels.first, section.labels.last, section.labels.step);
        std::vector<double> onScale;
        for (const double v : values) {
            if (onSection(v, section.scale)) {
                onScale.push_back(v);
            }
        }
        if (onScale.empty()) {
            continue;
        }
        const double apart = onScale.size() > 1
                                 ? std::fabs(at.y(placeAlong(onScale[1], section.scale)) -
                                             at.y(placeAlong(onScale[0], section.scale)))
                                 : 0.0;
        const int stride = labelStride(apart, labelMetrics.height() * 0.95);
        for (std::size_t i = 0; i < onScale.size(); ++i) {
            const double y = at.y(placeAlong(onScale[i], section.scale));
            const bool major = i % static_cast<std::size_t>(stride) == 0;
            const bool taken = std::any_of(marks.begin(), marks.end(),
                                           [&](const Mark& m) { return std::fabs(m.y - y) < 1.0; });
            if (taken) {
                continue;
            }
            const QString text = labelText(onScale[i]);
            if (major) {
                labelWidth = std::max(labelWidth, labelMetrics.horizontalAdvance(text));
            }
            marks.push_back({y, major ? text : QString(), major});
            // A short tick half-way to the next label.
            if (i + 1 < onScale.size() && apart >= 12.0) {
                const double yNext = at.y(placeAlong(onScale[i + 1], section.scale));
                marks.push_back({(y + yNext) / 2.0, QString(), false});
            }
        }
    }

    // Tube, band strip, ticks and labels as one group, centred on the face.
    constexpr double tubeWidth = 13, gap = 3, tickLong = 7, tickShort = 4;
    at.bandWidth = 5;
    const double group = tubeWidth + gap + at.bandWidth + tickLong + gap + labelWidth;
    const double tubeX = face.left() + std::max(3.0, (face.width() - group) / 2.0);
    at.bandX = tubeX + tubeWidth + gap;
    const double tickX = at.bandX + at.bandWidth;
    const double textX = tickX + tickLong + gap;

    at.tube = QRectF(tubeX, at.y(headAt) - 2, tubeWidth, at.y(at.footAt) - at.y(headAt) + 4);
    p.setPen(QPen(QColor(150, 150, 144), 1));
    p.setBrush(Tube);
    p.drawRoundedRect(at.tube, 3, 3);

    // The spine, then the colour bands over it.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(170, 170, 165));
    p.drawRect(QRectF(at.bandX + at.bandWidth / 2 - 0.75, at.y(headAt), 1.5,
                      at.y(at.footAt) - at.y(headAt)));
    for (const ColourBand& band : m_bands) {
        for (const SectionDesign& section : m_sections) {
            if (const auto span = bandOnSection(band.start, band.end, section.scale)) {
                p.setBrush(colourOf(band.colour));
                p.drawRect(QRectF(at.bandX, at.y(span->top), at.bandWidth,
                                  at.y(span->bottom) - at.y(span->top)));
            }
        }
    }

    p.setFont(labelFont);
    for (const Mark& mark : marks) {
        p.setPen(QPen(mark.major ? Ink : QColor(90, 90, 90), mark.major ? 1.4 : 1.0));
        p.drawLine(QPointF(tickX, mark.y),
                   QPointF(tickX + (mark.major ? tickLong : tickShort), mark.y));
        if (!mark.text.isEmpty()) {
            p.setPen(Ink);
            p.drawText(QRectF(textX, mark.y - labelMetrics.height() / 2, face.right() - textX,
                              labelMetrics.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, mark.text);
        }
    }
}

void LinearGauge::paintReading(QPainter& p) {
    const Layout& at = m_layout;

    // The bar from the foot to the value, on the section the scale index names.
    const ScaleSection& current = m_sections.at(static_cast<std::size_t>(m_scaleIndex)).scale;
    const double valueY = at.y(placeAlong(m_value, current));
    const double footY = at.y(at.footAt);
    const QRectF& tube = at.tube;
    if (footY - valueY > 0.5) {
        QLinearGradient fill(tube.left(), 0, tube.right(), 0);
        fill.setColorAt(0.0, BarFoot);
        fill.setColorAt(0.45, BarTop);
        fill.setColorAt(1.0, BarFoot);
        p.fillRect(QRectF(tube.left() + 2, valueY, tube.width() - 4, footY - valueY + 1), fill);
    }
    // The pointer: a dark red wedge at the tube's left edge and a line across to the bands.
    QPainterPath wedge;
    wedge.moveTo(tube.left() + 1, valueY);
    wedge.lineTo(tube.left() - 5, valueY - 4.5);
    wedge.lineTo(tube.left() - 5, valueY + 4.5);
    wedge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 30, 20));
    p.drawPath(wedge);
    p.setPen(QPen(QColor(190, 30, 20), 2));
    p.drawLine(QPointF(tube.left() + 1, valueY), QPointF(at.bandX + at.bandWidth, valueY));

    QFont readoutFont = font();
    readoutFont.setPixelSize(13);
    readoutFont.setBold(true);
    p.setFont(readoutFont);
    p.setPen(QColor(255, 176, 60));
    p.drawText(at.readout, Qt::AlignCenter, readoutText());
}

// To the decimals the whole scale calls for.
QString LinearGauge::readoutText() const {
    double lowest = std::numeric_limits<double>::max();
    double highest = std::numeric_limits<double>::lowest();
    for (const SectionDesign& section : m_sections) {
        lowest = std::min({lowest, section.scale.minimum, section.scale.maximum});
        highest = std::max({highest, section.scale.minimum, section.scale.maximum});
    }
    return numberText(m_value, readoutDecimals(highest - lowest));
}

}  // namespace velkor
