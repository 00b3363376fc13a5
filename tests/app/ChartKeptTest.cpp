// The chart window as the main window opens it: View Chart gives back its B marker and zoom on the
// log it closed on; a log file opened starts it afresh, even the same file again.

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "app/frmMain.h"
#include "chart/Chart2D.h"
#include "chart/frmChart1.h"
#include "log/FramDecode.h"
#include "log/LogFile.h"
#include "options/DialogDriver.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"
#include "support/StartedMainWindow.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

TEST(ChartKept, TheChartKeepsItsMeasuresWhileTheLogStaysLoaded) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("drive.log").toStdString();
    test::StartedMainWindow started;
    frmMain& window = started.window;
    auto& data = started.data;
    test::ScriptedPrompts& prompts = started.prompts;
    DataLog drive;
    drive.DataLogInterval = 0.1f;
    drive.FirmwareID = "Shift Light 2.0";
    BuildElapsedTime(drive);
    for (int p = 1; p <= SampleCount; ++p) {
        drive.RPMData.at(p) = float(1000 + p);
    }
    test::spit(path, logFileText(drive, data->prefs, "Acme"));

    std::optional<double> b;
    std::pair<double, double> shown;
    const auto inChart = [&](const std::function<void(frmChart1&)>& act) {
        test::whenModalShown("frmChart1", [&, act](QDialog& dialog) {
            auto& chart = static_cast<frmChart1&>(dialog);
            b = chart.Chart2D1->bMarker();
            shown = chart.Chart2D1->axisRange(Chart2D::Axis::X);
            act(chart);
            chart.reject();
        });
    };
    prompts.answerFiles({path});
    inChart([](frmChart1& chart) {
        chart.logic().setBMarkerAt(50);
        chart.logic().showSpan(40, 70);
    });
    window.mnuOpenFile->trigger();
    EXPECT_FALSE(b);
    EXPECT_EQ(window.keptChart().bSample, 500);

    inChart([](frmChart1&) {});
    window.mnuViewChart->trigger();
    EXPECT_EQ(b, 50.0);
    EXPECT_EQ(shown, (std::pair<double, double>{40, 70}));

    prompts.answerMessages({Answer::Ok});  // Data buffer not empty. OK to overwrite?
    prompts.answerFiles({path});
    inChart([](frmChart1&) {});
    window.mnuOpenFile->trigger();
    EXPECT_FALSE(b);
    EXPECT_EQ(shown, (std::pair<double, double>{120, 270}));
    EXPECT_EQ(prompts.messages().size(), 1u);
}

}  // namespace
}  // namespace velkor
