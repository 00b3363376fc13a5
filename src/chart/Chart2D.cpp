#include "chart/Chart2D.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "chart/ChartTemplate.h"

namespace velkor {

TickStep tickStep(double span, int maxTicks) {
    span = std::abs(span);
    if (!(span > 0) || !std::isfinite(span)) {
        return {1, 0};
    }
    const double raw = span / std::max(1, maxTicks);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double interval = 10 * power;
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw * (1 - 1e-9)) {
            interval = factor * power;
            break;
        }
    }
    // Steps of 1, 2 or 5 times 10^k need max(0, -k) decimals.
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(interval) + 1e-9)));
    return {interval, decimals};
}

namespace {

// Label pixels between labelled ticks the axes aim for.
constexpr double TimeTickSpacing = 90;
constexpr double ValueTickSpacing = 42;
// Chart margins around the axes, and the gaps around the level labels right of the plot.
const QMargins BaseMargins(8, 6, 14, 4);
constexpr double LevelLabelGap = 8;
constexpr double Y2LabelGap = 10;
// Above the series and the grid, below nothing.
constexpr double OverlayZ = 1000;

QColor colour(const std::string& text) {
    return QColor(QString::fromLatin1(text.c_str()));
}

QFont styleFont(const ChartTemplate& style, double points, bool bold = false) {
    QFont result(QString::fromLatin1(style.fontFamily.c_str()));
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

QPen linePen(const std::string& text, double width) {
    return QPen(QBrush(colour(text)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

}  // namespace

struct Chart2D::Impl {
    struct Group {
        QLineSeries* series = nullptr;
        bool batch = false;
        bool pending = false;
        std::unique_ptr<Values> x;
        std::unique_ptr<Values> y;
    };

    QChart* chart = nullptr;
    QChartView* view = nullptr;
    std::array<QValueAxis*, 3> axes{};
    std::array<Group, 2> groups;
    QGraphicsLineItem* marker = nullptr;
    double markerTime = std::numeric_limits<double>::quiet_NaN();
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
    void placeMarker();
    void placeLabels();
};

void Chart2D::Impl::applyStyle() {
    const ChartTemplate& s = style;
    chart->setBackgroundBrush(colour(s.background));
    chart->setBackgroundPen(Qt::NoPen);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(colour(s.plotBackground));
    chart->setPlotAreaBackgroundPen(linePen(s.axisLineColour, s.axisLineWidth));
    chart->setPlotAreaBackgroundVisible(true);
    chart->setTitleFont(styleFont(s, s.headerSize, true));
    chart->setTitleBrush(colour(s.textColour));
    view->setBackgroundBrush(colour(s.background));

    QLegend* legend = chart->legend();
    legend->setFont(styleFont(s, s.legendSize));
    legend->setLabelColor(colour(s.textColour));

    const std::array<std::string, 3> titleColours{s.textColour, s.trace1Colour, s.trace2Colour};
    for (std::size_t i = 0; i < axes.size(); ++i) {
        QValueAxis* a = axes[i];
        a->setLinePen(linePen(s.axisLineColour, s.axisLineWidth));
        a->setGridLinePen(linePen(s.gridColour, s.gridWidth));
        a->setMinorGridLinePen(linePen(s.minorGridColour, s.gridWidth));
        a->setLabelsColor(colour(s.textColour));
        a->setLabelsFont(styleFont(s, s.tickSize));
        a->setTitleFont(styleFont(s, s.axisTitleSize, true));
        a->setTitleBrush(colour(titleColours[i]));
    }
    groups[0].series->setPen(linePen(s.trace1Colour, s.trace1Width));
    groups[1].series->setPen(linePen(s.trace2Colour, s.trace2Width));
    marker->setPen(QPen(QBrush(colour(s.markerColour)), s.markerWidth));
    for (QGraphicsSimpleTextItem* item : labels) {
        item->setFont(styleFont(s, s.labelSize, true));
        item->setBrush(colour(s.labelColour));
    }
    updateRightRoom();
    if (!frozen) {
        refreshOverlays();
    }
}

void Chart2D::Impl::refreshOverlays() {
    settle();
    updateTicks();
    placeMarker();
    placeLabels();
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

void Chart2D::Impl::updateTicks() {
    for (std::size_t i = 0; i < axes.size(); ++i) {
        fitTicks(i, axes[i]->min(), axes[i]->max());
    }
}

void Chart2D::Impl::fitTicks(std::size_t index, double minimum, double maximum) {
    const QRectF plot = chart->plotArea();
    QValueAxis* a = axes[index];
    const double pixels = index == 0 ? plot.width() : plot.height();
    const double spacing = index == 0 ? TimeTickSpacing : ValueTickSpacing;
    const TickStep step = tickStep(maximum - minimum, std::max(2, int(pixels / spacing)));
    const QString format = QStringLiteral("%.%1f").arg(step.decimals);
    if (a->tickInterval() != step.interval) {
        a->setTickInterval(step.interval);
    }
    if (a->labelFormat() != format) {
        a->setLabelFormat(format);
    }
}

// With the right-hand axis hidden, the chart keeps room right of the plot for the level labels
// and, beyond them, the on/off trace's name where that axis's title would stand.
void Chart2D::Impl::updateRightRoom() {
    QMargins margins = BaseMargins;
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
    const QValueAxis* time = axis(Axis::X);
    const double span = time->max() - time->min();
    if (std::isnan(markerTime) || markerTime < time->min() || markerTime > time->max() ||
        !(span > 0)) {
        marker->hide();
        return;
    }
    const QRectF plot = chart->plotArea();
    const double x = plot.left() + (markerTime - time->min()) / span * plot.width();
    marker->setLine(x, plot.top(), x, plot.bottom());
    marker->show();
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

Chart2D::Chart2D(QWidget* parent) : QWidget(parent), m_impl(std::make_unique<Impl>()) {
    Impl& d = *m_impl;
    d.chart = new QChart;
    d.chart->setMargins(BaseMargins);
    d.chart->legend()->setAlignment(Qt::AlignTop);
    d.chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    d.view = new QChartView(d.chart, this);
    d.view->setFrameShape(QFrame::NoFrame);
    d.view->setRenderHint(QPainter::Antialiasing);
    d.view->viewport()->installEventFilter(this);

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

    d.marker = new QGraphicsLineItem(d.chart);
    d.marker->setZValue(OverlayZ);
    d.marker->hide();
    for (auto& item : d.labels) {
        item = new QGraphicsSimpleTextItem(d.chart);
        item->setZValue(OverlayZ);
        item->hide();
    }
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
    });
    for (QValueAxis* a : d.axes) {
        connect(a, &QValueAxis::rangeChanged, this, [this] {
            if (m_impl->frozen) {
                return;
            }
            m_impl->updateTicks();
            m_impl->placeMarker();
        });
    }
    d.applyStyle();
}

Chart2D::~Chart2D() = default;

bool Chart2D::loadTemplate(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return false;
    }
    const auto parsed = parseChartTemplate(std::string(bytes.constData(), size_t(bytes.size())));
    if (!parsed) {
        return false;
    }
    Impl& d = *m_impl;
    d.style = *parsed;
    // The template's design state: the time axis title and the labels' texts, all labels hidden.
    d.axis(Axis::X)->setTitleText(QString::fromLatin1(d.style.timeAxisTitle.c_str()));
    d.labels[0]->setText(QString::fromLatin1(d.style.labelOff.c_str()));
    d.labels[1]->setText(QString::fromLatin1(d.style.labelOn.c_str()));
    d.labels[2]->setText(QString::fromLatin1(d.style.labelY2Axis.c_str()));
    for (QGraphicsSimpleTextItem* item : d.labels) {
        item->hide();
    }
    d.applyStyle();
    return true;
}

void Chart2D::setHeaderText(const QString& text) {
    m_impl->chart->setTitle(text);
}

void Chart2D::setAxisRange(Axis axis, double minimum, double maximum) {
    m_impl->fitTicks(static_cast<std::size_t>(axis), minimum, maximum);
    m_impl->axis(axis)->setRange(minimum, maximum);
}

std::pair<double, double> Chart2D::axisRange(Axis axis) const {
    const QValueAxis* a = m_impl->axis(axis);
    return {a->min(), a->max()};
}

void Chart2D::setAxisTitle(Axis axis, const QString& title) {
    m_impl->axis(axis)->setTitleText(title);
}

QString Chart2D::axisTitle(Axis axis) const {
    return m_impl->axis(axis)->titleText();
}

void Chart2D::setAxisShown(Axis axis, bool shown) {
    m_impl->axis(axis)->setVisible(shown);
    if (axis == Axis::Y2) {
        m_impl->axis(axis)->setGridLineVisible(false);
        m_impl->axis(axis)->setMinorGridLineVisible(false);
    }
    m_impl->updateRightRoom();
}

bool Chart2D::axisShown(Axis axis) const {
    return m_impl->axis(axis)->isVisible();
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

QRectF Chart2D::plotArea() const {
    m_impl->settle();
    const QRectF scene = m_impl->chart->mapRectToScene(m_impl->chart->plotArea());
    return QRectF(m_impl->toWidget(this, scene.topLeft()),
                  m_impl->toWidget(this, scene.bottomRight()));
}

std::optional<double> Chart2D::timeAt(const QPointF& pixel) const {
    if (!plotArea().contains(pixel)) {
        return std::nullopt;
    }
    const Impl& d = *m_impl;
    const QPointF position = d.chart->mapFromScene(d.toScene(this, pixel));
    return d.chart->mapToValue(position, d.groups[0].series).x();
}

QPointF Chart2D::pixelOf(double time, double value, Axis valueAxis) const {
    const Impl& d = *m_impl;
    d.settle();
    QLineSeries* series = d.groups[valueAxis == Axis::Y2 ? 1 : 0].series;
    const QPointF position = d.chart->mapToPosition(QPointF(time, value), series);
    return d.toWidget(this, d.chart->mapToScene(position));
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
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    d.chart->scene()->render(&painter, target, d.chart->mapRectToScene(d.chart->rect()),
                             Qt::IgnoreAspectRatio);
    painter.restore();
    if (relayout) {
        d.chart->resize(shown);
        d.settle();
    }
}

void Chart2D::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_impl->view->setGeometry(rect());
}

bool Chart2D::eventFilter(QObject* watched, QEvent* event) {
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
