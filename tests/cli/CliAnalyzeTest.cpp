// velkor-cli analyze as a script and a person use it: the JSON's keys and values, which are a
// contract, and text that fits an 80-column terminal.

#include <fstream>
#include <set>

#include "analysis/RunAnalysis.h"
#include "cli/CliFixture.h"

namespace velkor::test {
namespace {

using Keys = std::set<QString>;

Keys keysOf(const QJsonObject& object) {
    const QStringList keys = object.keys();
    return {keys.begin(), keys.end()};
}

// Every object of a list has exactly these keys.
void expectKeys(const QJsonArray& list, const Keys& keys, const char* what) {
    for (const QJsonValue& item : list) {
        EXPECT_EQ(keysOf(item.toObject()), keys) << what;
    }
}

const Keys RunKeys = {"run",
                      "start_s",
                      "first_motion_s",
                      "length_s",
                      "standing_start",
                      "zero_to_30_mph_s",
                      "zero_to_60_mph_s",
                      "sixty_to_100_mph_s",
                      "zero_to_100_kph_s",
                      "peak_rpm",
                      "peak_mph",
                      "wot_s",
                      "shift_count",
                      "mean_reaction_s",
                      "best_reaction_s",
                      "launch_slip_s",
                      "wheelspin",
                      "time_slip"};
const Keys SlipKeys = {"ft60_s",   "ft330_s",      "ft660_s",       "ft1000_s",
                       "ft1320_s", "trap_660_mph", "trap_1320_mph", "uncertainty_s"};
const Keys ShiftKeys = {"run",          "time_s",     "gear_from", "gear_to",
                        "rpm_at_shift", "rpm_after",  "drop_pct",  "mph",
                        "light_on_s",   "reaction_s", "note"};

// Agrees with a value of the analysis as the JSON rounds it.
void expectNear(const QJsonValue& json, const std::optional<double>& value, double within,
                const char* what) {
    ASSERT_EQ(json.isNull(), !value.has_value()) << what;
    if (value) {
        EXPECT_NEAR(json.toDouble(), *value, within) << what;
    }
}

TEST_F(CliTest, AnalyzeJsonKeepsItsKeysWhateverTheUnitsAndAgreesWithTheAnalysis) {
    // The drag run of velkor-sim --drive drag --wheelspin both: spins at the launch and after
    // the 1-2 shift, and far enough for a whole time slip.
    const std::string file = writeLog(
        sim::generateDragRun(0.016, 368, 1, sim::Wheelspin::Both).fram, 0.016f, "drag.log");
    const QString log = QString::fromStdString(file);
    const Result mph = run({"analyze", log, "--json", "--set", "VSSUnits=MPH"});
    const Result kph = run({"analyze", log, "--json", "--set", "VSSUnits=KPH"});
    ASSERT_EQ(mph.code, 0) << mph.err;
    EXPECT_EQ(mph.out, kph.out);  // the display units change nothing a script reads

    QJsonParseError error{};
    const QJsonObject top =
        QJsonDocument::fromJson(QByteArray::fromStdString(mph.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << mph.out;
    EXPECT_EQ(keysOf(top),
              (Keys{"schema", "interval_s", "runs", "shifts", "gears", "shift_points"}));
    EXPECT_EQ(top["schema"].toString(), "velkor-analysis/2");
    const QJsonArray runs = top["runs"].toArray();
    expectKeys(runs, RunKeys, "run");
    expectKeys(top["shifts"].toArray(), ShiftKeys, "shift");
    expectKeys(top["gears"].toArray(), {"gear", "rpm_per_mph"}, "gear");
    expectKeys(top["shift_points"].toArray(), {"gear_from", "best_rpm", "shifted_rpm", "note"},
               "shift point");
    for (const QJsonValue& run : runs) {
        expectKeys(run["wheelspin"].toArray(), {"start_s", "end_s", "peak_excess_mph"}, "spin");
    }

    auto data = std::make_unique<DataLog>();
    Preferences prefs;
    std::ifstream in(file);
    readLogFile(in, *data, prefs);
    const RunAnalysis analysis = analyseRuns(*data);
    EXPECT_NEAR(top["interval_s"].toDouble(), analysis.interval, 0.0005);
    ASSERT_EQ(std::size_t(runs.size()), analysis.runs.size());
    ASSERT_FALSE(analysis.runs.empty());
    const RunResult& result = analysis.runs[0];
    const QJsonObject run = runs[0].toObject();
    expectNear(run["start_s"], result.startTime, 0.0005, "start");
    expectNear(run["first_motion_s"], result.firstMotion, 0.0005, "first motion");
    expectNear(run["zero_to_60_mph_s"], result.accelMph[1], 0.0005, "0-60");
    expectNear(run["zero_to_100_kph_s"], result.accelKph[1], 0.0005, "0-100 km/h");
    expectNear(run["peak_mph"], result.peakSpeedMph, 0.005, "peak");
    expectNear(run["launch_slip_s"], result.launchSlip, 0.0005, "launch slip");
    EXPECT_EQ(run["standing_start"].toBool(), result.fromStandstill);
    EXPECT_EQ(std::size_t(run["shift_count"].toInt()), result.shifts.size());
    const QJsonArray spins = run["wheelspin"].toArray();
    ASSERT_EQ(std::size_t(spins.size()), result.wheelspin.size());
    EXPECT_FALSE(spins.isEmpty());
    for (std::size_t w = 0; w < result.wheelspin.size(); ++w) {
        const QJsonObject spin = spins[qsizetype(w)].toObject();
        expectNear(spin["start_s"], result.wheelspin[w].start, 0.0005, "spin start");
        expectNear(spin["peak_excess_mph"], result.wheelspin[w].peakExcessMph, 0.005, "excess");
    }
    const QJsonObject slip = run["time_slip"].toObject();
    EXPECT_EQ(keysOf(slip), SlipKeys);
    expectNear(slip["ft60_s"], result.slip.elapsed[0], 0.0005, "60 ft");
    expectNear(slip["ft660_s"], result.slip.elapsed[2], 0.0005, "1/8 mile");
    expectNear(slip["trap_660_mph"], result.slip.trapEighthMph, 0.005, "1/8 mile trap");
    expectNear(slip["ft1320_s"], result.slip.elapsed[4], 0.0005, "1/4 mile");
    expectNear(slip["trap_1320_mph"], result.slip.trapQuarterMph, 0.005, "1/4 mile trap");
    const QJsonArray shifts = top["shifts"].toArray();
    ASSERT_EQ(std::size_t(shifts.size()), result.shifts.size());
    for (std::size_t s = 0; s < result.shifts.size(); ++s) {
        const QJsonObject shift = shifts[qsizetype(s)].toObject();
        expectNear(shift["time_s"], result.shifts[s].time, 0.0005, "shift time");
        EXPECT_EQ(shift["gear_from"].toInt(), result.shifts[s].gearBefore);
        EXPECT_EQ(shift["run"].toInt(), 1);
    }
    EXPECT_EQ(std::size_t(top["gears"].toArray().size()), analysis.gearRatios.size());
}

// A script reading the JSON gets the simulated car's own time slip, spins and shift points, as
// far as the log allows: over short and long intervals, with and without spins.
TEST_F(CliTest, AnalyzeJsonGivesTheSimulatedCarsTimeSlipSpinsAndShiftPoints) {
    for (const int intervalByte : {1, 7, 15}) {
        for (const auto spin : {sim::Wheelspin::None, sim::Wheelspin::Both}) {
            const double interval = 0.016 * intervalByte;
            const sim::DragRun drag = sim::generateDragRun(interval, 368, 2, spin);
            const sim::DragTruth& truth = drag.truth;
            const Result out =
                run({"analyze",
                     QString::fromStdString(writeLog(drag.fram, float(interval), "pass.log")),
                     "--json"});
            ASSERT_EQ(out.code, 0) << out.err;
            const QJsonObject top =
                QJsonDocument::fromJson(QByteArray::fromStdString(out.out)).object();
            const std::string where = std::to_string(interval) + " s" +
                                      (spin == sim::Wheelspin::None ? "" : ", spinning");
            ASSERT_EQ(top["runs"].toArray().size(), 1) << where;
            const QJsonObject pass = top["runs"].toArray()[0].toObject();
            EXPECT_TRUE(pass["standing_start"].toBool()) << where;
            const QJsonObject slip = pass["time_slip"].toObject();
            const double within = slip["uncertainty_s"].toDouble();
            // A spin at the launch adds 0.01 s to the uncertainty.
            EXPECT_LE(within, interval + (spin == sim::Wheelspin::None ? 0.001 : 0.011)) << where;
            const char* keys[] = {"ft60_s", "ft330_s", "ft660_s", "ft1000_s", "ft1320_s"};
            for (std::size_t d = 0; d < 5; ++d) {
                ASSERT_TRUE(slip[keys[d]].isDouble()) << where << " " << keys[d];
                EXPECT_NEAR(slip[keys[d]].toDouble(), *truth.slipTimes[d],
                            (d == 0 ? interval : within) + 0.0005)
                    << where << " " << keys[d];
            }
            EXPECT_NEAR(slip["trap_660_mph"].toDouble(), *truth.trapEighthMph, 0.5) << where;
            EXPECT_NEAR(slip["trap_1320_mph"].toDouble(), *truth.trapQuarterMph, 0.5) << where;
            EXPECT_EQ(std::size_t(pass["wheelspin"].toArray().size()), truth.spins.size()) << where;
            const QJsonArray points = top["shift_points"].toArray();
            ASSERT_EQ(std::size_t(points.size()), truth.bestShiftRpm.size()) << where;
            for (std::size_t g = 0; g < truth.bestShiftRpm.size(); ++g) {
                const QJsonObject point = points[qsizetype(g)].toObject();
                EXPECT_EQ(point["gear_from"].toInt(), int(g) + 1) << where;
                if (!point["best_rpm"].isNull()) {
                    EXPECT_NEAR(point["best_rpm"].toDouble(), truth.bestShiftRpm[g], 300)
                        << where << ", gear " << g + 1;
                } else {
                    EXPECT_FALSE(point["note"].toString().isEmpty()) << where;
                }
            }
        }
    }
}

TEST_F(CliTest, AnalyzeTextFitsEightyColumnsAndALogWithoutRunsKeepsTheKeys) {
    const QString drag =
        QString::fromStdString(writeLog(sim::generateDragRun(0.016).fram, 0.016f, "drag.log"));
    const QString road =
        QString::fromStdString(writeLog(sim::generateDrive(368, 5), 0.096f, "road.log"));
    for (const QString& log : {drag, road}) {
        for (const char* unit : {"VSSUnits=MPH", "VSSUnits=KPH"}) {
            const Result text = run({"analyze", log, "--set", unit});
            ASSERT_EQ(text.code, 0) << text.err;
            std::istringstream lines(text.out);
            for (std::string line; std::getline(lines, line);) {
                const QString shown = QString::fromStdString(line);
                EXPECT_LE(shown.toUcs4().size(), 80) << line;
            }
        }
    }
    const Result text = run({"analyze", drag});
    for (const char* part : {"Runs\n", "Time slips", "60 ft", "Shifts\n", "0-60 MPH (s)"}) {
        EXPECT_NE(text.out.find(part), std::string::npos) << part << "\n" << text.out;
    }

    // Without a run: the same keys, the lists empty, and no other key.
    auto idle = std::make_unique<DataLog>();
    loadDrive(*idle, sim::generateDrive(368, 5), 0.096f);
    for (int i = 1; i <= SampleCount; ++i) {
        idle->TPSData.at(i) = 20;
        idle->OutputData.at(i) = 0;
    }
    spit(path("idle.log"), logFileText(*idle, Preferences{}, "Velkor"));
    const Result none = run({"analyze", home.filePath("idle.log"), "--json"});
    ASSERT_EQ(none.code, 0) << none.err;
    const QJsonObject top = QJsonDocument::fromJson(QByteArray::fromStdString(none.out)).object();
    EXPECT_EQ(keysOf(top),
              (Keys{"schema", "interval_s", "runs", "shifts", "gears", "shift_points"}));
    EXPECT_TRUE(top["runs"].toArray().isEmpty());
    EXPECT_TRUE(top["shifts"].toArray().isEmpty());
}

}  // namespace
}  // namespace velkor::test
