#include "link/ClearLog.h"

#include "base/MainView.h"
#include "base/Numbers.h"
#include "base/Prompts.h"
#include "base/SerialPort.h"
#include "link/ControllerLink.h"

namespace velkor {

void ControllerLink::ClearControllerBuffer() {
    Exchange ex;
    ex.bytes.assign(Command::ClearControllerBuffer.begin(), Command::ClearControllerBuffer.end());
    ex.pauseAfter = {true, true, true, true, false};
    ex.wait = std::chrono::milliseconds(5000);
    const auto reply = exchange(ex);
    if (!reply) {
        return;
    }
    CommandOK = reply->front() == ACK;
    DelayTimer(2);
    closePort();
}

void mnuClearControllerBuffer_Click(ControllerLink& link) {
    AppContext& ctx = link.context();
    const auto session = link.beginMenuOperation();
    if (!session) {
        return;
    }
    Prompts& prompts = ctx.prompts;
    const StepResult result = runStep(prompts, [&] {
        if (prompts.message(ClearQuestion, ClearTitle, Icon::Exclamation, Buttons::OkCancel) !=
            Answer::Ok) {
            return;
        }
        link.ReSyncUpToFiveTimes();
        if (!link.CommandOK) {
            prompts.message(NoLinkMessage, ClearTitle, Icon::Exclamation, Buttons::Ok);
            link.closePort();
            return;
        }
        const std::int32_t state = toWhole(link.ReadStatus());
        if (!link.CommandOK) {
            return;  // the read has reported its time-out
        }
        if (state > 1) {
            prompts.message("Cannot clear data buffer while controller is armed.", ClearTitle,
                            Icon::Exclamation, Buttons::Ok);
            link.closePort();
            return;
        }
        link.ClearControllerBuffer();
        prompts.message(link.CommandOK ? ClearedMessage : ClearFailedMessage, ClearTitle,
                        Icon::Information, Buttons::Ok);
    });
    (void)result;
}

}  // namespace velkor
