#include "live/CircularGauge.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QtMath>
#include <cmath>

#include "base/Numbers.h"
#include "live/GaugeScale.h"

namespace velkor {

namespace {

QPointF onCircle(double radius, double degrees) {
    const double radians = qDegreesToRadians(degrees);
    return {radius * std::cos(radians), -radius * std::sin(radians)};
}

// The face inside the bezel ring, for a dial of the given size.
double faceRadius(QSize size) {
    return 0.9 * (std::min(size.width(), size.height()) - 2.0) / 2.0;
}

// The full scale drawn: a full scale that is not a positive number draws as 1.
double shownScale(double fullScale) {
    return fullScale > 0 && std::isfinite(fullScale) ? fullScale : 1.0;
}

QRectF readoutBox(double faceR) {
    return {-faceR * 0.26, faceR * 0.41, faceR * 0.52, faceR * 0.2};
}

QString labelText(double value) {
    return QString::fromStdString(
        formatNumber(value, std::fmod(value, 1.0) == 0.0 ? "###0" : "0.0#"));
}

}  // namespace

CircularGauge::CircularGauge(QString units, QString title, QWidget* parent)
    : GaugeWidget(parent), m_texts{std::move(units), std::move(title), QStringLiteral("0")} {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CircularGauge::setValue(double value) {
    if (value != m_value) {
        m_value = value;
        update();
    }
}

void CircularGauge::setRedline(double value) {
    if (value != m_redline) {
        m_redline = value;
        faceChanged();
        update();
    }
}

void CircularGauge::setFullScale(double value) {
    if (value != m_fullScale) {
        m_fullScale = value;
        faceChanged();
        update();
    }
}

void CircularGauge::setTextSelector(int item) {
    m_textSelector = item;
}

void CircularGauge::setCaption(const QString& text) {
    if (m_textSelector < 1 || m_textSelector > 3) {
        return;
    }
    QString& item = m_texts[static_cast<std::size_t>(m_textSelector - 1)];
    if (item != text) {
        item = text;
        if (m_textSelector != 3) {
            faceChanged();  // the units and the title are part of the face
        }
        update();
    }
}

QString CircularGauge::textItem(int item) const {
    return (item >= 1 && item <= 3) ? m_texts[static_cast<std::size_t>(item - 1)] : QString();
}

void CircularGauge::paintFace(QPainter& p) {
    p.translate(width() / 2.0, height() / 2.0);
    const double faceR = faceRadius(size());
    const double r = faceR / 0.9;

    // Bezel ring and a light face, as the linear gauges have.
    QLinearGradient bezel(0, -r, 0, r);
    bezel.setColorAt(0.0, QColor(92, 96, 104));
    bezel.setColorAt(1.0, QColor(26, 28, 32));
    p.setPen(QPen(QColor(18, 19, 22), 1));
    p.setBrush(bezel);
    p.drawEllipse(QPointF(0, 0), r, r);
    QRadialGradient face(QPointF(0, -faceR * 0.25), faceR * 1.2);
    face.setColorAt(0.0, QColor(255, 255, 252));
    face.setColorAt(1.0, QColor(226, 226, 220));
    p.setPen(QPen(QColor(10, 10, 12), faceR * 0.02));
    p.setBrush(face);
    p.drawEllipse(QPointF(0, 0), faceR, faceR);

    const double scale = shownScale(m_fullScale);
    const double arcR = faceR * 0.84;
    const QRectF arcBox(-arcR, -arcR, 2 * arcR, 2 * arcR);

    // The scale's arc, then the red band from the red-line mark to full scale over it.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(30, 30, 30), faceR * 0.012, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arcBox, qRound(dialAngle(scale, scale) * 16), qRound(DialSweepDegrees * 16));
    if (m_redline < scale) {
        const double from = dialAngle(std::max(m_redline, 0.0), scale);
        const double to = dialAngle(scale, scale);
        const double bandR = faceR * 0.875;
        p.setPen(QPen(QColor(206, 32, 32), faceR * 0.07, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(QRectF(-bandR, -bandR, 2 * bandR, 2 * bandR), qRound(from * 16),
                  qRound((to - from) * 16));
    }

    // Ticks (five parts between labels) and the labels inside them.
    const double step = dialLabelStep(scale);
    QFont labelFont = font();
    labelFont.setPixelSize(std::max(10, int(faceR * 0.13)));
    labelFont.setBold(true);
    p.setFont(labelFont);
    const int majorCount = int(std::floor(scale / step + 1e-9));
    for (int i = 0; i <= majorCount * 5; ++i) {
        const double v = i * step / 5.0;
        const double angle = dialAngle(v, scale);
        const bool major = i % 5 == 0;
        const bool red = v >= m_redline - 1e-9;
        p.setPen(QPen(red ? QColor(190, 20, 20) : QColor(20, 20, 20),
                      major ? faceR * 0.026 : faceR * 0.012, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(onCircle(faceR * (major ? 0.74 : 0.79), angle), onCircle(arcR, angle));
        if (major) {
            const QPointF centre = onCircle(faceR * 0.6, angle);
            const QRectF box(centre.x() - faceR * 0.2, centre.y() - faceR * 0.09, faceR * 0.4,
                             faceR * 0.18);
            p.setPen(red ? QColor(190, 20, 20) : QColor(20, 20, 20));
            p.drawText(box, Qt::AlignCenter, labelText(v));
        }
    }

    // Title, units and the read-out window below the hub, where the needle never points.
    QFont title = font();
    title.setPixelSize(std::max(10, int(faceR * 0.12)));
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(-faceR * 0.5, faceR * 0.14, faceR, faceR * 0.14), Qt::AlignCenter,
               m_texts[1]);
    QFont units = font();
    units.setPixelSize(std::max(9, int(faceR * 0.095)));
    p.setFont(units);
    p.setPen(QColor(85, 85, 85));
    p.drawText(QRectF(-faceR * 0.5, faceR * 0.27, faceR, faceR * 0.11), Qt::AlignCenter,
               m_texts[0]);
    const QRectF readout = readoutBox(faceR);
    p.setPen(QPen(QColor(70, 72, 78), 1));
    p.setBrush(QColor(18, 20, 24));
    p.drawRoundedRect(readout, 4, 4);
}

void CircularGauge::paintReading(QPainter& p) {
    p.translate(width() / 2.0, height() / 2.0);
    const double faceR = faceRadius(size());
    const double scale = shownScale(m_fullScale);

    QFont readoutFont = font();
    readoutFont.setPixelSize(std::max(11, int(faceR * 0.15)));
    readoutFont.setBold(true);
    p.setFont(readoutFont);
    p.setPen(QColor(255, 176, 60));
    p.drawText(readoutBox(faceR), Qt::AlignCenter, m_texts[2]);

    // Needle and hub.
    const double angle = dialAngle(m_value, scale);
    QPainterPath needle;
    needle.moveTo(onCircle(faceR * 0.86, angle));
    needle.lineTo(onCircle(faceR * 0.035, angle + 90));
    needle.lineTo(onCircle(faceR * 0.13, angle + 180));
    needle.lineTo(onCircle(faceR * 0.035, angle - 90));
    needle.closeSubpath();
    p.setPen(QPen(QColor(120, 20, 10), 0.8));
    p.setBrush(QColor(222, 52, 24));
    p.drawPath(needle);
    QRadialGradient hub(QPointF(-faceR * 0.02, -faceR * 0.02), faceR * 0.09);
    hub.setColorAt(0.0, QColor(120, 124, 132));
    hub.setColorAt(1.0, QColor(30, 32, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(hub);
    p.drawEllipse(QPointF(0, 0), faceR * 0.075, faceR * 0.075);
}

}  // namespace velkor
