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
        window.replayLogAction->trigger();
    }

    ReplayControls& controls() { return *window.fraRealTimeData->fraReplay; }
    void key(Qt::Key key) { QTest::keyClick(&window, key); }
    // The slider, the time read-out, the tachometer and the shift light.
    auto shown() {
        return std::make_tuple(controls().positionSlider->value(),
                               controls().timeLabel->text().toStdString(), window.gauTach->value(),
                               window.fraRealTimeData->lamp(LampId::shpLED_Shift)->fillColour());
    }

    std::unique_ptr<AppData> data = std::make_unique<AppData>();
    test::ScriptedPrompts prompts;
    frmMain window{*data, prompts, {}};
};

TEST_F(ReplayWindowTest, ControlsAndKeysMoveThroughTheLogOnTheGauges) {
    ASSERT_TRUE(controls().running() && controls().isVisible() && !window.fraIdle->isVisible());
    // Playing from the start at 1x, the slider over the log's elapsed time in hundredths.
    EXPECT_EQ(
        std::make_tuple(controls().frameTimer->isActive(),
                        controls().speedBox->currentText().toStdString(),
                        controls().positionSlider->minimum(), controls().positionSlider->maximum()),
        std::make_tuple(true, std::string("1\u00d7"), 10, 27000));
    key(Qt::Key_Space);
    EXPECT_FALSE(controls().frameTimer->isActive());  // paused: nothing is drawn
    key(Qt::Key_Home);
    EXPECT_EQ(shown(), std::make_tuple(10, std::string("0.1 Sec "), 1.0, LampLit));
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    EXPECT_EQ(shown(), std::make_tuple(30, std::string("0.3 Sec "), 3.0, LampLit));
    key(Qt::Key_Left);
    EXPECT_EQ(shown(), std::make_tuple(20, std::string("0.2 Sec "), 2.0, LampDark));
    controls().positionSlider->setValue(27000);  // as a drag to the end
    EXPECT_EQ(shown(), std::make_tuple(27000, std::string("270.0 Sec "), 2700.0, LampDark));

    controls().speedBox->setCurrentIndex(5);
    controls().playButton->click();  // from the end it plays again from the start
    EXPECT_EQ(std::make_tuple(controls().replay()->speedIndex(), controls().frameTimer->isActive(),
                              controls().replay()->position() < 1),
              std::make_tuple(5, true, true));
}

TEST_F(ReplayWindowTest, EveryChoiceThatEndsALiveViewEndsAReplay) {
    // Without a port a controller command fails at once: five tries refused, the link message.
    const std::vector<Answer> noLink = {Answer::Abort, Answer::Abort, Answer::Abort,
                                        Answer::Abort, Answer::Abort, Answer::Ok};
    auto trigger = [](QAction* action) { return [action] { action->trigger(); }; };
    const std::tuple<const char*, std::function<void()>, std::vector<Answer>> choices[] = {
        {"Close", [&] { window.cmdCloseRealTimeData->click(); }, {}},
        {"Display Options",
         [&] {
             test::whenModalShown("frmDisplayOptions", [](QDialog& dialog) { dialog.reject(); });
             window.mnuDisplayOptions->trigger();
         },
         {}},
        {"Open File", trigger(window.mnuOpenFile), {Answer::Cancel}},  // keeps the log
        {"View Real Time Data", trigger(window.mnuViewRealTime), noLink},
        {"Download", trigger(window.mnuDownload), noLink},  // a failed one keeps the log
    };
    for (const auto& [name, choose, answers] : choices) {
        SCOPED_TRACE(name);
        if (!controls().running()) {
            window.replayLogAction->trigger();
        }
        ASSERT_TRUE(controls().running());
        for (const Answer answer : answers) {
            prompts.answerMessages({answer});
        }
        choose();
        EXPECT_FALSE(controls().running() || controls().isVisible() ||
                     controls().frameTimer->isActive() || window.fraRealTimeData->isVisible());
    }
    EXPECT_FALSE(data->state.RealTimeActive);

    // With no log, the message View Chart gives, and no frame.
    ClearDataBuffer(window.context().data.log);
    prompts.answerMessages({Answer::Ok});
    window.replayLogAction->trigger();
    EXPECT_EQ(std::make_tuple(prompts.shown().back().text, prompts.shown().back().title),
              std::make_tuple(std::string("Data buffer empty."), std::string("Replay Log")));
    EXPECT_FALSE(controls().running() || window.fraRealTimeData->isVisible());
}

}  // namespace
}  // namespace velkor
