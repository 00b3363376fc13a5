#include "live/CircularGauge.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <cmath>

#include "app/Numbers.h"
#include "live/GaugeScale.h"

namespace velkor {

namespace {

QPointF onCircle(double radius, double degrees) {
    const double radians = qDegreesToRadians(degrees);
    return {radius * std::cos(radians), -radius * std::sin(radians)};
}

QString labelText(double value) {
    return QString::fromStdString(
        formatNumber(value, std::fmod(value, 1.0) == 0.0 ? "###0" : "0.0#"));
}

}  // namespace

CircularGauge::CircularGauge(QString units, QString title, QWidget* parent)
    : QWidget(parent), m_texts{std::move(units), std::move(title), QStringLiteral("0")} {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CircularGauge::setValue(double value) {
    m_value = value;
    update();
}

void CircularGauge::setRedline(double value) {
    m_redline = value;
    update();
}

void CircularGauge::setFullScale(double value) {
    m_fullScale = value;
    update();
}

void CircularGauge::setTextSelector(int item) {
    m_textSelector = item;
}

void CircularGauge::setCaption(const QString& text) {
    if (m_textSelector >= 1 && m_textSelector <= 3) {
        m_texts[static_cast<std::size_t>(m_textSelector - 1)] = text;
        update();
    }
}

QString CircularGauge::textItem(int item) const {
    return (item >= 1 && item <= 3) ? m_texts[static_cast<std::size_t>(item - 1)] : QString();
}

void CircularGauge::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height()) - 4.0;
    p.translate(width() / 2.0, height() / 2.0);
    const double r = side / 2.0;

    // Bezel and face.
    QRadialGradient bezel(QPointF(0, 0), r);
    bezel.setColorAt(0.90, QColor(70, 74, 82));
    bezel.setColorAt(1.00, QColor(28, 30, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), r, r);
    QRadialGradient face(QPointF(0, -r * 0.3), r);
    face.setColorAt(0.0, QColor(44, 48, 56));
    face.setColorAt(1.0, QColor(16, 17, 20));
    p.setBrush(face);
    const double faceR = r * 0.92;
    p.drawEllipse(QPointF(0, 0), faceR, faceR);

    const double scale = m_fullScale > 0 ? m_fullScale : 1.0;

    // Red band from the red-line mark to full scale.
    if (m_redline < scale) {
        const double from = dialAngle(std::max(m_redline, 0.0), scale);
        const double to = dialAngle(scale, scale);
        const double bandR = faceR * 0.86;
        QPen band(QColor(214, 40, 40), faceR * 0.07, Qt::SolidLine, Qt::FlatCap);
        p.setPen(band);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(-bandR, -bandR, 2 * bandR, 2 * bandR), qRound(from * 16),
                  qRound((to - from) * 16));
    }

    // Ticks and labels.
    const double step = dialLabelStep(scale);
    QFont labelFont = font();
    labelFont.setPixelSize(std::max(9, int(faceR * 0.12)));
    labelFont.setBold(true);
    p.setFont(labelFont);
    const int majorCount = int(std::floor(scale / step + 1e-9));
    for (int i = 0; i <= majorCount * 5; ++i) {
        const double v = i * step / 5.0;
        if (v > scale + 1e-9) {
            break;
        }
        const double angle = dialAngle(v, scale);
        const bool major = i % 5 == 0;
        p.setPen(QPen(v >= m_redline ? QColor(235, 90, 80) : QColor(225, 228, 235),
                      major ? faceR * 0.025 : faceR * 0.012));
        p.drawLine(onCircle(faceR * (major ? 0.78 : 0.83), angle), onCircle(faceR * 0.92, angle));
        if (major) {
            const QPointF centre = onCircle(faceR * 0.63, angle);
            const QRectF box(centre.x() - faceR * 0.2, centre.y() - faceR * 0.09, faceR * 0.4,
                             faceR * 0.18);
            p.drawText(box, Qt::AlignCenter, labelText(v));
        }
    }

    // Title and units above the centre, read-out below.
    QFont small = font();
    small.setPixelSize(std::max(8, int(faceR * 0.10)));
    p.setFont(small);
    p.setPen(QColor(170, 176, 188));
    p.drawText(QRectF(-faceR * 0.5, -faceR * 0.42, faceR, faceR * 0.14), Qt::AlignCenter,
               m_texts[1]);
    p.drawText(QRectF(-faceR * 0.5, -faceR * 0.28, faceR, faceR * 0.14), Qt::AlignCenter,
               m_texts[0]);
    QFont readoutFont = font();
    readoutFont.setPixelSize(std::max(10, int(faceR * 0.17)));
    readoutFont.setBold(true);
    p.setFont(readoutFont);
    const QRectF readout(-faceR * 0.32, faceR * 0.38, faceR * 0.64, faceR * 0.24);
    p.setPen(QPen(QColor(80, 86, 98), 1));
    p.setBrush(QColor(8, 9, 11));
    p.drawRoundedRect(readout, 4, 4);
    p.setPen(QColor(120, 230, 140));
    p.drawText(readout, Qt::AlignCenter, m_texts[2]);

    // Needle and hub.
    const double angle = dialAngle(m_value, scale);
    QPainterPath needle;
    needle.moveTo(onCircle(faceR * 0.84, angle));
    needle.lineTo(onCircle(faceR * 0.05, angle + 90));
    needle.lineTo(onCircle(faceR * 0.16, angle + 180));
    needle.lineTo(onCircle(faceR * 0.05, angle - 90));
    needle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 30));
    p.drawPath(needle);
    p.setBrush(QColor(60, 64, 72));
    p.drawEllipse(QPointF(0, 0), faceR * 0.08, faceR * 0.08);
}

}  // namespace velkor
