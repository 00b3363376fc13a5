// Copying the controller's logged memory, 512 blocks of 64 bytes, into the FRAM image.

#include <algorithm>

#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/Prompts.h"
#include "link/ControllerLink.h"

namespace velkor {

void ControllerLink::ReadFRAMBlock(int length) {
    Exchange ex;
    ex.bytes = {Command::ReadFRAMBlock, static_cast<std::uint8_t>(length)};
    ex.pauseAfter = {true, false};
    ex.replyLength = length;
    const auto reply = exchange(ex);
    if (!reply) {
        return;
    }
    for (int i = 0; i < length && i < FRAMBlockLength; ++i) {
        FRAMBlockBuffer[static_cast<std::size_t>(i)] = (*reply)[static_cast<std::size_t>(i)];
    }
    DelayTimer(2);
    CommandOK = true;
}

Outcome ControllerLink::ReadFRAMData(DataLog& log) {
    MainView& view = m_ctx.view;
    try {
        view.showProgressFrame(true);
        view.setProgressCaption("Reading FRAM");
        view.setProgressValue(0);
        ClearFRAMBuffer(log);

        SetAddress(0);
        if (!CommandOK) {
            view.showProgressFrame(false);
            closePort();
            return Outcome::failed("the controller did not take the memory address");
        }

        CommandOK = false;
        bool stopped = false;
        for (int start = 0; start < FramSize; start += FRAMBlockLength) {
            ReadFRAMBlock(FRAMBlockLength);
            // The block is copied before its read is judged, as the transfer always has.
            for (int i = 0; i < FRAMBlockLength; ++i) {
                log.FRAMBuffer[static_cast<std::size_t>(start + i)] =
                    static_cast<std::uint8_t>(FRAMBlockBuffer[static_cast<std::size_t>(i)]);
            }
            view.setProgressValue(std::clamp(toWhole(start / 32767.0 * 100.0), 0, 100));
            m_ctx.prompts.yield();
            if (m_ctx.data.state.AbortRequested) {
                stopped = true;
                break;
            }
            if (!CommandOK) {
                break;
            }
        }

        view.showProgressFrame(false);
        closePort();
        if (CommandOK && !stopped) {
            log.FRAMBufferEmpty = false;
            return Outcome::done();
        }
        CommandOK = false;
        if (stopped) {
            m_ctx.data.state.AbortRequested = false;
            return Outcome::cancelled("stopped");
        }
        return Outcome::failed("a block of the controller's memory did not come");
    } catch (const AppError& error) {
        ErrorPrompt(m_ctx.prompts, error);
        view.showProgressFrame(false);
        closePort();
        CommandOK = false;
        return Outcome::failed(error.description());
    }
}

std::uint8_t ControllerLink::ReadFRAM() {
    return byteRead(Command::ReadFRAM);
}

}  // namespace velkor
