#include "live/GaugeWidget.h"

#include <QEvent>
#include <QPainter>

namespace velkor {

void GaugeWidget::paintEvent(QPaintEvent* /*event*/) {
    if (m_face.isNull() || m_face.deviceIndependentSize().toSize() != size()) {
        const qreal ratio = devicePixelRatioF();
        m_face = QPixmap(size() * ratio);
        m_face.setDevicePixelRatio(ratio);
        m_face.fill(palette().color(QPalette::Window));  // opaque: nothing behind is drawn
        QPainter face(&m_face);
        face.setRenderHint(QPainter::Antialiasing);
        paintFace(face);
    }
    QPainter p(this);
    p.drawPixmap(0, 0, m_face);
    p.setRenderHint(QPainter::Antialiasing);
    paintReading(p);
}

void GaugeWidget::resizeEvent(QResizeEvent* event) {
    m_face = QPixmap();
    QWidget::resizeEvent(event);
}

void GaugeWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_face = QPixmap();
    }
    QWidget::changeEvent(event);
}

}  // namespace velkor
