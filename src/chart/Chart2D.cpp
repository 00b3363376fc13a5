#include "chart/Chart2D.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <cmath>

#include "chart/Chart2DImpl.h"

namespace velkor {

void Chart2D::Impl::refreshOverlays() {
    settle();
    updateTicks();
    placeMarker();
    placeLabels();
    drawOverlays();
    layoutOverlayLegend();
}

void Chart2D::Impl::applyValues(Group& g) {
    g.pending = false;
    if (!g.x || !g.y) {
        return;
    }
    QList<QPointF> points;
    points.reserve(Points);
    for (std::size_t i = 0; i < static_cast<std::size_t>(Points); ++i) {
        points.append(QPointF((*g.x)[i], (*g.y)[i]));
    }
    g.series->replace(points);
}

Chart2D::Chart2D(QWidget* parent) : QWidget(parent), m_impl(std::make_unique<Impl>()) {
    Impl& d = *m_impl;
    d.chart = new QChart;
    d.chart->setMargins(Impl::BaseMargins);
    d.chart->legend()->setAlignment(Qt::AlignTop);
    d.chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    d.view = new QChartView(d.chart, this);
    d.view->setFrameShape(QFrame::NoFrame);
    d.view->setRenderHint(QPainter::Antialiasing);
    d.view->viewport()->installEventFilter(this);
    // The chart itself takes the focus (a click or Tab), so its keys walk the marker rather than
    // scroll the view inside it.
    d.view->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);

    const std::array<Qt::Alignment, 3> sides{Qt::AlignBottom, Qt::AlignLeft, Qt::AlignRight};
    const std::array<double, 3> maxima{300, 100, 100};
    for (std::size_t i = 0; i < d.axes.size(); ++i) {
        auto* a = new QValueAxis(d.chart);
        a->setTickType(QValueAxis::TicksDynamic);
        a->setTickAnchor(0);
        a->setMinorTickCount(1);
        a->setRange(0, maxima[i]);
        d.chart->addAxis(a, sides[i]);
        d.axes[i] = a;
    }
    // The right-hand axis shares the left one's horizontal grid lines rather than adding its own.
    d.axis(Axis::Y2)->setGridLineVisible(false);
    d.axis(Axis::Y2)->setMinorGridLineVisible(false);
    d.axis(Axis::X)->setTitleText(QString::fromLatin1(d.style.timeAxisTitle.c_str()));

    for (std::size_t i = 0; i < d.groups.size(); ++i) {
        auto* series = new QLineSeries(d.chart);
        series->setName(QStringLiteral("Trace %1").arg(i + 1));
        d.chart->addSeries(series);
        series->attachAxis(d.axis(Axis::X));
        series->attachAxis(d.axis(i == 0 ? Axis::Y : Axis::Y2));
        d.groups[i].series = series;
    }

    d.createOverlays();
    d.labels[0]->setText(QString::fromLatin1(d.style.labelOff.c_str()));
    d.labels[1]->setText(QString::fromLatin1(d.style.labelOn.c_str()));
    d.labels[2]->setText(QString::fromLatin1(d.style.labelY2Axis.c_str()));

    connect(d.chart, &QChart::plotAreaChanged, this, [this] {
        if (m_impl->frozen) {
            return;
        }
        m_impl->updateTicks();
        m_impl->placeMarker();
        m_impl->placeLabels();
        m_impl->drawOverlays();
        // The legend's room is a margin of the chart: changed from inside the layout under way,
        // that layout would leave the time axis's title out. It is changed once it is done.
        QMetaObject::invokeMethod(
            this, [this] { m_impl->layoutOverlayLegend(); }, Qt::QueuedConnection);
    });
    for (QValueAxis* a : d.axes) {
        connect(a, &QValueAxis::rangeChanged, this, [this] {
            if (m_impl->frozen) {
                return;
            }
            m_impl->updateTicks();
            m_impl->placeMarker();
            m_impl->drawOverlays();
        });
    }
    d.applyStyle();
}

Chart2D::~Chart2D() = default;

void Chart2D::setHeaderText(const QString& text) {
    m_impl->chart->setTitle(text);
}

void Chart2D::setFrozen(bool frozen) {
    Impl& d = *m_impl;
    if (d.frozen == frozen) {
        return;
    }
    d.frozen = frozen;
    if (frozen) {
        return;
    }
    for (Impl::Group& g : d.groups) {
        if (g.pending && !g.batch) {
            d.applyValues(g);
        }
    }
    d.refreshOverlays();
}

void Chart2D::setBatch(int group, bool on) {
    Impl::Group* g = m_impl->group(group);
    if (!g) {
        return;
    }
    g->batch = on;
    if (!on && g->pending && !m_impl->frozen) {
        m_impl->applyValues(*g);
    }
}

void Chart2D::setXValues(int group, const Values& values) {
    Impl::Group* g = m_impl->group(group);
    if (!g) {
        return;
    }
    g->x = std::make_unique<Values>(values);
    g->pending = true;
    if (!g->batch && !m_impl->frozen) {
        m_impl->applyValues(*g);
    }
}

void Chart2D::setYValues(int group, const Values& values) {
    Impl::Group* g = m_impl->group(group);
    if (!g) {
        return;
    }
    g->y = std::make_unique<Values>(values);
    g->pending = true;
    if (!g->batch && !m_impl->frozen) {
        m_impl->applyValues(*g);
    }
}

QList<QPointF> Chart2D::points(int group) const {
    const Impl::Group* g = m_impl->group(group);
    return g ? g->series->points() : QList<QPointF>();
}

void Chart2D::setSeriesLabel(int group, const QString& text) {
    if (Impl::Group* g = m_impl->group(group)) {
        g->series->setName(text);
    }
}

QString Chart2D::seriesLabel(int group) const {
    const Impl::Group* g = m_impl->group(group);
    return g ? g->series->name() : QString();
}

void Chart2D::renderTo(QPainter& painter, const QRectF& target) {
    Impl& d = *m_impl;
    d.settle();
    const QSizeF shown = d.chart->size();
    if (target.isEmpty() || shown.isEmpty()) {
        return;
    }
    // Lay the chart out at the target's proportions for the moment of drawing, so that a page
    // of another shape gets the chart as shown, filling it, without stretched lettering.
    const double aspect = target.width() / target.height();
    QSizeF layout = shown;
    if (aspect > shown.width() / shown.height()) {
        layout.setWidth(shown.height() * aspect);
    } else {
        layout.setHeight(shown.width() / aspect);
    }
    const bool relayout = std::abs(layout.width() - shown.width()) > 0.5 ||
                          std::abs(layout.height() - shown.height()) > 0.5;
    if (relayout) {
        d.chart->resize(layout);
        d.settle();
        d.layoutOverlayLegend();
        d.settle();
    }
    // Drawn larger than on screen (a page, a picture at twice the size), the overlays' dashes
    // scale with everything else.
    const double scale = target.width() / layout.width();
    d.setOverlaysCosmetic(std::abs(scale - 1) < 0.01);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // An SVG drawing does not apply the plot's clip: the lines are cut to it beforehand.
    const QPaintEngine* engine = painter.paintEngine();
    std::optional<Impl::CutToPlot> cut;
    if (engine != nullptr && engine->type() == QPaintEngine::SVG) {
        cut.emplace(d);
    }
    d.chart->scene()->render(&painter, target, d.chart->mapRectToScene(d.chart->rect()),
                             Qt::IgnoreAspectRatio);
    cut.reset();
    painter.restore();
    d.setOverlaysCosmetic(true);
    if (relayout) {
        d.chart->resize(shown);
        d.settle();
        d.layoutOverlayLegend();
        d.settle();
    }
}

void Chart2D::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_impl->view->setGeometry(rect());
}

void Chart2D::keyPressEvent(QKeyEvent* event) {
    // Home alone stays Show Whole Log, the window's own shortcut: the ends take Ctrl.
    struct Binding {
        int key;
        Qt::KeyboardModifiers modifiers;
        MarkerKey markerKey;
    };
    static const std::array<Binding, 6> bindings{{
        {Qt::Key_Left, Qt::NoModifier, MarkerKey::PreviousSample},
        {Qt::Key_Right, Qt::NoModifier, MarkerKey::NextSample},
        {Qt::Key_PageUp, Qt::NoModifier, MarkerKey::PageBack},
        {Qt::Key_PageDown, Qt::NoModifier, MarkerKey::PageForward},
        {Qt::Key_Home, Qt::ControlModifier, MarkerKey::FirstSample},
        {Qt::Key_End, Qt::ControlModifier, MarkerKey::LastSample},
    }};
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    for (const Binding& b : bindings) {
        if (event->key() == b.key && modifiers == b.modifiers) {
            emit markerKeyPressed(b.markerKey);
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool Chart2D::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_impl->view->viewport() && m_impl->measureEvent(*this, event)) {
        return true;
    }
    if (watched == m_impl->view->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        int button = 0;
        switch (mouse->button()) {
            case Qt::LeftButton:
                button = 1;
                break;
            case Qt::RightButton:
                button = 2;
                break;
            case Qt::MiddleButton:
                button = 4;
                break;
            default:
                break;
        }
        if (button != 0) {
            emit mouseButton(button, mouse->position() + m_impl->viewportOffset(this));
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace velkor
