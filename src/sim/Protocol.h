#pragma once
// The controller's side of the command set, without any terminal: bytes in, replies out.
// Kept free of I/O and of the wall clock so that every answer can be checked directly.

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sim/Simulator.h"

namespace velkor::sim {

namespace cmd {
constexpr std::uint8_t ReadFirmwareID = 16;
constexpr std::uint8_t SetAddress = 20;
constexpr std::uint8_t ReadEEPROM = 21;
constexpr std::uint8_t ReadFRAM = 30;
constexpr std::uint8_t ReadBAT = 38;
constexpr std::uint8_t ReadRPM = 39;
constexpr std::uint8_t ReadVSS = 40;
constexpr std::uint8_t ReadTPS = 41;
constexpr std::uint8_t ReadVIN1 = 42;
constexpr std::uint8_t ReadVIN2 = 43;
constexpr std::uint8_t ReadInputData = 44;
constexpr std::uint8_t ReadOutputData = 45;
constexpr std::uint8_t ReadStatus = 46;
constexpr std::uint8_t ReadFRAMBlock = 48;
constexpr std::uint8_t ClearControllerBuffer = 49;  // followed by 105, 52, 191, 59
constexpr std::uint8_t ReSync = 51;
}  // namespace cmd

constexpr std::uint8_t Ack = 6;
constexpr std::uint8_t Nak = 0x15;
constexpr std::uint8_t StrayByte = 0xAA;
constexpr std::uint8_t FirmwareIdEnd = 13;  // CR

// A partly received command is forgotten when its next byte is this late.
constexpr auto CommandByteGap = std::chrono::milliseconds(100);

// EEPROM addresses the program reads.
constexpr int EepromInterval = 19;
constexpr int EepromTpsMin = 21;
constexpr int EepromTpsMax = 22;

// The controller's current readings, in the units of its replies.
struct LiveValues {
    std::uint16_t rpm = 0;
    std::uint16_t speed = 0;  // 1/128 MPH
    std::uint8_t tps = 0;     // raw throttle count
    std::uint8_t input1 = 0;  // 5 V / 255
    std::uint8_t input2 = 0;
    std::uint8_t battery = 0;  // 18 V / 255
    std::uint8_t inputs = 0;
    std::uint8_t outputs = 0;
    std::uint8_t state = 0;
};

// Shift light, launch light, VSS alarm and general-purpose output bits of the output byte.
constexpr std::uint8_t OutShiftLight = 1;
constexpr std::uint8_t OutLaunch = 2;
constexpr std::uint8_t OutVssAlarm = 4;
constexpr std::uint8_t OutGpo = 64;  // active low: set while the output is off
constexpr std::uint8_t InArmSwitch = 1;
constexpr std::uint8_t InGpi = 2;
constexpr int ShiftLightRpm = 6300;  // the shift light is lit above this

// Readings of a car going round a 20-second cycle: idle, a pull to 7000 RPM, back to idle.
LiveValues liveValuesAt(double seconds, std::uint8_t state, std::uint8_t tpsMin,
                        std::uint8_t tpsMax);

struct Reply {
    std::vector<std::uint8_t> bytes;
    SimClock::duration delay{};  // between the command's last byte and the reply's first
};

class Protocol {
public:
    // `origin` is the moment the live values start their cycle.
    Protocol(const Fram& fram, const Eeprom& eeprom, std::string firmwareId, std::uint8_t state,
             SimClock::time_point origin);

    // Takes one byte as it arrives on the line; returns the reply it completes, if any.
    std::optional<Reply> receive(std::uint8_t byte, SimClock::time_point arrival);

    // New faults also restart the counts of served blocks and ignored ReSyncs they refer to.
    void setFaults(const Faults& faults);
    void setState(std::uint8_t state) { m_state = state; }
    void setFirmwareId(std::string id) { m_firmwareId = std::move(id); }

    const Fram& fram() const { return m_fram; }
    std::uint16_t pointer() const { return m_pointer; }
    int eraseCount() const { return m_eraseCount; }
    int blocksServed() const { return m_blocksServed; }
    LiveValues liveValues(SimClock::time_point when) const;

private:
    std::optional<Reply> startCommand(std::uint8_t byte, SimClock::time_point arrival);
    std::optional<Reply> continueCommand(std::uint8_t byte);
    std::optional<Reply> acknowledge(double extraDelay = 0.0);
    Reply answer(std::vector<std::uint8_t> bytes, double extraDelay = 0.0);
    std::vector<std::uint8_t> number(std::uint16_t value) const;
    std::vector<std::uint8_t> readFram(int count);
    void eraseRing();

    Fram m_fram;
    Eeprom m_eeprom;
    std::string m_firmwareId;
    std::uint8_t m_state;
    SimClock::time_point m_origin;
    Faults m_faults;

    std::uint16_t m_pointer = 0;
    std::vector<std::uint8_t> m_partial;  // bytes of a command still being received
    SimClock::time_point m_lastArrival{};
    int m_eraseCount = 0;
    int m_blocksServed = 0;
    int m_blocksSinceFaults = 0;
    int m_resyncsSinceFaults = 0;
    std::minstd_rand m_lineNoise;
};

}  // namespace velkor::sim
