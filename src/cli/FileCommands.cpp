// The subcommands that read a log file: info and export.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>
#include <iostream>

#include "base/Latin1.h"
#include "base/Numbers.h"
#include "base/Preferences.h"
#include "base/SameFile.h"
#include "chart/ChartCsv.h"
#include "chart/TimeWindow.h"
#include "chart/Traces.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Picture.h"
#include "cli/Session.h"

namespace velkor::cli {

namespace {

QString text(const std::string& latin1) {
    return QString::fromStdString(terminalField(latin1));
}

QString messageText(const std::string& latin1) {
    return QString::fromStdString(terminalText(latin1));
}

std::string upper(std::string word) {
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return word;
}

// A trace option of trace 1 or 2 by its caption on the chart, in any letter case.
TraceOption traceByName(int trace, const std::string& name) {
    std::string names;
    for (const TraceDefinition& definition : traceDefinitions()) {
        if (definition.trace != trace) {
            continue;
        }
        if (upper(name) == definition.caption) {
            return definition.option;
        }
        names += std::string(names.empty() ? "" : ", ") + definition.caption;
    }
    throw usageError("--trace" + std::to_string(trace) + ": no trace " + name + "; trace " +
                     std::to_string(trace) + " is one of " + names);
}

std::pair<int, int> parseSize(const std::string& size) {
    const auto x = size.find_first_of("xX");
    int width = 0;
    int height = 0;
    try {
        std::size_t used = 0;
        width = std::stoi(size.substr(0, x), &used);
        const bool wholeWidth = used == x;
        height = std::stoi(size.substr(x + 1), &used);
        if (!wholeWidth || used != size.size() - x - 1) {
            width = 0;
        }
    } catch (const std::exception&) {
        width = 0;
    }
    constexpr int Smallest = 100;
    constexpr int Largest = 10000;
    if (x == std::string::npos || width < Smallest || width > Largest || height < Smallest ||
        height > Largest) {
        throw usageError("--size takes WIDTHxHEIGHT in pixels, each 100 to 10000, not " + size);
    }
    return {width, height};
}

}  // namespace

int runInfo(const Args& args, Session& session) {
    if (args.positional().empty()) {
        throw usageError("info needs a log file");
    }
    const std::string path = args.positional().front();
    TerminalPrompts& prompts = session.prompts();
    prompts.setQuiet(true);
    try {
        session.openLogFile(path);
    } catch (const Failure&) {
        for (const std::string& message : prompts.messages()) {
            std::cerr << "velkor-cli: " << terminalText(message) << "\n";
        }
        throw;
    }
    const DataLog& log = session.data().log;
    const double intervalSeconds = roundTo(log.DataLogInterval, 3);
    const double durationSeconds = roundTo(log.ElapsedTime.at(SampleCount), 3);
    const std::string interval = formatNumber(intervalSeconds, "0.000");
    const std::string duration = formatNumber(durationSeconds, "0.00");
    if (args.has("json")) {
        QJsonArray messages;
        for (const std::string& shown : prompts.messages()) {
            messages.append(messageText(shown));
        }
        const QJsonObject info{
            {"file", QString::fromStdString(path)},
            {"firmwareId", text(log.FirmwareID)},
            {"controllerType", text(log.ControllerType)},
            {"downloadDate", text(log.DownloadDate)},
            {"intervalSeconds", intervalSeconds},
            {"durationSeconds", durationSeconds},
            {"samples", SampleCount},
            {"comment", text(log.Comment)},
            {"messages", messages},
        };
        std::cout << QJsonDocument(info).toJson().toStdString() << std::flush;
        return ExitOk;
    }
    std::cout << "File:           " << path << "\n"
              << "Firmware ID:    " << terminalField(log.FirmwareID) << "\n"
              << "Controller:     " << terminalField(log.ControllerType) << "\n"
              << "Downloaded:     " << terminalField(log.DownloadDate) << "\n"
              << "Interval:       " << interval << " s\n"
              << "Duration:       " << duration << " s (" << SampleCount << " samples)\n"
              << "Comment:        " << terminalField(log.Comment) << "\n";
    for (const std::string& message : prompts.messages()) {
        std::cout << "Message:        " << terminalText(message) << "\n";
    }
    std::cout << std::flush;
    return ExitOk;
}

int runExport(const Args& args, Session& session) {
    if (args.positional().empty()) {
        throw usageError("export needs a log file");
    }
    const std::vector<std::pair<std::string, PictureKind>> pictures = {
        {"png", PictureKind::Png}, {"svg", PictureKind::Svg}, {"pdf", PictureKind::Pdf}};
    int outputs = args.has("csv") ? 1 : 0;
    for (const auto& [name, kind] : pictures) {
        outputs += args.has(name) ? 1 : 0;
    }
    if (outputs != 1) {
        throw usageError("export makes one file: give one of --csv, --png, --svg or --pdf");
    }
    PictureRequest request;
    if (const auto name = args.value("trace1")) {
        request.trace1 = traceByName(1, *name);
    }
    if (const auto name = args.value("trace2")) {
        request.trace2 = traceByName(2, *name);
    }
    if (const auto size = args.value("size")) {
        std::tie(request.width, request.height) = parseSize(*size);
    }
    const auto from = args.number("from");
    const auto to = args.number("to");
    if (from && to && !(*to > *from)) {
        throw usageError("--from " + args.required("from") + " must come before --to " +
                         args.required("to"));
    }
    const std::string input = args.positional().front();
    for (const std::string option : {"csv", "png", "svg", "pdf"}) {
        const auto out = args.value(option);
        if (out && *out != "-" && isSameFile(input, *out)) {
            throw usageError("--" + option + " " + *out + " is the log file itself; " +
                             "exporting there would destroy it");
        }
    }

    session.openLogFile(input);
    const DataLog& log = session.data().log;
    const double end = log.ElapsedTime.at(SampleCount);
    request.from = from.value_or(0);
    request.to = to.value_or(end);
    // Every output holds the same samples: those whose times lie in [from, to].
    SampleSpan span{1, SampleCount};
    if (from || to) {
        const auto within = samplesWithin(log.ElapsedTime.values(), request.from, request.to);
        if (!within) {
            throw usageError("--from and --to hold no sample of the log (it runs from 0 to " +
                             formatNumber(end, "0.00") + " s)");
        }
        span = *within;
    }

    if (const auto out = args.value("csv")) {
        // The legend is the one text of the log file in the data: no control character of it
        // reaches a terminal reading the data.
        Preferences prefs = session.data().prefs;
        prefs.Input2Legend = printableText(prefs.Input2Legend, false);
        writeOutput(*out, csvText(log, prefs, span.first, span.last), "data file");
        return ExitOk;
    }
    for (const auto& [name, kind] : pictures) {
        if (const auto out = args.value(name)) {
            request.kind = kind;
            writeOutput(*out, chartPicture(session, request),
                        kind == PictureKind::Pdf ? "PDF file" : "image file");
        }
    }
    return ExitOk;
}

}  // namespace velkor::cli
