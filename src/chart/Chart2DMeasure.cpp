#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "chart/Chart2DImpl.h"

namespace velkor {

namespace {

// The second marker: dashed, in an orange that stays apart from the traces and the marker.
// Black, dashed: apart from the traces, the marker and the overlays for every eye.
const QColor BMarkerColour(0x00, 0x00, 0x00);
constexpr double BMarkerWidth = 1.5;
// Eighths of a degree in one wheel notch.
constexpr double NotchDelta = 120;

}  // namespace

void Chart2D::Impl::styleBMarker() {
    bMarker->setPen(QPen(BMarkerColour, BMarkerWidth, Qt::DashLine));
}

void Chart2D::setBMarker(std::optional<double> time) {
    m_impl->bMarkerTime = time.value_or(std::numeric_limits<double>::quiet_NaN());
    m_impl->placeLine(m_impl->bMarker, m_impl->bMarkerTime);
}

std::optional<double> Chart2D::bMarker() const {
    if (std::isnan(m_impl->bMarkerTime)) {
        return std::nullopt;
    }
    return m_impl->bMarkerTime;
}

bool Chart2D::Impl::measureEvent(Chart2D& owner, QEvent* event) {
    switch (event->type()) {
        case QEvent::Wheel: {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            const double steps = wheel->angleDelta().y() / NotchDelta;
            if (steps != 0) {
                emit owner.wheelTurned(wheel->position() + viewportOffset(&owner), steps);
            }
            return true;
        }
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::MiddleButton) {
                dragX = mouse->position().x();
            }
            return false;
        }
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->buttons() & Qt::MiddleButton) == 0) {
                return false;
            }
            const double x = mouse->position().x();
            if (x != dragX) {
                emit owner.middleDragged(x - dragX);
                dragX = x;
            }
            return true;
        }
        case QEvent::ContextMenu: {
            const auto* menu = static_cast<QContextMenuEvent*>(event);
            emit owner.contextMenuWanted(QPointF(menu->pos()) + viewportOffset(&owner),
                                         menu->globalPos());
            return true;
        }
        default:
            return false;
    }
}

}  // namespace velkor
