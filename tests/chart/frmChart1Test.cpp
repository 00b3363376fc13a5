// The chart window as a person sees it, offscreen, on a realistic log.

#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QChartView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <memory>

#include "app/frmMain.h"
#include "base/DataFiles.h"
#include "base/Preferences.h"
#include "chart/Chart2D.h"
#include "chart/frmChart1.h"
#include "log/FramDecode.h"
#include "options/DialogDriver.h"
#include "sim/Simulator.h"
#include "support/Drives.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

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

    // Clicks the chart at a time, halfway up the plot.
    static void clickAt(frmChart1& window, double time, Qt::MouseButton button = Qt::LeftButton) {
        auto* view = window.Chart2D1->findChild<QChartView*>();
        QWidget* viewport = view->viewport();
        const QPointF pixel = window.Chart2D1->pixelOf(time, 5000);
        QTest::mousePress(viewport, button, {},
                          viewport->mapFrom(window.Chart2D1, pixel.toPoint()));
        QTest::mouseRelease(viewport, button, {},
                            viewport->mapFrom(window.Chart2D1, pixel.toPoint()));
    }

    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    ScriptedPrompts prompts;
};

// What the window opens on is the chart logic's, proven there; here the widgets show it.
TEST_F(frmChart1Test, OpensOnTheLastHalfWindowWithEmptyReadouts) {
    auto window = open();
    EXPECT_EQ(window->windowTitle(), "Shift Light Controller Data Logging Program - Chart Display");
    EXPECT_TRUE(window->optTimeScale3->isChecked());
    EXPECT_TRUE(window->traceOptions.at(TraceOption::Trace2VSS)->isChecked());
    EXPECT_EQ(window->scrChart2D1->value(), 270);
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::X), (std::pair<double, double>{120, 270}));
    EXPECT_EQ(window->lblMarkerTime->text(), "Sec ");
    EXPECT_EQ(window->lblLogIntervalData->text(), "0.10");
    EXPECT_EQ(window->Chart2D1->points(1).size(), 2700);
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(frmChart1Test, ClicksTimeScalesAndScrolling) {
    log->StatusData.at(1500) = 2;
    log->OutputData.at(1500) = 9;
    auto window = open();
    QTest::mouseClick(window->optTimeScale2, Qt::LeftButton);
    window->scrChart2D1->setValue(150);
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::X), (std::pair<double, double>{120, 180}));

    clickAt(*window, 150.0);
    EXPECT_EQ(window->lblMarkerTime->text(), "150.0 Sec ");
    EXPECT_EQ(window->lblStatus->text(), "Armed\nShift Light\nAlarm 1");
    EXPECT_FALSE(window->lblMarkerTrace1->text().isEmpty());

    QTest::mouseClick(window->cmdReset, Qt::LeftButton);
    EXPECT_EQ(window->lblMarkerTime->text(), "0.000 Sec ");
    clickAt(*window, 140.0);
    EXPECT_EQ(window->lblMarkerTime->text(), "-10.0 Sec ");
    const QString before = window->lblMarkerTime->text();
    clickAt(*window, 170.0, Qt::RightButton);
    EXPECT_EQ(window->lblMarkerTime->text(), before);

    // A trace option clicked by the person replaces trace 2 and keeps the read-outs.
    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace2Shift), Qt::LeftButton);
    EXPECT_FALSE(window->Chart2D1->axisShown(Chart2D::Axis::Y2));
    EXPECT_TRUE(window->Chart2D1->labelShown(1));
    EXPECT_EQ(window->Chart2D1->labelText(3), "Shift/Launch Light");
    EXPECT_EQ(window->lblMarkerTime->text(), before);

    // Moving the scroll bar clears them.
    window->scrChart2D1->setValue(60);
    EXPECT_EQ(window->lblMarkerTime->text(), "Sec ");
    EXPECT_EQ(window->lblStatus->text(), "");
}

TEST_F(frmChart1Test, MissingTemplateSaysSoAndShowsNoData) {
    prompts.answerMessages({Answer::Ok});
    auto window = open({"/nonexistent"});
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Chart template file Velkor_Chart.oc2 not found."});
    EXPECT_TRUE(window->Chart2D1->points(1).isEmpty());
    EXPECT_TRUE(window->isVisible());  // a click on it reads nothing out: the logic's test
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
    ASSERT_GT(highest, 0);
    const std::pair<double, double> rpm{0, highest};
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::Y), rpm);

    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace1TPS), Qt::LeftButton);
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::Y), (std::pair<double, double>{0, 100}));
    QTest::mouseClick(window->traceOptions.at(TraceOption::Trace1RPM), Qt::LeftButton);
    EXPECT_EQ(window->Chart2D1->axisTitle(Chart2D::Axis::Y), "RPM");
    EXPECT_EQ(window->Chart2D1->axisRange(Chart2D::Axis::Y), rpm);
}

// View, View Chart from the main window's menu: it ends a live view, then says there is nothing
// to show, or opens the chart window on the log.
TEST_F(frmChart1Test, ViewChartFromTheMenuWithAndWithoutALog) {
    auto data = std::make_unique<AppData>();
    frmMain window(*data, prompts, {VELKOR_DATA_DIR});
    data->state.RealTimeActive = true;
    prompts.answerMessages({Answer::Ok});
    window.mnuViewChart->trigger();
    EXPECT_FALSE(data->state.RealTimeActive);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, "Data buffer empty.");
    EXPECT_EQ(prompts.messages()[0].title, "View Chart");
    EXPECT_EQ(prompts.messages()[0].icon, Icon::Exclamation);

    data->log = *log;
    QString title;
    int points = 0;
    whenModalShown("frmChart1", [&](QDialog& chart) {
        title = chart.windowTitle();
        points = static_cast<int>(static_cast<frmChart1&>(chart).Chart2D1->points(1).size());
        chart.accept();
    });
    window.mnuViewChart->trigger();
    EXPECT_EQ(title.toStdString(), "Shift Light Controller Data Logging Program - Chart Display");
    EXPECT_EQ(points, 2700);
    EXPECT_EQ(prompts.shown().size(), 1u);
}

}  // namespace
}  // namespace velkor::test
