#include "sim/Protocol.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace velkor::sim {

namespace {

constexpr std::array<std::uint8_t, 5> EraseSequence = {cmd::ClearControllerBuffer, 105, 52, 191,
                                                       59};
constexpr int RingFirstAddress = 368;

constexpr double CycleSeconds = 20.0;
constexpr double IdleRpm = 850.0;
constexpr double PeakRpm = 7000.0;
constexpr double PeakMph = 90.0;
constexpr double VssAlarmMph = 85.0;
constexpr double GpoOnRpm = 5000.0;

std::uint8_t clampByte(double value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

std::uint8_t lowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t highByte(int value) {
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

SimClock::duration seconds(double s) {
    return std::chrono::duration_cast<SimClock::duration>(std::chrono::duration<double>(s));
}

}  // namespace

LiveValues liveValuesAt(double seconds, std::uint8_t state, std::uint8_t tpsMin,
                        std::uint8_t tpsMax) {
    // One cycle: idle 0-3 s, pull to the peak 3-11 s, hold 11-12 s, ease off 12-17 s, idle.
    const double phase = std::fmod(std::max(seconds, 0.0), CycleSeconds);
    double load = 0.0;       // 0 idle .. 1 peak
    double throttle = 0.03;  // fraction of the throttle's travel
    if (phase >= 3.0 && phase < 11.0) {
        load = (phase - 3.0) / 8.0;
        throttle = 0.9;
    } else if (phase >= 11.0 && phase < 12.0) {
        load = 1.0;
        throttle = 0.9;
    } else if (phase >= 12.0 && phase < 17.0) {
        load = 1.0 - (phase - 12.0) / 5.0;
        throttle = 0.05;
    }
    // A little wobble so that the readings never sit perfectly still.
    const double wobble = std::sin(seconds * 7.3) + 0.5 * std::sin(seconds * 2.9);

    LiveValues v;
    const double rpm = IdleRpm + (PeakRpm - IdleRpm) * load + 12.0 * wobble;
    v.rpm = static_cast<std::uint16_t>(std::lround(std::max(rpm, 0.0)));
    const double mph = PeakMph * load;
    v.speed = static_cast<std::uint16_t>(std::lround(mph * 128.0));
    v.tps = clampByte(tpsMin + throttle * (tpsMax - tpsMin));
    v.input1 = clampByte((1.0 + 3.5 * throttle) * 255.0 / 5.0);  // manifold pressure
    v.input2 = clampByte((2.35 + 0.05 * wobble) * 255.0 / 5.0);  // air-fuel ratio
    v.battery = clampByte((13.8 + 0.05 * wobble) * 255.0 / 18.0);
    v.inputs = static_cast<std::uint8_t>((state == 2 ? InArmSwitch : 0) |
                                         (static_cast<int>(seconds / 5.0) % 2 ? InGpi : 0));
    std::uint8_t out = 0;
    if (v.rpm > ShiftLightRpm) {
        out |= OutShiftLight;
    }
    if (state == 2 && mph < 1.0 && v.rpm > 3000) {
        out |= OutLaunch;
    }
    if (mph > VssAlarmMph) {
        out |= OutVssAlarm;
    }
    if (rpm < GpoOnRpm) {
        out |= OutGpo;
    }
    v.outputs = out;
    v.state = state;
    return v;
}

Protocol::Protocol(const Fram& fram, const Eeprom& eeprom, std::string firmwareId,
                   std::uint8_t state, SimClock::time_point origin)
    : m_fram(fram),
      m_eeprom(eeprom),
      m_firmwareId(std::move(firmwareId)),
      m_state(state),
      m_origin(origin) {}

void Protocol::setFaults(const Faults& faults) {
    m_faults = faults;
    m_blocksSinceFaults = 0;
    m_resyncsSinceFaults = 0;
    m_lineNoise.seed();
}

LiveValues Protocol::liveValues(SimClock::time_point when) const {
    const double t = std::chrono::duration<double>(when - m_origin).count();
    return liveValuesAt(t, m_state, m_eeprom[EepromTpsMin], m_eeprom[EepromTpsMax]);
}

std::optional<Reply> Protocol::receive(std::uint8_t byte, SimClock::time_point arrival) {
    // A program that gave up half-way through a command must not leave the parser waiting for
    // the rest: after a pause the command is forgotten and this byte starts a new one.
    if (!m_partial.empty() && arrival - m_lastArrival > CommandByteGap) {
        m_partial.clear();
    }
    m_lastArrival = arrival;
    if (m_faults.silent) {
        m_partial.clear();
        return std::nullopt;
    }
    if (m_partial.empty()) {
        return startCommand(byte, arrival);
    }
    return continueCommand(byte);
}

std::optional<Reply> Protocol::startCommand(std::uint8_t byte, SimClock::time_point arrival) {
    const LiveValues live = liveValues(arrival);
    switch (byte) {
        case cmd::ReadFirmwareID: {
            std::vector<std::uint8_t> text(m_firmwareId.begin(), m_firmwareId.end());
            text.push_back(FirmwareIdEnd);
            return answer(std::move(text));
        }
        case cmd::SetAddress:
        case cmd::ReadFRAMBlock:
        case cmd::ClearControllerBuffer:
            m_partial.push_back(byte);
            return std::nullopt;
        case cmd::ReadEEPROM: {
            const int at = m_pointer % EepromBytes;
            m_pointer = static_cast<std::uint16_t>((at + 1) % EepromBytes);
            return answer({m_eeprom[static_cast<std::size_t>(at)]});
        }
        case cmd::ReadFRAM:
            return answer(readFram(1));
        case cmd::ReadBAT:
            return answer({live.battery});
        case cmd::ReadRPM:
            return answer(number(live.rpm));
        case cmd::ReadVSS:
            return answer(number(live.speed));
        case cmd::ReadTPS:
            return answer({live.tps});
        case cmd::ReadVIN1:
            return answer({live.input1});
        case cmd::ReadVIN2:
            return answer({live.input2});
        case cmd::ReadInputData:
            return answer({live.inputs});
        case cmd::ReadOutputData:
            return answer({live.outputs});
        case cmd::ReadStatus:
            return answer({m_state});
        case cmd::ReSync:
            if (m_resyncsSinceFaults++ < m_faults.resyncIgnored) {
                return std::nullopt;
            }
            return acknowledge();
        default:
            return std::nullopt;  // not a command: the controller ignores it
    }
}

std::optional<Reply> Protocol::continueCommand(std::uint8_t byte) {
    m_partial.push_back(byte);
    switch (m_partial.front()) {
        case cmd::SetAddress: {
            if (m_partial.size() < 3) {
                return std::nullopt;
            }
            const auto address = static_cast<std::uint16_t>(m_partial[1] | (m_partial[2] << 8));
            m_partial.clear();
            if (address == m_faults.refusedAddress) {
                return answer({Nak});
            }
            if (!m_faults.wrongAck) {
                m_pointer = address;
            }
            return acknowledge();
        }
        case cmd::ReadFRAMBlock: {
            m_partial.clear();
            if (m_faults.stopAfterBlocks >= 0 && m_blocksSinceFaults >= m_faults.stopAfterBlocks) {
                return std::nullopt;
            }
            ++m_blocksSinceFaults;
            ++m_blocksServed;
            return answer(readFram(byte));
        }
        default: {  // the erase: every byte must follow the sequence, or it is all dropped
            const std::size_t at = m_partial.size() - 1;
            if (byte != EraseSequence[at]) {
                m_partial.clear();
                return std::nullopt;
            }
            if (m_partial.size() < EraseSequence.size()) {
                return std::nullopt;
            }
            m_partial.clear();
            if (!m_faults.wrongAck) {
                eraseRing();
            }
            return acknowledge(m_faults.eraseAckDelay);
        }
    }
}

// A controller with the wrong-acknowledgement fault refuses the command: it answers 0x15 and
// leaves the pointer and the log as they were.
std::optional<Reply> Protocol::acknowledge(double extraDelay) {
    return answer({m_faults.wrongAck ? Nak : Ack}, extraDelay);
}

Reply Protocol::answer(std::vector<std::uint8_t> bytes, double extraDelay) {
    Reply reply;
    bytes.insert(bytes.end(), static_cast<std::size_t>(std::max(m_faults.strayBytes, 0)),
                 StrayByte);
    if (m_faults.noiseOneIn > 0) {
        const auto oneIn = static_cast<std::minstd_rand::result_type>(m_faults.noiseOneIn);
        for (auto& byte : bytes) {
            if (m_lineNoise() % oneIn == 0) {
                byte = 0;
            }
        }
    }
    reply.bytes = std::move(bytes);
    reply.delay = seconds(std::max(m_faults.replyLatency, 0.0) + std::max(extraDelay, 0.0));
    return reply;
}

// A two-byte reading, low byte first; the half-reply fault loses the high byte.
std::vector<std::uint8_t> Protocol::number(std::uint16_t value) const {
    std::vector<std::uint8_t> bytes{lowByte(value), highByte(value)};
    if (m_faults.halfReply) {
        bytes.pop_back();
    }
    return bytes;
}

std::vector<std::uint8_t> Protocol::readFram(int count) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(count));
    int at = m_pointer % FramBytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(m_fram[static_cast<std::size_t>(at)]);
        at = (at + 1) % FramBytes;
    }
    m_pointer = static_cast<std::uint16_t>(at);
    return bytes;
}

void Protocol::eraseRing() {
    std::fill(m_fram.begin() + RingFirstAddress, m_fram.end(), std::uint8_t{0});
    ++m_eraseCount;
}

}  // namespace velkor::sim
