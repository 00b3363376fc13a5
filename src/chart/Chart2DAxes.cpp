#include <algorithm>
#include <cmath>

#include "chart/Chart2DImpl.h"

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

}  // namespace

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

}  // namespace velkor
