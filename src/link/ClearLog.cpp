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

Outcome mnuClearControllerBuffer_Click(ControllerLink& link) {
    AppContext& ctx = link.context();
    const auto session = link.beginMenuOperation(Activity::Erase);
    if (!session) {
        return Outcome::failed("another controller operation is running");
    }
    Prompts& prompts = ctx.prompts;
    Outcome outcome = Outcome::failed("the erase stopped at a run-time error");
    runStep(prompts, [&] {
        if (prompts.message(ClearQuestion, ClearTitle, Icon::Exclamation, Buttons::OkCancel) !=
            Answer::Ok) {
            outcome = Outcome::cancelled("not confirmed");
            return;
        }
        link.ReSyncUpToFiveTimes();
        if (!link.CommandOK) {
            prompts.message(NoLinkMessage, ClearTitle, Icon::Exclamation, Buttons::Ok);
            link.closePort();
            outcome = Outcome::failed("no link to the controller");
            return;
        }
        const std::int32_t state = toWhole(link.ReadStatus());
        if (!link.CommandOK) {
            outcome = Outcome::failed("the controller's state could not be read");
            return;  // the read has reported its time-out
        }
        if (state > 1) {
            prompts.message("Cannot clear data buffer while controller is armed.", ClearTitle,
                            Icon::Exclamation, Buttons::Ok);
            link.closePort();
            outcome = Outcome::failed("the controller is armed");
            return;
        }
        link.ClearControllerBuffer();
        prompts.message(link.CommandOK ? ClearedMessage : ClearFailedMessage, ClearTitle,
                        Icon::Information, Buttons::Ok);
        outcome = link.CommandOK ? Outcome::done()
                                 : Outcome::failed("the controller did not acknowledge the erase");
    });
    return outcome;
}

}  // namespace velkor
