#include "chart/Chart2D.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <array>
#include <cmath>
#include <memory>

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

TEST(ChartTemplate, TheShippedFileGivesTheDesignTextsAndTwoDistinctTraces) {
    const auto style = parseChartTemplate(shippedText());
    ASSERT_TRUE(style);
    EXPECT_EQ(style->timeAxisTitle, "Elapsed Time (sec)");
    EXPECT_EQ(style->labelOff, "OFF");
    EXPECT_EQ(style->labelOn, " ON ");
    EXPECT_EQ(style->labelY2Axis, "Y2 AXIS LABEL");
    EXPECT_NE(style->trace1Colour, style->trace2Colour);
}

TEST(ChartTemplate, ATextThatIsNotATemplateIsRefusedWithTheLineAtFault) {
    ChartTemplateError error;
    EXPECT_FALSE(parseChartTemplate(withLine("LabelOn", ""), &error));
    EXPECT_EQ(error.line, 0);
    EXPECT_NE(error.message.find("LabelOn"), std::string::npos) << error.message;

    const std::string badColour = withLine("grid_colour", "grid_colour = #12345G");
    EXPECT_FALSE(parseChartTemplate(badColour, &error));
    EXPECT_GT(error.line, 0);
    EXPECT_NE(error.message.find("#12345G"), std::string::npos) << error.message;

    EXPECT_FALSE(parseChartTemplate(withLine("grid_colour", "grid_colour = 12345F")));
    EXPECT_FALSE(parseChartTemplate(withLine("line_width", "line_width = 40")));
    EXPECT_FALSE(parseChartTemplate(withLine("line_width", "line_width = 0")));
    EXPECT_FALSE(parseChartTemplate(withLine("tick_size", "tick_size = 8pt")));
    EXPECT_FALSE(parseChartTemplate(withLine("font_family", "font_family =")));
    EXPECT_FALSE(parseChartTemplate(withLine("LabelOn", "LabelOn = \" ON ")));
    EXPECT_FALSE(parseChartTemplate(withLine("LabelOn", "LabelOn = x\nLabelOn = y")));
    EXPECT_FALSE(parseChartTemplate(withLine("LabelOn", "LabelOnn = \" ON \"")));
    EXPECT_FALSE(parseChartTemplate("background = #FFFFFF\n" + shippedText()));
    EXPECT_FALSE(parseChartTemplate(""));
}

TEST(ChartTemplate, QuotesKeepSpacesAndUnquotedValuesAreTrimmedAlsoWithCrLfLineEnds) {
    std::string text = withLine("LabelY2Axis", "LabelY2Axis=  GPO (Active Low)  \t",
                                withLine("LabelOff", "LabelOff =   \"  off \"  "));
    for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        text.insert(at, "\r");
    }
    const auto style = parseChartTemplate(text);
    ASSERT_TRUE(style);
    EXPECT_EQ(style->labelOff, "  off ");
    EXPECT_EQ(style->labelY2Axis, "GPO (Active Low)");
}

TEST(ChartTicks, StepsAreOneTwoOrFiveTimesAPowerOfTenWithTheDecimalsTheyNeed) {
    EXPECT_EQ(tickStep(150, 8).interval, 20);
    EXPECT_EQ(tickStep(150, 8).decimals, 0);
    EXPECT_EQ(tickStep(6500, 10).interval, 1000);
    EXPECT_EQ(tickStep(100, 10).interval, 10);
    EXPECT_DOUBLE_EQ(tickStep(2, 5).interval, 0.5);
    EXPECT_EQ(tickStep(2, 5).decimals, 1);
    EXPECT_DOUBLE_EQ(tickStep(0.15, 6).interval, 0.05);
    EXPECT_EQ(tickStep(0.15, 6).decimals, 2);
    EXPECT_EQ(tickStep(0, 5).interval, 1);  // an empty range still gets a usable step
}

// A shown 900 x 520 chart with the shipped template and a drive of 2700 samples at 0.1 s.
class ChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(900, 520);
        chart.show();
        ASSERT_TRUE(chart.loadTemplate(ShippedTemplate));
        // Laps of 90 s: 60 s pulling through five gears from 30 to 140 MPH, 30 s braking back.
        const std::array<double, 5> rpmPerMph{130, 85, 60, 46, 37};
        for (int i = 0; i < Chart2D::Points; ++i) {
            const double t = i * 0.1;
            const double lap = std::fmod(t, 90.0);
            const double mph = lap < 60 ? 30 + 110 * lap / 60 : 140 - 110 * (lap - 60) / 30;
            std::size_t gear = 0;
            while (gear < 4 && mph * rpmPerMph[gear] > 6300) {
                ++gear;
            }
            time[i] = float(t);
            speed[i] = float(mph);
            rpm[i] = float(mph * rpmPerMph[gear] + 40 * std::sin(t * 7));
            shift[i] = rpm[i] > 6000 ? 1.0f : 0.0f;
        }
        QApplication::processEvents();
    }

    QChartView* view() { return chart.findChild<QChartView*>(); }
    QImage rendered(QSize size) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        chart.renderTo(painter, QRectF(QPointF(), QSizeF(size)));
        return image;
    }

    Chart2D chart;
    Chart2D::Values time{}, rpm{}, speed{}, shift{};
};

TEST_F(ChartTest, AxesShowExactlyTheRangesSet) {
    chart.setAxisRange(Chart2D::Axis::X, 2550.3, 2700.0);
    chart.setAxisRange(Chart2D::Axis::Y, 0, 6500);
    chart.setAxisRange(Chart2D::Axis::Y2, 10, 20);
    EXPECT_EQ(chart.axisRange(Chart2D::Axis::X), std::make_pair(2550.3, 2700.0));
    EXPECT_EQ(chart.axisRange(Chart2D::Axis::Y2), std::make_pair(10.0, 20.0));

    const QRectF plot = chart.plotArea();
    EXPECT_NEAR(chart.pixelOf(2550.3, 0).x(), plot.left(), 0.01);
    EXPECT_NEAR(chart.pixelOf(2700, 6500).x(), plot.right(), 0.01);
    EXPECT_NEAR(chart.pixelOf(2700, 6500).y(), plot.top(), 0.01);
    EXPECT_NEAR(chart.pixelOf(2700, 10, Chart2D::Axis::Y2).y(), plot.bottom(), 0.01);
    EXPECT_EQ(chart.axisTitle(Chart2D::Axis::X), "Elapsed Time (sec)");
}

TEST_F(ChartTest, BatchModeHoldsTheValuesAndReplacesAllPointsOnceWhenItEnds) {
    auto* series = view()->chart()->findChild<QLineSeries*>();
    ASSERT_TRUE(series);
    QSignalSpy replaced(series, &QXYSeries::pointsReplaced);
    EXPECT_TRUE(chart.points(1).isEmpty());  // nothing to plot before any values

    chart.setBatch(1, true);
    chart.setYValues(1, rpm);
    chart.setXValues(1, time);
    EXPECT_EQ(replaced.count(), 0);
    EXPECT_TRUE(chart.points(1).isEmpty());
    chart.setBatch(1, false);
    EXPECT_EQ(replaced.count(), 1);
    const QList<QPointF> points = chart.points(1);
    ASSERT_EQ(points.size(), Chart2D::Points);
    EXPECT_EQ(points[2699], QPointF(time[2699], rpm[2699]));
    EXPECT_TRUE(chart.points(2).isEmpty());

    // Outside batch mode new values apply at once; ending a batch with nothing new redraws nothing.
    chart.setYValues(1, speed);
    EXPECT_EQ(replaced.count(), 2);
    EXPECT_EQ(chart.points(1)[5].y(), double(speed[5]));
    chart.setBatch(1, true);
    chart.setBatch(1, false);
    EXPECT_EQ(replaced.count(), 2);

    // Y values alone give no points: a group plots once it has both.
    chart.setYValues(2, shift);
    EXPECT_TRUE(chart.points(2).isEmpty());
}

TEST_F(ChartTest, OnOffLabelsStandRightOfThePlotAtItsBottomAndMiddleAfterResizes) {
    EXPECT_FALSE(chart.labelShown(1) || chart.labelShown(2) || chart.labelShown(3));
    EXPECT_EQ(chart.labelText(2), " ON ");
    chart.setAxisShown(Chart2D::Axis::Y2, false);
    chart.setLabelText(3, QStringLiteral("Shift/Launch Light"));
    for (const QSize size : {QSize(900, 520), QSize(640, 380), QSize(1280, 800)}) {
        chart.resize(size);
        const QRectF plot = chart.plotArea();
        const QPointF off = chart.labelPosition(1);
        const QPointF on = chart.labelPosition(2);
        const QPointF name = chart.labelPosition(3);
        EXPECT_NEAR(off.y(), plot.bottom(), 0.5) << size.width();
        EXPECT_NEAR(on.y(), plot.center().y(), 0.5) << size.width();
        EXPECT_GT(off.x(), plot.right());
        EXPECT_LT(off.x(), plot.right() + 20);
        EXPECT_EQ(on.x(), off.x());
        EXPECT_GT(name.x(), on.x() + 20);  // beyond the level labels' text
        EXPECT_LT(name.x(), size.width());
    }
    // A hidden axis still carries its trace: 1 of 0..2 plots at the plot's vertical centre.
    chart.setAxisRange(Chart2D::Axis::Y2, 0, 2);
    EXPECT_FALSE(chart.axisShown(Chart2D::Axis::Y2));
    EXPECT_NEAR(chart.pixelOf(0, 1, Chart2D::Axis::Y2).y(), chart.plotArea().center().y(), 0.01);
}

TEST_F(ChartTest, TimeUnderAPixelRoundTripsInsideThePlotAndIsNothingOutside) {
    chart.setAxisRange(Chart2D::Axis::X, 120, 135);
    const QRectF plot = chart.plotArea();
    for (const double t : {120.0, 123.4, 135.0}) {
        const auto back = chart.timeAt(chart.pixelOf(t, 50));
        ASSERT_TRUE(back) << t;
        EXPECT_NEAR(*back, t, 1e-6);
    }
    EXPECT_FALSE(chart.timeAt(plot.topLeft() - QPointF(1, 0)));
    EXPECT_FALSE(chart.timeAt(QPointF(plot.center().x(), plot.bottom() + 2)));
}

TEST_F(ChartTest, PressingAButtonOnTheChartReportsItAndThePixel) {
    QSignalSpy presses(&chart, &Chart2D::mouseButton);
    QWidget* viewport = view()->viewport();
    const QPoint at = chart.plotArea().center().toPoint();
    QTest::mousePress(viewport, Qt::LeftButton, {}, viewport->mapFrom(&chart, at));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, viewport->mapFrom(&chart, at));
    QTest::mousePress(viewport, Qt::RightButton, {}, viewport->mapFrom(&chart, at));
    ASSERT_EQ(presses.count(), 2);
    EXPECT_EQ(presses[0][0].toInt(), 1);
    EXPECT_EQ(presses[0][1].toPointF(), QPointF(at));
    EXPECT_EQ(presses[1][0].toInt(), 2);
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

TEST_F(ChartTest, RenderingDrawsTracesAndTheMarkerOnlyInsideTheTimeWindow) {
    const auto style = parseChartTemplate(shippedText());
    ASSERT_TRUE(style);
    chart.setXValues(1, time);
    chart.setYValues(1, rpm);
    chart.setAxisRange(Chart2D::Axis::Y, 0, 7000);
    chart.setAxisRange(Chart2D::Axis::X, 0, 270);
    chart.setMarker(100);

    const QRectF plot = chart.plotArea();
    QImage image = rendered(chart.size());
    const int markerX = int(chart.pixelOf(100, 0).x());
    EXPECT_GT(pixelsLike(image, markerX, QColor(style->markerColour.c_str())), plot.height() / 2);
    int traced = 0;
    for (int x = int(plot.left()) + 2; x < int(plot.right()) - 2; x += 10) {
        traced += pixelsLike(image, x, QColor(style->trace1Colour.c_str())) > 0;
    }
    EXPECT_GT(traced, int(plot.width() / 10) - 3);

    chart.setAxisRange(Chart2D::Axis::X, 150, 270);
    image = rendered(chart.size());
    EXPECT_EQ(pixelsLike(image, markerX, QColor(style->markerColour.c_str())), 0);

    // A page of another shape is filled, and the chart on screen keeps its layout.
    image = rendered(QSize(1400, 990));
    EXPECT_EQ(chart.plotArea(), plot);
    EXPECT_GT(pixelsLike(image, 1300, QColor(style->trace1Colour.c_str())), 0);
}

TEST_F(ChartTest, MissingOrInvalidTemplateIsReportedAndTheLookIsKept) {
    EXPECT_FALSE(chart.loadTemplate(QStringLiteral("/nonexistent/Velkor_Chart.oc2")));
    QTemporaryFile broken;
    ASSERT_TRUE(broken.open());
    broken.write("[chart]\nbackground = white\n");
    broken.close();
    EXPECT_FALSE(chart.loadTemplate(broken.fileName()));
    EXPECT_EQ(chart.labelText(1), "OFF");
}

// Not a check: two pictures of a realistic chart for people to look at, in the working folder.
TEST_F(ChartTest, WritesPicturesOfARealisticChart) {
    chart.resize(1000, 600);
    chart.setSeriesLabel(1, QStringLiteral("RPM"));
    chart.setAxisTitle(Chart2D::Axis::Y, QStringLiteral("RPM"));
    chart.setAxisRange(Chart2D::Axis::Y, 0, 7000);
    chart.setSeriesLabel(2, QStringLiteral("VSS (MPH)"));
    chart.setAxisTitle(Chart2D::Axis::Y2, QStringLiteral("VSS (MPH)"));
    chart.setAxisRange(Chart2D::Axis::Y2, 0, 160);
    for (int group : {1, 2}) {
        chart.setBatch(group, true);
        chart.setXValues(group, time);
    }
    chart.setYValues(1, rpm);
    chart.setYValues(2, speed);
    chart.setBatch(1, false);
    chart.setBatch(2, false);
    chart.setAxisRange(Chart2D::Axis::X, 120, 270);
    chart.setMarker(200);
    EXPECT_TRUE(rendered(chart.size()).save(QDir::current().filePath("chart2d.png")));

    chart.setSeriesLabel(2, QStringLiteral("Shift/Launch Light"));
    chart.setAxisTitle(Chart2D::Axis::Y2, QString());
    chart.setAxisRange(Chart2D::Axis::Y2, 0, 2);
    chart.setAxisShown(Chart2D::Axis::Y2, false);
    chart.setYValues(2, shift);
    chart.setLabelText(3, QStringLiteral("Shift/Launch Light"));
    for (int label : {1, 2, 3}) {
        chart.setLabelShown(label, true);
    }
    EXPECT_TRUE(rendered(chart.size()).save(QDir::current().filePath("chart2d_onoff.png")));
}

}  // namespace
}  // namespace velkor
