#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "chart/Chart2DImpl.h"

namespace velkor {

namespace {

// The second marker: dashed, in an orange that stays apart from the traces and the marker.
const QColor BMarkerColour(0xC2, 0x6A, 0x00);
constexpr double BMarkerWidth = 1.5;
// Overlays are dashed in their trace's colour, a little lighter, each with its own dashes.
constexpr int OverlayAlpha = 190;
constexpr double OverlayWidth = 1.0;
const std::array<Qt::PenStyle, Chart2D::MaxOverlays> OverlayDashes{Qt::DashLine, Qt::DotLine,
                                                                   Qt::DashDotLine};
// Above the traces, below the markers and labels.
constexpr double OverlayPathZ = 900;
// Eighths of a degree in one wheel notch.
constexpr double NotchDelta = 120;

}  // namespace

void Chart2D::Impl::styleOverlays() {
    QPen pen(BMarkerColour, BMarkerWidth, Qt::DashLine);
    bMarker->setPen(pen);
    const std::array<QColor, 2> colours{QColor(QString::fromLatin1(style.trace1Colour.c_str())),
                                        QColor(QString::fromLatin1(style.trace2Colour.c_str()))};
    for (std::size_t i = 0; i < overlays.size(); ++i) {
        if (!overlays[i]) {
            continue;
        }
        for (std::size_t g = 0; g < 2; ++g) {
            QColor c = colours[g];
            c.setAlpha(OverlayAlpha);
            QPen line(c, OverlayWidth, OverlayDashes[i], Qt::FlatCap, Qt::BevelJoin);
            overlays[i]->legend[g]->setPen(line);
            // On screen a one-pixel cosmetic dash is drawn many times faster than a scaled one;
            // a page or a larger picture gets the scaled pen (setOverlaysCosmetic).
            line.setCosmetic(overlaysCosmetic);
            overlays[i]->paths[g]->setPen(line);
        }
    }
}

void Chart2D::Impl::setOverlaysCosmetic(bool cosmetic) {
    if (overlaysCosmetic != cosmetic) {
        overlaysCosmetic = cosmetic;
        styleOverlays();
    }
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

void Chart2D::setOverlay(int index, const QString& name1, const QString& name2, const Values& x,
                         const Values& y1, const Values& y2) {
    Impl& d = *m_impl;
    if (index < 0 || index >= MaxOverlays) {
        return;
    }
    if (!d.overlayClip) {
        // The paths' parent clips them to the plot; it draws nothing itself.
        d.overlayClip = new QGraphicsRectItem(d.chart);
        d.overlayClip->setPen(Qt::NoPen);
        d.overlayClip->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
        d.overlayClip->setZValue(OverlayPathZ);
    }
    auto& overlay = d.overlays[std::size_t(index)];
    const bool made = !overlay;
    if (made) {
        overlay = std::make_unique<Impl::Overlay>();
        for (std::size_t g = 0; g < 2; ++g) {
            overlay->legend[g] = new QLineSeries(d.chart);
            d.chart->addSeries(overlay->legend[g]);
            overlay->legend[g]->attachAxis(d.axis(Axis::X));
            overlay->legend[g]->attachAxis(d.axis(g == 0 ? Axis::Y : Axis::Y2));
            overlay->paths[g] = new QGraphicsPathItem(d.overlayClip);
        }
    }
    overlay->x = x;
    overlay->y1 = y1;
    overlay->y2 = y2;
    // The legend is laid out again only when a name changes.
    const std::array<QString, 2> names{name1, name2};
    for (std::size_t g = 0; g < 2; ++g) {
        if (overlay->legend[g]->name() != names[g]) {
            overlay->legend[g]->setName(names[g]);
        }
    }
    d.overlaysShown = std::max(d.overlaysShown, index + 1);
    if (made) {
        d.styleOverlays();
    }
    d.drawOverlays(index);
}

void Chart2D::Impl::drawOverlays(int only) {
    if (!overlayClip) {
        return;
    }
    const QRectF plot = chart->plotArea();
    overlayClip->setRect(plot);
    const QValueAxis* time = axis(Axis::X);
    const double span = time->max() - time->min();
    for (std::size_t i = 0; i < overlays.size(); ++i) {
        const auto& overlay = overlays[i];
        if (!overlay || (only >= 0 && std::size_t(only) != i)) {
            continue;
        }
        // Only the samples in the window, and one beyond each end so that the lines run to the
        // plot's edges: the path then costs what is on show. The times rise sample by sample,
        // as the log file reader leaves them.
        const auto begin = overlay->x.begin();
        const auto end = overlay->x.end();
        auto first = std::lower_bound(begin, end, float(time->min()));
        auto last = std::upper_bound(first, end, float(time->max()));
        first = first == begin ? begin : first - 1;
        last = last == end ? end : last + 1;
        for (std::size_t g = 0; g < 2; ++g) {
            const QValueAxis* value = axis(g == 0 ? Axis::Y : Axis::Y2);
            const double height = value->max() - value->min();
            const Values& ys = g == 0 ? overlay->y1 : overlay->y2;
            QPainterPath path;
            bool open = false;
            for (auto at = first; at != last && span > 0 && height > 0; ++at) {
                const double v = ys[std::size_t(at - begin)];
                if (!std::isfinite(v) || !std::isfinite(*at)) {
                    open = false;  // a damaged sample breaks the line
                    continue;
                }
                const QPointF point(plot.left() + (*at - time->min()) / span * plot.width(),
                                    plot.bottom() - (v - value->min()) / height * plot.height());
                if (open) {
                    path.lineTo(point);
                } else {
                    path.moveTo(point);
                    open = true;
                }
            }
            overlay->paths[g]->setPath(path);
        }
    }
}

void Chart2D::clearOverlays() {
    Impl& d = *m_impl;
    for (auto& overlay : d.overlays) {
        if (!overlay) {
            continue;
        }
        for (std::size_t g = 0; g < 2; ++g) {
            d.chart->removeSeries(overlay->legend[g]);
            delete overlay->legend[g];
            delete overlay->paths[g];
        }
        overlay.reset();
    }
    d.overlaysShown = 0;
}

int Chart2D::overlayCount() const {
    return m_impl->overlaysShown;
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
