// The run analysis of a log file on a terminal: the Run Summary's tables as text that fits 80
// columns, the time slips as small blocks, or the analysis as JSON for scripts.

#include <algorithm>
#include <iostream>

#include "base/DataLog.h"
#include "chart/AnalysisRecord.h"
#include "chart/RunSummary.h"
#include "chart/TextTable.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Session.h"

namespace velkor::cli {

namespace {

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

// A table under its title, or the sentence saying it has no row.
void printTable(const std::string& title, const SummaryTable& table, const char* none) {
    std::cout << "\n" << title << "\n";
    if (table.rows.empty()) {
        std::cout << none << "\n";
        return;
    }
    for (const std::string& line : textTable(terminalTable(table))) {
        std::cout << line << "\n";
    }
}

// Each run's slip in a frame, as a track prints it; a rolling run's one line as it is.
void printTimeSlips(const std::vector<std::vector<std::string>>& slips) {
    std::cout << "\nTime slips (estimated from road speed)\n";
    for (const std::vector<std::string>& slip : slips) {
        if (slip.size() == 1) {
            std::cout << slip.front() << "\n";
            continue;
        }
        std::size_t width = 0;
        for (const std::string& line : slip) {
            width = std::max(width, shownWidth(line));
        }
        std::string rule;
        for (std::size_t i = 0; i < width + 2; ++i) {
            rule += "-";
        }
        std::cout << "+" << rule << "+\n";
        for (const std::string& line : slip) {
            std::cout << "| " << line << std::string(width - shownWidth(line), ' ') << " |\n";
        }
        std::cout << "+" << rule << "+\n";
    }
}

}  // namespace

int runAnalyze(const Args& args, Session& session) {
    if (args.positional().empty()) {
        throw usageError("analyze needs a log file");
    }
    session.openLogFile(args.positional().front());
    const DataLog& log = session.data().log;
    RunAnalysis analysis = log.DataBufferEmpty ? RunAnalysis{} : analyseRuns(log);
    if (args.has("json")) {
        std::cout << toJson(analysisRecord(analysis)) << std::flush;
        return ExitOk;
    }
    const RunSummary summary =
        makeRunSummary(std::move(analysis), speedUnitOf(session.data().prefs), log.FilePath);
    if (!summary.message.empty()) {
        std::cout << terminalText(summary.message) << std::endl;
        return ExitOk;
    }
    std::cout << "Runs\n";
    for (const std::string& line : textTable(terminalTable(summary.runs))) {
        std::cout << line << "\n";
    }
    printTimeSlips(summary.timeSlips);
    printTable("Shifts", summary.shifts, NoShiftText);
    printTable("Wheelspin", summary.wheelspin, NoWheelspinText);
    printTable("Where to shift", summary.shiftPoints, NoShiftPointText);
    std::cout << std::flush;
    return ExitOk;
}

}  // namespace velkor::cli
