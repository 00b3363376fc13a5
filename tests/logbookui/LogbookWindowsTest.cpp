// The logbook's windows, offscreen: the comparison of two simulated passes and a season's trend,
// read back from their tables and plots as a person would see them, and every control named
// for a screen reader.

#include <gtest/gtest.h>

#include <QAbstractAxis>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidget>

#include "base/QtPalette.h"
#include "logbookui/PassComparisonWindow.h"
#include "logbookui/TrendWindow.h"
#include "sim/DragRun.h"
#include "support/Drives.h"
#include "support/QtApp.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

PassTrace simulatedTrace(unsigned seed) {
    const double interval = 0.048;
    DataLog log;
    loadDrive(log, sim::generateDragRun(interval, 368, seed).fram, float(interval));
    return passTrace(log, 1);
}

QString cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

// Every control that Tab reaches has a name a screen reader can say.
void expectNamedControls(const QWidget& window) {
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if ((child->focusPolicy() & Qt::TabFocus) && child->isVisibleTo(&window) &&
            !child->parentWidget()->inherits("QAbstractScrollArea")) {
            EXPECT_FALSE(child->accessibleName().isEmpty()) << child->metaObject()->className();
        }
    }
}

TEST(PassComparisonWindow, ShowsTheDistanceStepsAndEachSplitAndShift) {
    const PassComparison comparison = comparePasses(simulatedTrace(4), simulatedTrace(1));
    ASSERT_EQ(comparison.steps.size(), 265u);
    PassComparisonWindow window;
    window.setComparison(comparison, "2026-06-14 run 1", "2026-06-02 run 1");
    EXPECT_EQ(window.windowTitle(), "Compare with Reference");
    for (const QLineSeries* series :
         {window.behindSeries, window.passSpeedSeries, window.referenceSpeedSeries}) {
        EXPECT_EQ(series->count(), 265);
    }
    EXPECT_EQ(window.behindSeries->at(264).x(), 1320);
    EXPECT_DOUBLE_EQ(window.behindSeries->at(264).y(), *comparison.splits[4].behindSeconds);
    EXPECT_EQ(window.referenceSpeedSeries->name(), "2026-06-02 run 1 speed (reference)");

    const QTableWidget* table = window.table;
    ASSERT_EQ(table->rowCount(), int(5 + 2 * comparison.shifts.size()));
    EXPECT_GE(comparison.shifts.size(), 3u);  // four gears
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "2026-06-14 run 1");
    EXPECT_EQ(cell(table, 4, 0), "1/4 mile");
    EXPECT_EQ(cell(table, 4, 1), QString::asprintf("%.3f s", *comparison.splits[4].passSeconds));
    EXPECT_EQ(cell(table, 5, 0), "1-2 shift RPM");
    EXPECT_EQ(cell(table, 6, 0), "1-2 shift reaction");
    EXPECT_FALSE(cell(table, 6, 3).isEmpty());
    EXPECT_FALSE(window.lossLabel->text().isEmpty());
    expectNamedControls(window);

    // A pass that cannot be compared empties the plot and says why.
    PassTrace rolling;
    rolling.reason = "Run 2 is not a standing start.";
    window.setComparison(comparePasses(rolling, simulatedTrace(1)), "a", "b");
    EXPECT_EQ(window.behindSeries->count(), 0);
    EXPECT_EQ(window.standingLabel->text(), "Run 2 is not a standing start.");
}

std::vector<Pass> season(int count) {
    std::vector<Pass> passes;
    for (int i = 0; i < count; ++i) {
        Pass pass;
        pass.downloadDate = "2026-07-" + std::to_string(10 + i);
        pass.et1320 = 12.5 - 0.01 * i;
        pass.et60 = 1.8;
        pass.trapMph = i % 3 == 0 ? std::nullopt : std::optional<double>(108 + i);
        pass.bestReaction = 0.2;
        passes.push_back(pass);
    }
    return passes;
}

TEST(TrendWindow, PlotsTheChosenFigureWithTheSpansMeanAndBand) {
    TrendWindow window;
    window.setPasses(season(14));
    EXPECT_EQ(window.windowTitle(), "Trends");
    EXPECT_EQ(window.spanPointsSeries->count(), 14);  // all passes
    EXPECT_EQ(window.otherPointsSeries->count(), 0);

    window.spanCombo->setCurrentIndex(2);  // the last 10
    EXPECT_EQ(window.spanPointsSeries->count(), 10);
    EXPECT_EQ(window.otherPointsSeries->count(), 4);
    ASSERT_EQ(window.meanSeries->count(), 2);
    // ET 12.46 .. 12.37 over passes 5 to 14: mean 12.415.
    EXPECT_NEAR(window.meanSeries->at(0).y(), 12.415, 1e-9);
    EXPECT_EQ(window.meanSeries->at(0).x(), 4.5);
    EXPECT_EQ(window.bandSeries->upperSeries()->count(), 2);
    EXPECT_EQ(cell(window.table, 0, 1), "10");
    EXPECT_EQ(cell(window.table, 0, 2), "12.415");

    window.figureCombo->setCurrentIndex(2);  // trap speed, missing on every third pass
    EXPECT_EQ(window.spanPointsSeries->count() + window.otherPointsSeries->count(), 9);
    EXPECT_EQ(window.spanPointsSeries->count(), 7);
    EXPECT_EQ(cell(window.table, 2, 1), "7");

    // One pass: a mean but no spread.
    window.figureCombo->setCurrentIndex(0);
    window.setPasses(season(1));
    EXPECT_EQ(window.meanSeries->count(), 2);
    EXPECT_FALSE(window.bandSeries->isVisible());
    expectNamedControls(window);
}

bool dark(const QColor& colour) {
    return isDark(toRgb(colour));
}

// What a person sees of the plots' colours: the background dark, and the labels, the series and
// the hint light, or the other way round.
void expectColours(const QChartView* view, bool darkDesktop) {
    const QChart* chart = view->chart();
    EXPECT_EQ(dark(chart->backgroundBrush().color()), darkDesktop);
    for (const QAbstractAxis* axis : chart->axes()) {
        EXPECT_EQ(dark(axis->labelsColor()), !darkDesktop);
    }
}

TEST(LogbookWindows, FollowTheDesktopsPaletteWhileOpen) {
    const QPalette light = QApplication::palette();
    PassComparisonWindow comparison;
    TrendWindow trend;
    const QLabel* hint = comparison.findChild<QLabel*>("hintLabel");
    ASSERT_NE(hint, nullptr);
    const auto expectLight = [&] {
        for (const QChartView* view : {comparison.chartView, trend.chartView}) {
            expectColours(view, false);
            EXPECT_EQ(view->chart()->backgroundBrush().color(), QColor(Qt::white));
        }
        // The main chart's trace 1 and 2 colours, and the grey the hint always had.
        EXPECT_EQ(comparison.passSpeedSeries->pen().color(), QColor(0xB3, 0x18, 0x2B));
        EXPECT_EQ(trend.meanSeries->pen().color(), QColor(0x1F, 0x5F, 0xB4));
        EXPECT_EQ(hint->palette().color(QPalette::WindowText), hintColour(light));
    };
    expectLight();

    QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35)));
    QCoreApplication::processEvents();  // the windows hear of it from the event loop
    const TrendWindow opened;
    for (const QChartView* view : {comparison.chartView, trend.chartView, opened.chartView}) {
        expectColours(view, true);
    }
    for (const QColor& seen :
         {comparison.passSpeedSeries->pen().color(), comparison.referenceSpeedSeries->pen().color(),
          comparison.behindSeries->pen().color(), trend.spanPointsSeries->color(),
          trend.meanSeries->pen().color(), hint->palette().color(QPalette::WindowText)}) {
        EXPECT_FALSE(dark(seen)) << seen.name().toStdString();
    }
    EXPECT_NE(comparison.passSpeedSeries->pen().color(),
              comparison.referenceSpeedSeries->pen().color());

    QApplication::setPalette(light);
    QCoreApplication::processEvents();
    expectLight();
}

}  // namespace
}  // namespace velkor::test
