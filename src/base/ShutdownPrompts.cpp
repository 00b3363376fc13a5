#include "base/ShutdownPrompts.h"

#include "base/SharedState.h"
#include "base/StopSignals.h"

namespace velkor {

Answer backingOut(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::AbortRetryIgnore:
            return Answer::Abort;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
        case Buttons::RetryCancel:
            break;
    }
    return Answer::Cancel;
}

bool ShutdownPrompts::closing() const {
    // A signal that asks the program to end closes the window as soon as window events run; an
    // operation that meets it first (a save that gave up its temporary file) asks nothing more.
    return m_state.ShuttingDown || stopSignal() != 0;
}

Answer ShutdownPrompts::message(const std::string& text, const std::string& title, Icon icon,
                                Buttons buttons) {
    if (closing()) {
        return backingOut(buttons);
    }
    return m_shown.message(text, title, icon, buttons);
}

std::optional<std::string> ShutdownPrompts::inputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& defaultText) {
    if (closing()) {
        return std::nullopt;
    }
    return m_shown.inputBox(prompt, title, defaultText);
}

std::optional<std::string> ShutdownPrompts::openFileName(const FileDialogRequest& request) {
    if (closing()) {
        return std::nullopt;
    }
    return m_shown.openFileName(request);
}

std::optional<std::string> ShutdownPrompts::saveFileName(const FileDialogRequest& request) {
    if (closing()) {
        return std::nullopt;
    }
    return m_shown.saveFileName(request);
}

void ShutdownPrompts::yield() {
    // Window events still run after a stop signal, so that the window hears of it and closes.
    if (!m_state.ShuttingDown) {
        m_shown.yield();
    }
}

}  // namespace velkor
