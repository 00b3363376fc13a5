#include "live/LampShape.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>

#include "live/LinearGauge.h"

namespace velkor {

LampShape::LampShape(Colour colour, QWidget* parent) : QWidget(parent), m_colour(colour) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFixedSize(sizeHint());
}

void LampShape::setFillColour(Colour colour) {
    if (colour != m_colour) {
        m_colour = colour;
        update();
    }
}

void LampShape::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    const QPointF centre(width() / 2.0, height() / 2.0);
    const double r = side / 2.0 - 1.0;

    // Chrome bezel.
    QRadialGradient bezel(centre - QPointF(r * 0.4, r * 0.4), r * 2);
    bezel.setColorAt(0.0, QColor(210, 212, 216));
    bezel.setColorAt(1.0, QColor(70, 72, 78));
    p.setPen(QPen(QColor(40, 40, 44), 0.8));
    p.setBrush(bezel);
    p.drawEllipse(centre, r, r);

    // The lens in its fill colour, brighter at the top left; a dark lamp stays smoky.
    const QColor fill = colourOf(m_colour);
    const bool dark = fill.lightness() < 40;
    const double lens = r * 0.78;
    QRadialGradient glass(centre - QPointF(lens * 0.35, lens * 0.35), lens * 1.4);
    glass.setColorAt(0.0, dark ? QColor(95, 98, 104) : fill.lighter(160));
    glass.setColorAt(0.45, dark ? QColor(38, 40, 44) : fill);
    glass.setColorAt(1.0, dark ? QColor(14, 15, 17) : fill.darker(170));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(centre, lens, lens);

    // A small highlight on the glass.
    p.setBrush(QColor(255, 255, 255, dark ? 60 : 130));
    p.drawEllipse(centre - QPointF(lens * 0.35, lens * 0.38), lens * 0.28, lens * 0.2);
}

}  // namespace velkor
