#include "base/Prompts.h"

#include <stdexcept>

#include "base/AppError.h"

namespace velkor {

Answer Prompts::errorPrompt(const AppError& error) {
    return message(error.description(), "Error", Icon::Critical, Buttons::AbortRetryIgnore);
}

Answer ErrorPrompt(Prompts& prompts, const AppError& error) {
    return prompts.errorPrompt(error);
}

StepResult runStep(Prompts& prompts, const std::function<void()>& step) {
    for (;;) {
        Answer answer = Answer::Abort;
        try {
            step();
            return StepResult::Done;
        } catch (const AppError& error) {
            answer = ErrorPrompt(prompts, error);
        } catch (const std::out_of_range& error) {
            answer = ErrorPrompt(prompts,
                                 AppError(ErrorNumber::SubscriptOutOfRange, "Velkor",
                                          std::string("Subscript out of range: ") + error.what()));
        }
        if (answer == Answer::Ignore) {
            return StepResult::Ignored;
        }
        // Only Retry runs the step again: a box closed without a choice (as when the program
        // is closing) leaves the operation, as Abort does.
        if (answer != Answer::Retry) {
            return StepResult::Aborted;
        }
    }
}

}  // namespace velkor
