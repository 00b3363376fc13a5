// Drawing the traces and the overlays cut to the plot, for an SVG drawing: its painter records a
// clip but does not apply it, so Qt Charts' own clipping of a series is lost there.

#include <QPainterPath>

#include "chart/Chart2DImpl.h"
#include "chart/PlotClip.h"

namespace velkor {

namespace {

// Above the grid and the axes, below the overlays, the markers and the labels, as the series are.
constexpr double TraceZ = 500;

PlotRect plotRect(const QRectF& rect) {
    return {rect.left(), rect.top(), rect.right(), rect.bottom()};
}

QPainterPath pathOf(const std::vector<Polyline>& pieces) {
    QPainterPath path;
    for (const Polyline& piece : pieces) {
        path.moveTo(piece.front().x, piece.front().y);
        for (std::size_t i = 1; i < piece.size(); ++i) {
            path.lineTo(piece[i].x, piece[i].y);
        }
    }
    return path;
}

}  // namespace

Chart2D::Impl::CutToPlot::CutToPlot(Impl& d) {
    const PlotRect plot = plotRect(d.chart->plotArea());
    for (std::size_t g = 0; g < d.groups.size(); ++g) {
        QLineSeries* series = d.groups[g].series;
        if (series == nullptr || !series->isVisible() || series->count() == 0) {
            continue;
        }
        Polyline line;
        QList<QPointF> points = series->points();
        line.reserve(std::size_t(points.size()));
        for (const QPointF& value : points) {
            const QPointF at = d.chart->mapToPosition(value, series);
            line.push_back({at.x(), at.y()});
        }
        // The series keeps its place in the legend, drawn as it is; its line is the path's.
        auto trace = std::make_unique<QGraphicsPathItem>(pathOf(clipPolyline(line, plot)), d.chart);
        trace->setPen(series->pen());
        trace->setZValue(TraceZ + double(g));
        m_traces.push_back(std::move(trace));
        series->clear();
        m_emptied.push_back({series, std::move(points)});
    }
    if (d.overlayClip == nullptr) {
        return;
    }
    const PlotRect clip = plotRect(d.overlayClip->rect());
    for (const auto& overlay : d.overlays) {
        if (!overlay) {
            continue;
        }
        for (QGraphicsPathItem* path : overlay->paths) {
            std::vector<Polyline> pieces;
            for (const QPolygonF& polygon : path->path().toSubpathPolygons()) {
                Polyline line;
                for (const QPointF& at : polygon) {
                    line.push_back({at.x(), at.y()});
                }
                for (Polyline& piece : clipPolyline(line, clip)) {
                    pieces.push_back(std::move(piece));
                }
            }
            m_overlayPaths.emplace_back(path, path->path());
            path->setPath(pathOf(pieces));
        }
    }
}

Chart2D::Impl::CutToPlot::~CutToPlot() {
    for (auto& [path, whole] : m_overlayPaths) {
        path->setPath(whole);
    }
    m_traces.clear();
    for (Emptied& emptied : m_emptied) {
        emptied.series->replace(emptied.points);
    }
}

}  // namespace velkor
