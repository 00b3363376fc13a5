// The main window, offscreen, with the real settings store in a temporary profile.

#include <gtest/gtest.h>
#include <signal.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "app/frmMain.h"
#include "base/AppContext.h"
#include "base/QtSettingsStore.h"
#include "chart/Chart2D.h"
#include "chart/frmChart1.h"
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

// The tachometer's redline and full scale, the speedometer's.
std::vector<double> gauges(const frmMain& window) {
    return {window.gauTach->redline(), window.gauTach->fullScale(),
            window.gauSpeedometer->redline(), window.gauSpeedometer->fullScale()};
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        clearStore();
        data->branding.InfoLines = {"Acme"};
    }
    // Runs the start-up, which ends by showing the display options dialog modally: OK there.
    static void load(frmMain& window) {
        test::whenModalShown("frmDisplayOptions", [](QDialog& dialog) {
            dialog.findChild<QPushButton*>("cmdOK")->click();
        });
        window.Form_Load();
    }

    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    test::ScriptedPrompts prompts;
};

TEST_F(MainWindowTest, FirstStartShowsTheCaptionMenusAndDefaults) {
    frmMain window(*data, prompts, {});
    load(window);

    EXPECT_EQ(window.windowTitle(), "Acme Shift Light Controller Data Logging Program Version 2.0");
    QStringList menus;
    QStringList keys;
    for (QAction* action : window.menuBar()->actions()) {
        QStringList items;
        for (QAction* item : action->menu()->actions()) {
            items << (item->isSeparator() ? "-" : item->text());
            EXPECT_TRUE(item->isEnabled());
            if (!item->shortcut().isEmpty()) {
                keys << item->objectName() + " " + item->shortcut().toString();
            }
        }
        menus << action->text() + ": " + items.join(" | ");
    }
    EXPECT_EQ(keys.join(", ").toStdString(),
              "mnuOpenFile Ctrl+O, mnuSaveFile Ctrl+S, mnuPrintSetup Ctrl+P, mnuExit Ctrl+Q, "
              "mnuHelpContents F1");
    EXPECT_EQ(
        menus.join("\n").toStdString(),
        "&File: &Open File | &Save File | - | Print Set&up | - | Recent &Files | - | E&xit\n"
        "&Edit: &Comment | Display &Options\n"
        "&View: View &Real Time Data | View &Chart (Downloaded Data) | - | Run &Summary | - | "
        "Re&play Log | - | &Logbook\n"
        "&Communications: &Download Data | &Clear Controller Data Buffer | &Port Setup\n"
        "&Help: &Contents | &About");

    EXPECT_TRUE(window.fraRealTimeData->isHidden() && window.fraProgress1->isHidden() &&
                window.fraPortSelect->isHidden());
    ASSERT_EQ(window.cboPort->count(), 255);
    EXPECT_TRUE(window.cboPort->currentText().startsWith("Com1 "));

    // The port is written back as text in the "Properties" section.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Velkor", "Velkor");
    EXPECT_EQ(settings.value("Properties/CommPort").toString(), "1");
    EXPECT_EQ(gauges(window), (std::vector<double>{6.5, 10, 85, 140}));
    EXPECT_EQ(std::make_tuple(data->prefs.TPSPercentDisplay, data->prefs.Input2Legend,
                              data->prefs.Input1Slope, data->prefs.Input1Offset),
              std::make_tuple(true, std::string("Analog Input"), 5.577f, 3.051f));
    EXPECT_TRUE(prompts.shown().empty());

    prompts.answerMessages({Answer::Ok});
    window.mnuAbout->trigger();
    const test::ShownPrompt about = prompts.shown().at(0);
    EXPECT_EQ(
        std::make_tuple(about.title, about.icon, about.text.substr(0, 64)),
        std::make_tuple(std::string("About"), Icon::Information,
                        "Acme Shift Light Controller Data Logging Program Revision 2.00\r\n"));
}

TEST_F(MainWindowTest, CtrlSAndCtrlOBelongToTheWindowWithTheFocus) {
    frmMain window(*data, prompts, {});
    load(window);
    frmChart1 chart(data->log, data->prefs, prompts, {VELKOR_DATA_DIR}, &window);
    chart.Form_Load();
    // The handlers would ask for files; only which action the keys reach is looked at.
    for (QAction* action :
         {window.mnuSaveFile, window.mnuOpenFile, chart.saveImageAction, chart.overlayAction}) {
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
    }
    QSignalSpy mainSave(window.mnuSaveFile, &QAction::triggered);
    QSignalSpy mainOpen(window.mnuOpenFile, &QAction::triggered);
    QSignalSpy chartSave(chart.saveImageAction, &QAction::triggered);
    QSignalSpy chartOpen(chart.overlayAction, &QAction::triggered);

    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }));
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    const auto counts = [&] {
        return std::make_tuple(mainSave.count(), mainOpen.count(), chartSave.count(),
                               chartOpen.count());
    };
    EXPECT_EQ(counts(), std::make_tuple(1, 1, 0, 0));

    chart.show();
    chart.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &chart; }));
    QTest::keyClick(chart.Chart2D1, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(chart.Chart2D1, Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(counts(), std::make_tuple(1, 1, 1, 1));
    chart.hide();
}

TEST_F(MainWindowTest, StoredTextsAreReadAsTheirTypesThroughTheRealStore) {
    QtSettingsStore store;
    const std::pair<const char*, const char*> stored[] = {
        {"Tach_Redline", "7250.9"}, {"Tach_Max", "12000"},        {"Speedo_Redline", "99.9"},
        {"Speedo_Max", "abc"},      {"TPS_Percent_Display", "0"}, {"MaxInput2Volts", "7"},
        {"MinInput2Volts", "-1"},   {"Input1Type", "MAP 2 bar"},  {"PressureUnits", "psi"},
        {"CommPort", "3"},          {"Input2Legend", "Oil, hot"}};
    for (const auto& [key, text] : stored) {
        store.write(key, text);
    }
    prompts.answerMessages({Answer::Ignore});

    frmMain window(*data, prompts, {});
    load(window);
    ASSERT_EQ(prompts.messageTexts().size(), 1u);  // the speedometer's maximum, then its default
    EXPECT_EQ(prompts.shown()[0].title, "Error");
    const Preferences& prefs = data->prefs;
    EXPECT_EQ(
        std::make_tuple(prefs.SpeedoMax, prefs.TPSPercentDisplay, prefs.Input2Legend,
                        prefs.MaxInput2Volts, prefs.MinInput2Volts, prefs.Input1Slope,
                        prefs.Input1Offset, prefs.CommPortNumber),
        std::make_tuple(140.0f, false, std::string("Oil, hot"), 5.0f, 0.0f, 5.802f, 1.16f, 3));
    EXPECT_EQ(store.read("MaxInput2Volts"), "7");  // the clamp is for this run only
    EXPECT_EQ(store.read("Speedo_Max"), "140");    // the default replaces the ignored text
    // The redline 7.2509 to one decimal; the speedometer's fraction dropped.
    EXPECT_EQ(gauges(window), (std::vector<double>{7.3, 12, 99, 140}));
    EXPECT_EQ(window.cboPort->currentIndex(), 2);
}

// Esc belongs to the operation that runs: from any control it stops a save under way, and
// pressed while nothing runs it is forgotten, so the next save writes its file.
TEST_F(MainWindowTest, ThePortFrameStoresTheChoiceAndEscStopsOnlyTheRunningOperation) {
    frmMain window(*data, prompts, {});
    load(window);
    window.show();
    window.mnuPortSetup->trigger();
    EXPECT_FALSE(window.fraPortSelect->isHidden());
    window.cboPort->setCurrentIndex(2);
    EXPECT_EQ(data->prefs.CommPortNumber, 3);
    EXPECT_EQ(QtSettingsStore().read("CommPort"), "3");

    QTemporaryDir folder;
    const std::string path = folder.filePath("drive.log").toStdString();
    data->log.DataBufferEmpty = false;
    data->log.Comment = "kept";
    prompts.answerFiles({path});
    prompts.onYield = [&] { QTest::keyClick(window.cboPort, Qt::Key_Escape); };
    window.mnuSaveFile->trigger();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)) || data->state.AbortRequested);

    QTest::keyClick(window.cboPort, Qt::Key_Escape);
    QTest::mouseClick(window.cmdPortSelectOK, Qt::LeftButton);
    EXPECT_TRUE(window.fraPortSelect->isHidden());
    QTest::keyClick(&window, Qt::Key_Escape);
    prompts.answerFiles({path});
    window.mnuSaveFile->trigger();
    QFile written(QString::fromStdString(path));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().count("\r\n"), 2716);

    window.mnuExit->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(prompts.shown().size(), 2u);  // the two file dialogs
}

// Whether process `pid` has a handler of its own for `signal` (its caught-signals mask).
bool catches(qint64 pid, int signal) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
        }
    }
    return false;
}

// The desktop sends SIGTERM at log-out, a closed terminal SIGHUP: the real program closes as
// File, Exit closes it, during its splash or once its main window runs, and ends with 128 plus
// the signal's number.
TEST_F(MainWindowTest, ASignalToEndClosesTheProgramWithItsStatus) {
    for (const auto& [signal, afterStartUp] :
         {std::pair{SIGTERM, false}, std::pair{SIGHUP, true}}) {
        const QTemporaryDir profile;
        QProcess velkor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", profile.filePath("config"));
        env.insert("XDG_DATA_HOME", profile.filePath("share"));
        velkor.setProcessEnvironment(env);
        velkor.start(VELKOR_PATH, QStringList{});
        ASSERT_TRUE(velkor.waitForStarted());
        // The start-up stores the port choice once the main window is made.
        const QString stored = profile.filePath("config/Velkor/Velkor.conf");
        for (int wait = 0;
             wait < 3000 && velkor.state() == QProcess::Running &&
             (!catches(velkor.processId(), signal) || (afterStartUp && !QFile::exists(stored)));
             ++wait) {
            QTest::qWait(20);
        }
        ASSERT_TRUE(catches(velkor.processId(), signal)) << signal;
        ::kill(pid_t(velkor.processId()), signal);
        ASSERT_TRUE(velkor.waitForFinished(60000));
        EXPECT_EQ(velkor.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(velkor.exitCode(), 128 + signal);
    }
}

}  // namespace
}  // namespace velkor
