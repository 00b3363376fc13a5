#pragma once
// velkor-sim: plays the shift-light controller on a pseudo-terminal, so that the program's real
// serial code can be tested, measured and demonstrated without a car.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velkor::sim {

using SimClock = std::chrono::steady_clock;

constexpr int FramBytes = 32768;
constexpr int EepromBytes = 512;
using Fram = std::array<std::uint8_t, FramBytes>;
using Eeprom = std::array<std::uint8_t, EepromBytes>;

// Faults the simulated controller can show, switchable while it runs.
struct Faults {
    bool silent = false;         // answers nothing at all
    bool wrongAck = false;       // answers SetAddress, ReSync and the erase with 0x15, not ACK
    int stopAfterBlocks = -1;    // stops answering FRAM block reads after this many (-1: never)
    bool halfReply = false;      // sends only the first byte of two-byte replies
    double eraseAckDelay = 0.0;  // seconds before the erase is acknowledged
    int resyncIgnored = 0;       // the first N ReSync bytes get no answer
    int strayBytes = 0;          // extra bytes sent after every reply
    double replyLatency = 0.0;   // seconds between a command's last byte and its reply
    int refusedAddress = -1;     // SetAddress to this address gets 0x15 (-1: none)

    // Line noise: about one reply byte in N (0: none) is damaged on its way. The program's
    // terminal hands a byte with a framing error over as a zero byte, so a damaged byte is sent
    // as 0 in place of the real one; which bytes are hit follows a fixed pseudo-random sequence,
    // restarted whenever the faults are set, so that a run can be repeated.
    int noiseOneIn = 0;
};

struct Config {
    Fram fram{};      // the logged memory
    Eeprom eeprom{};  // bytes 19 (interval, 16 ms steps), 21 and 22 (TPS min, max)
    std::string firmwareId = "Shift Light Controller V2.0";
    std::uint8_t state = 1;  // 0 power off, 1 powered, 2 armed
    bool paced = false;      // true line timing: 10 bits a byte at 56000 bit/s both ways
    Faults faults;
    std::string linkPath;  // when set, a symbolic link to the terminal is made there
    std::string logPath;   // when set, every received byte is logged there with its time
};

// A plausible drive of 2700 samples laid into a FRAM image as the controller's ring, sample 1
// at `ringStart` (368..32756, a record boundary), the header's bytes 35 and 36 holding it.
Fram generateDrive(int ringStart = 368, unsigned seed = 1);

// EEPROM with the interval byte at 19 and the TPS scale factors at 21 and 22.
Eeprom makeEeprom(std::uint8_t intervalByte = 6, std::uint8_t tpsMin = 26,
                  std::uint8_t tpsMax = 230);

struct ReceivedByte {
    SimClock::time_point time;  // when the byte was read from the terminal
    std::uint8_t value;
};

class Simulator {
public:
    // Opens the pseudo-terminal (and the link, when asked). Throws std::runtime_error on failure.
    explicit Simulator(Config config);
    ~Simulator();  // stops the loop, removes the link, closes the terminal
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The device the program opens, e.g. /dev/pts/7.
    std::string devicePath() const;

    void start();  // answers on a background thread
    void run();    // answers on this thread until stop() (or a signal handler calls stop())
    void stop();

    // Thread-safe changes and observations while running.
    void setFaults(const Faults& faults);
    void setState(std::uint8_t state);
    void setFirmwareId(const std::string& id);
    std::vector<ReceivedByte> received() const;
    void clearReceived();
    int eraseCount() const;
    int blocksServed() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace velkor::sim
