// The main window closed while an operation lets window events run: the operation ends at its next
// step without another prompt or byte, without opening the port again or waiting out a deadline.

#include "app/StartUp.h"
#include "base/ShutdownPrompts.h"
#include "link/ClearLog.h"
#include "live/LiveTestSupport.h"
#include "log/Download.h"

namespace velkor::test {
namespace {

constexpr std::uint8_t EraseLast = 59, ReadRPM = 39, ReSync = 51;

TEST(ShutdownPrompts, AfterTheCloseEveryPromptIsBackedOutOfUnseen) {
    ScriptedPrompts shown;
    SharedState state;
    ShutdownPrompts prompts(shown, state);
    state.ShuttingDown = true;
    const std::pair<Buttons, Answer> table[] = {{Buttons::Ok, Answer::Ok},
                                                {Buttons::OkCancel, Answer::Cancel},
                                                {Buttons::YesNo, Answer::No},
                                                {Buttons::YesNoCancel, Answer::Cancel},
                                                {Buttons::RetryCancel, Answer::Cancel},
                                                {Buttons::AbortRetryIgnore, Answer::Abort}};
    for (const auto& [buttons, answer] : table) {
        EXPECT_EQ(prompts.message("t", "x", Icon::None, buttons), answer);
    }
    EXPECT_FALSE(prompts.inputBox("Comment?", "x", ""));
    EXPECT_FALSE(prompts.saveFileName({"Save File", "*.log", 1}));
    EXPECT_FALSE(prompts.openFileName({"Open File", "*.log", 1}));
    prompts.yield();
    EXPECT_TRUE(shown.shown().empty());
    EXPECT_EQ(shown.yields(), 0);
}

TEST(RunStep, OnlyRetryRunsAStepAgain) {
    const std::pair<Answer, StepResult> table[] = {{Answer::Abort, StepResult::Aborted},
                                                   {Answer::Ignore, StepResult::Ignored},
                                                   {Answer::Ok, StepResult::Aborted},
                                                   {Answer::Cancel, StepResult::Aborted},
                                                   {Answer::Retry, StepResult::Done}};
    for (const auto& [answer, result] : table) {
        ScriptedPrompts prompts;
        prompts.answerMessages({answer});
        int runs = 0;
        const auto failOnce = [&] {
            if (++runs == 1) {
                throw timeoutError();
            }
        };
        EXPECT_EQ(runStep(prompts, failOnce), result);
        EXPECT_EQ(runs, answer == Answer::Retry ? 2 : 1);
    }
}

// The program's state as the main window wires it: the prompts fall silent at the close.
class CloseDuringOperation : public LiveTest {
protected:
    // The close arrives while the operation next lets window events run.
    void closeAtNextYield() {
        prompts.onYield = [this] {
            closedAt = clock.now();
            bytesAtClose = port.written.size();
            opensAtClose = port.openedDevices.size();
            promptsAtClose = prompts.shown().size();
            shutDown(closing);
        };
    }

    // After the operation has returned: nothing more happened after the close.
    void expectQuietEnd() {
        ASSERT_TRUE(closedAt) << "the window was never closed";
        EXPECT_EQ(port.written.size(), bytesAtClose) << "bytes sent after the close";
        EXPECT_EQ(port.openedDevices.size(), opensAtClose) << "port opened after the close";
        EXPECT_EQ(prompts.shown().size(), promptsAtClose) << "prompt after the close";
        EXPECT_FALSE(port.isOpen());
        // The step under way finishes its 2 ms pause; no deadline is waited out.
        EXPECT_LE(clock.secondsSince(*closedAt), 0.002);
    }

    ShutdownPrompts guarded{prompts, data->state};
    AppContext closing{*data, guarded, store, view, port, clock, ""};
    ControllerLink closingLink{closing};
    std::optional<Clock::time_point> closedAt;
    std::size_t bytesAtClose = 0, opensAtClose = 0, promptsAtClose = 0;
};

TEST_F(CloseDuringOperation, DownloadOnADeadLineEndsWithoutTheOtherResyncs) {
    unplugged = true;
    closeAtNextYield();  // the first ReSync's reply is late: window events run while it waits
    mnuDownload_Click(closingLink);
    expectQuietEnd();
    EXPECT_EQ(port.writtenValues(), std::vector<std::uint8_t>{ReSync});
}

TEST_F(CloseDuringOperation, EraseEndsWhileAwaitingItsAcknowledgement) {
    intercept = [&](std::uint8_t byte, ScriptedPort&) {
        if (byte == EraseLast) {
            closeAtNextYield();
            return true;  // the acknowledgement is slow in coming
        }
        return false;
    };
    prompts.answerMessages({Answer::Ok});  // "All data logged by controller will be lost."
    mnuClearControllerBuffer_Click(closingLink);
    expectQuietEnd();
    EXPECT_EQ(prompts.messageTexts(),
              std::vector<std::string>{"All data logged by controller will be lost. Proceed?"});
}

TEST_F(CloseDuringOperation, LiveRefreshEndsAfterItsReadAndTheTimerReadsNothingMore) {
    readings = idleReadings();
    mnuViewRealTime_Click(closingLink);
    ASSERT_TRUE(data->state.RealTimeActive);
    intercept = [&](std::uint8_t byte, ScriptedPort&) {
        if (byte == ReadRPM) {
            closeAtNextYield();
        }
        return false;
    };
    tmrDataRead_Timer(closingLink);
    tmrDataRead_Timer(closingLink);
    expectQuietEnd();
    EXPECT_EQ(port.writtenValues().back(), ReadRPM);
}

}  // namespace
}  // namespace velkor::test
