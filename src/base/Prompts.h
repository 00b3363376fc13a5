#pragma once
// Everything the operations ask of a person: message boxes, the input box, file dialogs, and a
// chance for the window system to run while an operation waits.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velkor {

class AppError;

enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct FileDialogRequest {
    std::string title;
    std::string filter;  // "Description (*.ext)|*.ext", pairs separated by '|'
    int filterIndex = 1;
    std::string folder{};                  // where the dialog opens; empty: the toolkit's choice
    std::string fileName{};                // the name a save dialog suggests; empty: none
    std::vector<std::string> shortcuts{};  // folders offered one click away beside the list
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box; returns the button pressed.
    virtual Answer message(const std::string& text, const std::string& title, Icon icon,
                           Buttons buttons) = 0;
    // A modal text input box; nothing when the person cancels.
    virtual std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                                const std::string& defaultText) = 0;
    // The open and save dialogs; nothing when dismissed without a file.
    virtual std::optional<std::string> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFileName(const FileDialogRequest& request) = 0;
    // Lets pending window events run.
    virtual void yield() = 0;
    // The shared error prompt (ErrorPrompt); a front end without buttons words it its own way.
    virtual Answer errorPrompt(const AppError& error);
};

// The shared error prompt: the error's description under the title "Error", the critical-stop
// icon, Abort, Retry and Ignore.
Answer ErrorPrompt(Prompts& prompts, const AppError& error);

// How a step run under the error prompt ended.
enum class StepResult { Done, Ignored, Aborted };

// Runs one step of an operation. A run-time error goes to the shared error prompt: Retry runs the
// step again, Ignore goes on after it (Ignored), Abort or any other answer leaves the operation
// (Aborted).
StepResult runStep(Prompts& prompts, const std::function<void()>& step);

}  // namespace velkor
