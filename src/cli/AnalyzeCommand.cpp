// The run summary of a log file on a terminal: the Run Summary window's two tables as aligned
// text, or as JSON for scripts.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <charconv>
#include <iostream>

#include "base/Numbers.h"
#include "chart/RunSummary.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Session.h"

namespace velkor::cli {

namespace {

// The number of characters a UTF-8 text shows as.
std::size_t shownWidth(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void printTable(const std::string& title, const SummaryTable& table) {
    std::vector<std::size_t> widths(table.headers.size());
    for (std::size_t i = 0; i < widths.size(); ++i) {
        widths[i] = shownWidth(table.headers[i]);
        for (const auto& row : table.rows) {
            if (i < row.size()) {
                widths[i] = std::max(widths[i], shownWidth(row[i]));
            }
        }
    }
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string text;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string cell = i < cells.size() ? cells[i] : "";
            text += cell + std::string(widths[i] - shownWidth(cell) + 2, ' ');
        }
        text.erase(text.find_last_not_of(' ') + 1);
        std::cout << text << "\n";
    };
    std::cout << title << "\n";
    line(table.headers);
    for (const auto& row : table.rows) {
        line(row);
    }
}

// A cell as JSON: a number when it is one, nothing when it is empty, else its text.
QJsonValue jsonCell(const std::string& cell) {
    if (cell.empty()) {
        return QJsonValue(QJsonValue::Null);
    }
    double number = 0;
    const char* end = cell.data() + cell.size();
    const auto [stop, error] = std::from_chars(cell.data(), end, number);
    if (error == std::errc() && stop == end) {
        return number;
    }
    return QString::fromStdString(cell);
}

QJsonArray jsonRows(const SummaryTable& table) {
    QJsonArray rows;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        QJsonObject row;
        for (std::size_t i = 0; i < table.headers.size() && i < table.rows[r].size(); ++i) {
            row.insert(QString::fromStdString(table.headers[i]), jsonCell(table.rows[r][i]));
        }
        if (r < table.times.size()) {
            row.insert("timeSeconds", roundTo(table.times[r], 3));
        }
        rows.append(row);
    }
    return rows;
}

// The tables' Latin-1 texts as the terminal's UTF-8.
SummaryTable terminalTable(SummaryTable table) {
    for (auto& header : table.headers) {
        header = terminalText(header);
    }
    for (auto& row : table.rows) {
        for (auto& cell : row) {
            cell = terminalText(cell);
        }
    }
    return table;
}

}  // namespace

int runAnalyze(const Args& args, Session& session) {
    if (args.positional().empty()) {
        throw usageError("analyze needs a log file");
    }
    session.openLogFile(args.positional().front());
    RunSummary summary = makeRunSummary(session.data().log, session.data().prefs);
    summary.message = terminalText(summary.message);
    summary.runs = terminalTable(summary.runs);
    summary.shifts = terminalTable(summary.shifts);
    if (args.has("json")) {
        const QJsonObject json{
            {"message", QString::fromStdString(summary.message)},
            {"runs", jsonRows(summary.runs)},
            {"shifts", jsonRows(summary.shifts)},
        };
        std::cout << QJsonDocument(json).toJson().toStdString() << std::flush;
        return ExitOk;
    }
    if (!summary.message.empty()) {
        std::cout << summary.message << std::endl;
        return ExitOk;
    }
    printTable("Runs", summary.runs);
    std::cout << "\n";
    printTable("Shifts", summary.shifts);
    std::cout << std::flush;
    return ExitOk;
}

}  // namespace velkor::cli
