#include "link/ControllerLink.h"

#include <algorithm>
#include <limits>

#include "base/MainView.h"
#include "base/PortMap.h"
#include "base/Prompts.h"
#include "base/SerialPort.h"

namespace velkor {

AppError timeoutError() {
    return AppError(ErrorNumber::CommError, "Comm Error", TimeoutDescription)
        .withTerminalDescription(TimeoutTerminalDescription);
}

void closeRealTimeView(AppContext& ctx) {
    ctx.view.showRealTimeFrame(false);
    if (ctx.port.isOpen()) {
        ctx.port.close();
    }
    if (ctx.data.state.RealTimeActive && ctx.data.state.running == Activity::None &&
        !ctx.data.state.ShuttingDown) {
        ctx.data.state.AbortRequested = false;  // an Esc meant for the live view ends with it
    }
    ctx.data.state.RealTimeActive = false;
}

ControllerLink::Session::~Session() {
    m_operation.reset();
    if (m_link != nullptr) {
        m_link->release();
    }
}

ControllerLink::Session ControllerLink::beginOperation() {
    if (m_busy) {
        return Session(nullptr);
    }
    m_busy = true;
    return Session(this);
}

ControllerLink::Session ControllerLink::beginLiveRefresh() {
    if (choiceWaiting()) {
        return Session(nullptr);  // the live view is about to end
    }
    Session session = beginOperation();
    if (session) {
        m_liveRefresh = true;
    }
    return session;
}

void ControllerLink::release() {
    m_busy = false;
    m_liveRefresh = false;
    if (!m_waitingChoice) {
        return;
    }
    std::function<void()> choice = std::move(m_waitingChoice);
    m_waitingChoice = nullptr;
    m_choiceDue = true;
    auto run = [this, choice = std::move(choice)] {
        m_choiceDue = false;
        if (!m_ctx.data.state.ShuttingDown) {
            choice();
        }
    };
    if (m_poster) {
        m_poster(std::move(run));
    } else {
        run();
    }
}

void ControllerLink::runEndingLiveView(std::function<void()> choice) {
    if (m_busy && m_liveRefresh) {
        // The refresh ends after its current read; the choice runs once it has let go.
        m_waitingChoice = std::move(choice);
        return;
    }
    if (m_busy) {
        m_ctx.view.showBusy();
        return;
    }
    choice();
}

ControllerLink::Session ControllerLink::beginMenuOperation(Activity activity) {
    if (m_busy) {
        m_ctx.view.showBusy();
        return Session(nullptr);
    }
    m_busy = true;
    return Session(this,
                   std::make_unique<RunningOperation>(m_ctx.data.state, m_ctx.view, activity));
}

void ControllerLink::DelayTimer(std::int32_t milliseconds) {
    if (milliseconds > std::numeric_limits<std::int32_t>::max() / 1000) {
        throw AppError(ErrorNumber::Overflow, "Velkor", "Overflow");
    }
    const auto deadline = m_ctx.clock.now() + std::chrono::milliseconds(milliseconds);
    // Window events run once; the rest of the pause is slept, not spun, and the pause ends the
    // moment it is over rather than after another round of window events.
    m_ctx.prompts.yield();
    if (m_ctx.clock.now() < deadline) {
        m_ctx.clock.sleepUntil(deadline);
    }
}

void ControllerLink::closePort() {
    if (m_ctx.port.isOpen()) {
        m_ctx.port.close();
    }
}

bool ControllerLink::ensureOpen(Cleanup cleanup) {
    while (!m_ctx.port.isOpen()) {
        if (m_ctx.data.state.ShuttingDown) {
            return false;  // a closed window never opens the port again
        }
        try {
            const int number = m_ctx.data.prefs.CommPortNumber;
            if (number < 1 || number > PortCount) {
                throw AppError(ErrorNumber::InvalidPropertyValue, "Velkor",
                               "No serial port is chosen. Choose the controller's port under "
                               "Communications, Port Setup.")
                    .withTerminalDescription(
                        "no serial port is chosen; name the controller's port with --port");
            }
            m_ctx.port.open(portName(number), portDevice(number, m_ctx.portLinkDir));
        } catch (const AppError& error) {
            const Answer answer = ErrorPrompt(m_ctx.prompts, error);
            if (answer == Answer::Retry) {
                continue;
            }
            if (answer != Answer::Ignore) {
                runCleanup(cleanup);
            }
            // Ignore: nothing can be sent on a closed port, so the operation ends unanswered.
            return false;
        }
    }
    return true;
}

void ControllerLink::runCleanup(Cleanup cleanup) {
    closePort();
    if (cleanup == Cleanup::EndRealTimeView) {
        closeRealTimeView(m_ctx);
    }
}

void ControllerLink::reportTimeout(Cleanup cleanup) {
    if (m_ctx.data.state.ShuttingDown) {
        return;  // the window has closed: the operation just ends
    }
    // Retry repeats the failed step, which for a time-out is the report itself.
    Answer answer = Answer::Retry;
    while (answer == Answer::Retry) {
        answer = ErrorPrompt(m_ctx.prompts, timeoutError());
    }
    if (answer != Answer::Ignore) {
        runCleanup(cleanup);
    }
}

bool ControllerLink::awaitReply(int count, Clock::time_point deadline) {
    SerialPort& port = m_ctx.port;
    for (;;) {
        const auto sliceEnd = std::min(deadline, m_ctx.clock.now() + LateReplySlice);
        if (port.waitForBytes(count, sliceEnd)) {
            return true;
        }
        if (!port.isOpen() || m_ctx.clock.now() >= deadline) {
            return false;
        }
        m_ctx.prompts.yield();
        if (m_ctx.data.state.ShuttingDown) {
            return false;
        }
    }
}

std::optional<std::vector<std::uint8_t>> ControllerLink::exchange(const Exchange& ex) {
    CommandOK = false;
    if (!ensureOpen(ex.cleanup)) {
        return std::nullopt;
    }
    SerialPort& port = m_ctx.port;
    port.discardInput();
    for (std::size_t i = 0; i < ex.bytes.size(); ++i) {
        port.writeByte(ex.bytes[i]);
        if (i < ex.pauseAfter.size() && ex.pauseAfter[i]) {
            DelayTimer(2);
        }
    }
    const auto deadline = m_ctx.clock.now() + ex.wait;
    if (!awaitReply(ex.replyLength, deadline)) {
        if (ex.silentTimeout) {
            return std::nullopt;
        }
        closePort();
        reportTimeout(ex.cleanup);
        return std::nullopt;
    }
    std::vector<std::uint8_t> reply;
    reply.reserve(static_cast<std::size_t>(ex.replyLength));
    for (int i = 0; i < ex.replyLength; ++i) {
        reply.push_back(port.readByte());
    }
    return reply;
}

std::optional<std::vector<std::uint8_t>> ControllerLink::simpleRead(std::uint8_t command,
                                                                    int replyLength,
                                                                    Cleanup cleanup) {
    Exchange ex;
    ex.bytes = {command};
    ex.replyLength = replyLength;
    ex.cleanup = cleanup;
    auto reply = exchange(ex);
    if (reply) {
        DelayTimer(2);
        CommandOK = true;
    }
    return reply;
}

std::uint8_t ControllerLink::byteRead(std::uint8_t command) {
    const auto reply = simpleRead(command, 1);
    return reply ? reply->front() : 0;
}

void ControllerLink::ReSync() {
    Exchange ex;
    ex.bytes = {Command::ReSync};
    ex.silentTimeout = true;
    const auto reply = exchange(ex);
    if (!reply) {
        return;
    }
    DelayTimer(2);
    CommandOK = reply->front() == ACK;
}

void ControllerLink::ReSyncUpToFiveTimes() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        ReSync();
        if (CommandOK) {
            return;
        }
    }
}

void ControllerLink::SetAddress(std::int32_t address) {
    Exchange ex;
    ex.bytes = {Command::SetAddress, static_cast<std::uint8_t>(address & 0xFF),
                static_cast<std::uint8_t>((address & 0xFF00) / 256)};
    ex.pauseAfter = {true, true, false};
    const auto reply = exchange(ex);
    if (reply && reply->front() == ACK) {
        CommandOK = true;
        DelayTimer(2);
    }
}

}  // namespace velkor
