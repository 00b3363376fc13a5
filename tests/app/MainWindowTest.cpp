// The main window as a person meets it, offscreen, with the real settings store in a temporary
// profile.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/frmMain.h"
#include "base/AppContext.h"
#include "base/QtSettingsStore.h"
#include "live/CircularGauge.h"
#include "options/DialogDriver.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

void clearStore() {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor");
    settings.clear();
    settings.sync();
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        clearStore();
        data->branding.InfoLines = {"Acme"};
    }
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    test::ScriptedPrompts prompts;
    // The start-up ends by showing the display options dialog modally.
    test::ConfirmDisplayOptions confirmDisplayOptions;
};

TEST_F(MainWindowTest, FirstStartShowsTheCaptionMenusAndDefaults) {
    frmMain window(*data, prompts, {});
    window.Form_Load();

    EXPECT_EQ(window.windowTitle(), "Acme Shift Light Controller Data Logging Program Version 2.0");
    QStringList menus;
    for (QAction* action : window.menuBar()->actions()) {
        QStringList items;
        for (QAction* item : action->menu()->actions()) {
            items << (item->isSeparator() ? "-" : item->text());
            EXPECT_TRUE(item->isEnabled());
            EXPECT_TRUE(item->shortcut().isEmpty());
        }
        menus << action->text() + ": " + items.join(" | ");
    }
    EXPECT_EQ(menus.join("\n").toStdString(),
              "&File: &Open File | &Save File | - | Print Set&up | - | E&xit\n"
              "&Edit: &Comment | Display &Options\n"
              "&View: View &Real Time Data | View &Chart (Downloaded Data)\n"
              "&Communications: &Download Data | Clear Controller Data Buffer | &Port Setup\n"
              "&Help: &Contents | &About");

    EXPECT_TRUE(window.fraRealTimeData->isHidden());
    EXPECT_TRUE(window.fraProgress1->isHidden());
    EXPECT_TRUE(window.fraPortSelect->isHidden());
    ASSERT_EQ(window.cboPort->count(), 255);
    EXPECT_TRUE(window.cboPort->itemText(0).startsWith("Com1 "));
    EXPECT_TRUE(window.cboPort->itemText(254).startsWith("Com255 "));
    EXPECT_EQ(window.cboPort->currentIndex(), 0);

    // The stored port is written back as text in the "Properties" section.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor");
    EXPECT_EQ(settings.value("Properties/CommPort").toString(), "1");
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainWindowTest, ChoosingAPortInTheFrameStoresIt) {
    frmMain window(*data, prompts, {});
    window.Form_Load();
    window.show();
    window.mnuPortSetup->trigger();
    EXPECT_FALSE(window.fraPortSelect->isHidden());
    window.cboPort->setCurrentIndex(2);
    EXPECT_EQ(data->prefs.CommPortNumber, 3);
    EXPECT_EQ(QtSettingsStore().read("CommPort"), "3");
    QTest::mouseClick(window.cmdPortSelectOK, Qt::LeftButton);
    EXPECT_TRUE(window.fraPortSelect->isHidden());
}

TEST_F(MainWindowTest, StoredTextsComeBackThroughTheRealStore) {
    QtSettingsStore store;
    store.write("TPS_Percent_Display", "0");
    store.write("Input2Legend", "Oil, hot");
    store.write("Speedo_Max", "abc");
    prompts.answerMessages({Answer::Ignore});

    frmMain window(*data, prompts, {});
    window.Form_Load();
    EXPECT_FALSE(data->prefs.TPSPercentDisplay);
    EXPECT_EQ(data->prefs.Input2Legend, "Oil, hot");
    EXPECT_EQ(data->prefs.SpeedoMax, 0);
    ASSERT_EQ(prompts.messageTexts().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].title, "Error");
}

TEST_F(MainWindowTest, EscFromAnyControlRequestsAnAbortAndExitCloses) {
    frmMain window(*data, prompts, {});
    window.Form_Load();
    window.show();
    window.mnuPortSetup->trigger();
    EXPECT_FALSE(data->state.AbortRequested);
    QTest::keyClick(window.cboPort, Qt::Key_Escape);
    EXPECT_TRUE(data->state.AbortRequested);

    data->state.AbortRequested = false;
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(data->state.AbortRequested);

    window.mnuExit->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(prompts.shown().empty());
}

TEST_F(MainWindowTest, AboutShowsTheBrandingLines) {
    data->branding.InfoLines = {"Acme", "Acme Ltd", "1 Road"};
    prompts.answerMessages({Answer::Ok});
    frmMain window(*data, prompts, {});
    window.mnuAbout->trigger();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].title, "About");
    EXPECT_EQ(prompts.shown()[0].icon, Icon::Information);
    EXPECT_EQ(prompts.shown()[0].text.rfind("Acme Shift Light Controller Data Logging Program "
                                            "Revision 2.00\r\n",
                                            0),
              0u);
}

}  // namespace
}  // namespace velkor
