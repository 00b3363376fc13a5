#include "sim/DragRun.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <stdexcept>

#include "sim/DriveRecord.h"

namespace velkor::sim {

namespace {

constexpr std::array<double, 4> MphPer1000Rpm = {7.0, 10.5, 14.0, 18.0};
constexpr std::array<double, 4> Acceleration = {14.0, 10.0, 7.0, 5.0};  // MPH a second
constexpr std::size_t TopGear = 3;
constexpr double IdleRpm = 850;
constexpr double LaunchRpm = 3500;  // the launch limiter; the clutch slips until it is reached
constexpr double LightRpm = 6000;   // the shift light's set point
constexpr double ArmAt = 10;
constexpr double HoldAt = 20;           // the driver holds the car on the limiter ...
constexpr double LaunchAt = 22;         // ... and lets go at the first sample from here
constexpr double ClutchSeconds = 0.15;  // engine speed falls to the next gear's in this time
constexpr double ShiftSeconds = 0.25;   // flat-foot shift: no drive for this long
constexpr double ShiftDragMph = 1.0;    // MPH lost a second while no gear drives
constexpr double LiftAfter = 1.0;       // seconds into top gear: the short lift
constexpr double LiftSeconds = 0.5;
constexpr double LiftThrottle = 0.3;
constexpr double TopMph = 104;
constexpr double CoastSeconds = 1.5;
constexpr double BrakeMph = 25;      // MPH lost a second
constexpr double BrakeInGear = 1.0;  // then the clutch goes in and the engine idles
constexpr double Step = 0.0005;
constexpr std::array<double, 3> CrossMph = {30, 60, 100};

enum class Phase { Idle, Hold, Drive, Shift, Lift, Coast, Brake, Stopped };

class DragModel {
public:
    DragModel(double interval, unsigned seed) : m_interval(interval), m_rng(seed) {
        std::uniform_int_distribution<int> reaction(12, 50);  // hundredths of a second
        for (double& r : m_reactions) {
            r = reaction(m_rng) / 100.0;
        }
        m_truth.interval = interval;
    }

    DriveSample sample(int index) {
        const double at = (index + 1) * m_interval;
        while (m_t + Step <= at) {
            advance();
        }
        DriveSample s;
        s.state = m_t >= ArmAt ? 2 : 1;
        s.throttle = throttle();
        s.launchLight = m_phase == Phase::Hold;
        s.gpoActive = m_phase != Phase::Idle && m_phase != Phase::Stopped;
        s.mph = std::max(m_mph, 0.0);
        s.rpm = engineRpm();
        // The controller looks at engine speed as it logs: the light comes on at a sample.
        // It goes out at the first sample below the set point, which may come only after the
        // shift when the samples are far apart.
        if (m_lit && s.rpm < LightRpm) {
            m_lit = false;
        }
        if (m_phase == Phase::Drive && m_gear < TopGear && !m_lit && !m_shiftDue &&
            s.rpm >= LightRpm) {
            m_lit = true;
            m_shiftDue = true;
            m_lightOn = at;
            m_shiftAt = at + m_reactions[m_gear];
        }
        s.shiftLight = m_lit;
        if (m_phase == Phase::Hold && at >= LaunchAt) {
            m_phase = Phase::Drive;  // lets go now: the car moves from this sample on
            m_truth.launch = at;
        }
        // Sensor noise, none while the car stands.
        s.rpm += std::uniform_real_distribution<double>(-20, 20)(m_rng);
        if (s.mph > 0) {
            s.mph = std::max(0.0, s.mph + std::uniform_real_distribution<double>(-0.1, 0.1)(m_rng));
        }
        return s;
    }

    const DragTruth& truth() const { return m_truth; }

private:
    double gearRpm(std::size_t gear) const { return m_mph * 1000.0 / MphPer1000Rpm[gear]; }

    double throttle() const {
        switch (m_phase) {
            case Phase::Hold:
            case Phase::Drive:
            case Phase::Shift:
                return 1.0;
            case Phase::Lift:
                return LiftThrottle;
            default:
                return 0.0;
        }
    }

    double engineRpm() const {
        switch (m_phase) {
            case Phase::Hold:
                return LaunchRpm;
            case Phase::Drive:
                return m_gear == 0 ? std::max(gearRpm(0), LaunchRpm) : gearRpm(m_gear);
            case Phase::Shift: {
                const double share = std::min(1.0, (m_t - m_phaseStart) / ClutchSeconds);
                return m_shiftRpm + share * (gearRpm(m_gear) - m_shiftRpm);
            }
            case Phase::Lift:
            case Phase::Coast:
                return gearRpm(m_gear);
            case Phase::Brake:
                return m_t - m_phaseStart < BrakeInGear ? std::max(gearRpm(m_gear), IdleRpm)
                                                        : IdleRpm;
            default:
                return IdleRpm;
        }
    }

    void enter(Phase phase) {
        m_phase = phase;
        m_phaseStart = m_t;
    }

    void advance() {
        const double before = m_mph;
        switch (m_phase) {
            case Phase::Idle:
                if (m_t >= HoldAt) {
                    enter(Phase::Hold);
                }
                break;
            case Phase::Drive:
                m_mph += Acceleration[m_gear] * Step;
                if (m_shiftDue && m_t >= m_shiftAt) {
                    m_shiftDue = false;
                    m_truth.shifts.push_back(
                        {m_t, m_lightOn, m_reactions[m_gear], int(m_gear) + 1, int(m_gear) + 2});
                    m_shiftRpm = gearRpm(m_gear);
                    ++m_gear;
                    enter(Phase::Shift);
                } else if (m_gear == TopGear && m_truth.throttleLift == 0 &&
                           m_t - m_phaseStart >= LiftAfter) {
                    m_truth.throttleLift = m_t;
                    enter(Phase::Lift);
                } else if (m_mph >= TopMph) {
                    enter(Phase::Coast);
                }
                break;
            case Phase::Shift:
                m_mph -= ShiftDragMph * Step;
                if (m_t - m_phaseStart >= ShiftSeconds) {
                    enter(Phase::Drive);
                }
                break;
            case Phase::Lift:
                m_mph -= 1.5 * Step;
                if (m_t - m_phaseStart >= LiftSeconds) {
                    m_phase = Phase::Drive;  // the gear's clock keeps running
                }
                break;
            case Phase::Coast:
                m_mph -= 2.0 * Step;
                if (m_t - m_phaseStart >= CoastSeconds) {
                    m_truth.braking = m_t;
                    enter(Phase::Brake);
                }
                break;
            case Phase::Brake:
                m_mph -= BrakeMph * Step;
                if (m_mph <= 0) {
                    m_mph = 0;
                    enter(Phase::Stopped);
                }
                break;
            default:
                break;
        }
        m_t += Step;
        for (std::size_t m = 0; m < m_crossed.size(); ++m) {
            const double mark = CrossMph[m];
            if (m_crossed[m] == 0 && before < mark && m_mph >= mark) {
                m_crossed[m] = m_t - (m_mph - mark) / (m_mph - before) * Step;
            }
        }
        m_truth.zeroTo30 = m_crossed[0] - m_truth.launch;
        m_truth.zeroTo60 = m_crossed[1] - m_truth.launch;
        m_truth.sixtyTo100 = m_crossed[2] - m_crossed[1];
    }

    double m_interval;
    std::mt19937 m_rng;
    std::array<double, 3> m_reactions{};
    DragTruth m_truth;
    Phase m_phase = Phase::Idle;
    double m_t = 0;
    double m_phaseStart = 0;
    double m_mph = 0;
    std::size_t m_gear = 0;
    bool m_lit = false;
    bool m_shiftDue = false;  // the light came on for this gear and the driver has not shifted
    double m_lightOn = 0;
    double m_shiftAt = 0;
    double m_shiftRpm = 0;
    std::array<double, 3> m_crossed{};  // when the car first reached each of CrossMph
};

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return text;
}

}  // namespace

DragRun generateDragRun(double interval, int ringStart, unsigned seed) {
    if (!(interval > 0)) {
        throw std::invalid_argument("the drag run needs a logging interval above 0");
    }
    DragModel model(interval, seed);
    DragRun run;
    run.fram = layDrive(ringStart, seed, [&model](int i) { return model.sample(i); });
    run.truth = model.truth();
    return run;
}

std::string truthJson(const DragTruth& truth) {
    std::string json = "{\n  \"interval\": " + number(truth.interval) +
                       ",\n  \"launch\": " + number(truth.launch) +
                       ",\n  \"zero_to_30_mph\": " + number(truth.zeroTo30) +
                       ",\n  \"zero_to_60_mph\": " + number(truth.zeroTo60) +
                       ",\n  \"sixty_to_100_mph\": " + number(truth.sixtyTo100) +
                       ",\n  \"throttle_lift\": " + number(truth.throttleLift) +
                       ",\n  \"braking\": " + number(truth.braking) + ",\n  \"shifts\": [";
    for (std::size_t i = 0; i < truth.shifts.size(); ++i) {
        const TruthShift& s = truth.shifts[i];
        json += std::string(i == 0 ? "\n" : ",\n") + "    {\"time\": " + number(s.time) +
                ", \"light_on\": " + number(s.lightOn) + ", \"reaction\": " + number(s.reaction) +
                ", \"gear_before\": " + std::to_string(s.gearBefore) +
                ", \"gear_after\": " + std::to_string(s.gearAfter) + "}";
    }
    return json + "\n  ]\n}\n";
}

}  // namespace velkor::sim
