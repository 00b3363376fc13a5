#pragma once
// How velkor-cli ends, for scripts: the exit statuses its help and manual page list.

#include <stdexcept>
#include <string>

namespace velkor::cli {

enum ExitCode : int {
    ExitOk = 0,
    ExitUsage = 1,         // bad usage, or a question answered no
    ExitLink = 2,          // no link, a controller that refuses, a failed exchange
    ExitFile = 3,          // a file that cannot be read or written
    ExitInterrupted = 130  // Ctrl-C; 128 plus the number of any other signal that stops a run
};

// Ends a subcommand with a message on standard error and an exit status.
class Failure : public std::runtime_error {
public:
    Failure(ExitCode code, const std::string& message)
        : std::runtime_error(message), m_code(code) {}
    ExitCode code() const { return m_code; }

private:
    ExitCode m_code;
};

inline Failure usageError(const std::string& message) {
    return Failure(ExitUsage, message);
}

}  // namespace velkor::cli
