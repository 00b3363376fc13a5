// The main window closed, or a menu chosen, while an operation runs: through its event loop and
// the real serial port against velkor-sim on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/frmMain.h"
#include "sim/Simulator.h"
#include "support/EventLoopPrompts.h"
#include "support/Files.h"
#include "support/QtApp.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

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
    EXPECT_FALSE(linkBusyAtMessage);
    EXPECT_EQ(receivedAtMessage, receivedAtChoice);  // no read after the choice
    EXPECT_TRUE(window->statusBar()->currentMessage().isEmpty());
    EXPECT_FALSE(data->state.RealTimeActive);
    EXPECT_FALSE(window->context().port.isOpen());
}

}  // namespace
}  // namespace velkor::test
