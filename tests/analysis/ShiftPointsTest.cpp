// Where to shift, against drag runs of a car whose engine curve, gearing and drag are known, so
// that the best shift engine speeds follow exactly; and against logs that hold no such answer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/RunAnalysis.h"
#include "base/DataLog.h"

namespace velkor::test {
namespace {

// A car with a peaky engine: its pull falls fast enough past 4,000 RPM that every upshift's
// best point lies below 6,300 RPM.
struct Car {
    std::vector<double> ratios = {143, 95, 71, 56};  // RPM per MPH
    double pull(double rpm) const { return std::max(0.2, 1 - std::pow((rpm - 4000) / 3800, 2)); }
    // MPH a second at full throttle: 0.1 MPH a second per RPM per MPH at full pull, less
    // rolling resistance and drag.
    double accel(std::size_t gear, double rpm, double mph) const {
        return 0.1 * ratios[gear] * pull(rpm) - drag(mph);
    }
    double drag(double mph) const { return 0.3 + 2e-4 * mph * mph; }

    // Where gear g's pull (0 = first) falls below the next's at the same road speed.
    double bestShift(std::size_t g) const {
        const double drop = ratios[g + 1] / ratios[g];
        double low = 4000;
        double high = 9000;
        for (int i = 0; i < 60; ++i) {
            const double mid = (low + high) / 2;
            const bool ahead = ratios[g] * pull(mid) > ratios[g + 1] * pull(mid * drop);
            (ahead ? low : high) = mid;
        }
        return low;
    }
};

struct Driver {
    std::vector<double> shiftRpm;  // out of gears 1, 2, 3
    double lightRpm = 6000;
    double topMph = 105;  // lifts here in the highest gear used
    std::size_t gears = 4;
    double spinMph = 0;  // at most, as second gear takes up the drive
};

// A standing-start run through four gears, each shift 0.25 s without drive while engine speed
// falls to the next gear's in 0.15 s, with the log's noise and resolution.
DataLog dragRun(const Car& car, const Driver& driver, double interval, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> rpmNoise(-20, 20);
    std::uniform_real_distribution<double> mphNoise(-0.1, 0.1);
    constexpr double Step = 0.0005;
    constexpr double LaunchRpm = 3500;
    const double Pi = std::acos(-1.0);
    DataLog log;
    log.DataLogInterval = float(interval);
    double t = 0;
    double mph = 0;
    double rpm = 850;
    double shiftStart = -1;
    double shiftFrom = 0;
    std::size_t gear = 0;
    bool full = false;
    bool lit = false;
    bool lifted = false;
    for (int i = 1; i <= SampleCount; ++i) {
        for (const double at = interval * i; t + Step <= at; t += Step) {
            full = t >= 1 && !lifted;
            const bool shifting = shiftStart >= 0 && t - shiftStart < 0.25;
            const double geared = car.ratios[gear] * mph;
            if (lifted) {
                mph = std::max(0.0, mph - 8 * Step);
                rpm = std::max(850.0, geared);
            } else if (shifting) {
                mph -= car.drag(mph) * Step;
                rpm = std::max(geared, shiftFrom + (geared - shiftFrom) * (t - shiftStart) / 0.15);
            } else if (full) {
                rpm = std::max(geared, gear == 0 ? LaunchRpm : 0);
                mph += car.accel(gear, rpm, mph) * Step;
                if (gear + 1 < driver.gears && rpm >= driver.shiftRpm[gear]) {
                    shiftStart = t;
                    shiftFrom = rpm;
                    ++gear;
                }
                lifted = gear + 1 == driver.gears && mph >= driver.topMph;
            }
        }
        // The controller lights the shift light at the first sample past its set point.
        lit = full && gear + 1 < driver.gears && rpm >= driver.lightRpm;
        const double since = t - shiftStart - 0.25;
        const double spin =
            gear == 1 && since > 0 && since < 0.6 ? driver.spinMph * std::sin(since / 0.6 * Pi) : 0;
        log.ElapsedTime.at(i) = float(interval * i);
        log.RPMData.at(i) = float(std::round(rpm + car.ratios[gear] * spin + rpmNoise(rng)));
        const double wheels = mph + spin + mphNoise(rng);
        log.VSSData.at(i) = mph > 0 ? float(std::round(wheels * 128) / 128) : 0;
        log.TPSData.at(i) = full ? 100 : 0;
        log.OutputData.at(i) = lit ? 1 : 0;
    }
    return log;
}

const double Intervals[] = {0.016, 0.048, 0.112, 0.24};

TEST(ShiftPoints, FindsEveryBestShiftOfACarKnownExactlyAtEveryInterval) {
    const Car car;
    struct Case {
        const char* name;
        Driver driver;
    };
    const Case cases[] = {
        {"four gears", {{6500, 6900, 6300}, 6000}},
        {"a spin into second", {{6500, 6900, 6300}, 6000, 105, 4, 4}},
        {"two gears", {{6700}, 6000, 72, 2}},
    };
    for (const Case& c : cases) {
        for (const double interval : Intervals) {
            for (unsigned seed = 1; seed <= 4; ++seed) {
                const RunAnalysis analysis = analyseRuns(dragRun(car, c.driver, interval, seed));
                const std::string where = std::string(c.name) + " at " + std::to_string(interval) +
                                          " s, seed " + std::to_string(seed);
                ASSERT_EQ(analysis.shiftPoints.size(), c.driver.gears - 1) << where;
                for (std::size_t g = 0; g + 1 < c.driver.gears; ++g) {
                    const ShiftPoint& point = analysis.shiftPoints[g];
                    EXPECT_EQ(point.gearFrom, int(g) + 1);
                    ASSERT_TRUE(point.bestRpm) << where << ", gear " << g + 1 << ": " << point.note;
                    EXPECT_NEAR(*point.bestRpm, car.bestShift(g), 300)
                        << where << ", gear " << g + 1;
                    // The driver's shift is at the last sample before it, the light's onset at
                    // the first sample past its set point: each within an interval's climb.
                    const auto climb = [&](double rpm) {
                        return 0.1 * car.ratios[g] * car.ratios[g] * car.pull(rpm) * interval;
                    };
                    const double shifted = c.driver.shiftRpm[g];
                    const double lit = c.driver.lightRpm;
                    ASSERT_TRUE(point.shiftedRpm && point.lightRpm) << where;
                    EXPECT_NEAR(*point.shiftedRpm, shifted - climb(shifted) / 2,
                                climb(shifted) / 2 + 80)
                        << where;
                    EXPECT_NEAR(*point.lightRpm, lit + climb(lit) / 2, climb(lit) / 2 + 25)
                        << where;
                }
            }
        }
    }
}

TEST(ShiftPoints, SaysSoWhenTheLogsPullEndsBelowTheBestShift) {
    const Car car;
    const Driver early{{5200, 5100, 5000}, 4800, 92};  // top gear ends near 5,150 RPM
    for (const double interval : Intervals) {
        const RunAnalysis analysis = analyseRuns(dragRun(car, early, interval, 3));
        // At long intervals the short first gear may hold too few samples to be found.
        ASSERT_GE(analysis.shiftPoints.size(), 2u) << interval;
        for (const ShiftPoint& point : analysis.shiftPoints) {
            EXPECT_FALSE(point.bestRpm) << interval << ", gear " << point.gearFrom;
            EXPECT_NE(point.note.find("pull ends"), std::string::npos) << point.note;
        }
    }
}

TEST(ShiftPoints, LogsWithoutPullInTwoGearsGiveNoBestShift) {
    const Car car;
    struct Case {
        const char* name;
        void (*spoil)(DataLog&);
    };
    const Case cases[] = {
        {"all zeros", [](DataLog& log) { log = DataLog{}; }},
        {"throttle only in first gear",
         [](DataLog& log) {
             for (int i = 1; i <= SampleCount; ++i) {
                 const float mph = log.VSSData.at(i);
                 log.TPSData.at(i) = mph > 5 && log.RPMData.at(i) > 120 * mph ? 100 : 0;
             }
         }},
        {"speed without pattern",
         [](DataLog& log) {
             std::mt19937 rng(5);
             for (int i = 1; i <= SampleCount; ++i) {
                 log.VSSData.at(i) = log.VSSData.at(i) > 5 ? float(rng() % 120) + 5 : 0;
             }
         }},
        {"engine speed constant per gear",
         [](DataLog& log) {
             for (int i = 1; i <= SampleCount; ++i) {
                 log.VSSData.at(i) = log.RPMData.at(i) > 1000 ? log.RPMData.at(i) / 100 : 0;
             }
         }},
    };
    for (const Case& c : cases) {
        DataLog log = dragRun(car, Driver{{6500, 6900, 6300}}, 0.048, 1);
        c.spoil(log);
        for (const ShiftPoint& point : analyseRuns(log).shiftPoints) {
            EXPECT_FALSE(point.bestRpm) << c.name << ", gear " << point.gearFrom;
            EXPECT_FALSE(point.note.empty()) << c.name;
        }
    }
}

}  // namespace
}  // namespace velkor::test
