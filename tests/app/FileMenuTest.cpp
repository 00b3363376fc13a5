// A log file opened by its path, as the command line and File ▸ Recent Files open it, on the
// main window with the real settings store: the same questions and messages as Open File, and
// the list of recent files as the submenu shows it.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include "../logbook/LogbookFixture.h"
#include "app/frmMain.h"
#include "log/RecentFiles.h"
#include "options/DialogDriver.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"
#include "support/StartedMainWindow.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

// The submenu as it is about to show: each item's text, greyed ones in brackets.
QStringList recentMenu(frmMain& window) {
    emit window.mnuRecentFiles->aboutToShow();
    QStringList items;
    for (QAction* action : window.mnuRecentFiles->actions()) {
        items << (action->isEnabled() ? action->text() : "[" + action->text() + "]");
    }
    return items;
}

TEST(FileMenu, APathOpensAsOpenFileAndRecentFilesListsAndReopensIt) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("pass & run.log").toStdString();
    test::spit(path, test::dragLogText(5));
    test::StartedMainWindow started;
    frmMain& window = started.window;
    auto& data = started.data;
    test::ScriptedPrompts& prompts = started.prompts;
    EXPECT_EQ(recentMenu(window), QStringList{"[(none)]"});

    // A file that cannot be opened: Open File's message, and nothing listed.
    prompts.answerMessages({Answer::Abort});
    window.openLogByPath(folder.filePath("missing.log").toStdString());
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_NE(prompts.messageTexts()[0].find("missing.log could not be opened"), std::string::npos);
    EXPECT_TRUE(data->log.DataBufferEmpty);

    int charts = 0;
    const auto inChart = [&] {
        test::whenModalShown("frmChart1", [&](QDialog& dialog) {
            ++charts;
            dialog.reject();
        });
    };
    inChart();
    window.openLogByPath(path);
    EXPECT_EQ(charts, 1);
    EXPECT_EQ(data->log.FilePath, path);

    // A listed file that has gone is greyed; the '&' in a name is shown, not an access key.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor")
        .setValue("Properties/" + QString::fromStdString(recentFileKey(2)), "/nowhere/old.log");
    EXPECT_EQ(recentMenu(window),
              (QStringList{"&1 " + QString::fromStdString(path).replace("&", "&&"),
                           "[&2 /nowhere/old.log]"}));

    // Chosen from the menu: the question before the log in memory goes, then the chart.
    prompts.answerMessages({Answer::Ok});
    inChart();
    window.mnuRecentFiles->actions().at(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(charts, 2);
    EXPECT_EQ(prompts.messageTexts().back(), "Data buffer not empty. OK to overwrite?");
}

}  // namespace
}  // namespace velkor
