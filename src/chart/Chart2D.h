#pragma once
// The chart window's plotting surface: two chart groups (trace 1 on the left axis "Y", trace 2 on
// the right axis "Y2") of 2700 points each against the time axis "X", a vertical marker line on
// the time axis, and three labels: "OFF" and " ON " just right of the plot at the heights of 0
// and 1 of a 0-to-2 right axis, and the name of an on/off trace near the plot's right edge. Its
// styling comes from the chart template file.

#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "chart/TimeWindow.h"

class QChart;
class QChartView;
class QPainter;

namespace velkor {

struct ChartTemplate;

class Chart2D : public QWidget {
    Q_OBJECT
public:
    enum class Axis { X, Y, Y2 };
    static constexpr int Points = 2700;
    using Values = std::array<float, Points>;

    explicit Chart2D(QWidget* parent = nullptr);
    ~Chart2D() override;

    // Loads the styling from a template file; false when it is missing, unreadable or not a
    // template (the chart then keeps its built-in look and shows no data until it is given
    // some). On success the time axis takes the template's title and the labels their design
    // texts, all hidden; data, ranges and the marker stay as they are.
    bool loadTemplate(const QString& path);

    void setHeaderText(const QString& text);

    // The visible range of an axis, exactly [minimum, maximum].
    void setAxisRange(Axis axis, double minimum, double maximum);
    std::pair<double, double> axisRange(Axis axis) const;
    void setAxisTitle(Axis axis, const QString& title);
    QString axisTitle(Axis axis) const;
    void setAxisShown(Axis axis, bool shown);
    bool axisShown(Axis axis) const;

    // A frozen chart takes every change but lays itself out and plots new values only when it
    // thaws: many changes in a row (a window being set up) then cost one layout.
    void setFrozen(bool frozen);

    // Chart groups 1 and 2. While a group is in batch mode, new X and Y values are held and the
    // chart is redrawn once when batch mode ends.
    void setBatch(int group, bool on);
    void setXValues(int group, const Values& values);
    void setYValues(int group, const Values& values);
    // The points a group plots now (after its batch ended).
    QList<QPointF> points(int group) const;
    void setSeriesLabel(int group, const QString& text);
    QString seriesLabel(int group) const;

    // The "X" marker line at a time value; drawn only while the time is inside the time axis's
    // visible range. NaN until a marker time has been set.
    void setMarker(double time);
    double marker() const;

    // The second marker, B: a dashed line of its own colour at a time, or none.
    void setBMarker(std::optional<double> time);
    std::optional<double> bMarker() const;

    // Short ticks up from the time axis at these times (none: an empty list).
    void setTicks(std::vector<double> times);
    std::size_t tickCount() const;

    // Translucent bands over the plot, behind the traces and the grid, from each span's first
    // time to its second (none: an empty list).
    void setBands(std::vector<std::pair<double, double>> spans);
    std::size_t bandCount() const;

    // Overlays 0 to 2: another run's two traces over groups 1 and 2, against their own times, in
    // the overlay's own colour (OverlayColours), trace 1 dashed and trace 2 dotted. Each is named
    // in a row above the chart's legend: its two trace names, then its file's name, wrapped over
    // as many lines as the plot's width needs.
    static constexpr int MaxOverlays = 3;
    void setOverlay(int index, const QString& file, const QString& trace1, const QString& trace2,
                    const Values& x, const Values& y1, const Values& y2);
    void removeOverlay(int index);
    void clearOverlays();
    int overlayCount() const;
    // The pen of an overlay's trace (group 1 or 2); no pen for an overlay not shown.
    QPen overlayPen(int index, int group) const;
    // An overlay's legend row: where it stands in the widget's pixels, the file name it shows and
    // the lines it takes.
    QRectF overlayLegendArea(int index) const;
    QString overlayLegendText(int index) const;
    int overlayLegendLines(int index) const;

    // Labels 1 ("OFF"), 2 (" ON ") and 3 (the on/off trace's name).
    void setLabelShown(int index, bool shown);
    bool labelShown(int index) const;
    void setLabelText(int index, const QString& text);
    QString labelText(int index) const;
    // Where a label stands, in the widget's pixels: for labels 1 and 2 the middle of the text's
    // left edge, for label 3 (drawn turned along the right edge) the middle of the text.
    QPointF labelPosition(int index) const;

    // The plot region in the widget's pixels.
    QRectF plotArea() const;
    // The time under a pixel of the widget; nothing outside the plot region.
    std::optional<double> timeAt(const QPointF& pixel) const;
    // The pixel of a data point (time, value of axis "Y"), for tests and the label placement.
    QPointF pixelOf(double time, double value, Axis valueAxis = Axis::Y) const;

    // Draws the chart as shown into any painter and rectangle: screen, printer, PDF or image.
    void renderTo(QPainter& painter, const QRectF& target);

signals:
    // A mouse button went down on the chart: 1 left, 2 right, 4 middle; the pixel in the widget.
    void mouseButton(int button, QPointF pixel);
    // The wheel turned over the chart: steps of one notch (fractions on fine wheels), positive
    // away from the person.
    void wheelTurned(QPointF pixel, double steps);
    // The pointer moved by `pixels` across while the middle button is held.
    void middleDragged(double pixels);
    // The context menu is asked for (right button or menu key) at a pixel of the widget.
    void contextMenuWanted(QPointF pixel, QPoint globalPosition);
    // A key that walks the marker went down while the chart has the focus.
    void markerKeyPressed(velkor::MarkerKey key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The spacing of an axis's labelled ticks: a 1, 2 or 5 times a power of ten that puts at most
// `maxTicks` intervals into `span`, and the decimals its labels need.
struct TickStep {
    double interval;
    int decimals;
};
TickStep tickStep(double span, int maxTicks);

}  // namespace velkor
