#pragma once
// The core's prompts on a terminal. Messages go to standard error as lines; the shared error
// prompt is answered Abort, so that an operation stops at its first fault; a question is asked
// on the terminal ("[y/N]"), answered yes by --yes, and answered no when nobody can be asked.
// The open dialog answers with the file named on the command line.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/Prompts.h"

namespace velkor {
struct SharedState;
}

namespace velkor::cli {

class TerminalPrompts : public Prompts {
public:
    TerminalPrompts(SharedState& state, std::ostream& err) : m_state(state), m_err(err) {}

    Answer message(const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) override;
    std::optional<std::string> inputBox(const std::string& prompt, const std::string& title,
                                        const std::string& defaultText) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
    // Runs pending Qt events, and turns a Ctrl-C into the stop request the operations check.
    void yield() override;
    // The error in a terminal's words, answered Abort.
    Answer errorPrompt(const AppError& error) override;

    void setAssumeYes(bool yes) { m_assumeYes = yes; }
    void setFileToOpen(std::string path) { m_fileToOpen = std::move(path); }
    // Messages held back rather than printed (info prints them under its own heading).
    void setQuiet(bool quiet) { m_quiet = quiet; }

    // Every message shown, in Latin-1 as the core gave it.
    const std::vector<std::string>& messages() const { return m_messages; }
    bool errorShown() const { return m_errorShown; }

private:
    SharedState& m_state;
    std::ostream& m_err;
    std::optional<std::string> m_fileToOpen;
    std::vector<std::string> m_messages;
    std::string m_lastPrinted;
    bool m_assumeYes = false;
    bool m_quiet = false;
    bool m_errorShown = false;
};

// A core message as terminal lines: UTF-8, its line breaks as '\n', and every other control
// character as '?', so that no text from a file can retitle, clear or ring the terminal.
std::string terminalText(const std::string& latin1);

// A one-line text from a file (firmware ID, date, comment) as terminalText gives it, a line break
// shown as '?' too.
std::string terminalField(const std::string& latin1);

// A one-line UTF-8 text (the logbook's track, car and note, a file's name) for the terminal:
// every character kept but the controls (C0, DEL, C1) and malformed bytes, which show as '?'.
std::string terminalUtf8(const std::string& utf8);

// Whether standard input is a terminal someone can answer on.
bool stdinIsTerminal();

}  // namespace velkor::cli
