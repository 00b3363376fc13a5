// The logbook as the main window uses it: a log file opened is indexed, View ▸ Logbook lists it,
// Overlay on Chart lays a pass over the chart of the log in memory (and says there is none when
// there is none), and Open asks before it replaces the log in memory, as Open File does.

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "../logbook/LogbookFixture.h"
#include "app/frmMain.h"
#include "chart/frmChart1.h"
#include "logbook/LogbookTable.h"
#include "logbookui/LogbookKeeper.h"
#include "logbookui/LogbookWindow.h"
#include "options/DialogDriver.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"
#include "support/StartedMainWindow.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

TEST(LogbookFromMainWindow, AnOpenedLogIsListedOverlaidAndOpenedAgainOnlyAfterAsking) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("2026-06-14_15-20-00.log").toStdString();
    test::spit(path, test::dragLogText(5));
    test::StartedMainWindow started;
    frmMain& window = started.window;
    auto& data = started.data;
    test::ScriptedPrompts& prompts = started.prompts;

    window.logbookAction->trigger();
    LogbookWindow* logbook = window.logbookWindow();
    ASSERT_NE(logbook, nullptr);
    EXPECT_TRUE(logbook->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!window.logbook().scanning(), 30000);
    EXPECT_EQ(logbook->passTable->model()->rowCount(), 0);

    // Nothing in memory yet: nothing to lay the pass over.
    prompts.answerFiles({path});
    int charts = 0;
    int overlays = -1;
    const auto inChart = [&] {
        test::whenModalShown("frmChart1", [&](QDialog& dialog) {
            ++charts;
            QCoreApplication::processEvents();  // the overlay is laid once the window is up
            overlays = static_cast<frmChart1&>(dialog).logic().overlayCount();
            dialog.reject();
        });
    };
    inChart();
    window.mnuOpenFile->trigger();
    EXPECT_EQ(charts, 1);
    QTRY_COMPARE_WITH_TIMEOUT(logbook->passTable->model()->rowCount(), 1, 30000);
    EXPECT_EQ(window.logbook().book()->files(), std::vector<std::string>{path});

    logbook->passTable->selectRow(0);
    inChart();
    logbook->overlayButton->click();
    EXPECT_EQ(charts, 2);
    EXPECT_EQ(overlays, 1);

    // Open asks first; Cancel keeps the log in memory and opens nothing.
    prompts.answerMessages({Answer::Cancel});
    logbook->openButton->click();
    EXPECT_EQ(charts, 2);
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_EQ(prompts.messageTexts()[0], "Data buffer not empty. OK to overwrite?");

    // With no log in memory, Overlay on Chart says why nothing happens.
    ClearDataBuffer(data->log);
    prompts.answerMessages({Answer::Ok});
    logbook->overlayButton->click();
    EXPECT_EQ(charts, 2);
    ASSERT_EQ(prompts.messageTexts().size(), 2u);
    EXPECT_EQ(prompts.messageTexts()[1], LogbookOverlayNeedsLog);
}

}  // namespace
}  // namespace velkor
