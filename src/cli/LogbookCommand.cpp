// The logbook from a terminal: scanning the log files into it, listing and annotating passes,
// and the consistency and dial-in figures the Logbook window shows, on the same database and
// journal as the windows.

#include <unistd.h>

#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "base/AppError.h"
#include "chart/TextTable.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"
#include "logbook/DensityAltitude.h"
#include "logbook/Logbook.h"
#include "logbook/LogbookScan.h"
#include "logbookui/LogbookRecord.h"

namespace velkor::cli {

namespace {

namespace fs = std::filesystem;

// The options each subcommand takes; the command line's parser knows them all.
const std::map<std::string, std::vector<std::string>>& subcommandOptions() {
    static const std::map<std::string, std::vector<std::string>> options = {
        {"scan", {}},
        {"list", {"json", "track", "car", "since", "find"}},
        {"note", {"text", "track", "car", "temp-f", "baro-inhg", "humidity"}},
        {"stats", {"json", "track", "car", "last"}},
        {"predict", {"json", "car", "temp-f", "baro-inhg", "humidity"}},
    };
    return options;
}

std::string dataFolder() {
    return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             "/Velkor")
        .toStdString();
}

// The logbook the windows keep, its opening notices on standard error.
std::unique_ptr<Logbook> openLogbook() {
    const std::string folder = dataFolder();
    std::unique_ptr<Logbook> book;
    try {
        book = std::make_unique<Logbook>(folder + "/" + LogbookDatabaseName,
                                         folder + "/" + LogbookJournalName);
    } catch (const AppError& error) {
        throw Failure(ExitFile,
                      "the logbook cannot be opened: " + terminalText(error.description()));
    } catch (const std::exception& error) {
        throw Failure(ExitFile, "the logbook cannot be opened: " + terminalUtf8(error.what()));
    }
    for (const std::string& message : book->opening().messages) {
        std::cerr << "velkor-cli: " << terminalUtf8(message) << std::endl;
    }
    return book;
}

void printTable(const SummaryTable& table) {
    SummaryTable shown = table;
    for (auto& row : shown.rows) {
        for (auto& cell : row) {
            cell = terminalUtf8(cell);
        }
    }
    for (const std::string& line : textTable(shown)) {
        std::cout << line << "\n";
    }
    std::cout << std::flush;
}

PassFilter filterOf(const Args& args) {
    PassFilter filter;
    filter.track = args.value("track").value_or("");
    filter.car = args.value("car").value_or("");
    filter.since = args.value("since").value_or("");
    filter.text = args.value("find").value_or("");
    if (!filter.since.empty() && !isIsoDay(filter.since)) {
        throw usageError("--since takes a day as YYYY-MM-DD, not \"" + terminalUtf8(filter.since) +
                         "\"");
    }
    return filter;
}

int scan(const Args& args, Logbook& book) {
    // Every place named is looked at before any is remembered.
    std::vector<std::pair<fs::path, bool>> named;
    for (auto word = args.positional().begin() + 1; word != args.positional().end(); ++word) {
        std::error_code error;
        const fs::path path = fs::absolute(*word, error);
        const fs::file_status status = fs::status(path, error);
        if (error || !fs::exists(status)) {
            throw Failure(ExitFile, terminalUtf8(*word) + " is not found");
        }
        named.emplace_back(path.lexically_normal(), fs::is_directory(status));
    }
    for (const auto& [path, folder] : named) {
        if (folder) {
            book.addFolder(path.string());
        } else {
            book.addFile(path.string());
        }
    }
    std::vector<std::string> roots = book.folders();
    const std::vector<std::string> files = book.files();
    roots.insert(roots.end(), files.begin(), files.end());
    const std::string archive = dataFolder() + "/downloads";
    std::error_code ignored;
    if (fs::is_directory(archive, ignored)) {
        roots.insert(roots.begin(), archive);
    }
    LogbookScan scanner(book, std::move(roots));
    const bool terminal = isatty(STDERR_FILENO) == 1;
    while (scanner.step(std::chrono::milliseconds(100))) {
        if (interrupted()) {
            throw Failure(ExitInterrupted, "the scan was stopped; what was read is kept");
        }
        if (terminal) {
            std::cerr << "\rScanning log files: " << scanner.done() << "/" << scanner.total()
                      << "\033[K" << std::flush;
        }
    }
    if (terminal) {
        std::cerr << "\r\033[K" << std::flush;
    }
    const ScanReport& report = scanner.report();
    for (const ScanProblem& problem : report.problems) {
        std::cerr << "velkor-cli: " << terminalUtf8(problem.path) << ": "
                  << terminalUtf8(problem.reason) << std::endl;
    }
    std::cout << scanSummary(report) << std::endl;
    return ExitOk;
}

int list(const Args& args, const Logbook& book) {
    const std::vector<Pass> passes = book.passes(filterOf(args));
    if (args.has("json")) {
        std::cout << toJson(logbookRecord(passes)) << std::flush;
    } else if (passes.empty()) {
        std::cout << "No passes in the logbook match." << std::endl;
    } else {
        printTable(passTable(passes));
    }
    return ExitOk;
}

std::int64_t passIdOf(const Args& args) {
    if (args.positional().size() < 2) {
        throw usageError("logbook note needs a pass number (see logbook list)");
    }
    const std::string& word = args.positional()[1];
    std::int64_t id = 0;
    const auto [stop, error] = std::from_chars(word.data(), word.data() + word.size(), id);
    if (error != std::errc() || stop != word.data() + word.size() || id < 1) {
        throw usageError("a pass number is a whole number from 1, not \"" + terminalUtf8(word) +
                         "\"");
    }
    return id;
}

int note(const Args& args, Logbook& book) {
    const std::int64_t id = passIdOf(args);
    const std::vector<std::pair<const char*, LogbookColumn>> fields = {
        {"track", LogbookColumn::Track},        {"car", LogbookColumn::Car},
        {"text", LogbookColumn::Note},          {"temp-f", LogbookColumn::TempF},
        {"baro-inhg", LogbookColumn::BaroInHg}, {"humidity", LogbookColumn::Humidity},
    };
    std::vector<std::pair<LogbookColumn, std::string>> changes;
    for (const auto& [option, column] : fields) {
        if (const auto value = args.value(option)) {
            changes.emplace_back(column, *value);
        }
    }
    if (changes.empty()) {
        throw usageError(
            "logbook note needs at least one of --text, --track, --car, --temp-f, "
            "--baro-inhg and --humidity");
    }
    const std::optional<Pass> pass = book.pass(id);
    if (!pass) {
        throw usageError("the logbook has no pass " + std::to_string(id) + " (see logbook list)");
    }
    const CellEdit edit = changedEntry(*pass, changes);
    if (!edit.error.empty()) {
        throw usageError(terminalUtf8(edit.error) + " Nothing was changed.");
    }
    book.setEntry(id, edit.entry);
    printTable(passTable({*book.pass(id)}));
    return ExitOk;
}

int stats(const Args& args, const Logbook& book) {
    PassSpan span = PassSpan::all();
    if (const auto last = args.number("last")) {
        if (*last < 1 || *last != std::floor(*last) || *last > 1e6) {
            throw usageError("--last takes a number of passes from 1");
        }
        span = PassSpan::last(int(*last));
    }
    const Consistency figures = consistency(book.passes(filterOf(args)), span);
    if (args.has("json")) {
        std::cout << toJson(consistencyRecord(figures)) << std::flush;
    } else {
        std::cout << figures.passes << (figures.passes == 1 ? " pass" : " passes") << "\n";
        printTable(consistencyTable(figures));
    }
    return ExitOk;
}

int predict(const Args& args, const Logbook& book) {
    TrackWeather weather;
    for (const char* reading : {"temp-f", "baro-inhg", "humidity"}) {
        args.required(reading);
    }
    weather.tempF = *args.number("temp-f");
    weather.baroInHg = *args.number("baro-inhg");
    weather.humidityPct = *args.number("humidity");
    const DensityAltitude today = densityAltitude(weather);
    if (!today.feet) {
        throw usageError(terminalUtf8(today.error));
    }
    PassFilter filter;
    filter.car = args.value("car").value_or("");
    const DialIn dialIn = predictDialIn(weatherPoints(book.passes(filter)), *today.feet);
    if (args.has("json")) {
        std::cout << toJson(dialInRecord(dialIn, *today.feet)) << std::flush;
    } else {
        std::cout << terminalUtf8(dialInText(dialIn, *today.feet)) << std::endl;
    }
    return ExitOk;
}

}  // namespace

std::vector<KnownOption> logbookOptions() {
    std::vector<KnownOption> known;
    for (const auto& [subcommand, options] : subcommandOptions()) {
        for (const std::string& option : options) {
            const bool flag = option == "json";
            if (std::none_of(known.begin(), known.end(),
                             [&](const KnownOption& k) { return k.name == option; })) {
                known.push_back({option, !flag});
            }
        }
    }
    return known;
}

int runLogbook(const Args& args, Session&) {
    if (args.positional().empty()) {
        throw usageError("logbook needs one of scan, list, note, stats and predict");
    }
    const std::string& subcommand = args.positional().front();
    const auto found = subcommandOptions().find(subcommand);
    if (found == subcommandOptions().end()) {
        throw usageError("logbook has no subcommand " + terminalUtf8(subcommand) +
                         "; it has scan, list, note, stats and predict");
    }
    for (const KnownOption& option : logbookOptions()) {
        const auto& allowed = found->second;
        if (args.has(option.name) &&
            std::find(allowed.begin(), allowed.end(), option.name) == allowed.end()) {
            throw usageError("logbook " + subcommand + " takes no --" + option.name);
        }
    }
    const std::size_t words = args.positional().size();
    if ((subcommand == "note" && words > 2) ||
        (subcommand != "note" && subcommand != "scan" && words > 1)) {
        throw usageError("unexpected argument " + terminalUtf8(args.positional()[words - 1]));
    }
    const std::unique_ptr<Logbook> book = openLogbook();
    // The database refusing a read or a write (a full disk, a file changed underneath) is a
    // file fault like any other.
    try {
        if (subcommand == "scan") {
            return scan(args, *book);
        }
        if (subcommand == "list") {
            return list(args, *book);
        }
        if (subcommand == "note") {
            return note(args, *book);
        }
        if (subcommand == "stats") {
            return stats(args, *book);
        }
        return predict(args, *book);
    } catch (const Failure&) {
        throw;
    } catch (const AppError& error) {
        throw Failure(ExitFile, "the logbook: " + terminalText(error.description()));
    } catch (const std::exception& error) {
        throw Failure(ExitFile, "the logbook: " + terminalUtf8(error.what()));
    }
}

}  // namespace velkor::cli
