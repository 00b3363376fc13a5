// A made-up but plausible drive for the simulated controller's log: idle, arming, a launch on
// the rev limiter, a full-throttle run up through five gears, a coast down to a motorway
// cruise, braking to a stop and idle again.

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>

#include "sim/DriveRecord.h"
#include "sim/Protocol.h"
#include "sim/Simulator.h"

namespace velkor::sim {

namespace {

constexpr int HeaderSize = 368;
constexpr int RecordSize = 12;
constexpr int SampleCount = 2700;
constexpr int LastRecordAddress = FramBytes - RecordSize;  // 32756
constexpr int RingSize = SampleCount * RecordSize;         // 32400
constexpr int RingStartLow = 35;
constexpr int RingStartHigh = 36;

// Road speed per 1000 RPM in each gear, and the gain in speed per sample at full throttle.
constexpr std::array<double, 5> MphPer1000Rpm = {6.5, 10.5, 15.0, 19.5, 24.0};
constexpr std::array<double, 5> FullThrottleGain = {1.5, 1.0, 0.75, 0.55, 0.4};
constexpr int LastGear = 4;  // index of fifth

constexpr double IdleRpm = 850.0;
constexpr double LaunchRpm = 4000.0;
constexpr int ArmAt = 200;     // sample at which the driver arms the controller
constexpr int LaunchAt = 300;  // launch limiter engaged
constexpr int LaunchSamples = 40;
constexpr int CruiseUntil = 1900;
constexpr int DisarmAfter = 200;  // samples of idle after the stop
constexpr int ShiftSamples = 3;   // clutch down, lever moved, clutch up
constexpr double VssAlarmMph = 125.0;
constexpr std::uint8_t TpsMinCount = 26;
constexpr std::uint8_t TpsMaxCount = 230;

enum class Phase { Idle, Launch, Accelerate, Coast, Cruise, Brake, Stopped };

std::uint8_t toByte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

class DriveModel {
public:
    explicit DriveModel(unsigned seed) : m_rng(seed) {
        m_cruiseMph = 70.0 + jitter(5);
        m_topMph = 128.0 + jitter(2);
        nextShiftPoint();
    }

    DriveSample step(int index) {
        DriveSample s;
        s.state = m_armed ? 2 : 1;
        switch (m_phase) {
            case Phase::Idle:
                if (index >= ArmAt) {
                    m_armed = true;
                    s.state = 2;
                }
                s.rpm = IdleRpm + jitter(15);
                if (index + 1 >= LaunchAt) {
                    m_phase = Phase::Launch;
                    m_phaseStart = index + 1;
                }
                break;
            case Phase::Launch:
                s.rpm = LaunchRpm + jitter(80);
                s.throttle = 1.0;
                s.launchLight = true;
                s.gpoActive = true;
                if (index + 1 - m_phaseStart >= LaunchSamples) {
                    m_phase = Phase::Accelerate;
                }
                break;
            case Phase::Accelerate:
                accelerate(s);
                break;
            case Phase::Coast:
                m_mph -= 0.15;
                s.throttle = 0.0;
                s.rpm = engineRpm();
                if (m_mph <= m_cruiseMph) {
                    m_phase = Phase::Cruise;
                }
                break;
            case Phase::Cruise:
                m_mph = m_cruiseMph + 0.6 * std::sin(index * 0.05) + jitter(2) * 0.05;
                s.throttle = 0.3 + jitter(3) * 0.01;
                s.rpm = engineRpm();
                s.gpi = true;
                if (index + 1 >= CruiseUntil) {
                    m_phase = Phase::Brake;
                }
                break;
            case Phase::Brake:
                brake(s);
                if (m_mph <= 0.0) {
                    m_phase = Phase::Stopped;
                    m_phaseStart = index + 1;
                }
                break;
            case Phase::Stopped:
                if (index - m_phaseStart >= DisarmAfter) {
                    m_armed = false;
                    s.state = 1;
                }
                s.rpm = IdleRpm + jitter(15);
                break;
        }
        s.mph = std::max(m_mph, 0.0);
        return s;
    }

private:
    double jitter(int span) {
        return static_cast<double>(static_cast<int>(m_rng() % static_cast<unsigned>(2 * span + 1)) -
                                   span);
    }

    void nextShiftPoint() { m_shiftRpm = 6450.0 + jitter(75); }

    double engineRpm() { return m_mph * 1000.0 / MphPer1000Rpm[gearIndex()] + jitter(10); }
    std::size_t gearIndex() const { return static_cast<std::size_t>(m_gear); }

    void accelerate(DriveSample& s) {
        s.gpoActive = true;
        if (m_shiftLeft > 0) {  // mid-shift: off the throttle, the car rolls on
            --m_shiftLeft;
            m_mph -= 0.1;
            s.throttle = 0.1;
            s.rpm = engineRpm();
            return;
        }
        s.throttle = 1.0;
        m_mph += FullThrottleGain[gearIndex()];
        // Below about 3800 RPM in first the clutch is still slipping off the launch.
        s.rpm = m_gear == 0 ? std::max(engineRpm(), 3800.0 + jitter(50)) : engineRpm();
        if (m_gear < LastGear && s.rpm >= m_shiftRpm) {
            ++m_gear;
            m_shiftLeft = ShiftSamples;
            nextShiftPoint();
        } else if (m_gear == LastGear && m_mph >= m_topMph) {
            m_phase = Phase::Coast;
        }
    }

    void brake(DriveSample& s) {
        m_mph -= 0.9;
        s.throttle = 0.0;
        while (m_gear > 0 && m_mph * 1000.0 / MphPer1000Rpm[gearIndex()] < 1500.0) {
            --m_gear;
        }
        // Clutch in for the last few miles an hour: the engine drops to idle.
        s.rpm = m_mph < 8.0 ? IdleRpm + jitter(15) : std::max(engineRpm(), IdleRpm);
    }

    std::mt19937 m_rng;
    Phase m_phase = Phase::Idle;
    int m_phaseStart = 0;
    int m_gear = 0;
    int m_shiftLeft = 0;
    bool m_armed = false;
    double m_mph = 0.0;
    double m_shiftRpm = 6500.0;
    double m_cruiseMph = 70.0;
    double m_topMph = 128.0;
};

void writeRecord(Fram& fram, int address, const DriveSample& s, std::mt19937& rng) {
    const auto noise = [&rng](double size) {
        return (static_cast<double>(rng() % 201) - 100.0) / 100.0 * size;
    };
    const auto rpm = static_cast<int>(std::lround(std::clamp(s.rpm, 0.0, 65535.0)));
    const auto speed = static_cast<int>(std::lround(s.mph * 128.0));
    const double volts = (s.rpm < 1000.0 ? 13.5 : 13.9) + noise(0.08);
    const double mapVolts = 1.0 + 3.5 * s.throttle + noise(0.03);
    const double afr = 14.7 - 2.2 * s.throttle + noise(0.1);

    std::uint8_t outputs = 0;
    outputs |= s.shiftLight.value_or(s.rpm > ShiftLightRpm) ? OutShiftLight : 0;
    outputs |= s.launchLight ? OutLaunch : 0;
    outputs |= s.mph > VssAlarmMph ? OutVssAlarm : 0;
    outputs |= s.gpoActive ? 0 : OutGpo;

    auto* r = fram.data() + address;
    r[0] = static_cast<std::uint8_t>(rpm & 0xFF);
    r[1] = static_cast<std::uint8_t>(rpm >> 8);
    r[2] = static_cast<std::uint8_t>(speed & 0xFF);
    r[3] = static_cast<std::uint8_t>(speed >> 8);
    r[4] = toByte(TpsMinCount + s.throttle * (TpsMaxCount - TpsMinCount));
    r[5] = toByte(mapVolts * 255.0 / 5.0);
    r[6] = toByte((afr - 10.0) / 2.0 * 255.0 / 5.0);
    r[7] = toByte(volts * 255.0 / 18.0);
    r[8] = static_cast<std::uint8_t>((s.state == 2 ? InArmSwitch : 0) | (s.gpi ? InGpi : 0));
    r[9] = outputs;
    r[10] = s.state;
    r[11] = 0;
}

}  // namespace

Fram layDrive(int ringStart, unsigned seed, const std::function<DriveSample(int)>& step) {
    if (ringStart < HeaderSize || ringStart > LastRecordAddress ||
        (ringStart - HeaderSize) % RecordSize != 0) {
        throw std::invalid_argument("ring start " + std::to_string(ringStart) +
                                    " is not a record address between 368 and 32756");
    }
    Fram fram{};
    fram[RingStartLow] = static_cast<std::uint8_t>(ringStart & 0xFF);
    fram[RingStartHigh] = static_cast<std::uint8_t>(ringStart >> 8);
    std::mt19937 sensorNoise(seed ^ 0x5eedu);
    for (int i = 0; i < SampleCount; ++i) {
        const int nominal = ringStart + RecordSize * i;
        const int address = nominal > LastRecordAddress ? nominal - RingSize : nominal;
        writeRecord(fram, address, step(i), sensorNoise);
    }
    return fram;
}

Fram generateDrive(int ringStart, unsigned seed) {
    DriveModel drive(seed);
    return layDrive(ringStart, seed, [&drive](int i) { return drive.step(i); });
}

Eeprom makeEeprom(std::uint8_t intervalByte, std::uint8_t tpsMin, std::uint8_t tpsMax) {
    Eeprom eeprom{};
    eeprom[EepromInterval] = intervalByte;
    eeprom[EepromTpsMin] = tpsMin;
    eeprom[EepromTpsMax] = tpsMax;
    return eeprom;
}

}  // namespace velkor::sim
