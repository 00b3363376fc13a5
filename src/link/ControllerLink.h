#pragma once
// The controller's command set over the serial port: the paced send-and-wait transaction, the
// time-out report, and every controller operation. Each operation sets CommandOK False first and
// True only when it succeeded; callers test it after each call.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Activity.h"
#include "base/AppContext.h"
#include "base/AppError.h"
#include "base/Clock.h"
#include "base/Outcome.h"

namespace velkor {

// Command bytes.
namespace Command {
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
constexpr std::uint8_t ReSync = 51;
constexpr std::array<std::uint8_t, 5> ClearControllerBuffer = {49, 105, 52, 191, 59};
}  // namespace Command

constexpr std::uint8_t ACK = 6;
constexpr std::uint8_t CR = 13;
constexpr int FRAMBlockLength = 64;
constexpr std::size_t FirmwareIDLimit = 255;  // characters kept of an ID; the rest is dropped

constexpr const char* TimeoutDescription = "RS-232 timeout. Check cable and click Abort.";
constexpr const char* TimeoutTerminalDescription =
    "the controller did not answer in time (RS-232 time-out); check the cable, the port and "
    "that the controller is powered";
constexpr const char* NoLinkMessage =
    "Cannot establish RS-232 link. Check cable and controller power.";

// The time-out error: number 0x800403E8, source "Comm Error".
AppError timeoutError();

// How every operation ends a running live view (its Close button, Abort at a time-out prompt, a
// download, the chart, the display options): the frame hides, the port closes, the polling
// stops. The gauges and lamps keep what they last showed.
void closeRealTimeView(AppContext& ctx);

class ControllerLink;

// Reads the throttle scale factors into the controller's identity; when they cannot be read,
// says so in a message box titled `title` and takes the usual 26 and 230.
void readTPSScaleFactorsOrUsual(ControllerLink& link, const std::string& title);

class ControllerLink {
public:
    explicit ControllerLink(AppContext& ctx) : m_ctx(ctx) {}

    // Controller operations run one at a time. A Session is held for the length of one; a second
    // asked for while one runs (a menu chosen during a yield, a timer tick) gets an empty one and
    // must not touch the port.
    class Session {
    public:
        Session(ControllerLink* link, std::unique_ptr<RunningOperation> operation = nullptr)
            : m_link(link), m_operation(std::move(operation)) {}
        Session(Session&& other) noexcept
            : m_link(other.m_link), m_operation(std::move(other.m_operation)) {
            other.m_link = nullptr;
        }
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;
        Session& operator=(Session&&) = delete;
        ~Session();
        explicit operator bool() const { return m_link != nullptr; }

    private:
        ControllerLink* m_link;
        std::unique_ptr<RunningOperation> m_operation;  // ends before the link is let go
    };
    Session beginOperation();
    // A controller operation chosen from a menu: refused with the busy notice while another
    // one runs. For its length the windows grey what `activity` rules out, and Esc stops it.
    Session beginMenuOperation(Activity activity);
    // One refresh of the live view. Refused, besides while the link is busy, while a choice that
    // ends the live view waits for its turn.
    Session beginLiveRefresh();
    bool busy() const { return m_busy; }

    // Runs a menu choice that ends the live view (download, chart, display options). While a
    // live refresh is reading, the choice waits instead, without a notice: the refresh ends
    // after its current read, and the choice goes to the poster once the refresh has let go of
    // the link, so that controller commands never interleave. A later choice made meanwhile
    // takes the place of an earlier one. While any other operation runs the choice is refused
    // with the busy notice: ending the live view would close the port under it. Otherwise the
    // choice runs at once.
    void runEndingLiveView(std::function<void()> choice);
    // True while a choice waits for the refresh to end: the refresh stops at its next check.
    bool refreshEndRequested() const { return static_cast<bool>(m_waitingChoice); }
    // True from the choice being asked for until it has run.
    bool choiceWaiting() const { return static_cast<bool>(m_waitingChoice) || m_choiceDue; }
    // How a choice that waited is run once the link is free: the window posts it to its event
    // loop. Without a poster it runs as the refresh lets go.
    void setChoicePoster(std::function<void(std::function<void()>)> poster) {
        m_poster = std::move(poster);
    }

    // Pauses for `milliseconds` on the monotonic clock while letting window events run.
    void DelayTimer(std::int32_t milliseconds);

    void ReSync();
    // ReSync up to five times, stopping at the first acknowledgement.
    void ReSyncUpToFiveTimes();
    void SetAddress(std::int32_t address);

    // Sets the controller's identity (AppData::controller) on success.
    void ReadFirmwareID();
    std::uint8_t ReadEEPROM();
    // Sets the identity's TPSMin and TPSMax.
    void ReadTPSScaleFactors();
    float ReadDataLogInterval();

    void ReadFRAMBlock(int length);
    // Reads the whole FRAM into `into`'s image, with the progress frame; Esc stops it (Cancelled).
    Outcome ReadFRAMData(DataLog& into);
    std::uint8_t ReadFRAM();

    float ReadTPS();
    float ReadBAT();
    float ReadVIN1();
    float ReadVIN2();
    float ReadRPM();
    float ReadVSS();
    float ReadInputData();
    float ReadOutputData();
    float ReadStatus();

    void ClearControllerBuffer();

    void closePort();

    bool CommandOK = false;
    std::array<std::int16_t, FRAMBlockLength> FRAMBlockBuffer{};

    AppContext& context() { return m_ctx; }

private:
    // What an Abort at the error prompt tidies up besides closing the port.
    enum class Cleanup { ClosePort, EndRealTimeView };

    struct Exchange {
        std::vector<std::uint8_t> bytes;  // command bytes, in order
        std::vector<bool> pauseAfter;     // a 2 ms pause after the byte at the same place
        int replyLength = 1;
        std::chrono::milliseconds wait{1000};
        bool silentTimeout = false;  // a ReSync that is not answered says nothing
        Cleanup cleanup = Cleanup::ClosePort;
    };

    // How long a reply is awaited before window events get a turn; replies of a controller that
    // answers come well within it.
    static constexpr std::chrono::milliseconds LateReplySlice{50};

    void release();
    // Waits for `count` reply bytes until the deadline. A reply that has not come within
    // LateReplySlice lets window events run once per slice while it is awaited, so that a dead
    // line does not freeze the window or keep it from closing. False when the bytes did not
    // come, the port was closed meanwhile or the window has closed.
    bool awaitReply(int count, Clock::time_point deadline);
    // Steps 1 to 7 of the send-and-wait transaction: the reply bytes, or nothing after a
    // time-out or a port that would not open (both already reported, the port closed).
    std::optional<std::vector<std::uint8_t>> exchange(const Exchange& exchange);
    // Opens the port if it is closed; false when the person gave up at the error prompt.
    bool ensureOpen(Cleanup cleanup);
    void reportTimeout(Cleanup cleanup);
    void runCleanup(Cleanup cleanup);
    // A one-byte command answered by `replyLength` bytes, with the pause after the reply.
    std::optional<std::vector<std::uint8_t>> simpleRead(std::uint8_t command, int replyLength,
                                                        Cleanup cleanup = Cleanup::ClosePort);
    std::uint8_t byteRead(std::uint8_t command);
    std::optional<std::vector<std::uint8_t>> liveRead(std::uint8_t command, int replyLength) {
        // Abort at the time-out prompt also ends the live view, so the polling stops.
        return simpleRead(command, replyLength, Cleanup::EndRealTimeView);
    }

    AppContext& m_ctx;
    bool m_busy = false;
    bool m_liveRefresh = false;
    std::function<void()> m_waitingChoice;
    bool m_choiceDue = false;
    std::function<void(std::function<void()>)> m_poster;
};

}  // namespace velkor
