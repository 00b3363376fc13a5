// The driver and the log of the drag run. The car moves on a 0.5 ms step; the controller looks at
// it every logging interval, and the shift light and the driver's reaction to it follow what the
// controller saw.

#include "sim/DragRun.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>
#include <stdexcept>

#include "sim/DragPhysics.h"
#include "sim/DragTruth.h"
#include "sim/DriveRecord.h"

namespace velkor::sim {

namespace {

using drag::RpmPerMph;

constexpr std::size_t TopGear = drag::GearCount - 1;
constexpr double IdleRpm = 850;
constexpr double LaunchRpm = 3500;  // the launch limiter; the clutch slips until first gear turns
                                    // the engine this fast
constexpr double LightRpm = 6000;   // the shift light's set point
constexpr double ArmAt = 5;
constexpr double HoldAt = 10;       // the driver holds the car on the limiter ...
constexpr double ReleaseFrom = 12;  // ... and lets go within ReleaseSpan seconds from here
constexpr double ReleaseSpan = 1;
constexpr double BiteSeconds = 0.02;    // the clutch takes up the drive over this
constexpr double ClutchSeconds = 0.15;  // engine speed falls to the next gear's in this time
constexpr double ShiftSeconds = 0.25;   // flat-foot shift: no drive for this long
constexpr double LiftDelay = 0.5;       // seconds past the quarter mile: the short lift
constexpr double LiftSeconds = 0.5;
constexpr double LiftThrottle = 0.3;
constexpr double PullAfterLift = 1.0;  // full throttle again, then the lift at the end
constexpr double CoastSeconds = 1.5;
constexpr double BrakeMph = 25;      // MPH lost a second
constexpr double BrakeInGear = 1.0;  // then the clutch goes in and the engine idles
constexpr double SpinDelay = 0.06;   // a launch spin starts this long after first motion
constexpr double SpinRiseShare = 0.3;
constexpr double Step = 0.0005;

enum class Phase { Idle, Hold, Launch, Drive, Shift, Lift, Coast, Brake, Stopped };

// A spin of the driven wheels: their speed over the car's rises smoothly to its peak and falls
// back as the tyres hook.
struct SpinPlan {
    bool wanted = false;
    double start = -1;  // not begun while negative
    double peakMph = 0;
    double seconds = 0;

    double excess(double t) const {
        const double u = start < 0 ? -1 : (t - start) / seconds;
        if (u <= 0 || u >= 1) {
            return 0;
        }
        const double x = u < SpinRiseShare ? u / SpinRiseShare : (1 - u) / (1 - SpinRiseShare);
        return peakMph * x * x * (3 - 2 * x);
    }
};

class DragModel {
public:
    DragModel(double interval, unsigned seed, Wheelspin spin) : m_interval(interval), m_rng(seed) {
        std::uniform_int_distribution<int> reaction(12, 50);  // hundredths of a second
        for (double& r : m_reactions) {
            r = reaction(m_rng) / 100.0;
        }
        // The driver lets go at any moment, on the model's step but not on a sample.
        const long span = std::lround(ReleaseSpan / Step);
        m_releaseStep = std::lround(ReleaseFrom / Step) +
                        std::uniform_int_distribution<long>(1, span - 1)(m_rng);
        if (std::abs(std::remainder(double(m_releaseStep) * Step, interval)) < Step / 2) {
            ++m_releaseStep;
        }
        std::uniform_real_distribution<double> peak(4, 12);
        std::uniform_real_distribution<double> length(0.3, 1.0);
        for (SpinPlan* plan : {&m_launchSpin, &m_shiftSpin}) {
            plan->peakMph = peak(m_rng);
            plan->seconds = length(m_rng);
        }
        m_launchSpin.wanted = spin == Wheelspin::Launch || spin == Wheelspin::Both;
        m_shiftSpin.wanted = spin == Wheelspin::AfterShift || spin == Wheelspin::Both;
        m_truth.interval = interval;
        for (std::size_t g = 0; g < drag::GearCount; ++g) {
            m_truth.rpmPerMph.push_back(RpmPerMph[g]);
            if (g < TopGear) {
                m_truth.bestShiftRpm.push_back(drag::bestShiftRpm(g));
            }
        }
    }

    DriveSample sample(int index) {
        const double at = (index + 1) * m_interval;
        while (double(m_steps + 1) * Step <= at + Step / 4) {
            advance();
        }
        DriveSample s;
        s.state = now() >= ArmAt ? 2 : 1;
        s.throttle = throttle();
        s.launchLight = m_phase == Phase::Hold;
        s.gpoActive = m_phase != Phase::Idle && m_phase != Phase::Stopped;
        s.mph = wheelMph();
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
        // Sensor noise, none while the car stands.
        s.rpm += std::uniform_real_distribution<double>(-20, 20)(m_rng);
        if (s.mph > 0) {
            s.mph = std::max(0.0, s.mph + std::uniform_real_distribution<double>(-0.1, 0.1)(m_rng));
        }
        return s;
    }

    DragTruth truth() const {
        DragTruth truth = m_truth;
        m_marks.fill(truth);
        return truth;
    }

private:
    double now() const { return double(m_steps) * Step; }
    double sinceStart() const { return now() - m_phaseStart; }
    double excess() const { return m_launchSpin.excess(now()) + m_shiftSpin.excess(now()); }
    // Road speed as logged: the driven wheels' speed.
    double wheelMph() const { return m_carMph + excess(); }
    double gearRpm() const { return wheelMph() * RpmPerMph[m_gear]; }

    double throttle() const {
        switch (m_phase) {
            case Phase::Hold:
            case Phase::Launch:
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
            case Phase::Launch:
                return LaunchRpm;
            case Phase::Drive:
            case Phase::Lift:
            case Phase::Coast:
                return gearRpm();
            case Phase::Shift: {
                const double share = std::min(1.0, sinceStart() / ClutchSeconds);
                return m_shiftRpm + share * (gearRpm() - m_shiftRpm);
            }
            case Phase::Brake:
                return sinceStart() < BrakeInGear ? std::max(gearRpm(), IdleRpm) : IdleRpm;
            default:
                return IdleRpm;
        }
    }

    void enter(Phase phase) {
        m_phase = phase;
        m_phaseStart = now();
    }

    // What the driver does at this moment, and the force then driving the car.
    double drive() {
        const double t = now();
        switch (m_phase) {
            case Phase::Idle:
                if (t >= HoldAt) {
                    enter(Phase::Hold);
                }
                return 0;
            case Phase::Hold:
                if (m_steps < m_releaseStep) {
                    return 0;
                }
                enter(Phase::Launch);
                m_truth.launch = m_truth.firstMotion = t;
                m_marks.start(t);
                if (m_launchSpin.wanted) {
                    m_launchSpin.start = t + SpinDelay;
                }
                [[fallthrough]];
            case Phase::Launch:
                // The clutch slips with the engine on the launch limiter until the wheels turn
                // it at first gear's ratio.
                if (gearRpm() >= LaunchRpm) {
                    m_truth.launchSlip = t - m_truth.firstMotion;
                    enter(Phase::Drive);
                    return drag::driveForce(0, gearRpm());
                }
                return drag::driveForce(0, LaunchRpm) * std::min(1.0, sinceStart() / BiteSeconds);
            case Phase::Drive:
                return pull();
            case Phase::Shift:
                if (sinceStart() >= ShiftSeconds) {
                    enter(Phase::Drive);
                    if (m_gear == 1 && m_shiftSpin.wanted) {
                        m_shiftSpin.start = t;
                    }
                    return pull();
                }
                return 0;
            case Phase::Lift:
                if (sinceStart() >= LiftSeconds) {
                    enter(Phase::Drive);
                    m_pullUntil = t + PullAfterLift;
                    return pull();
                }
                return drag::driveForce(m_gear, gearRpm(), LiftThrottle);
            case Phase::Coast:
                if (sinceStart() >= CoastSeconds) {
                    m_truth.braking = t;
                    enter(Phase::Brake);
                }
                return 0;
            default:
                return 0;
        }
    }

    // Full throttle in gear, until the driver shifts, lifts or ends the run.
    double pull() {
        const double t = now();
        if (m_shiftDue && t >= m_shiftAt) {
            m_shiftDue = false;
            m_truth.shifts.push_back(
                {t, m_lightOn, m_reactions[m_gear], int(m_gear) + 1, int(m_gear) + 2, gearRpm()});
            m_shiftRpm = gearRpm();
            ++m_gear;
            enter(Phase::Shift);
            return 0;
        }
        const std::optional<double> quarter = m_marks.quarterPassed();
        if (m_gear == TopGear && m_truth.throttleLift == 0 && quarter &&
            t >= *quarter + LiftDelay) {
            m_truth.throttleLift = t;
            enter(Phase::Lift);
            return drag::driveForce(m_gear, gearRpm(), LiftThrottle);
        }
        if (m_pullUntil > 0 && t >= m_pullUntil) {
            enter(Phase::Coast);
            return 0;
        }
        return drag::driveForce(m_gear, gearRpm());
    }

    void advance() {
        const double force = drive();
        const bool spinning = excess() > 0;
        const double grip = spinning ? drag::spinningGripForce() : drag::gripForce();
        const double before = m_carMph;
        if (m_phase == Phase::Brake || m_phase == Phase::Stopped) {
            m_carMph = std::max(0.0, m_carMph - BrakeMph * Step);
            if (m_phase == Phase::Brake && m_carMph <= 0) {
                enter(Phase::Stopped);
            }
        } else {
            const double net = std::min(force, grip) - drag::resistance(m_carMph);
            m_carMph = std::max(0.0, m_carMph + drag::mphPerSecond(net) * Step);
        }
        ++m_steps;
        m_marks.step(now(), Step, before, m_carMph, excess());
    }

    double m_interval;
    std::mt19937 m_rng;
    std::array<double, TopGear> m_reactions{};
    long m_releaseStep = 0;
    SpinPlan m_launchSpin;
    SpinPlan m_shiftSpin;
    DragTruth m_truth;
    TruthMarks m_marks;
    Phase m_phase = Phase::Idle;
    long m_steps = 0;
    double m_phaseStart = 0;
    double m_carMph = 0;  // the car's true speed
    std::size_t m_gear = 0;
    bool m_lit = false;
    bool m_shiftDue = false;  // the light came on for this gear and the driver has not shifted
    double m_lightOn = 0;
    double m_shiftAt = 0;
    double m_shiftRpm = 0;
    double m_pullUntil = 0;  // after the short lift: the end of the run
};

}  // namespace

DragRun generateDragRun(double interval, int ringStart, unsigned seed, Wheelspin spin) {
    if (!(interval > 0)) {
        throw std::invalid_argument("the drag run needs a logging interval above 0");
    }
    DragModel model(interval, seed, spin);
    DragRun run;
    run.fram = layDrive(ringStart, seed, [&model](int i) { return model.sample(i); });
    run.truth = model.truth();
    return run;
}

}  // namespace velkor::sim
