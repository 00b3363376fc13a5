// Replaying the log in memory on the live display: a replayed sample shows what a live view
// shows for the same readings, the position moves with the clock at the chosen speed, between
// samples the continuous quantities are interpolated and the bits switch at their sample, and
// stepping and the slider's scale hold at both ends of the log.

#include "live/LiveTestSupport.h"
#include "live/LogReplay.h"

namespace velkor::test {
namespace {

// A log whose sample i is at 0.1 x i seconds, with engine speed 1000 x i and output bits i.
void fillRamp(DataLog& log) {
    for (int i = 1; i <= SampleCount; ++i) {
        log.ElapsedTime.at(i) = 0.1f * float(i);
        log.RPMData.at(i) = 1000.0f * float(i);
        log.OutputData.at(i) = float(i % 256);
    }
    log.DataBufferEmpty = false;
}

// Everything a display shows.
auto shownOn(const RecordingLiveDisplay& d) {
    return std::make_tuple(d.status, d.members, d.shown, d.texts, d.lamps);
}

TEST_F(LiveTest, AReplayedSampleShowsWhatTheLiveViewShowsForTheSameReadings) {
    const struct {
        bool percent;
        const char *input1, *input2, *speedUnits, *pressureUnits;
        std::uint8_t tps;  // 26..230: 0, 25, 50 and 100 %
    } table[] = {
        {true, "Analog", "Analog", "MPH", "In-Hg", 128},
        {false, "AFR", "AFR", "KPH", "psi", 77},
        {true, "MAP 1 bar", "Scaled Analog", "MPH", "psi", 230},
        {false, "MAP 2 bar", "Analog", "KPH", "In-Hg", 230},
        {true, "MAP 3 bar", "AFR", "KPH", "psi", 26},
        {false, "MAP 3 bar", "Scaled Analog", "MPH", "In-Hg", 128},
    };
    Preferences& prefs = data->prefs;
    std::tie(prefs.MinInput2Volts, prefs.MaxInput2Volts) = std::make_tuple(1, 4);
    std::tie(prefs.MinInput2ScaledValue, prefs.MaxInput2ScaledValue) = std::make_tuple(100, 400);
    for (const auto& o : table) {
        SCOPED_TRACE(std::string(o.input1) + ", " + o.input2 + ", " + o.speedUnits);
        std::tie(prefs.TPSPercentDisplay, prefs.Input1Type, prefs.Input2Type, prefs.VSSUnits,
                 prefs.PressureUnits) =
            std::make_tuple(o.percent, o.input1, o.input2, o.speedUnits, o.pressureUnits);
        // 6500 rpm, 60 MPH, 3 V and 2 V on the inputs, 12 V, both inputs, shift light, alarm 1
        // and the general-purpose output on, armed: values a log stores exactly.
        readings = sim::LiveValues{6500, 60 * 128, o.tps, 153, 102, 170, 3, 0x49, 2};
        view.live = RecordingLiveDisplay{};
        start();
        tmrDataRead_Timer(link);
        tmrDataRead_Timer(link);  // the status line's throttle voltage is the previous read's
        const auto live = shownOn(view.live);

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
        data->live.LastTPSVolts = 0;  // the replay shows its own sample's throttle voltage
        const std::size_t written = port.written.size();
        LiveState scales;
        ASSERT_TRUE(replayLog(ctx, scales));
        EXPECT_TRUE(view.realTimeShown && !data->state.RealTimeActive && !port.isOpen());
        LogReplay replay(log, clock);
        replay.seek(log.ElapsedTime.at(s));
        showReadings(view.live, prefs, replay.throttleFactors(), scales, replay.readings());
        EXPECT_EQ(shownOn(view.live), live);
        EXPECT_EQ(port.written.size(), written);  // the replay never touches the port
    }
}

TEST(LogReplay, PlaysOnTheClockAtEachSpeedAndPausesAtTheEnd) {
    auto log = std::make_unique<DataLog>();
    fillRamp(*log);
    FakeClock clock;
    LogReplay replay(*log, clock);
    EXPECT_EQ(std::make_tuple(replay.start(), replay.end(), replay.playing(), replay.speedIndex()),
              std::make_tuple(0.1f, log->ElapsedTime.at(SampleCount), false, NormalReplaySpeed));
    replay.play();
    double expected = replay.start();
    for (std::size_t i = 0; i < ReplaySpeeds.size(); ++i) {
        replay.setSpeedIndex(int(i));
        clock.advance(std::chrono::seconds(2));
        replay.advance();
        expected += 2.0 * ReplaySpeeds[i];
        EXPECT_NEAR(replay.position(), expected, 1e-6) << "speed " << ReplaySpeeds[i];
    }

    clock.advance(std::chrono::seconds(60));  // 480 s of log at 8x: past the end
    replay.advance();
    EXPECT_EQ(std::make_tuple(replay.position(), replay.playing(), replay.sample()),
              std::make_tuple(replay.end(), false, SampleCount));
    replay.play();  // from the end it starts again
    EXPECT_EQ(std::make_tuple(replay.position(), replay.playing()),
              std::make_tuple(replay.start(), true));
}

TEST(LogReplay, InterpolatesBetweenSamplesAndSwitchesBitsAtTheirSample) {
    auto log = std::make_unique<DataLog>();
    fillRamp(*log);
    std::tie(log->TPSMin, log->TPSMax, log->TPSData.at(10), log->TPSData.at(11)) =
        std::make_tuple(26, 230, 50, 100);
    std::tie(log->StatusData.at(10), log->StatusData.at(11)) = std::make_tuple(1, 2);
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
    EXPECT_EQ(std::make_tuple(replay.sample(), r[Reading::EngineSpeed], r[Reading::State]),
              std::make_tuple(11, 11000, 2));

    // A log opened from a file before any download holds no throttle factors: the usual ones.
    log->TPSMin = log->TPSMax = 0;
    EXPECT_EQ(std::make_tuple(replay.throttleFactors().min, replay.throttleFactors().max),
              std::make_tuple(26, 230));
    // A damaged value shows as 0, and a damaged state as no state rather than an error.
    std::tie(log->RPMData.at(11), log->StatusData.at(11)) = std::make_tuple(std::nanf(""), 1e30f);
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
    auto to = [&](void (LogReplay::*move)()) {
        (replay.*move)();
        return replay.sample();
    };
    const auto back = &LogReplay::stepBack, forward = &LogReplay::stepForward;
    replay.play();
    // Back at the first sample stays there, and pauses; samples 4 to 6 share a time, so one step
    // passes them all; from between samples 7 and 8, back goes to 7, then 6.
    EXPECT_EQ((std::vector<int>{to(back), to(forward), to(forward), to(forward), to(forward)}),
              (std::vector<int>{1, 2, 3, 6, 7}));
    EXPECT_FALSE(replay.playing());
    replay.seek(0.75);
    EXPECT_EQ((std::vector<int>{to(back), to(back)}), (std::vector<int>{7, 6}));

    replay.seek(1e9);
    replay.stepForward();
    EXPECT_EQ(std::make_tuple(replay.position(), replay.sample()),
              std::make_tuple(replay.end(), SampleCount));
    replay.home();
    EXPECT_EQ(replay.position(), replay.start());
    // The slider counts hundredths of a second, within what it can hold.
    EXPECT_EQ(std::make_tuple(replaySliderValue(0.1f), replaySliderValue(270),
                              replaySliderValue(std::nan("")), replaySliderValue(1e30)),
              std::make_tuple(10, 27000, 0, 2000000000));
}

}  // namespace
}  // namespace velkor::test
