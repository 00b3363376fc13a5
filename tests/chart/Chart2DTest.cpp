#include "chart/Chart2D.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <array>
#include <cmath>
#include <set>
#include <tuple>
#include <vector>

#include "chart/ChartOverlay.h"
#include "chart/ChartTemplate.h"
#include "support/QtApp.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

const QString ShippedTemplate = QStringLiteral(VELKOR_CHART_TEMPLATE);

std::string shippedText() {
    QFile file(ShippedTemplate);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
}

// A template text, by default the shipped one, with the first line starting with `key` replaced
// (or removed when `replacement` is empty).
std::string withLine(const std::string& key, const std::string& replacement,
                     std::string text = shippedText()) {
    const auto at = text.find("\n" + key);
    EXPECT_NE(at, std::string::npos) << key;
    const auto end = text.find('\n', at + 1);
    text.replace(at + 1, end - at, replacement.empty() ? "" : replacement + "\n");
    return text;
}

TEST(ChartTemplate, ATextThatIsNotATemplateIsRefusedWithTheLineAtFault) {
    // The line replaced, what replaces it (nothing: a key missing, which has no line), and what
    // the report must name.
    const std::vector<std::array<std::string, 3>> brokenLines = {
        {"LabelOn", "", "LabelOn"},
        {"grid_colour", "grid_colour = #12345G", "#12345G"},
        {"grid_colour", "grid_colour = 12345F", "12345F"},
        {"line_width", "line_width = 40", "\"40\""},
        {"line_width", "line_width = 0", "\"0\""},
        {"tick_size", "tick_size = 8pt", "8pt"},
        {"font_family", "font_family =", "font_family"},
        {"LabelOn", "LabelOn = \" ON ", "quote"},
        {"LabelOn", "LabelOn = x\nLabelOn = y", "twice"},
        {"LabelOn", "LabelOnn = \" ON \"", "LabelOnn"},
        {"[chart]", "background = #FFFFFF\n[chart]", "before the first section"},
    };
    for (const auto& [key, replacement, named] : brokenLines) {
        ChartTemplateError error;
        EXPECT_FALSE(parseChartTemplate(withLine(key, replacement), &error)) << replacement;
        EXPECT_EQ(error.line > 0, !replacement.empty()) << replacement;
        EXPECT_NE(error.message.find(named), std::string::npos) << error.message;
    }
    EXPECT_FALSE(parseChartTemplate(""));
}

TEST(ChartTemplate, QuotesKeepSpacesAndUnquotedValuesAreTrimmed) {
    const auto style =
        parseChartTemplate(withLine("LabelY2Axis", "LabelY2Axis=  GPO (Active Low)  \t",
                                    withLine("LabelOff", "LabelOff =   \"  off \"  ")));
    ASSERT_TRUE(style);
    EXPECT_EQ(style->labelOff + "|" + style->labelY2Axis, "  off |GPO (Active Low)");
}

TEST(ChartTicks, StepsAreOneTwoOrFiveTimesAPowerOfTenWithTheDecimalsTheyNeed) {
    // Span, most ticks, the step and its decimals; an empty range still gets a usable step.
    const std::tuple<double, int, double, int> cases[] = {{150, 8, 20, 0},    {6500, 10, 1000, 0},
                                                          {100, 10, 10, 0},   {2, 5, 0.5, 1},
                                                          {0.15, 6, 0.05, 2}, {0, 5, 1, 0}};
    for (const auto& [span, ticks, interval, decimals] : cases) {
        const auto step = tickStep(span, ticks);
        EXPECT_EQ(std::make_pair(step.interval, step.decimals), std::make_pair(interval, decimals))
            << span;
    }
}

// A shown 900 x 520 chart with the shipped template and 2700 samples at 0.1 s.
class Chart2DTest : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(900, 520);
        chart.show();
        ASSERT_TRUE(chart.loadTemplate(ShippedTemplate));
        for (int i = 0; i < Chart2D::Points; ++i) {
            time[i] = float(i * 0.1);
            rpm[i] = float(3500 + 3000 * std::sin(i * 0.01));
        }
        QApplication::processEvents();
    }

    QImage rendered(QSize size) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        chart.renderTo(painter, QRectF(QPointF(), QSizeF(size)));
        return image;
    }

    Chart2D chart;
    Chart2D::Values time{}, rpm{};
};

TEST_F(Chart2DTest, AxesShowExactlyTheRangesSetAndTimeUnderAPixelRoundTrips) {
    chart.setAxisRange(Chart2D::Axis::X, 2550.3, 2700.0);
    chart.setAxisRange(Chart2D::Axis::Y, 0, 6500);
    chart.setAxisRange(Chart2D::Axis::Y2, 10, 20);
    EXPECT_EQ(chart.axisRange(Chart2D::Axis::X), std::make_pair(2550.3, 2700.0));
    const QRectF plot = chart.plotArea();
    EXPECT_NEAR(chart.pixelOf(2550.3, 0).x(), plot.left(), 0.01);
    EXPECT_NEAR(chart.pixelOf(2700, 6500).x(), plot.right(), 0.01);
    EXPECT_NEAR(chart.pixelOf(2700, 6500).y(), plot.top(), 0.01);
    EXPECT_NEAR(chart.pixelOf(2700, 10, Chart2D::Axis::Y2).y(), plot.bottom(), 0.01);

    for (const double t : {2550.3, 2623.4, 2700.0}) {
        const auto back = chart.timeAt(chart.pixelOf(t, 50));
        ASSERT_TRUE(back) << t;
        EXPECT_NEAR(*back, t, 1e-6);
    }
    EXPECT_FALSE(chart.timeAt(plot.topLeft() - QPointF(1, 0)));
    EXPECT_FALSE(chart.timeAt(QPointF(plot.center().x(), plot.bottom() + 2)));
}

TEST_F(Chart2DTest, OnOffLabelsStandRightOfThePlotAfterResizesAndOutlastABadTemplate) {
    EXPECT_FALSE(chart.labelShown(1) || chart.labelShown(2) || chart.labelShown(3));
    chart.setAxisShown(Chart2D::Axis::Y2, false);
    EXPECT_EQ(chart.labelText(1) + chart.labelText(2), "OFF ON ");
    chart.setLabelText(3, QStringLiteral("Shift/Launch Light"));
    for (const QSize size : {QSize(900, 520), QSize(640, 380), QSize(1280, 800)}) {
        chart.resize(size);
        const QRectF plot = chart.plotArea();
        const QPointF off = chart.labelPosition(1), on = chart.labelPosition(2);
        EXPECT_NEAR(off.y(), plot.bottom(), 0.5) << size.width();
        EXPECT_NEAR(on.y(), plot.center().y(), 0.5) << size.width();
        EXPECT_TRUE(off.x() > plot.right() && off.x() < plot.right() + 20 && on.x() == off.x());
        const double name = chart.labelPosition(3).x();
        EXPECT_TRUE(name > on.x() + 20 && name < size.width());  // beyond the level labels' text
    }
    // A hidden axis still carries its trace: 1 of 0..2 plots at the plot's vertical centre.
    chart.setAxisRange(Chart2D::Axis::Y2, 0, 2);
    EXPECT_NEAR(chart.pixelOf(0, 1, Chart2D::Axis::Y2).y(), chart.plotArea().center().y(), 0.01);

    // A template that cannot be read is reported and the chart keeps its look.
    chart.setLabelText(1, QStringLiteral("LOW"));
    EXPECT_FALSE(chart.loadTemplate(QStringLiteral("/nonexistent/Velkor_Chart.oc2")));
    EXPECT_FALSE(chart.loadTemplate(QStringLiteral(__FILE__)));  // a file, but no template
    EXPECT_EQ(chart.labelText(1), "LOW");
}

// How many pixels of a column are close to a colour.
int pixelsLike(const QImage& image, int x, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QColor c = image.pixelColor(x, y);
        count += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                     std::abs(c.blue() - colour.blue()) <
                 90;
    }
    return count;
}

TEST_F(Chart2DTest, RenderingDrawsTracesAndTheMarkerOnlyInsideTheTimeWindow) {
    const auto style = parseChartTemplate(shippedText());
    ASSERT_TRUE(style);
    const QColor marker(style->markerColour.c_str()), trace(style->trace1Colour.c_str());
    chart.setXValues(1, time);
    chart.setYValues(1, rpm);
    chart.setAxisRange(Chart2D::Axis::Y, 0, 7000);
    chart.setAxisRange(Chart2D::Axis::X, 0, 270);
    chart.setMarker(100);

    const QRectF plot = chart.plotArea();
    QImage image = rendered(chart.size());
    const int markerX = int(chart.pixelOf(100, 0).x());
    EXPECT_GT(pixelsLike(image, markerX, marker), plot.height() / 2);
    int traced = 0;
    for (int x = int(plot.left()) + 2; x < int(plot.right()) - 2; x += 10) {
        traced += pixelsLike(image, x, trace) > 0;
    }
    EXPECT_GT(traced, int(plot.width() / 10) - 3);

    chart.setAxisRange(Chart2D::Axis::X, 150, 270);
    image = rendered(chart.size());
    EXPECT_EQ(pixelsLike(image, markerX, marker), 0);

    // A page of another shape is filled, and the chart on screen keeps its layout.
    image = rendered(QSize(1400, 990));
    EXPECT_EQ(chart.plotArea(), plot);
    EXPECT_GT(pixelsLike(image, 1300, trace), 0);
}

// Pixels near `colour` outside the plot and its edge lines, from row `top` down.
int pixelsLikeOutside(const QImage& image, const QRectF& plot, QColor colour, int top = 0) {
    const QRectF edge = plot.adjusted(-3, -3, 3, 3);
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = top; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            count += !edge.contains(x, y) && std::abs(c.red() - colour.red()) +
                                                     std::abs(c.green() - colour.green()) +
                                                     std::abs(c.blue() - colour.blue()) <
                                                 90;
        }
    }
    return count;
}

// An SVG drawing applies no clip of its own: a zoomed trace, and an overlay above its axis, must
// still stop at the plot's edges as they do in a picture.
TEST_F(Chart2DTest, AnSvgDrawingKeepsTracesAndOverlaysInsideThePlotAsAPictureDoes) {
    const auto style = parseChartTemplate(shippedText());
    ASSERT_TRUE(style);
    const QColor trace(style->trace1Colour.c_str());
    chart.setXValues(1, time);
    chart.setYValues(1, rpm);
    // Both far above their axes: rpm on the 0-100 right axis, and above 7000 on the left.
    Chart2D::Values high = rpm;
    for (float& value : high) {
        value += 9000;
    }
    chart.setOverlay(0, "other.log", "RPM", "VSS", time, high, rpm);
    const QColor overlay = chart.overlayPen(0, 2).color();
    chart.setAxisRange(Chart2D::Axis::Y, 0, 7000);
    chart.setAxisRange(Chart2D::Axis::X, 100, 130);
    const QRectF plot = chart.plotArea();
    const QImage picture = rendered(chart.size());

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(chart.size());
    generator.setViewBox(QRect(QPoint(), chart.size()));
    {
        QPainter painter(&generator);
        chart.renderTo(painter, QRectF(QPointF(), QSizeF(chart.size())));
    }
    QImage drawing(chart.size(), QImage::Format_ARGB32);
    drawing.fill(Qt::transparent);
    {
        QPainter painter(&drawing);
        QSvgRenderer(buffer.data()).render(&painter, QRectF(drawing.rect()));
    }
    EXPECT_NEAR(pixelsLikeOutside(drawing, plot, trace), pixelsLikeOutside(picture, plot, trace),
                12);
    // Below the overlay's legend row, its lines stay inside the plot.
    const int belowLegend = int(chart.overlayLegendArea(0).bottom()) + 2;
    EXPECT_EQ(pixelsLikeOutside(picture, plot, overlay, belowLegend), 0);
    EXPECT_EQ(pixelsLikeOutside(drawing, plot, overlay, belowLegend), 0);
    int traced = 0;
    for (int x = int(plot.left()) + 2; x < int(plot.right()) - 2; x += 10) {
        traced += pixelsLike(drawing, x, trace) > 0;
    }
    EXPECT_GT(traced, int(plot.width() / 10) - 3);
    // The chart is left as it was: every point back in place.
    EXPECT_EQ(chart.points(1).size(), Chart2D::Points);
}

TEST_F(Chart2DTest, EachOverlayKeepsItsSlotsColourAndRemovingOneLeavesTheOthers) {
    for (int slot = 0; slot < Chart2D::MaxOverlays; ++slot) {
        chart.setOverlay(slot, QString("run %1.log").arg(slot), "RPM", "VSS", time, rpm, rpm);
    }
    std::set<QRgb> colours;
    for (int slot = 0; slot < Chart2D::MaxOverlays; ++slot) {
        const QPen one = chart.overlayPen(slot, 1);
        const QPen two = chart.overlayPen(slot, 2);
        EXPECT_EQ(one.color(), two.color()) << slot;  // one overlay, one colour
        EXPECT_NE(one.style(), two.style()) << slot;  // its traces told apart by their dashes
        EXPECT_EQ(one.color(), QColor(OverlayColours.at(std::size_t(slot))));
        colours.insert(one.color().rgb());
    }
    EXPECT_EQ(colours.size(), std::size_t(Chart2D::MaxOverlays));
    const auto style = parseChartTemplate(shippedText());
    ASSERT_TRUE(style);
    for (const std::string& taken :
         {style->trace1Colour, style->trace2Colour, style->markerColour, style->plotBackground}) {
        EXPECT_EQ(colours.count(QColor(taken.c_str()).rgb()), 0u) << taken;
    }

    chart.removeOverlay(1);
    EXPECT_EQ(chart.overlayCount(), 2);
    EXPECT_EQ(chart.overlayPen(1, 1).style(), Qt::NoPen);
    EXPECT_EQ(chart.overlayPen(2, 1).color(), QColor(OverlayColours[2]));
    EXPECT_EQ(chart.overlayLegendText(2), "run 2.log");
}

TEST_F(Chart2DTest, TheOverlayLegendWrapsLongNamesAboveThePlotAndGivesTheRoomBack) {
    const double plotTop = chart.plotArea().top();
    const QString spaced =
        QString("a run at the strip on a cold morning with the new tyres ").repeated(3) + ".log";
    const QString unbroken = QString("x").repeated(180) + ".log";
    chart.setOverlay(0, "short.log", "RPM", "VSS (MPH)", time, rpm, rpm);
    chart.setOverlay(1, spaced, "RPM", "VSS (MPH)", time, rpm, rpm);
    chart.setOverlay(2, unbroken, "RPM", "VSS (MPH)", time, rpm, rpm);
    QApplication::processEvents();
    EXPECT_EQ(chart.overlayLegendLines(0), 1);
    for (int slot : {1, 2}) {
        EXPECT_GT(chart.overlayLegendLines(slot), 1) << slot;
    }
    EXPECT_EQ(chart.overlayLegendText(1), spaced);  // whole, never cut
    EXPECT_EQ(chart.overlayLegendText(2), unbroken);
    const QRectF plot = chart.plotArea();
    double bottom = 0;
    for (int slot = 0; slot < Chart2D::MaxOverlays; ++slot) {
        const QRectF row = chart.overlayLegendArea(slot);
        EXPECT_GE(row.top(), bottom - 0.5) << slot;  // the rows do not overlap
        EXPECT_LE(row.right(), chart.width()) << slot;
        bottom = row.bottom();
    }
    EXPECT_LT(bottom, plot.top());  // the plot moved down below them

    // Wider, the long names take fewer lines.
    const int narrowLines = chart.overlayLegendLines(2);
    chart.resize(1400, 520);
    QApplication::processEvents();
    EXPECT_LT(chart.overlayLegendLines(2), narrowLines);

    chart.clearOverlays();
    chart.resize(900, 520);
    QApplication::processEvents();
    EXPECT_NEAR(chart.plotArea().top(), plotTop, 0.5);
}

}  // namespace
}  // namespace velkor
