#include "cli/TerminalPrompts.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cctype>
#include <iostream>

#include "base/AppError.h"
#include "base/Latin1.h"
#include "base/SharedState.h"
#include "cli/Interrupt.h"

namespace velkor::cli {

namespace {

bool isQuestion(Buttons buttons) {
    return buttons != Buttons::Ok && buttons != Buttons::AbortRetryIgnore;
}

Answer yes(Buttons buttons) {
    return buttons == Buttons::OkCancel      ? Answer::Ok
           : buttons == Buttons::RetryCancel ? Answer::Retry
                                             : Answer::Yes;
}

Answer no(Buttons buttons) {
    return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

}  // namespace

std::string terminalText(const std::string& latin1) {
    return utf8FromLatin1(printableText(latin1, true));
}

std::string terminalField(const std::string& latin1) {
    return utf8FromLatin1(printableText(latin1, false));
}

std::string terminalUtf8(const std::string& utf8) {
    return printableUtf8(utf8, false);
}

bool stdinIsTerminal() {
    return isatty(STDIN_FILENO) == 1;
}

Answer TerminalPrompts::message(const std::string& text, const std::string&, Icon,
                                Buttons buttons) {
    m_messages.push_back(text);
    if (buttons == Buttons::AbortRetryIgnore) {
        m_errorShown = true;
    }
    if (!isQuestion(buttons)) {
        // A step retried inside the core (a port that will not open, asked five times) says
        // the same thing again: once is enough on a terminal.
        if (!m_quiet && text != m_lastPrinted) {
            m_err << "velkor-cli: " << terminalText(text) << std::endl;
            m_lastPrinted = text;
        }
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Abort;
    }
    if (m_assumeYes) {
        return yes(buttons);
    }
    if (!stdinIsTerminal()) {
        return no(buttons);
    }
    m_err << terminalText(text) << " [y/N] " << std::flush;
    std::string reply;
    if (!std::getline(std::cin, reply)) {
        m_err << std::endl;
        return no(buttons);
    }
    std::string word;
    for (char c : reply) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return word == "y" || word == "yes" ? yes(buttons) : no(buttons);
}

Answer TerminalPrompts::errorPrompt(const AppError& error) {
    return message(error.terminalDescription(), "Error", Icon::Critical, Buttons::AbortRetryIgnore);
}

std::optional<std::string> TerminalPrompts::inputBox(const std::string&, const std::string&,
                                                     const std::string&) {
    return std::nullopt;
}

std::optional<std::string> TerminalPrompts::openFileName(const FileDialogRequest&) {
    return std::exchange(m_fileToOpen, std::nullopt);
}

std::optional<std::string> TerminalPrompts::saveFileName(const FileDialogRequest&) {
    return std::nullopt;
}

void TerminalPrompts::yield() {
    QCoreApplication::processEvents();
    if (interrupted()) {
        requestAbort(m_state);
    }
}

}  // namespace velkor::cli
