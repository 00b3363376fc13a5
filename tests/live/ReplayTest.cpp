// Replaying the log in memory on the live display: a replayed sample shows what a live view
// shows for the same readings, the position moves with the clock at the chosen speed, between
// samples the continuous quantities are interpolated and the bits switch at their sample, and
// stepping and the slider's scale hold at both ends of the log.

#include "live/LiveTestSupport.h"
#include "live/LogReplay.h"

namespace velkor::test {
namespace {

using std::chrono::milliseconds;

// A log whose sample i is at 0.1 x i seconds, with engine speed 1000 x i and output bits i.
void fillRamp(DataLog& log) {
    for (int i = 1; i <= SampleCount; ++i) {
        log.ElapsedTime.at(i) = 0.1f * float(i);
        log.RPMData.at(i) = 1000.0f * float(i);
        log.OutputData.at(i) = float(i % 256);
    }
    log.DataBufferEmpty = false;
}

class ReplayTest : public LiveTest {
protected:
    // Everything the display shows, as one comparable text.
    static std::string shownOn(const RecordingLiveDisplay& d) {
        std::string text = "status=" + d.status;
        for (const auto& [key, value] : d.members) {
            text += " " + key + "=" + std::to_string(value);
        }
        for (const auto& [key, value] : d.shown) {
            text += " " + key + (value ? ".shown" : ".hidden");
        }
        for (const auto& [key, value] : d.texts) {
            text += " " + key + "='" + value + "'";
        }
        for (const auto& [key, value] : d.lamps) {
            text += " " + key + "=" + std::to_string(value);
        }
        return text;
    }
};

TEST_F(ReplayTest, AReplayedSampleShowsWhatTheLiveViewShowsForTheSameReadings) {
    struct Options {
        bool percent;
        const char* input1;
        const char* input2;
        const char* speedUnits;
        const char* pressureUnits;
        std::uint8_t tps;  // 26..230: 0, 25, 50 and 100 %
    };
    const Options table[] = {
        {true, "Analog", "Analog", "MPH", "In-Hg", 128},
        {false, "AFR", "AFR", "KPH", "psi", 77},
        {true, "MAP 1 bar", "Scaled Analog", "MPH", "psi", 230},
        {false, "MAP 2 bar", "Analog", "KPH", "In-Hg", 230},
        {true, "MAP 3 bar", "AFR", "KPH", "psi", 26},
        {false, "MAP 3 bar", "Scaled Analog", "MPH", "In-Hg", 128},
    };
    data->prefs.MinInput2Volts = 1;
    data->prefs.MaxInput2Volts = 4;
    data->prefs.MinInput2ScaledValue = 100;
    data->prefs.MaxInput2ScaledValue = 400;
    for (const Options& o : table) {
        SCOPED_TRACE(std::string(o.input1) + ", " + o.input2 + ", " + o.speedUnits);
        data->prefs.TPSPercentDisplay = o.percent;
        data->prefs.Input1Type = o.input1;
        data->prefs.Input2Type = o.input2;
        data->prefs.VSSUnits = o.speedUnits;
        data->prefs.PressureUnits = o.pressureUnits;
        // 6500 rpm, 60 MPH, 3 V and 2 V on the inputs, 12 V, both inputs, shift light, alarm 1
        // and the general-purpose output on, armed: values a log stores exactly.
        readings = sim::LiveValues{6500, 60 * 128, o.tps, 153, 102, 170, 3, 0x49, 2};
        view.live = RecordingLiveDisplay{};
        start();
        tmrDataRead_Timer(link);
        tmrDataRead_Timer(link);  // the status line's throttle voltage is the previous read's
        const std::string live = shownOn(view.live);

        DataLog& log = data->log;
        fillRamp(log);
        const int s = 1234;
        log.RPMData.at(s) = 6500;
        log.VSSData.at(s) = 60;
        log.TPSData.at(s) = float((o.tps - 26) * 100 / 204);
        log.Input1VoltsData.at(s) = float(5.0 * 153 / 255);
        log.Input2VoltsData.at(s) = float(5.0 * 102 / 255);
        log.BatVoltsData.at(s) = float(18.0 * 170 / 255);
        log.InputData.at(s) = 3;
        log.OutputData.at(s) = 0x49;
        log.StatusData.at(s) = 2;
        view.live = RecordingLiveDisplay{};
        LiveState scales;
        ASSERT_TRUE(mnuReplayLog_Click(ctx, scales));
        LogReplay replay(log, clock);
        replay.seek(log.ElapsedTime.at(s));
        showReadings(view.live, data->prefs, replay.throttleFactors(), scales, replay.readings());
        EXPECT_EQ(shownOn(view.live), live);
    }
}

TEST_F(ReplayTest, ReplayLogEndsALiveViewAndNeverTouchesThePort) {
    start();
    const std::size_t written = port.written.size();
    LiveState scales;
    scales.LastTPSVolts = -1;
    // With no log it says what View Chart says, under its own title.
    prompts.answerMessages({Answer::Ok});
    EXPECT_FALSE(mnuReplayLog_Click(ctx, scales));
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(std::make_tuple(prompts.shown()[0].text, prompts.shown()[0].title),
              std::make_tuple(std::string("Data buffer empty."), std::string("Replay Log")));
    EXPECT_FALSE(data->state.RealTimeActive || view.realTimeShown || port.isOpen());

    fillRamp(data->log);
    data->live.LastTPSVolts = 2.5f;
    EXPECT_TRUE(mnuReplayLog_Click(ctx, scales));
    EXPECT_TRUE(view.realTimeShown && !data->state.RealTimeActive);
    EXPECT_EQ(scales.LastTPSVolts, 2.5f);  // the live view's own is copied, not shared
    EXPECT_EQ(port.written.size(), written);
}

TEST(LogReplay, PlaysOnTheClockAtEachSpeedAndPausesAtTheEnd) {
    auto log = std::make_unique<DataLog>();
    fillRamp(*log);
    FakeClock clock;
    LogReplay replay(*log, clock);
    EXPECT_EQ(std::make_tuple(replay.start(), replay.end(), replay.position(), replay.playing()),
              std::make_tuple(0.1f, log->ElapsedTime.at(SampleCount), 0.1f, false));
    EXPECT_EQ(replay.speedIndex(), NormalReplaySpeed);
    clock.advance(milliseconds(500));
    replay.advance();
    EXPECT_FLOAT_EQ(replay.position(), 0.1f);  // paused: the clock does not move it

    replay.play();
    double expected = replay.start();
    for (int i = 0; i < int(ReplaySpeeds.size()); ++i) {
        replay.setSpeedIndex(i);
        clock.advance(milliseconds(2000));
        replay.advance();
        expected += 2.0 * ReplaySpeeds[std::size_t(i)];
        EXPECT_NEAR(replay.position(), expected, 1e-9) << "speed " << ReplaySpeeds[std::size_t(i)];
    }
    replay.setSpeedIndex(99);
    EXPECT_EQ(replay.speedIndex(), 5);

    clock.advance(std::chrono::seconds(60));  // 480 s of log at 8x: past the end
    replay.advance();
    EXPECT_EQ(std::make_tuple(replay.position(), replay.playing(), replay.sample()),
              std::make_tuple(replay.end(), false, SampleCount));
    replay.play();  // from the end it starts again
    EXPECT_FLOAT_EQ(replay.position(), 0.1f);
    EXPECT_TRUE(replay.playing());
}

TEST(LogReplay, InterpolatesBetweenSamplesAndSwitchesBitsAtTheirSample) {
    auto log = std::make_unique<DataLog>();
    fillRamp(*log);
    log->TPSMin = 26;
    log->TPSMax = 230;
    log->TPSData.at(10) = 50;
    log->TPSData.at(11) = 100;
    log->StatusData.at(10) = 1;
    log->StatusData.at(11) = 2;
    FakeClock clock;
    LogReplay replay(*log, clock);

    replay.seek(1.0f + 0.025);  // a quarter of the way from sample 10 to 11
    LiveReadings r = replay.readings();
    EXPECT_EQ(replay.sample(), 10);
    EXPECT_NEAR(r[Reading::EngineSpeed], 10250, 0.1);
    EXPECT_NEAR(r[Reading::Throttle], 26 + 204 * 0.625, 1e-3);  // 62.5 %
    EXPECT_EQ(std::make_tuple(r[Reading::State], r[Reading::OutputBits]), std::make_tuple(1, 10));

    replay.seek(1.1f);
    r = replay.readings();
    EXPECT_EQ(std::make_tuple(replay.sample(), r[Reading::EngineSpeed], r[Reading::State],
                              r[Reading::OutputBits]),
              std::make_tuple(11, 11000, 2, 11));

    // A log opened from a file before any download holds no throttle factors: the usual ones.
    log->TPSMin = log->TPSMax = 0;
    EXPECT_EQ(std::make_tuple(replay.throttleFactors().min, replay.throttleFactors().max),
              std::make_tuple(26, 230));
    // A damaged value shows as 0, and a damaged state as no state rather than an error.
    log->RPMData.at(11) = std::nanf("");
    log->StatusData.at(11) = 1e30f;
    r = replay.readings();
    EXPECT_EQ(std::make_tuple(r[Reading::EngineSpeed], r[Reading::State]), std::make_tuple(0, 0));
}

TEST(LogReplay, StepsASampleAtATimeAndStopsAtBothEnds) {
    auto log = std::make_unique<DataLog>();
    fillRamp(*log);
    // A damaged time column: a sample going back in time and one that is no number stand still.
    log->ElapsedTime.at(5) = 0.2f;
    log->ElapsedTime.at(6) = std::nanf("");
    FakeClock clock;
    LogReplay replay(*log, clock);
    replay.play();

    replay.stepBack();  // at the first sample already
    EXPECT_EQ(std::make_tuple(replay.sample(), replay.playing()), std::make_tuple(1, false));
    std::vector<int> forward;
    for (int i = 0; i < 4; ++i) {
        replay.stepForward();
        forward.push_back(replay.sample());
    }
    // Samples 4 to 6 share a time: one step passes them all.
    EXPECT_EQ(forward, (std::vector<int>{2, 3, 6, 7}));
    replay.seek(0.75);  // between samples 7 and 8: back goes to 7, then 6
    replay.stepBack();
    EXPECT_EQ(replay.sample(), 7);
    replay.stepBack();
    EXPECT_EQ(replay.sample(), 6);

    replay.seek(1e9);
    EXPECT_FLOAT_EQ(replay.position(), replay.end());
    replay.stepForward();
    EXPECT_EQ(replay.sample(), SampleCount);
    replay.home();
    EXPECT_FLOAT_EQ(replay.position(), 0.1f);
}

TEST(LogReplay, TheSliderCountsHundredthsOfASecondWithinItsRange) {
    EXPECT_EQ(replaySliderValue(0.1f), 10);
    EXPECT_EQ(replaySliderValue(270), 27000);
    EXPECT_EQ(replaySliderValue(std::nan("")), 0);
    EXPECT_EQ(replaySliderValue(1e30), 2000000000);
    EXPECT_DOUBLE_EQ(replaySliderTime(27000), 270);
}

}  // namespace
}  // namespace velkor::test
