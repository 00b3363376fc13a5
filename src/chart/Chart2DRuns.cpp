// The overlaid runs: each drawn in its slot's colour, trace 1 dashed and trace 2 dotted, and
// named in rows of their own above the chart's legend, where a long file name wraps.

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPen>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <cmath>

#include "chart/Chart2DImpl.h"
#include "chart/ChartOverlay.h"

namespace velkor {

namespace {

constexpr double OverlayWidth = 1.5;
const std::array<Qt::PenStyle, 2> TraceDashes{Qt::DashLine, Qt::DotLine};
// Above the traces, below the markers and labels.
constexpr double OverlayPathZ = 900;
// The legend rows: the length of a line sample, the gaps after it and after a trace's name, and
// the room between rows and below the last.
constexpr double SampleLength = 26;
constexpr double SampleGap = 5;
constexpr double NameGap = 14;
constexpr double RowGap = 2;
constexpr double LegendGap = 4;
// Narrower than this beside the trace names, a file name starts on a line of its own.
constexpr double NarrowestFileName = 160;
constexpr double SmallestChart = 200;

// Lets a long file name wrap after a '_', '-' or '.' (not the one before its ending) as it would
// after a space, rather than anywhere: a zero-width space after each.
constexpr QChar BreakHere(0x200B);
QString breakable(QString name) {
    const int ending = name.lastIndexOf('.');
    for (int at = name.size() - 1; at >= 0; --at) {
        if (name[at] == '_' || name[at] == '-' || (name[at] == '.' && at != ending)) {
            name.insert(at + 1, BreakHere);
        }
    }
    return name;
}

QColor slotColour(std::size_t slot) {
    return QColor(QString::fromLatin1(OverlayColours.at(slot)));
}

QPen overlayPenFor(std::size_t slot, std::size_t group, bool cosmetic) {
    QPen pen(slotColour(slot), OverlayWidth, TraceDashes.at(group), Qt::FlatCap, Qt::BevelJoin);
    // On screen a one-pixel cosmetic dash is drawn many times faster than a scaled one; a page
    // or a larger picture gets the scaled pen (setOverlaysCosmetic).
    pen.setCosmetic(cosmetic);
    return pen;
}

}  // namespace

Chart2D::Impl::Overlay::~Overlay() {
    for (QGraphicsPathItem* path : paths) {
        delete path;  // a child of the clip, which outlives the overlay
    }
}

void Chart2D::Impl::styleOverlays() {
    const QFont font = chart->legend()->font();
    for (std::size_t i = 0; i < overlays.size(); ++i) {
        Overlay* overlay = overlays[i].get();
        if (!overlay) {
            continue;
        }
        for (std::size_t g = 0; g < 2; ++g) {
            overlay->paths[g]->setPen(overlayPenFor(i, g, overlaysCosmetic));
            overlay->samples[g]->setPen(overlayPenFor(i, g, false));
            overlay->traceNames[g]->setFont(font);
            overlay->traceNames[g]->setBrush(slotColour(i));
        }
        QFont bold = font;
        bold.setBold(true);
        overlay->file->setFont(bold);
        overlay->file->setDefaultTextColor(slotColour(i));
    }
    layoutOverlayLegend();
}

void Chart2D::Impl::setOverlaysCosmetic(bool cosmetic) {
    if (overlaysCosmetic != cosmetic) {
        overlaysCosmetic = cosmetic;
        for (std::size_t i = 0; i < overlays.size(); ++i) {
            for (std::size_t g = 0; overlays[i] && g < 2; ++g) {
                overlays[i]->paths[g]->setPen(overlayPenFor(i, g, cosmetic));
            }
        }
    }
}

// One row for each overlay, from the plot's left edge across its width: the two samples and
// trace names, then the file's name, wrapped over as many lines as it needs.
void Chart2D::Impl::layoutOverlayLegend() {
    // Not while frozen, nor before the chart has its size on screen: rows wrapped to a chart a
    // few pixels wide would take a margin taller than the chart, and Qt Charts then leaves the
    // time axis's title out for good.
    if (frozen || chart->size().width() < SmallestChart) {
        return;
    }
    const QRectF plot = chart->plotArea();
    const double left = plot.width() > 0 ? plot.left() : BaseMargins.left();
    const double width =
        plot.width() > 0 ? plot.width() : chart->size().width() - left - BaseMargins.right();
    double y = BaseMargins.top();
    bool any = false;
    for (const auto& overlay : overlays) {
        if (!overlay) {
            continue;
        }
        any = true;
        const double line = QFontMetricsF(overlay->traceNames[0]->font()).height();
        overlay->row->setPos(left, y);
        double x = 0;
        for (std::size_t g = 0; g < 2; ++g) {
            QPainterPath sample;
            sample.moveTo(x, line / 2);
            sample.lineTo(x + SampleLength, line / 2);
            overlay->samples[g]->setPath(sample);
            x += SampleLength + SampleGap;
            overlay->traceNames[g]->setPos(x, 0);
            x += overlay->traceNames[g]->boundingRect().width() + NameGap;
        }
        QGraphicsTextItem* file = overlay->file;
        const bool ownLine = width - x < NarrowestFileName;
        file->setTextWidth(std::max(1.0, ownLine ? width : width - x));
        file->setPos(ownLine ? 0 : x, ownLine ? line : 0);
        const double height = std::max(line, file->pos().y() + file->boundingRect().height());
        overlay->row->setRect(0, 0, width, height);
        y += height + RowGap;
    }
    const double room = any ? y - BaseMargins.top() + LegendGap : 0;
    if (std::abs(room - legendHeight) > 0.5) {
        legendHeight = room;
        updateRightRoom();
    }
}

void Chart2D::setOverlay(int index, const QString& file, const QString& trace1,
                         const QString& trace2, const Values& x, const Values& y1,
                         const Values& y2) {
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
        overlay->row = std::make_unique<QGraphicsRectItem>(d.chart);
        overlay->row->setPen(Qt::NoPen);
        for (std::size_t g = 0; g < 2; ++g) {
            overlay->paths[g] = new QGraphicsPathItem(d.overlayClip);
            overlay->samples[g] = new QGraphicsPathItem(overlay->row.get());
            overlay->traceNames[g] = new QGraphicsSimpleTextItem(overlay->row.get());
        }
        overlay->file = new QGraphicsTextItem(overlay->row.get());
        overlay->file->document()->setDocumentMargin(0);
        QTextOption wrap = overlay->file->document()->defaultTextOption();
        // A file name without spaces or breaks still wraps, at any letter.
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        overlay->file->document()->setDefaultTextOption(wrap);
    }
    overlay->x = x;
    overlay->y1 = y1;
    overlay->y2 = y2;
    const std::array<QString, 2> names{trace1, trace2};
    const QString shown = breakable(file);
    bool renamed = made || overlay->file->toPlainText() != shown;
    for (std::size_t g = 0; g < 2; ++g) {
        renamed = renamed || overlay->traceNames[g]->text() != names[g];
        overlay->traceNames[g]->setText(names[g]);
    }
    if (overlay->file->toPlainText() != shown) {
        overlay->file->setPlainText(shown);
    }
    if (made) {
        d.styleOverlays();
    } else if (renamed) {
        d.layoutOverlayLegend();
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

void Chart2D::removeOverlay(int index) {
    if (index >= 0 && index < MaxOverlays) {
        m_impl->overlays[std::size_t(index)].reset();
        m_impl->layoutOverlayLegend();
    }
}

void Chart2D::clearOverlays() {
    for (auto& overlay : m_impl->overlays) {
        overlay.reset();
    }
    m_impl->layoutOverlayLegend();
}

int Chart2D::overlayCount() const {
    const auto& all = m_impl->overlays;
    return int(std::count_if(all.begin(), all.end(), [](const auto& o) { return o != nullptr; }));
}

QPen Chart2D::overlayPen(int index, int group) const {
    const Impl::Overlay* overlay =
        index >= 0 && index < MaxOverlays ? m_impl->overlays[std::size_t(index)].get() : nullptr;
    if (!overlay || (group != 1 && group != 2)) {
        return QPen(Qt::NoPen);
    }
    return overlay->paths[std::size_t(group - 1)]->pen();
}

QRectF Chart2D::overlayLegendArea(int index) const {
    const Impl::Overlay* overlay =
        index >= 0 && index < MaxOverlays ? m_impl->overlays[std::size_t(index)].get() : nullptr;
    if (!overlay) {
        return {};
    }
    m_impl->settle();
    const QRectF scene = overlay->row->mapRectToScene(overlay->row->rect());
    return QRectF(m_impl->toWidget(this, scene.topLeft()),
                  m_impl->toWidget(this, scene.bottomRight()));
}

QString Chart2D::overlayLegendText(int index) const {
    const Impl::Overlay* overlay =
        index >= 0 && index < MaxOverlays ? m_impl->overlays[std::size_t(index)].get() : nullptr;
    return overlay ? overlay->file->toPlainText().remove(BreakHere) : QString();
}

int Chart2D::overlayLegendLines(int index) const {
    const Impl::Overlay* overlay =
        index >= 0 && index < MaxOverlays ? m_impl->overlays[std::size_t(index)].get() : nullptr;
    if (!overlay) {
        return 0;
    }
    const double lines =
        overlay->file->boundingRect().height() / QFontMetricsF(overlay->file->font()).lineSpacing();
    return int(std::lround(lines)) + (overlay->file->pos().y() > 0 ? 1 : 0);
}

}  // namespace velkor
