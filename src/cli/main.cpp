// velkor-cli: the controller and its log files from a terminal, on the same core operations as
// the windows.

#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <limits>
#include <memory>

#include "VelkorVersion.h"
#include "base/AppError.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Help.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"
#include "cli/TerminalPrompts.h"

namespace {

using namespace velkor::cli;

struct Command {
    const char* name;
    std::vector<KnownOption> options;
    std::size_t positional;
    int (*run)(const Args&, Session&);
};

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"ports", {}, 0, runPorts},
        {"download",
         {{"port", true}, {"o", true}, {"comment", true}, {"clear-after", false}},
         0,
         runDownload},
        {"clear", {{"port", true}, {"yes", false}}, 0, runClear},
        {"live", {{"port", true}, {"csv", true}, {"count", true}}, 0, runLive},
        {"info", {{"json", false}}, 1, runInfo},
        {"export",
         {{"csv", true},
          {"png", true},
          {"svg", true},
          {"pdf", true},
          {"trace1", true},
          {"trace2", true},
          {"from", true},
          {"to", true},
          {"size", true}},
         1,
         runExport},
        {"analyze", {{"json", false}}, 1, runAnalyze},
        {"logbook", logbookOptions(), std::numeric_limits<std::size_t>::max(), runLogbook},
    };
    return table;
}

bool asksForHelp(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word == "--") {
            return false;
        }
        if (word == "--help" || word == "-h") {
            return true;
        }
    }
    return false;
}

// Qt's own notes about the offscreen platform (no runtime folder, no window hints) mean nothing
// to a terminal user; its errors still show.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << std::endl;
    }
}

// The chart is drawn by the windows' chart on Qt's offscreen platform: no display is needed.
std::unique_ptr<QCoreApplication> makeApplication(bool drawsChart) {
    static int argc = 1;
    static char name[] = "velkor-cli";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (drawsChart) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQtNotes);
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setOrganizationName("Velkor");
    QCoreApplication::setApplicationName("Velkor");
    QCoreApplication::setApplicationVersion(velkor::VersionText);
    return app;
}

int run(const std::vector<std::string>& words) {
    if (words.empty()) {
        std::cerr << programHelp();
        return ExitUsage;
    }
    const std::string& first = words.front();
    if (first == "--help" || first == "-h" || first == "help") {
        std::cout << programHelp();
        return ExitOk;
    }
    if (first == "--version") {
        std::cout << "velkor-cli " << velkor::VersionText << std::endl;
        return ExitOk;
    }
    const auto& table = commands();
    const auto command =
        std::find_if(table.begin(), table.end(), [&](const Command& c) { return first == c.name; });
    if (command == table.end()) {
        std::cerr << "velkor-cli: no command " << first << "; see velkor-cli --help" << std::endl;
        return ExitUsage;
    }
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (asksForHelp(rest)) {
        std::cout << commandHelp(command->name);
        return ExitOk;
    }
    try {
        std::vector<KnownOption> options = command->options;
        options.push_back({"set", true});
        const Args args(rest, options, command->positional);
        const bool drawsChart =
            command->run == runExport && (args.has("png") || args.has("svg") || args.has("pdf"));
        const auto overrides = parseOverrides(args.values("set"));
        const auto app = makeApplication(drawsChart);
        catchInterrupt();
        Session session(overrides, std::cerr);
        return command->run(args, session);
    } catch (const Failure& failure) {
        std::cerr << "velkor-cli: " << failure.what() << std::endl;
        if (failure.code() == ExitUsage) {
            std::cerr << "See velkor-cli " << command->name << " --help." << std::endl;
        }
        return interrupted() ? interruptedStatus() : failure.code();
    } catch (const velkor::AppError& error) {
        std::cerr << "velkor-cli: " << terminalText(error.description()) << std::endl;
        return interrupted() ? interruptedStatus() : ExitLink;
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    return run(std::vector<std::string>(argv + 1, argv + argc));
}
