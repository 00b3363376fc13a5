#include "sim/Simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "sim/Protocol.h"

namespace velkor::sim {

namespace {

// One byte on the line: a start bit, eight data bits and a stop bit at 56000 bit/s, that is
// 1/5600 s = 1250000/7 ns. Times of several bytes are computed from the count so that the
// rounding of one byte time never piles up.
SimClock::duration byteTimes(long long count) {
    return std::chrono::nanoseconds(count * 1250000LL / 7LL);
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Creates every missing folder above `path`, like mkdir -p on its parent.
void makeParentFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
            fail("cannot create folder " + folder);
        }
    }
}

std::string linkTarget(const std::string& path) {
    char buffer[4096];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

struct Outgoing {
    SimClock::time_point due;
    std::uint8_t value;
};

}  // namespace

struct Simulator::Impl {
    explicit Impl(const Config& config)
        : origin(SimClock::now()),
          protocol(config.fram, config.eeprom, config.firmwareId, config.state, origin),
          paced(config.paced),
          linkPath(config.linkPath) {
        protocol.setFaults(config.faults);
    }

    ~Impl() {
        if (!linkPath.empty() && !device.empty() && linkTarget(linkPath) == device) {
            ::unlink(linkPath.c_str());
        }
        for (int fd : {master, slave, wake}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        if (log != nullptr) {
            std::fclose(log);
        }
    }

    void openTerminal();
    void makeLink();
    void loop();
    void readAndAnswer();
    void schedule(const Reply& reply, SimClock::time_point commandEnd);
    void sendDue();

    const SimClock::time_point origin;
    int master = -1;
    int slave = -1;  // held open so the terminal never hangs up while the program's port is shut
    int wake = -1;   // eventfd that stop() uses to end the wait in poll
    std::string device;
    FILE* log = nullptr;

    mutable std::mutex mutex;  // guards protocol and received
    Protocol protocol;
    std::vector<ReceivedByte> received;

    const bool paced;
    const std::string linkPath;
    std::thread thread;
    std::atomic<bool> stopRequested{false};

    // Owned by the loop alone.
    std::deque<Outgoing> outgoing;
    SimClock::time_point lastArrival{};
    SimClock::time_point lineFree{};  // when the last scheduled reply byte has left
};

void Simulator::Impl::openTerminal() {
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        fail("cannot open a pseudo-terminal");
    }
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        fail("cannot unlock the pseudo-terminal");
    }
    char name[256];
    if (::ptsname_r(master, name, sizeof name) != 0) {
        fail("cannot name the pseudo-terminal");
    }
    device = name;
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        fail("cannot make the pseudo-terminal non-blocking");
    }
    slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        fail("cannot open " + device);
    }
    // Raw, so that nothing the controller sends is ever echoed back to it.
    termios settings{};
    if (::tcgetattr(slave, &settings) != 0) {
        fail("cannot read the settings of " + device);
    }
    ::cfmakeraw(&settings);
    if (::tcsetattr(slave, TCSANOW, &settings) != 0) {
        fail("cannot set " + device + " to raw");
    }
    wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        fail("cannot create the wake-up event");
    }
}

void Simulator::Impl::makeLink() {
    makeParentFolders(linkPath);
    struct stat info {};
    if (::lstat(linkPath.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            throw std::runtime_error(linkPath + " exists and is not a link");
        }
        if (::unlink(linkPath.c_str()) != 0) {
            fail("cannot replace " + linkPath);
        }
    }
    if (::symlink(device.c_str(), linkPath.c_str()) != 0) {
        fail("cannot link " + linkPath);
    }
}

void Simulator::Impl::loop() {
    // The default timer slack lets poll wake up to 50 us late; replies are timed to the byte.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!stopRequested.load()) {
        timespec wait{};
        timespec* timeout = nullptr;
        if (!outgoing.empty()) {
            const auto left =
                std::max(outgoing.front().due - SimClock::now(), SimClock::duration{});
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            wait.tv_sec = static_cast<time_t>(ns / 1000000000LL);
            wait.tv_nsec = static_cast<long>(ns % 1000000000LL);
            timeout = &wait;
        }
        pollfd fds[2] = {{master, POLLIN, 0}, {wake, POLLIN, 0}};
        const int ready = ::ppoll(fds, 2, timeout, nullptr);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("velkor-sim: poll");
            break;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wake, &count, sizeof count);
        }
        if ((fds[0].revents & POLLIN) != 0) {
            readAndAnswer();
        } else if ((fds[0].revents & (POLLERR | POLLHUP)) != 0) {
            // Not expected while the slave side is held open; do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        sendDue();
    }
    stopRequested.store(false);
}

void Simulator::Impl::readAndAnswer() {
    std::uint8_t buffer[512];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0) {
        return;
    }
    const auto now = SimClock::now();
    std::lock_guard<std::mutex> lock(mutex);
    for (ssize_t i = 0; i < n; ++i) {
        // On a paced line a byte has arrived only when its last bit has: one byte time after it
        // was written, and never before the byte ahead of it.
        const auto arrival = paced ? std::max(now, lastArrival) + byteTimes(1) : now;
        lastArrival = arrival;
        received.push_back({now, buffer[i]});
        if (log != nullptr) {
            std::fprintf(log, "%.6f %d\n", std::chrono::duration<double>(now - origin).count(),
                         buffer[i]);
        }
        if (auto reply = protocol.receive(buffer[i], arrival)) {
            schedule(*reply, arrival);
        }
    }
    if (log != nullptr) {
        std::fflush(log);
    }
}

void Simulator::Impl::schedule(const Reply& reply, SimClock::time_point commandEnd) {
    // Replies leave one after another, never overlapping on the line.
    const auto start = std::max(commandEnd + reply.delay, lineFree);
    const auto count = static_cast<long long>(reply.bytes.size());
    for (long long k = 0; k < count; ++k) {
        const auto due = paced ? start + byteTimes(k + 1) : start;
        outgoing.push_back({due, reply.bytes[static_cast<std::size_t>(k)]});
    }
    lineFree = paced ? start + byteTimes(count) : start;
}

void Simulator::Impl::sendDue() {
    const auto now = SimClock::now();
    std::uint8_t buffer[512];
    std::size_t count = 0;
    while (!outgoing.empty() && outgoing.front().due <= now && count < sizeof buffer) {
        buffer[count++] = outgoing.front().value;
        outgoing.pop_front();
    }
    if (count > 0) {
        // Bytes the terminal cannot take (nobody reading for a long time) are lost, as they
        // would be on a real line.
        [[maybe_unused]] const ssize_t n = ::write(master, buffer, count);
    }
}

Simulator::Simulator(Config config) : m_impl(std::make_unique<Impl>(config)) {
    m_impl->openTerminal();
    if (!config.logPath.empty()) {
        makeParentFolders(config.logPath);
        m_impl->log = std::fopen(config.logPath.c_str(), "a");
        if (m_impl->log == nullptr) {
            fail("cannot open the log " + config.logPath);
        }
    }
    if (!config.linkPath.empty()) {
        m_impl->makeLink();
    }
}

Simulator::~Simulator() {
    stop();
}

std::string Simulator::devicePath() const {
    return m_impl->device;
}

void Simulator::start() {
    if (m_impl->thread.joinable()) {
        return;
    }
    m_impl->stopRequested.store(false);
    m_impl->thread = std::thread([this] { m_impl->loop(); });
}

void Simulator::run() {
    m_impl->loop();
}

// Safe to call from a signal handler while run() is answering: it only sets a flag and writes
// to the eventfd. From another thread it also waits for the background loop to end.
void Simulator::stop() {
    m_impl->stopRequested.store(true);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_impl->wake, &one, sizeof one);
    if (m_impl->thread.joinable() && m_impl->thread.get_id() != std::this_thread::get_id()) {
        m_impl->thread.join();
    }
}

void Simulator::setFaults(const Faults& faults) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->protocol.setFaults(faults);
}

void Simulator::setState(std::uint8_t state) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->protocol.setState(state);
}

void Simulator::setFirmwareId(const std::string& id) {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->protocol.setFirmwareId(id);
}

std::vector<ReceivedByte> Simulator::received() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->received;
}

void Simulator::clearReceived() {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    m_impl->received.clear();
}

int Simulator::eraseCount() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->protocol.eraseCount();
}

int Simulator::blocksServed() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->protocol.blocksServed();
}

}  // namespace velkor::sim
