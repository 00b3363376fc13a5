// View, Replay Log on the main window, offscreen: the controls under the gauges and their keys,
// and every choice that ends a live view ending a replay too.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "app/frmMain.h"
#include "live/CircularGauge.h"
#include "live/LampShape.h"
#include "live/ReplayControls.h"
#include "options/DialogDriver.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

class ReplayWindowTest : public ::testing::Test {
protected:
    ReplayWindowTest() {
        // Sample i at 0.1 x i s, with 1000 x i rpm and the shift light on at odd samples.
        DataLog& log = data->log;
        for (int i = 1; i <= SampleCount; ++i) {
            log.ElapsedTime.at(i) = 0.1f * float(i);
            log.RPMData.at(i) = 1000.0f * float(i);
            log.OutputData.at(i) = float(i % 2);
        }
        log.DataBufferEmpty = false;
        data->prefs.CommPortNumber = 0;  // no port: a controller command fails at once
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        window.mnuReplayLog->trigger();
    }

    ReplayControls& controls() { return *window.fraRealTimeData->fraReplay; }
    std::string time() { return controls().lblTime->text().toStdString(); }
    void key(Qt::Key key) { QTest::keyClick(&window, key); }

    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    test::ScriptedPrompts prompts;
    frmMain window{*data, prompts, {}};
};

TEST_F(ReplayWindowTest, ControlsAndKeysMoveThroughTheLogOnTheGauges) {
    ASSERT_TRUE(controls().running() && controls().isVisible());
    EXPECT_TRUE(window.fraRealTimeData->isVisible() && !window.fraIdle->isVisible());
    EXPECT_TRUE(controls().tmrFrame->isActive());  // playing from the start at 1x
    EXPECT_EQ(controls().cboSpeed->currentText().toStdString(), "1\u00d7");
    EXPECT_EQ(std::make_tuple(controls().sldPosition->minimum(), controls().sldPosition->maximum()),
              std::make_tuple(10, 27000));

    key(Qt::Key_Space);
    EXPECT_FALSE(controls().tmrFrame->isActive());  // paused: nothing is drawn
    key(Qt::Key_Home);
    EXPECT_EQ(std::make_tuple(controls().sldPosition->value(), time()),
              std::make_tuple(10, std::string("0.1 Sec ")));
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(std::make_tuple(controls().sldPosition->value(), time(), window.gauTach->value()),
              std::make_tuple(30, std::string("0.3 Sec "), 3.0));
    EXPECT_EQ(window.fraRealTimeData->lamp(LampId::shpLED_Shift)->fillColour(), LampLit);
    key(Qt::Key_Left);
    EXPECT_EQ(
        std::make_tuple(time(), window.fraRealTimeData->lamp(LampId::shpLED_Shift)->fillColour()),
        std::make_tuple(std::string("0.2 Sec "), LampDark));

    controls().sldPosition->setValue(27000);  // as a drag to the end
    EXPECT_EQ(std::make_tuple(time(), controls().replay()->sample(), window.gauTach->value()),
              std::make_tuple(std::string("270.0 Sec "), SampleCount, 2700.0));
    controls().cboSpeed->setCurrentIndex(5);
    EXPECT_EQ(controls().replay()->speedIndex(), 5);
    controls().cmdPlay->click();  // from the end it plays again from the start
    EXPECT_TRUE(controls().tmrFrame->isActive());
    EXPECT_LT(controls().replay()->position(), 1.0);
}

TEST_F(ReplayWindowTest, EveryChoiceThatEndsALiveViewEndsAReplay) {
    const std::pair<const char*, std::function<void()>> choices[] = {
        {"Close", [&] { window.cmdCloseRealTimeData->click(); }},
        {"Display Options",
         [&] {
             test::whenModalShown("frmDisplayOptions", [](QDialog& dialog) {
                 dialog.findChild<QPushButton*>("cmdOK")->click();
             });
             window.mnuDisplayOptions->trigger();
         }},
        {"Open File",
         [&] {
             prompts.answerMessages({Answer::Cancel});  // not over the log in memory
             window.mnuOpenFile->trigger();
         }},
        {"View Real Time Data",
         [&] {
             prompts.answerMessages({Answer::Abort, Answer::Abort, Answer::Abort, Answer::Abort,
                                     Answer::Abort, Answer::Ok});
             window.mnuViewRealTime->trigger();
         }},
        {"Download",
         [&] {
             prompts.answerMessages({Answer::Abort, Answer::Abort, Answer::Abort, Answer::Abort,
                                     Answer::Abort, Answer::Ok});
             window.mnuDownload->trigger();
         }},
    };
    // Without a port the controller commands fail at once: five tries, each refused, then the
    // link message. The download, last, empties the log.
    for (const auto& [name, choose] : choices) {
        SCOPED_TRACE(name);
        if (!controls().running()) {
            window.mnuReplayLog->trigger();
        }
        ASSERT_TRUE(controls().running());
        choose();
        EXPECT_FALSE(controls().running() || controls().isVisible() ||
                     controls().tmrFrame->isActive() || window.fraRealTimeData->isVisible());
    }
    EXPECT_FALSE(data->state.RealTimeActive);

    // With no log, the message View Chart gives, and no frame.
    prompts.answerMessages({Answer::Ok});
    window.mnuReplayLog->trigger();
    EXPECT_EQ(prompts.messageTexts().back(), "Data buffer empty.");
    EXPECT_FALSE(controls().running() || window.fraRealTimeData->isVisible());
}

}  // namespace
}  // namespace velkor
