// The subcommands that talk to the controller: the port list, download, clear.

#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>

#include "base/Latin1.h"
#include "base/PortMap.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"
#include "link/ClearLog.h"
#include "log/AtomicFile.h"
#include "log/Download.h"
#include "log/LogFile.h"

namespace velkor::cli {

namespace {

// Why the saved file cannot be trusted in place of the controller's log; nothing when it can:
// it reads back byte for byte as written, and as a whole log file of a known controller.
std::optional<std::string> verifySaved(const std::string& path, const std::string& written) {
    std::ifstream file(path, std::ios::binary);
    const std::string back((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        return "the saved file could not be read back";
    }
    if (back != written) {
        return "the saved file does not read back as it was written";
    }
    std::istringstream in(back);
    DataLog log;
    Preferences prefs;
    const LogFileRead read = readLogFile(in, log, prefs);
    if (read.end != LogFileRead::End::Complete || !read.firmwareKnown) {
        return "the saved file does not read back as a whole log";
    }
    return std::nullopt;
}

}  // namespace

int runPorts(const Args&, Session& session) {
    for (const PortEntry& entry : portEntries(session.context().portLinkDir)) {
        std::cout << std::left << std::setw(7) << entry.name << " " << std::setw(8)
                  << (entry.present ? "present" : "") << " " << entry.shown
                  << (entry.linked ? "  (linked)" : "") << "\n";
    }
    std::cout << std::flush;
    return ExitOk;
}

int runDownload(const Args& args, Session& session) {
    const std::string path = args.required("o");
    if (path == "-") {
        throw usageError("download writes a log file; give its name with -o");
    }
    const bool clearAfter = args.has("clear-after");
    session.usePort(args.value("port"));
    // The read takes about 9 s: a file that could not be saved is named before it starts.
    try {
        checkFileCanBeWritten(path);
    } catch (const AppError& error) {
        throw Failure(ExitFile,
                      terminalText(error.description()) + " The controller was not read.");
    }

    const Outcome downloaded = mnuDownload_Click(session.link());
    if (interrupted() || downloaded.isCancelled()) {
        std::cerr << "velkor-cli: download stopped; nothing was written" << std::endl;
        return interruptedStatus();
    }
    if (!downloaded.isDone()) {
        throw Failure(ExitLink, "download failed (" + downloaded.reason + "); nothing was written");
    }
    DataLog& log = session.data().log;
    log.Comment = latin1FromUtf8(args.value("comment").value_or(""));
    const std::string content = logFileText(log, session.data().prefs, session.makerName());
    const std::string notErased = clearAfter ? "; the controller's log was not erased" : "";
    try {
        writeFileAtomically(path, content);
    } catch (const AppError& error) {
        throw Failure(ExitFile, terminalText(error.description()) +
                                    (clearAfter ? " The controller's log was not erased." : ""));
    }
    std::cerr << "velkor-cli: log saved to " << path << std::endl;
    if (!clearAfter) {
        return ExitOk;
    }
    if (const auto fault = verifySaved(path, content)) {
        throw Failure(ExitFile, *fault + notErased);
    }
    // The line carries no checksum: the memory is read again, and erased only when both reads
    // agree byte for byte.
    std::cerr << "velkor-cli: reading the controller's memory again to check the download"
              << std::endl;
    const Outcome checked = verifyDownload(session.link(), log);
    if (interrupted() || checked.isCancelled()) {
        std::cerr << "velkor-cli: stopped before erasing; the controller's log was not erased"
                  << std::endl;
        return interruptedStatus();
    }
    if (!checked.isDone()) {
        throw Failure(ExitLink, checked.reason + "; " + path +
                                    " is kept, and the controller's log was not erased");
    }
    session.prompts().setAssumeYes(true);
    if (!mnuClearControllerBuffer_Click(session.link()).isDone()) {
        throw Failure(ExitLink, "the controller's log was not erased");
    }
    return ExitOk;
}

int runClear(const Args& args, Session& session) {
    const bool yes = args.has("yes");
    if (!yes && !stdinIsTerminal()) {
        throw usageError(
            "clear asks before erasing the controller's log, but standard input is not a "
            "terminal; give --yes to erase without asking");
    }
    session.usePort(args.value("port"));
    session.prompts().setAssumeYes(yes);
    const Outcome erased = mnuClearControllerBuffer_Click(session.link());
    if (interrupted()) {
        return interruptedStatus();
    }
    if (erased.isDone()) {
        return ExitOk;
    }
    if (erased.isCancelled()) {
        std::cerr << "velkor-cli: not erased" << std::endl;
        return ExitUsage;
    }
    return ExitLink;
}

void writeOutput(const std::string& path, const std::string& content, const std::string& noun) {
    if (path == "-") {
        std::cout.write(content.data(), std::streamsize(content.size()));
        std::cout.flush();
        if (!std::cout) {
            throw Failure(ExitFile, "standard output could not be written");
        }
        return;
    }
    try {
        writeFileAtomically(path, content, {}, noun);
    } catch (const AppError& error) {
        throw Failure(ExitFile, terminalText(error.description()));
    }
}

}  // namespace velkor::cli
