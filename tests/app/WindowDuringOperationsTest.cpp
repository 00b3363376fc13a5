// The main window closed, or a menu chosen, while an operation lets window events run: the
// operation ends at its next step without another prompt or byte, without opening the port again
// or waiting out a deadline. Against the simulator's controller logic, then through the window's
// event loop and the real serial port against velkor-sim on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app/StartUp.h"
#include "app/frmMain.h"
#include "base/ShutdownPrompts.h"
#include "chart/frmChart1.h"
#include "link/ClearLog.h"
#include "live/LiveTestSupport.h"
#include "log/Download.h"
#include "sim/Simulator.h"
#include "support/EventLoopPrompts.h"
#include "support/Files.h"
#include "support/QtApp.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

constexpr std::uint8_t EraseLast = 59, ReadRPM = 39, ReSync = 51;

TEST(ShutdownPrompts, AfterTheCloseEveryPromptIsBackedOutOfUnseen) {
    ScriptedPrompts shown;
    SharedState state;
    ShutdownPrompts prompts(shown, state);
    state.ShuttingDown = true;
    const std::pair<Buttons, Answer> table[] = {{Buttons::Ok, Answer::Ok},
                                                {Buttons::OkCancel, Answer::Cancel},
                                                {Buttons::YesNo, Answer::No},
                                                {Buttons::YesNoCancel, Answer::Cancel},
                                                {Buttons::RetryCancel, Answer::Cancel},
                                                {Buttons::AbortRetryIgnore, Answer::Abort}};
    for (const auto& [buttons, answer] : table) {
        EXPECT_EQ(prompts.message("t", "x", Icon::None, buttons), answer);
    }
    EXPECT_FALSE(prompts.inputBox("Comment?", "x", ""));
    EXPECT_FALSE(prompts.saveFileName({"Save File", "*.log", 1}));
    EXPECT_FALSE(prompts.openFileName({"Open File", "*.log", 1}));
    prompts.yield();
    EXPECT_TRUE(shown.shown().empty());
    EXPECT_EQ(shown.yields(), 0);
}

TEST(RunStep, OnlyRetryRunsAStepAgain) {
    const std::pair<Answer, StepResult> table[] = {{Answer::Abort, StepResult::Aborted},
                                                   {Answer::Ignore, StepResult::Ignored},
                                                   {Answer::Ok, StepResult::Aborted},
                                                   {Answer::Cancel, StepResult::Aborted},
                                                   {Answer::Retry, StepResult::Done}};
    for (const auto& [answer, result] : table) {
        ScriptedPrompts prompts;
        prompts.answerMessages({answer});
        int runs = 0;
        const auto failOnce = [&] {
            if (++runs == 1) {
                throw timeoutError();
            }
        };
        EXPECT_EQ(runStep(prompts, failOnce), result);
        EXPECT_EQ(runs, answer == Answer::Retry ? 2 : 1);
    }
}

// The program's state as the main window wires it: the prompts fall silent at the close.
class CloseDuringOperation : public LiveTest {
protected:
    // The close arrives while the operation next lets window events run.
    void closeAtNextYield() {
        prompts.onYield = [this] {
            closedAt = clock.now();
            bytesAtClose = port.written.size();
            opensAtClose = port.openedDevices.size();
            promptsAtClose = prompts.shown().size();
            shutDown(closing);
        };
    }

    // After the operation has returned: nothing more happened after the close.
    void expectQuietEnd() {
        ASSERT_TRUE(closedAt) << "the window was never closed";
        EXPECT_EQ(port.written.size(), bytesAtClose) << "bytes sent after the close";
        EXPECT_EQ(port.openedDevices.size(), opensAtClose) << "port opened after the close";
        EXPECT_EQ(prompts.shown().size(), promptsAtClose) << "prompt after the close";
        EXPECT_FALSE(port.isOpen());
        // The step under way finishes its 2 ms pause; no deadline is waited out.
        EXPECT_LE(clock.secondsSince(*closedAt), 0.002);
    }

    ShutdownPrompts guarded{prompts, data->state};
    AppContext closing{*data, guarded, store, view, port, clock, ""};
    ControllerLink closingLink{closing};
    std::optional<Clock::time_point> closedAt;
    std::size_t bytesAtClose = 0, opensAtClose = 0, promptsAtClose = 0;
};

TEST_F(CloseDuringOperation, DownloadOnADeadLineEndsWithoutTheOtherResyncs) {
    unplugged = true;
    closeAtNextYield();  // the first ReSync's reply is late: window events run while it waits
    mnuDownload_Click(closingLink);
    expectQuietEnd();
    EXPECT_EQ(port.writtenValues(), std::vector<std::uint8_t>{ReSync});
}

TEST_F(CloseDuringOperation, EraseEndsWhileAwaitingItsAcknowledgement) {
    intercept = [&](std::uint8_t byte, ScriptedPort&) {
        if (byte == EraseLast) {
            closeAtNextYield();
            return true;  // the acknowledgement is slow in coming
        }
        return false;
    };
    prompts.answerMessages({Answer::Ok});  // "All data logged by controller will be lost."
    mnuClearControllerBuffer_Click(closingLink);
    expectQuietEnd();
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"All data logged by controller will be lost. Proceed?"});
}

TEST_F(CloseDuringOperation, LiveRefreshEndsAfterItsReadAndTheTimerReadsNothingMore) {
    readings = idleReadings();
    mnuViewRealTime_Click(closingLink);
    ASSERT_TRUE(data->state.RealTimeActive);
    intercept = [&](std::uint8_t byte, ScriptedPort&) {
        if (byte == ReadRPM) {
            closeAtNextYield();
        }
        return false;
    };
    tmrDataRead_Timer(closingLink);
    tmrDataRead_Timer(closingLink);
    expectQuietEnd();
    EXPECT_EQ(port.writtenValues().back(), ReadRPM);
}

class WindowDuringOperations : public ::testing::Test {
protected:
    WindowDuringOperations() { data->prefs.CommPortNumber = 1; }

    void startSimulator() {
        const QString ports = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Velkor/ports";
        ASSERT_TRUE(QDir().mkpath(ports));
        sim::Config config;
        config.fram = sim::generateDrive(368, 3);
        config.eeprom = sim::makeEeprom(6, 26, 230);
        config.paced = true;
        config.linkPath = (ports + "/com1").toStdString();
        simulator = std::make_unique<sim::Simulator>(config);
        simulator->start();
    }

    // Runs the main loop with `menu` chosen, closes the window (as the close box does, from the
    // event loop) once `due` holds, and returns when the main loop has quit.
    void chooseAndCloseWhen(QAction* menu, const std::function<bool()>& due) {
        prompts.onYield = [this, due] {
            if (!closeDue && due()) {
                closeDue = true;
                QTimer::singleShot(0, window.get(), [this] {
                    closed = true;
                    receivedAtClose = simulator ? simulator->received().size() : 0;
                    promptsAtClose = prompts.shown().size();
                    window->close();
                });
            }
        };
        QTimer::singleShot(0, menu, &QAction::trigger);
        // Only against a hang: a correct close quits long before.
        QTimer::singleShot(30000, window.get(), [] { QCoreApplication::exit(2); });
        ASSERT_EQ(QCoreApplication::exec(), 0);
        ASSERT_TRUE(closed);
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->context().port.isOpen());
        EXPECT_EQ(prompts.shown().size(), promptsAtClose) << "prompt after the close";
        if (simulator) {
            QTest::qWait(200);  // a stray byte would have reached the simulator by now
            EXPECT_EQ(simulator->received().size(), receivedAtClose) << "bytes after the close";
        }
    }

    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    EventLoopPrompts prompts;
    std::unique_ptr<frmMain> window =
        std::make_unique<frmMain>(*data, prompts, std::vector<std::string>{});
    bool closeDue = false;
    bool closed = false;
    std::size_t receivedAtClose = 0, promptsAtClose = 0;
};

TEST_F(WindowDuringOperations, DuringADownload) {
    startSimulator();
    prompts.answerMessages({Answer::Ok});  // the firmware ID
    window->show();
    chooseAndCloseWhen(window->mnuDownload, [this] { return simulator->blocksServed() >= 100; });
    EXPECT_LT(simulator->blocksServed(), 512);
    EXPECT_TRUE(data->log.DataBufferEmpty);
}

// The rule for choices while an operation runs, item by item: the main window's menus half-way
// through a real download, where a greyed choice does nothing and the download goes on; and the
// chart window's actions, which the rule leaves open (the chart opens only once an operation's
// work is done).
TEST_F(WindowDuringOperations, EveryChoiceIsGreyedOrOfferedDuringADownloadAsTheRuleSays) {
    struct Row {
        const char* name;
        Choice choice;
        bool offered;
    };
    const std::vector<Row> table = {
        {"mnuOpenFile", Choice::OpenFile, false},
        {"mnuRecentFilesMenu", Choice::OpenFile, false},
        {"mnuSaveFile", Choice::SaveFile, false},
        {"mnuPrintSetup", Choice::PrintSetup, true},
        {"mnuExit", Choice::Exit, true},
        {"mnuEditComment", Choice::EditComment, false},
        {"mnuDisplayOptions", Choice::DisplayOptions, false},
        {"mnuViewRealTime", Choice::ViewRealTime, false},
        {"mnuViewChart", Choice::ViewChart, false},
        {"runSummaryAction", Choice::RunSummary, false},
        {"replayLogAction", Choice::ReplayLog, false},
        {"logbookAction", Choice::Logbook, true},
        {"mnuDownload", Choice::Download, false},
        {"mnuClearControllerBuffer", Choice::ClearControllerBuffer, false},
        {"mnuPortSetup", Choice::PortSetup, false},
        {"mnuHelpContents", Choice::HelpContents, true},
        {"mnuAbout", Choice::About, true},
        {"setBMarkerAction", Choice::ChartMarkers, true},
        {"clearBMarkerAction", Choice::ChartMarkers, true},
        {"showWholeLogAction", Choice::ChartZoom, true},
        {"copyImageAction", Choice::ChartPictures, true},
        {"saveImageAction", Choice::ChartPictures, true},
        {"savePageAction", Choice::ChartPictures, true},
        {"exportDataAction", Choice::ChartExportData, true},
        {"overlayAction", Choice::ChartOverlays, true},
        {"shiftOverlayAction", Choice::ChartOverlays, true},
        {"removeOverlaysAction", Choice::ChartOverlays, true},
        {"cmdPrint", Choice::ChartPrint, true},
    };
    std::map<std::string, bool> expected;
    for (const Row& row : table) {
        EXPECT_EQ(offeredDuring(row.choice, Activity::Download), row.offered) << row.name;
        EXPECT_TRUE(offeredDuring(row.choice, Activity::None)) << row.name;
        expected[row.name] = row.offered;
    }
    const auto chart =
        std::make_unique<frmChart1>(data->log, data->prefs, prompts, std::vector<std::string>{});
    for (const QAction* action : chart->findChildren<QAction*>()) {
        const std::string name = action->objectName().toStdString();
        EXPECT_TRUE(name.empty() || expected.count(name)) << name << " is not in the table";
    }

    startSimulator();
    prompts.answerMessages({Answer::Ok});  // the firmware ID
    window->show();
    std::map<std::string, bool> offered;
    int blocksAtChoice = 0;
    chooseAndCloseWhen(window->mnuDownload, [&] {
        if (blocksAtChoice == 0 && simulator->blocksServed() >= 100) {
            for (const QAction* menu : window->menuBar()->actions()) {
                for (const QAction* item : menu->menu()->actions()) {
                    if (!item->isSeparator()) {
                        offered[item->objectName().toStdString()] = item->isEnabled();
                    }
                }
            }
            EXPECT_EQ(window->activityLabel->text(),
                      "Downloading the controller's log - Esc stops it");
            EXPECT_FALSE(window->cboPort->isEnabled());
            window->mnuOpenFile->trigger();
            window->mnuViewChart->trigger();
            blocksAtChoice = simulator->blocksServed();
        }
        return blocksAtChoice > 0 && simulator->blocksServed() >= blocksAtChoice + 50;
    });
    for (const auto& [name, enabled] : offered) {
        ASSERT_TRUE(expected.count(name)) << name << " is not in the table";
        EXPECT_EQ(enabled, expected[name]) << name;
    }
    EXPECT_EQ(offered.size(), 17u);
    EXPECT_TRUE(window->cboPort->isEnabled() && window->mnuOpenFile->isEnabled());
    EXPECT_TRUE(window->activityLabel->isHidden());
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"Firmware ID: Shift Light Controller V2.0"});
}

TEST_F(WindowDuringOperations, DuringASaveTheOldFileStaysAndNoTemporaryFileIsLeft) {
    QTemporaryDir folder;
    const std::string target = folder.filePath("drive.log").toStdString();
    spit(target, "the old log\r\n");
    data->log.DataBufferEmpty = false;
    prompts.answerFiles({target});
    prompts.answerMessages({Answer::Yes});  // replace the existing file
    window->show();
    int samples = 0;
    chooseAndCloseWhen(window->mnuSaveFile, [&] { return ++samples >= 1000; });
    EXPECT_EQ(slurp(target), "the old log\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"drive.log"});
}

// View Chart chosen while a refresh is reading: the refresh reads no further, and the choice
// then takes effect (here the empty log's message) with the link free and without a busy notice.
TEST_F(WindowDuringOperations, ViewChartDuringARefreshTakesEffectWhenTheRefreshEnds) {
    startSimulator();
    window->show();
    window->mnuViewRealTime->trigger();
    ASSERT_TRUE(data->state.RealTimeActive) << ::testing::PrintToString(prompts.messageTexts());

    std::size_t receivedAtChoice = 0, receivedAtMessage = 0;
    bool linkBusyAtMessage = true;
    prompts.onYield = [&] {
        const auto bytes = simulator->received();
        // The pause after the engine speed's reply, in the middle of a refresh.
        if (receivedAtChoice == 0 && !bytes.empty() && bytes.back().value == 39 &&
            window->link().busy()) {
            receivedAtChoice = bytes.size();
            window->mnuViewChart->trigger();
        }
    };
    prompts.onShow = [&](const ShownPrompt&) {
        linkBusyAtMessage = window->link().busy();
        receivedAtMessage = simulator->received().size();
    };
    prompts.answerMessages({Answer::Ok});
    for (int i = 0; i < 250 && prompts.shown().empty(); ++i) {
        QTest::qWait(20);
    }
    ASSERT_NE(receivedAtChoice, 0u);
    EXPECT_EQ(prompts.messageTexts(), std::vector<std::string>{"Data buffer empty."});
    EXPECT_EQ(std::make_pair(prompts.shown()[0].title, prompts.shown()[0].icon),
              std::make_pair(std::string("View Chart"), Icon::Exclamation));
    EXPECT_EQ(receivedAtMessage, receivedAtChoice);  // no read after the choice
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
    EXPECT_FALSE(linkBusyAtMessage || data->state.RealTimeActive ||
                 window->context().port.isOpen());
}

}  // namespace
}  // namespace velkor::test
