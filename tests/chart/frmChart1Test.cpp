// The chart window, offscreen, on a realistic log: traces, time window, marker read-outs, and
// the measuring tools as a person uses them: wheel and Home, the B read-out, an overlaid run, and
// pictures of the chart that decode to the size asked for.

#include <gtest/gtest.h>

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <memory>

#include "base/Preferences.h"
#include "chart/Chart2D.h"
#include "chart/RunSummaryWindow.h"
#include "chart/frmChart1.h"
#include "log/FramDecode.h"
#include "log/LogFile.h"
#include "sim/DragRun.h"
#include "sim/Simulator.h"
#include "support/Drives.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

using Range = std::pair<double, double>;

class frmChart1Test : public ::testing::Test {
protected:
    frmChart1Test() { loadDrive(*log, sim::generateDrive(368 + 12 * 500, 11), 0.1f); }

    std::unique_ptr<frmChart1> open(std::vector<std::string> folders = {VELKOR_DATA_DIR}) {
        auto window = std::make_unique<frmChart1>(*log, prefs, prompts, folders);
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return window;
    }

    // The chart's viewport and the point on it at a time, halfway up the plot.
    static std::pair<QWidget*, QPoint> aimAt(frmChart1& window, double time) {
        QWidget* viewport = window.Chart2D1->findChild<QChartView*>()->viewport();
        return {viewport,
                viewport->mapFrom(window.Chart2D1, window.Chart2D1->pixelOf(time, 5000).toPoint())};
    }
    static void clickAt(frmChart1& window, double time, Qt::MouseButton button = Qt::LeftButton) {
        const auto [viewport, at] = aimAt(window, time);
        QTest::mousePress(viewport, button, {}, at);
        QTest::mouseRelease(viewport, button, {}, at);
    }
    static void wheelAt(frmChart1& window, double time, int notches) {
        const auto [viewport, at] = aimAt(window, time);
        QWheelEvent event(at, viewport->mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
    static Range x(const frmChart1& window) { return window.Chart2D1->axisRange(Chart2D::Axis::X); }
    // Marker time, trace 1, trace 2 and status read-outs.
    static std::string readouts(const frmChart1& window) {
        return QStringList{window.lblMarkerTime->text(), window.lblMarkerTrace1->text(),
                           window.lblMarkerTrace2->text(), window.lblStatus->text()}
            .join('|')
            .toStdString();
    }

    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    ScriptedPrompts prompts;
};

TEST_F(frmChart1Test, OpensOnTheLastHalfWindowWithEmptyReadouts) {
    auto window = open();
    const Chart2D& chart = *window->Chart2D1;
    EXPECT_EQ(window->windowTitle(), "Shift Light Controller Data Logging Program - Chart Display");
    EXPECT_TRUE(window->optTimeScale3->isChecked() &&
                window->traceOptions.at(TraceOption::Trace1RPM)->isChecked() &&
                window->traceOptions.at(TraceOption::Trace2VSS)->isChecked());
    const QScrollBar* bar = window->scrChart2D1;
    EXPECT_EQ((std::vector<int>{bar->minimum(), bar->maximum(), bar->value(), bar->pageStep(),
                                bar->singleStep()}),
              (std::vector<int>{0, 270, 270, 300, 60}));
    EXPECT_EQ(x(*window), (Range{120, 270}));
    EXPECT_DOUBLE_EQ(chart.marker(), 270);
    EXPECT_EQ(readouts(*window), "Sec |||");
    EXPECT_EQ(chart.axisTitle(Chart2D::Axis::Y) + "|" + chart.axisTitle(Chart2D::Axis::Y2),
              "RPM|VSS (MPH)");
    EXPECT_EQ(chart.points(1).size() + chart.points(2).size(), 5400);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(frmChart1Test, IntervalReadoutTotalTimeAndPlacingTheTimeWindow) {
    log->DataLogInterval = 0.123f;
    BuildElapsedTime(*log);
    auto window = open();
    EXPECT_EQ(window->lblLogIntervalData->text(), "0.10");
    EXPECT_FLOAT_EQ(window->logic().TotalTime, 332);

    log->DataLogInterval = 0.05f;
    BuildElapsedTime(*log);
    window = open();
    EXPECT_EQ(window->lblLogIntervalData->text(), "0.05");
    EXPECT_FLOAT_EQ(window->logic().TotalTime, 135);
    EXPECT_EQ(x(*window), (Range{0, 135}));  // shorter than half a window

    ChartWindow& logic = window->logic();
    logic.MarkerTime = 130;
    QTest::mouseClick(window->optTimeScale1, Qt::LeftButton);
    EXPECT_EQ(x(*window), (Range{122.5, 135}));
    const QScrollBar* bar = window->scrChart2D1;
    EXPECT_EQ((std::vector<int>{bar->value(), bar->pageStep(), bar->singleStep()}),
              (std::vector<int>{130, 30, 3}));

    // 12.5 rounds to 12 on the scroll bar, whose handler re-centres the window there.
    logic.MarkerTime = 12.5f;
    logic.optTimeScale_Click(1);
    EXPECT_EQ(window->scrChart2D1->value(), 12);
    EXPECT_EQ(x(*window), (Range{4.5, 19.5}));
    // Already at 12: the scroll bar does not move and the window stays centred on 12.5.
    logic.optTimeScale_Click(1);
    EXPECT_EQ(x(*window), (Range{5, 20}));

    logic.MarkerTime = 5;
    QTest::mouseClick(window->optTimeScale2, Qt::LeftButton);
    EXPECT_EQ(x(*window), (Range{0, 60}));

    // Scrolling moves the window, never the marker, and clears the read-outs.
    clickAt(*window, 30.0);
    ASSERT_NE(readouts(*window), "Sec |||");
    const float marker = logic.MarkerTime;
    window->scrChart2D1->setValue(100);
    EXPECT_EQ(x(*window), (Range{70, 130}));
    EXPECT_EQ(readouts(*window), "Sec |||");
    EXPECT_FLOAT_EQ(logic.MarkerTime, marker);
}

TEST_F(frmChart1Test, MarkerClickReadsTheNearestSample) {
    log->StatusData.at(401) = 2;
    log->OutputData.at(401) = 9;
    log->RPMData.at(401) = 6543;
    log->VSSData.at(401) = 77.4f;
    log->StatusData.at(300) = log->OutputData.at(300) = 0;
    auto window = open();
    ChartWindow& logic = window->logic();

    logic.Chart2D1_MouseDown(1, 40.04);
    EXPECT_DOUBLE_EQ(window->Chart2D1->marker(), 40.04);  // the line stands where clicked
    EXPECT_FLOAT_EQ(logic.MarkerTime, log->ElapsedTime.at(400));
    logic.Chart2D1_MouseDown(1, 40.11);
    EXPECT_EQ(readouts(*window), "40.1 Sec |6543|77|Armed\nShift Light\nAlarm 1");

    logic.Chart2D1_MouseDown(1, 40.0);
    QTest::mouseClick(window->cmdReset, Qt::LeftButton);
    EXPECT_EQ(window->lblMarkerTime->text(), "0.000 Sec ");
    logic.Chart2D1_MouseDown(1, 52.5);
    EXPECT_EQ(window->lblMarkerTime->text(), "12.5 Sec ");
    logic.Chart2D1_MouseDown(1, 30.0);
    EXPECT_EQ(window->lblMarkerTime->text(), "-10.0 Sec ");
    EXPECT_EQ(window->lblStatus->text(), "Power Off");

    const std::string before = readouts(*window);
    clickAt(*window, 170.0, Qt::RightButton);  // right button: nothing
    EXPECT_EQ(readouts(*window), before);
    EXPECT_DOUBLE_EQ(window->Chart2D1->marker(), 30.0);

    logic.Chart2D1_MouseDown(1, std::nullopt);  // outside the plot
    EXPECT_EQ(readouts(*window), "Sec |||");
}

TEST_F(frmChart1Test, OnOffTracesSwapTheRightAxisForLevelLabels) {
    auto window = open();
    clickAt(*window, 150.0);
    const std::string before = readouts(*window);
    // A trace option clicked by the person replaces trace 2 and keeps the read-outs.
    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace2Shift), Qt::LeftButton);
    Chart2D& chart = *window->Chart2D1;
    EXPECT_TRUE(!chart.axisShown(Chart2D::Axis::Y2) && chart.labelShown(1));
    EXPECT_EQ(chart.axisRange(Chart2D::Axis::Y2), (Range{0, 2}));
    EXPECT_EQ(chart.labelText(3), "Shift/Launch Light");
    EXPECT_EQ(window->logic().Trace2Format, "#0");
    EXPECT_EQ(readouts(*window), before);

    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace2TPS), Qt::LeftButton);
    EXPECT_TRUE(chart.axisShown(Chart2D::Axis::Y2) && !chart.labelShown(1) && !chart.labelShown(3));
    EXPECT_EQ(chart.axisTitle(Chart2D::Axis::Y2), "TPS (%)");
    EXPECT_EQ(chart.axisRange(Chart2D::Axis::Y), (Range{0, 10000}));  // trace 1 kept
}

TEST_F(frmChart1Test, MissingTemplateSaysSoAndShowsNoData) {
    prompts.answerMessages({Answer::Ok});
    auto window = open({"/nonexistent"});
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Chart template file Velkor_Chart.oc2 not found."});
    EXPECT_EQ(prompts.shown()[0].title, "Form Load");
    EXPECT_TRUE(window->isVisible());
    // A click or a trace option reads nothing out.
    window->logic().Chart2D1_MouseDown(1, 40.0);
    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace1TPS), Qt::LeftButton);
    EXPECT_EQ(readouts(*window), "|||");
    EXPECT_TRUE(window->Chart2D1->points(1).isEmpty());
}

TEST_F(frmChart1Test, EnterPressesNoButtonSoTheTimeZeroStays) {
    auto window = open();
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->text().toStdString();
    }
    // The sample the click lands on depends on the fonts' room for the axes; any will do.
    clickAt(*window, 150.0);
    const QString marked = window->lblMarkerTime->text();
    ASSERT_TRUE(marked.endsWith(" Sec ") && marked != "Sec ") << marked.toStdString();
    window->cmdReset->setFocus();
    QTest::keyClick(window->cmdReset, Qt::Key_Return);
    QTest::keyClick(window.get(), Qt::Key_Enter);
    EXPECT_EQ(window->lblMarkerTime->text(), marked);
    EXPECT_EQ(window->logic().ReferenceTime, 0.0f);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(frmChart1Test, ANewTraceTitleComesWithItsOwnRangeWhenTheSettingIsNegative) {
    prefs.TachMax = -8000;  // as a damaged log file can restore it
    auto window = open();
    const float highest =
        *std::max_element(log->RPMData.values().begin(), log->RPMData.values().end());
    const Range rpm{0, highest};
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::Y), rpm);

    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace1TPS), Qt::LeftButton);
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::Y), (Range{0, 100}));
    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace1RPM), Qt::LeftButton);
    EXPECT_EQ(window->Chart2D1->axisTitle(Chart2D::Axis::Y), "RPM");
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::Y), rpm);
}

TEST_F(frmChart1Test, RunSummaryLeadsTheMarkerToAShiftAndTicksTheShifts) {
    loadDrive(*log, sim::generateDragRun(0.096).fram, 0.096f);
    auto window = open();
    QTest::mouseClick(window->runSummaryButton, Qt::LeftButton);
    ASSERT_TRUE(window->runSummary && window->runSummary->isVisible());
    const RunSummaryWindow& summary = *window->runSummary;
    ASSERT_EQ(summary.runsTableWidget->rowCount(), 1);
    ASSERT_EQ(summary.shiftsTableWidget->rowCount(), 3);
    EXPECT_TRUE(summary.messageLabel->isHidden());
    for (const QPushButton* button : summary.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->toolTip().isEmpty()) << button->text().toStdString();
    }

    const double shiftTime = summary.shiftsTableWidget->item(1, 1)->text().toDouble();
    emit summary.shiftsTableWidget->cellDoubleClicked(1, 0);
    EXPECT_NEAR(window->logic().MarkerTime, shiftTime, 0.001);
    EXPECT_TRUE(window->lblMarkerTime->text().startsWith(QString::number(shiftTime, 'f', 1)));
    const Range shown = x(*window);
    EXPECT_TRUE(shown.first <= shiftTime && shiftTime <= shown.second);

    summary.shiftTicksBox->setChecked(true);
    EXPECT_EQ(window->Chart2D1->tickCount(), 3u);
    summary.shiftTicksBox->setChecked(false);
    EXPECT_EQ(window->Chart2D1->tickCount(), 0u);

    // It stands beside the chart, clear of it, so that the marker it moves is seen (on a screen
    // with room for both; the test's own screen is too narrow for the chart alone).
    window->placeRunSummary(QRect(0, 0, 1920, 1050));
    EXPECT_FALSE(summary.geometry().intersects(window->geometry()));
    EXPECT_LE(summary.geometry().right(), 1920);
    EXPECT_EQ(window->plotShareSeen(), 1.0);
    // A 1366 x 768 screen has no room beside it: the summary stands over the right of the plot,
    // clear of the chart's controls, and a row double-clicked there brings its moment into the
    // part of the plot left in sight.
    window->placeRunSummary(QRect(0, 0, 1366, 768));
    const QRect over = summary.frameGeometry();
    EXPECT_TRUE(over.intersects(window->frameGeometry()));
    EXPECT_LE(over.right(), 1365);
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        const bool aControl =
            control->window() == window.get() && !control->isAncestorOf(window->Chart2D1) &&
            !window->Chart2D1->isAncestorOf(control) && control != window->Chart2D1;
        if (control->isVisible() && aControl) {
            EXPECT_FALSE(over.intersects(QRect(control->mapToGlobal(QPoint()), control->size())))
                << control->objectName().toStdString();
        }
    }
    EXPECT_LT(window->plotShareSeen(), 0.9);
    QTest::mouseClick(window->optTimeScale1, Qt::LeftButton);  // 15 s of a longer drive
    const int last = summary.shiftsTableWidget->rowCount() - 1;
    const double lastShift = summary.shiftsTableWidget->item(last, 1)->text().toDouble();
    // The window first centred 6 s before the last shift, which then lies in its right part.
    window->logic().markAt(lastShift - 30);
    window->logic().markAt(lastShift - 6);
    ASSERT_GT(lastShift, x(*window).first + 0.85 * 15);
    emit summary.shiftsTableWidget->cellDoubleClicked(last, 0);
    const QPointF marker = window->Chart2D1->pixelOf(window->logic().MarkerTime, 0);
    EXPECT_LT(window->Chart2D1->mapToGlobal(marker.toPoint()).x(), over.left());

    // Export... writes the runs to the file chosen and the shifts beside it, and says both.
    const QTemporaryDir folder;
    prompts.answerFiles({folder.filePath("pass.csv").toStdString()});
    QTest::mouseClick(summary.exportButton, Qt::LeftButton);
    const std::string runs = slurp(folder.filePath("pass.csv").toStdString());
    const std::string shifts = slurp(folder.filePath("pass-shifts.csv").toStdString());
    EXPECT_EQ(runs.rfind("run,start_s,first_motion_s,", 0), 0u) << runs;
    EXPECT_EQ(std::count(runs.begin(), runs.end(), '\n'), 1 + 1);
    EXPECT_EQ(shifts.rfind("run,time_s,gear_from,gear_to,", 0), 0u) << shifts;
    EXPECT_EQ(std::count(shifts.begin(), shifts.end(), '\n'), 1 + 3);
    EXPECT_EQ(summary.statusLabel->text(), "Runs written to pass.csv, shifts to pass-shifts.csv.");

    prefs.VSSUnits = "KPH";
    EXPECT_EQ(makeRunSummary(*log, prefs).runs.headers[5], "0-100 km/h (s)");
    // Without a run or without a log the window says so and has nothing to export.
    for (int i = 1; i <= SampleCount; ++i) {
        log->TPSData.at(i) = 20;
        log->OutputData.at(i) = 0;
    }
    RunSummaryWindow none(makeRunSummary(*log, prefs), prompts, {});
    EXPECT_EQ(none.messageLabel->text().toStdString(), noRunText());
    EXPECT_FALSE(none.exportButton->isEnabled());
    log->DataBufferEmpty = true;
    EXPECT_EQ(makeRunSummary(*log, prefs).message, EmptyLogText);
}

TEST_F(frmChart1Test, WheelspinRowsLeadTheMarkerAndShadeTheChart) {
    loadDrive(*log, sim::generateDragRun(0.096).fram, 0.096f);
    auto window = open();
    RunAnalysis analysis = analyseRuns(*log);
    ASSERT_EQ(analysis.runs.size(), 1u);
    analysis.runs[0].wheelspin = {{22.4, 23.1, 7.5}, {25.5, 25.9, 3.2}};
    analysis.shiftPoints = {{1, 6400.4, 6445, 6010, ""},
                            {2, std::nullopt, 6352, std::nullopt, "the pull in 3rd is too short"}};
    const QTemporaryDir folder;
    const std::string logFile = folder.filePath("drag-shifts.csv").toStdString();
    spit(logFile, "the log");
    RunSummaryWindow::Chart chart;
    chart.mark = [&window](double time) { window->logic().markAt(time); };
    chart.bands = [&window](const std::vector<TimeSpan>& spans) { window->setSpinBands(spans); };
    RunSummaryWindow summary(makeRunSummary(analysis, SpeedUnit::Kph, logFile), prompts,
                             std::move(chart));

    ASSERT_EQ(summary.wheelspinTableWidget->rowCount(), 2);
    EXPECT_EQ(summary.wheelspinTableWidget->item(0, 3)->text(), "12.1");  // km/h
    EXPECT_EQ(summary.runsTableWidget->item(0, 14)->text(), "2");
    emit summary.wheelspinTableWidget->cellDoubleClicked(1, 2);
    EXPECT_NEAR(window->logic().MarkerTime, 25.5, 0.05);
    EXPECT_TRUE(summary.wheelspinBox->isEnabled());
    summary.wheelspinBox->setChecked(true);
    EXPECT_EQ(window->Chart2D1->bandCount(), 2u);
    summary.wheelspinBox->setChecked(false);
    EXPECT_EQ(window->Chart2D1->bandCount(), 0u);
    // Where to shift: the best engine speed, or in its place why the log cannot tell it.
    const QTableWidget& points = *summary.shiftPointsTableWidget;
    ASSERT_EQ(points.rowCount(), 2);
    EXPECT_EQ(points.item(0, 0)->text(), "1 to 2");
    EXPECT_EQ(points.item(0, 1)->text(), "6400");
    EXPECT_EQ(points.item(0, 3)->text(), "6010");
    EXPECT_EQ(points.item(1, 0)->text(), "2 to 3");
    EXPECT_EQ(points.item(1, 1)->text(), "the pull in 3rd is too short");
    EXPECT_EQ(points.item(1, 3)->text(), "");
    ASSERT_EQ(summary.timeSlipLabels.size(), 1u);
    EXPECT_TRUE(summary.timeSlipLabels[0]->text().contains(QString::fromUtf8("60 ft")));

    // The shifts' file would land on the log shown: nothing is written, and the message says so.
    prompts.answerMessages({Answer::Ok});
    prompts.answerFiles({folder.filePath("drag.csv").toStdString()});
    QTest::mouseClick(summary.exportButton, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(folder.filePath("drag.csv")));
    EXPECT_EQ(slurp(logFile), "the log");
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_NE(prompts.messageTexts()[0].find("is the log file shown here"), std::string::npos);
}

TEST_F(frmChart1Test, WheelZoomsAtTheEndHomeShowsAllAndATimeScaleReturns) {
    auto window = open();
    wheelAt(*window, 269.9, 1);  // 120..270 narrows to 150..270 about the end
    EXPECT_NEAR(x(*window).first, 150, 0.2);
    EXPECT_NEAR(x(*window).second, 270, 0.2);
    const QScrollBar* bar = window->scrChart2D1;
    EXPECT_EQ(std::make_pair(bar->maximum(), bar->pageStep()), std::make_pair(210, 120));
    QTest::keyClick(window.get(), Qt::Key_Home);
    EXPECT_EQ(x(*window), (Range{0, 270}));
    QTest::mouseClick(window->optTimeScale1, Qt::LeftButton);
    EXPECT_EQ(bar->maximum(), 270);
    EXPECT_EQ(x(*window), (Range{262.5, 270}));  // on the marker, cut
}

// With the plot focused the keys walk the marker by a sample, a window's width or to either end,
// read out as a click leaves it, and the window follows; Home alone still shows the whole log.
TEST_F(frmChart1Test, KeysWalkTheMarkerAndTheWindowFollows) {
    auto window = open();  // 120..270, the marker on the last sample
    Chart2D* plot = window->Chart2D1;
    EXPECT_EQ(plot->focusPolicy(), Qt::StrongFocus);
    for (const char* told : {"wheel zooms", "middle button pans", "right button opens the tools"}) {
        EXPECT_TRUE(plot->toolTip().contains(told)) << told;
    }
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(plot, key, modifiers);
        return plot->marker();
    };
    EXPECT_NEAR(press(Qt::Key_Left), 269.9, 1e-4);
    EXPECT_EQ(window->lblMarkerTime->text(), "269.9 Sec ");
    EXPECT_FALSE(window->lblMarkerTrace1->text().isEmpty());
    EXPECT_NEAR(press(Qt::Key_Right), 270, 1e-4);
    EXPECT_NEAR(press(Qt::Key_Right), 270, 1e-4);   // no further than the last sample
    EXPECT_NEAR(press(Qt::Key_PageUp), 120, 1e-4);  // the 150 s window on show
    EXPECT_NEAR(press(Qt::Key_PageUp), 0.1, 1e-4);  // as far as the first sample
    EXPECT_LE(x(*window).first, 0.1);
    EXPECT_NEAR(press(Qt::Key_PageDown), 150.1, 1e-4);
    EXPECT_TRUE(x(*window).first <= 150.1 && x(*window).second >= 150.1);
    EXPECT_NEAR(press(Qt::Key_End, Qt::ControlModifier), 270, 1e-4);
    EXPECT_NEAR(press(Qt::Key_Home, Qt::ControlModifier), 0.1, 1e-4);
    EXPECT_EQ(window->lblMarkerTime->text(), "0.1 Sec ");

    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    plot->setFocus();
    EXPECT_NEAR(press(Qt::Key_Home), 0.1, 1e-4);
    EXPECT_EQ(x(*window), (Range{0, 270}));
}

TEST_F(frmChart1Test, BReadoutAndAnOverlaidRunLeaveTheLogAlone) {
    auto window = open();
    window->logic().setBMarkerAt(100.04);
    EXPECT_EQ(window->Chart2D1->bMarker(), 100.0);  // on the nearest sample
    EXPECT_EQ(window->bTimeLabel->text(), "100.0 Sec");
    EXPECT_FALSE(window->meanTrace1Label->text().isEmpty());
    EXPECT_EQ(window->lblMarkerTime->text(), "Sec ");  // the marker's read-outs keep theirs

    auto other = std::make_unique<DataLog>(*log);
    other->FirmwareID = "Shift Light 2.0";
    const QTemporaryDir folder;
    const std::string file = folder.filePath("last week.log").toStdString();
    spit(file, logFileText(*other, prefs, "Maker"));
    const DataLog before = *log;
    prompts.answerFiles({file});
    window->logic().overlayLogFile();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(window->Chart2D1->overlayCount(), 1);
    EXPECT_EQ(log->RPMData, before.RPMData);
    EXPECT_EQ(prefs.Input1Type, "Analog");
    window->logic().removeOverlays();
    EXPECT_EQ(window->Chart2D1->overlayCount(), 0);
}

TEST_F(frmChart1Test, SavedPicturesDecodeToTheSizeAskedFor) {
    auto window = open();
    const QSize shown = window->Chart2D1->size();
    const QTemporaryDir folder;
    prompts.answerFiles(
        {folder.filePath("chart.png").toStdString(), folder.filePath("chart.svg").toStdString()});
    prompts.answerMessages({Answer::Yes});  // twice the size on screen
    window->saveImage();
    window->saveImage();
    EXPECT_EQ(QImage(folder.filePath("chart.png")).size(), shown * 2);
    QSvgRenderer svg(folder.filePath("chart.svg"));
    EXPECT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(QPoint(), shown));
}

}  // namespace
}  // namespace velkor::test
