#pragma once
// The inside of Chart2D, shared by the files that implement it by concern: Chart2D.cpp (the
// widget, its data and drawing), Chart2DAxes.cpp (axes, ticks and coordinates),
// Chart2DOverlays.cpp (the marker line and the labels), Chart2DMeasure.cpp (the second marker,
// wheel and drag), Chart2DRuns.cpp (the overlaid runs and their legend) and Chart2DStyle.cpp
// (the template's look).

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QMargins>
#include <QValueAxis>
#include <array>
#include <limits>
#include <memory>
#include <vector>

#include "chart/Chart2D.h"
#include "chart/ChartTemplate.h"

namespace velkor {

struct Chart2D::Impl {
    struct Group {
        QLineSeries* series = nullptr;
        bool batch = false;
        bool pending = false;
        std::unique_ptr<Values> x;
        std::unique_ptr<Values> y;
    };

    // Chart margins around the axes; the right one grows for the labels (updateRightRoom).
    static inline const QMargins BaseMargins{8, 6, 14, 4};

    QChart* chart = nullptr;
    QChartView* view = nullptr;
    std::array<QValueAxis*, 3> axes{};
    std::array<Group, 2> groups;
    QGraphicsLineItem* marker = nullptr;
    double markerTime = std::numeric_limits<double>::quiet_NaN();
    QGraphicsLineItem* bMarker = nullptr;
    double bMarkerTime = std::numeric_limits<double>::quiet_NaN();
    // Short ticks up from the time axis at chosen times (the shifts of the run analysis).
    QGraphicsPathItem* ticks = nullptr;
    std::vector<double> tickTimes;
    void placeTicks();
    // Shaded spans of time (the wheelspin of the run analysis), behind the series.
    QGraphicsPathItem* bands = nullptr;
    std::vector<std::pair<double, double>> bandSpans;
    void placeBands();
    // Overlays are drawn by the chart's own path items, clipped to the plot, rather than as more
    // series: a dashed series costs Qt Charts many times a solid one. Their legend is the
    // chart's own too, above Qt's: a row for each, whose file name wraps rather than being cut.
    struct Overlay {
        Values x, y1, y2;
        std::array<QGraphicsPathItem*, 2> paths{};
        // The legend row (it owns the items below): a dashed and a dotted sample, each before
        // its trace's name, then the file's name.
        std::unique_ptr<QGraphicsRectItem> row;
        std::array<QGraphicsPathItem*, 2> samples{};
        std::array<QGraphicsSimpleTextItem*, 2> traceNames{};
        QGraphicsTextItem* file = nullptr;
        ~Overlay();
    };
    std::array<std::unique_ptr<Overlay>, MaxOverlays> overlays;
    QGraphicsRectItem* overlayClip = nullptr;
    bool overlaysCosmetic = true;
    void setOverlaysCosmetic(bool cosmetic);
    double legendHeight = 0;  // the overlays' legend rows, kept free above Qt's legend
    // Wraps the overlays' legend to the plot's width and makes room for it.
    void layoutOverlayLegend();
    double dragX = 0;  // where a middle-button drag was last
    std::array<QGraphicsSimpleTextItem*, 3> labels{};
    ChartTemplate style;

    QValueAxis* axis(Axis which) const { return axes[static_cast<std::size_t>(which)]; }
    Group* group(int number) {
        return number == 1 || number == 2 ? &groups[static_cast<std::size_t>(number - 1)] : nullptr;
    }
    const Group* group(int number) const { return const_cast<Impl*>(this)->group(number); }
    QGraphicsSimpleTextItem* label(int index) const {
        return index >= 1 && index <= 3 ? labels[static_cast<std::size_t>(index - 1)] : nullptr;
    }

    // Lays the chart out now if a change is still waiting for the event loop to do it, so that
    // geometry read back right after a change is the geometry that will be drawn.
    void settle() const {
        for (QGraphicsLayout* layout : {chart->layout(), chart->legend()->layout()}) {
            if (layout && !layout->isActivated()) {
                layout->activate();
            }
        }
    }

    // Scene coordinates and the pixels of the owning widget, through the view's viewport.
    QPointF viewportOffset(const QWidget* owner) const {
        return QPointF(view->viewport()->mapTo(owner, QPoint()));
    }
    QPointF toWidget(const QWidget* owner, const QPointF& scene) const {
        return view->viewportTransform().map(scene) + viewportOffset(owner);
    }
    QPointF toScene(const QWidget* owner, const QPointF& pixel) const {
        return view->viewportTransform().inverted().map(pixel - viewportOffset(owner));
    }

    void applyStyle();
    void applyValues(Group& group);
    // Brings ticks, marker and labels up to date with the geometry.
    void refreshOverlays();

    // While frozen, values wait and geometry-dependent work is left for the thaw.
    bool frozen = false;
    void updateTicks();
    // Tick interval and label format for a range, set before the range itself so that a much
    // wider range never lays out thousands of labels at the old interval.
    void fitTicks(std::size_t index, double minimum, double maximum);
    void updateRightRoom();
    // The marker line and the three labels, hidden, above the series and the grid.
    void createOverlays();
    void placeMarker();
    // A vertical line at a time, hidden outside the time axis's range.
    void placeLine(QGraphicsLineItem* line, double time);
    void styleOverlays();
    void styleBMarker();
    // Redraws the overlays' paths (all, or only overlay `only`) for the axes' ranges and the
    // plot's place.
    void drawOverlays(int only = -1);
    // Routes wheel, middle-button drag and context menu events; true when one was taken.
    bool measureEvent(Chart2D& owner, QEvent* event);
    void placeLabels();

    // While it lives, the traces and the overlays are drawn already cut to the plot, for a
    // painter that keeps no clip (an SVG drawing); everything is put back as it was after.
    class CutToPlot {
    public:
        explicit CutToPlot(Impl& d);
        ~CutToPlot();
        CutToPlot(const CutToPlot&) = delete;
        CutToPlot& operator=(const CutToPlot&) = delete;

    private:
        struct Emptied {
            QLineSeries* series;
            QList<QPointF> points;
        };
        std::vector<Emptied> m_emptied;
        std::vector<std::unique_ptr<QGraphicsPathItem>> m_traces;
        std::vector<std::pair<QGraphicsPathItem*, QPainterPath>> m_overlayPaths;
    };
};

}  // namespace velkor
