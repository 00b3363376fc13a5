// The chart window's measuring tools as a person uses them, offscreen: wheel and Home, the B
// read-out, an overlaid run, and pictures of the chart that decode to the size asked for.

#include <gtest/gtest.h>

#include <unistd.h>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QTest>
#include <QWheelEvent>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/Preferences.h"
#include "chart/Chart2D.h"
#include "chart/frmChart1.h"
#include "log/LogFile.h"
#include "support/AppFixture.h"
#include "support/Drives.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

const auto* const environment = installQtApplication();

class ChartMeasureWindowTest : public ::testing::Test {
protected:
    ChartMeasureWindowTest() {
        loadDrive(*log, sim::generateDrive(368 + 12 * 500, 11), 0.1f);
        fs::create_directories(folder);
        window = std::make_unique<frmChart1>(*log, prefs, prompts,
                                             std::vector<std::string>{VELKOR_DATA_DIR});
        window->Form_Load();
        window->show();
        QApplication::processEvents();
    }
    ~ChartMeasureWindowTest() override { fs::remove_all(folder); }

    void wheel(double time, int notches) {
        QWidget* viewport = window->Chart2D1->findChild<QChartView*>()->viewport();
        const QPointF pixel =
            viewport->mapFrom(window->Chart2D1, window->Chart2D1->pixelOf(time, 5000).toPoint());
        QWheelEvent event(pixel, viewport->mapToGlobal(pixel), {}, {0, 120 * notches}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
    std::pair<double, double> timeAxis() const {
        return window->Chart2D1->axisRange(Chart2D::Axis::X);
    }

    const fs::path folder =
        fs::temp_directory_path() / ("velkor-chart-measure-" + std::to_string(::getpid()));
    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    ScriptedPrompts prompts;
    std::unique_ptr<frmChart1> window;
};

TEST_F(ChartMeasureWindowTest, WheelZoomsAtTheEndHomeShowsAllAndATimeScaleReturns) {
    wheel(269.9, 1);  // 120..270 narrows to 150..270 about the end
    EXPECT_NEAR(timeAxis().first, 150, 0.2);
    EXPECT_NEAR(timeAxis().second, 270, 0.2);
    EXPECT_EQ(window->scrChart2D1->maximum(), 210);
    EXPECT_EQ(window->scrChart2D1->pageStep(), 120);
    QTest::keyClick(window.get(), Qt::Key_Home);
    EXPECT_EQ(timeAxis(), (std::pair<double, double>{0, 270}));
    QTest::mouseClick(window->optTimeScale1, Qt::LeftButton);
    EXPECT_EQ(window->scrChart2D1->maximum(), 270);
    EXPECT_EQ(timeAxis(), (std::pair<double, double>{262.5, 270}));  // on the marker, cut
}

TEST_F(ChartMeasureWindowTest, BReadoutAndAnOverlaidRunLeaveTheLogAlone) {
    window->logic().setBMarkerAt(100.04);
    EXPECT_EQ(window->Chart2D1->bMarker(), 100.0);  // on the nearest sample
    EXPECT_EQ(window->lblBTime->text(), "100.0 Sec");
    EXPECT_FALSE(window->lblMeanTrace1->text().isEmpty());
    EXPECT_EQ(window->lblMarkerTime->text(), "Sec ");  // the marker's read-outs keep theirs

    auto other = std::make_unique<DataLog>(*log);
    other->FirmwareID = "Shift Light 2.0";
    const fs::path file = folder / "last week.log";
    spit(file, logFileText(*other, prefs, "Maker"));
    const DataLog before = *log;
    prompts.answerFiles({file.string()});
    window->logic().overlayLogFile();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(window->Chart2D1->overlayCount(), 1);
    EXPECT_EQ(log->RPMData, before.RPMData);
    EXPECT_EQ(prefs.Input1Type, "Analog");
    window->logic().removeOverlays();
    EXPECT_EQ(window->Chart2D1->overlayCount(), 0);
}

TEST_F(ChartMeasureWindowTest, SavedPicturesDecodeToTheSizeAskedFor) {
    const QSize shown = window->Chart2D1->size();
    prompts.answerFiles({(folder / "chart.png").string(), (folder / "chart.svg").string()});
    prompts.answerMessages({Answer::Yes});  // twice the size on screen
    window->saveImage();
    window->saveImage();
    const QImage png(QString::fromStdString((folder / "chart.png").string()));
    EXPECT_EQ(png.size(), shown * 2);
    QSvgRenderer svg(QString::fromStdString((folder / "chart.svg").string()));
    EXPECT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(QPoint(), shown));
}

TEST_F(ChartMeasureWindowTest, PageSavedAsPdfIsThePrintedPage) {
    AppFixture app;
    app.data->log.DownloadDate = "12/07/2026";
    app.data->log.Comment = "second run";
    QPrinter printer(QPrinter::HighResolution);
    window->setPrinting(app.ctx, printer);
    const fs::path pdf = folder / "page.pdf";
    prompts.answerFiles({pdf.string()});
    window->savePage();
    EXPECT_TRUE(prompts.messages().empty());
    ASSERT_EQ(slurp(pdf).substr(0, 5), "%PDF-");
    const std::string text = folder.string() + "/page.txt";
    ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text + "'").c_str()), 0);
    const std::string page = slurp(text);
    EXPECT_NE(page.find("Shift Light Controller Data Printed: 12/07/2026"), std::string::npos);
    EXPECT_NE(page.find("Comment: second run"), std::string::npos);
}

}  // namespace
}  // namespace velkor::test
