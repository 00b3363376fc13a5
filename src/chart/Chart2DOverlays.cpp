#include <QFontMetricsF>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "chart/Chart2DImpl.h"

namespace velkor {

namespace {

// The gaps around the level labels right of the plot.
constexpr double LevelLabelGap = 8;
constexpr double Y2LabelGap = 10;
// Above the series and the grid, below nothing.
constexpr double OverlayZ = 1000;
// The shift ticks: short, in a purple apart from the traces and both markers.
const QColor TickColour(0x7B, 0x2C, 0xBF);
constexpr double TickWidth = 2;
constexpr double TickLength = 9;
// The wheelspin bands: a translucent orange, above the plot's background and below the grid and
// the series (Qt Charts draws the plot area at 0, the grid at 2 and the series at 4).
const QColor BandColour(0xFF, 0x8C, 0x00, 60);
constexpr double BandZ = 1.5;

}  // namespace

void Chart2D::Impl::createOverlays() {
    marker = new QGraphicsLineItem(chart);
    marker->setZValue(OverlayZ);
    marker->hide();
    bMarker = new QGraphicsLineItem(chart);
    bMarker->setZValue(OverlayZ);
    bMarker->hide();
    ticks = new QGraphicsPathItem(chart);
    ticks->setZValue(OverlayZ);
    ticks->setPen(QPen(TickColour, TickWidth, Qt::SolidLine, Qt::FlatCap));
    bands = new QGraphicsPathItem(chart);
    bands->setZValue(BandZ);
    bands->setPen(Qt::NoPen);
    bands->setBrush(BandColour);
    for (auto& item : labels) {
        item = new QGraphicsSimpleTextItem(chart);
        item->setZValue(OverlayZ);
        item->hide();
    }
}

// With the right-hand axis hidden, the chart keeps room right of the plot for the level labels
// and, beyond them, the on/off trace's name where that axis's title would stand. Above the plot
// it keeps room for the overlays' legend.
void Chart2D::Impl::updateRightRoom() {
    QMargins margins = BaseMargins;
    margins.setTop(margins.top() + int(std::ceil(legendHeight)));
    if (!axis(Axis::Y2)->isVisible()) {
        const QFontMetricsF metrics(labels[0]->font());
        const double levels =
            std::max(labels[0]->boundingRect().width(), labels[1]->boundingRect().width());
        margins.setRight(margins.right() +
                         int(std::ceil(LevelLabelGap + levels + Y2LabelGap + metrics.height())));
    }
    if (chart->margins() != margins) {
        chart->setMargins(margins);
    }
}

void Chart2D::Impl::placeMarker() {
    placeLine(marker, markerTime);
    placeLine(bMarker, bMarkerTime);
    placeTicks();
    placeBands();
}

void Chart2D::Impl::placeBands() {
    const QValueAxis* time = axis(Axis::X);
    const double span = time->max() - time->min();
    const QRectF plot = chart->plotArea();
    QPainterPath path;
    for (const auto& [from, to] : bandSpans) {
        const double left = std::max(from, time->min());
        const double right = std::min(to, time->max());
        if (span > 0 && left < right) {
            path.addRect(QRectF(plot.left() + (left - time->min()) / span * plot.width(),
                                plot.top(), (right - left) / span * plot.width(), plot.height()));
        }
    }
    bands->setPath(path);
}

void Chart2D::setBands(std::vector<std::pair<double, double>> spans) {
    m_impl->bandSpans = std::move(spans);
    m_impl->placeBands();
}

std::size_t Chart2D::bandCount() const {
    return m_impl->bandSpans.size();
}

void Chart2D::Impl::placeTicks() {
    const QValueAxis* time = axis(Axis::X);
    const double span = time->max() - time->min();
    const QRectF plot = chart->plotArea();
    QPainterPath path;
    for (const double at : tickTimes) {
        if (span > 0 && at >= time->min() && at <= time->max()) {
            const double x = plot.left() + (at - time->min()) / span * plot.width();
            path.moveTo(x, plot.bottom());
            path.lineTo(x, plot.bottom() - TickLength);
        }
    }
    ticks->setPath(path);
}

void Chart2D::setTicks(std::vector<double> times) {
    m_impl->tickTimes = std::move(times);
    m_impl->placeTicks();
}

std::size_t Chart2D::tickCount() const {
    return m_impl->tickTimes.size();
}

void Chart2D::Impl::placeLine(QGraphicsLineItem* line, double at) {
    const QValueAxis* time = axis(Axis::X);
    const double span = time->max() - time->min();
    if (std::isnan(at) || at < time->min() || at > time->max() || !(span > 0)) {
        line->hide();
        return;
    }
    const QRectF plot = chart->plotArea();
    const double x = plot.left() + (at - time->min()) / span * plot.width();
    line->setLine(x, plot.top(), x, plot.bottom());
    line->show();
}

// Labels 1 and 2 stand just right of the plot at the heights of 0 and 1 on a 0-to-2 scale: the
// plot's bottom and its vertical centre. Label 3 is turned to read upwards, as the right-hand
// axis's title does, beyond them and centred on the plot's height.
void Chart2D::Impl::placeLabels() {
    const QRectF plot = chart->plotArea();
    const std::array<double, 2> heights{plot.bottom(), plot.center().y()};
    double levels = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        const QRectF box = labels[i]->boundingRect();
        labels[i]->setPos(plot.right() + LevelLabelGap, heights[i] - box.height() / 2);
        levels = std::max(levels, box.width());
    }
    QGraphicsSimpleTextItem* name = labels[2];
    const QRectF box = name->boundingRect();
    const QFontMetricsF metrics(name->font());
    const QPointF centre(plot.right() + LevelLabelGap + levels + Y2LabelGap + metrics.height() / 2,
                         plot.center().y());
    name->setTransformOriginPoint(box.center());
    name->setRotation(-90);
    name->setPos(centre - box.center());
}

void Chart2D::setMarker(double time) {
    m_impl->markerTime = time;
    m_impl->placeMarker();
}

double Chart2D::marker() const {
    return m_impl->markerTime;
}

void Chart2D::setLabelShown(int index, bool shown) {
    if (QGraphicsSimpleTextItem* item = m_impl->label(index)) {
        item->setVisible(shown);
    }
}

bool Chart2D::labelShown(int index) const {
    const QGraphicsSimpleTextItem* item = m_impl->label(index);
    return item && item->isVisible();
}

void Chart2D::setLabelText(int index, const QString& text) {
    if (QGraphicsSimpleTextItem* item = m_impl->label(index)) {
        item->setText(text);
        m_impl->updateRightRoom();
        m_impl->placeLabels();
    }
}

QString Chart2D::labelText(int index) const {
    const QGraphicsSimpleTextItem* item = m_impl->label(index);
    return item ? item->text() : QString();
}

QPointF Chart2D::labelPosition(int index) const {
    const QGraphicsSimpleTextItem* item = m_impl->label(index);
    if (!item) {
        return {};
    }
    m_impl->settle();
    const QRectF box = item->boundingRect();
    const QPointF anchor = index == 3 ? box.center() : QPointF(box.left(), box.center().y());
    return m_impl->toWidget(this, item->mapToScene(anchor));
}

}  // namespace velkor
