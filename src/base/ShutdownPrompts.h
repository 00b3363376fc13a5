#pragma once
// Prompts that fall silent once the main window has closed, or a signal has asked the program to
// end. An operation that was running then meets its remaining prompts as if the person had backed
// out of each: nothing is shown, and no answer can be taken for Retry.

#include "base/Prompts.h"

namespace velkor {

struct SharedState;

class ShutdownPrompts : public Prompts {
public:
    ShutdownPrompts(Prompts& shown, const SharedState& state) : m_shown(shown), m_state(state) {}

    // While shutting down: a message box answers with the button that backs out (Cancel, No,
    // Abort; OK where it is the only one), the input box and the file dialogs as dismissed, and
    // window events no longer run.
    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
    void yield() override;

private:
    bool closing() const;

    Prompts& m_shown;
    const SharedState& m_state;
};

// The answer of a box closed without choosing: the button that backs out of `buttons`.
Answer backingOut(Buttons buttons);

}  // namespace velkor
