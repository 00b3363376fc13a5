// The live view on a terminal: the controller read every 500 ms, one line per refresh with what
// the gauges, dials, lamps and status line would show, optionally recorded as CSV.

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <chrono>
#include <iostream>
#include <memory>

#include "base/Numbers.h"
#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/Interrupt.h"
#include "cli/Session.h"
#include "live/LivePoll.h"
#include "live/RealTimeView.h"
#include "log/AtomicFile.h"
#include "log/GrowingFile.h"

namespace velkor::cli {

namespace {

constexpr auto RefreshEvery = std::chrono::milliseconds(500);

// A quantity as it goes into a line and a CSV column.
struct Column {
    std::string name;  // "RPM", "TPS (%)"
    std::function<std::string(const LiveReadings&)> value;
};

std::string columnName(GaugeId gauge, const Preferences& prefs) {
    switch (gauge) {
        case GaugeId::gauTPSPercent:
            return "TPS (%)";
        case GaugeId::gauTPSVolts:
            return "TPS (V)";
        case GaugeId::gauBatVolts:
            return "Battery (V)";
        case GaugeId::gauInput1Analog:
            return "Input 1 (V)";
        case GaugeId::gauInput1AFR:
            return "Input 1 (AFR)";
        case GaugeId::gauMAP:
            return "MAP (" + prefs.PressureUnits + ")";
        case GaugeId::gauInput2Analog:
            return prefs.Input2Type == "Analog" ? "Input 2 (V)"
                                                : "Input 2 (" + prefs.Input2Legend + ")";
        case GaugeId::gauInput2AFR:
            return "Input 2 (AFR)";
    }
    return "";
}

const char* gaugeFormat(GaugeId gauge) {
    switch (gauge) {
        case GaugeId::gauTPSPercent:
            return "0";
        case GaugeId::gauBatVolts:
        case GaugeId::gauInput1AFR:
        case GaugeId::gauInput2AFR:
        case GaugeId::gauMAP:
            return "0.0";
        default:
            return "0.00";
    }
}

// The columns for the gauges the live view has shown, then the dials, lamps and status.
std::vector<Column> liveColumns(const LiveReadings& shown, const Preferences& prefs) {
    std::vector<Column> columns;
    columns.push_back({"RPM", [](const LiveReadings& r) { return r.readout[0]; }});
    columns.push_back(
        {"VSS (" + prefs.VSSUnits + ")", [](const LiveReadings& r) { return r.readout[1]; }});
    for (int id = 0; id < GaugeCount; ++id) {
        const auto gauge = static_cast<GaugeId>(id);
        if (shown.shown[std::size_t(id)]) {
            columns.push_back({columnName(gauge, prefs), [id, gauge](const LiveReadings& r) {
                                   return formatNumber(r.gauge[std::size_t(id)],
                                                       gaugeFormat(gauge));
                               }});
        }
    }
    const std::pair<LampId, const char*> lamps[] = {
        {LampId::shpLED_ArmIn, "Arm"},          {LampId::shpLED_GPI, "GPI"},
        {LampId::shpLED_Shift, "Shift"},        {LampId::shpLED_Launch, "Launch"},
        {LampId::shpLED_AlarmVSS, "VSS Alarm"}, {LampId::shpLED_Alarm1, "Alarm 1"},
        {LampId::shpLED_Alarm2, "Alarm 2"},     {LampId::shpLED_GPO, "GPO"}};
    for (const auto& [lamp, name] : lamps) {
        const auto at = std::size_t(lamp);
        columns.push_back(
            {name, [at](const LiveReadings& r) { return r.lamps[at] != LampDark ? "1" : "0"; }});
    }
    columns.push_back({"Status", [](const LiveReadings& r) {
                           const std::string status = terminalText(r.status);
                           return status.substr(0, status.find('\n'));
                       }});
    return columns;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

// Waits until `when`, letting the port's events run, or until Ctrl-C.
void waitUntil(std::chrono::steady_clock::time_point when) {
    while (!interrupted() && std::chrono::steady_clock::now() < when) {
        QCoreApplication::processEvents();
        const auto left = when - std::chrono::steady_clock::now();
        QThread::msleep(std::max<long>(
            0, std::min<long>(
                   20, long(std::chrono::duration_cast<std::chrono::milliseconds>(left).count()))));
    }
}

// Adds a refresh to the record; false, with the reason on standard error, when the disk does not
// take it.
bool appendRecord(GrowingFile& file, const std::string& text, const std::string& path) {
    try {
        file.append(text);
        return true;
    } catch (const FileWriteError& error) {
        std::cerr << "velkor-cli: the live record " << path
                  << " could not be written whole: " << terminalText(error.reason()) << std::endl;
        return false;
    }
}

}  // namespace

int runLive(const Args& args, Session& session) {
    std::optional<long> count;
    if (const auto n = args.number("count")) {
        if (*n < 1 || *n != std::floor(*n)) {
            throw usageError("--count takes a whole number of refreshes, 1 or more");
        }
        count = long(*n);
    }
    const auto csvPath = args.value("csv");
    const bool csvToOutput = csvPath && *csvPath == "-";
    // The record named is checked now, and replaced only once its first line is ready: a start
    // that fails keeps the earlier record.
    std::unique_ptr<GrowingFile> csvFile;
    if (csvPath && !csvToOutput) {
        try {
            csvFile = std::make_unique<GrowingFile>(*csvPath, "live record");
        } catch (const AppError& error) {
            throw Failure(ExitFile, terminalText(error.description()));
        }
    }
    session.usePort(args.value("port"));
    AppContext& ctx = session.context();
    mnuViewRealTime_Click(session.link());
    if (!ctx.data.state.RealTimeActive) {
        return interrupted() ? interruptedStatus() : ExitLink;
    }

    const LiveReadings& readings = session.view().readings();
    std::vector<Column> columns;
    const auto start = std::chrono::steady_clock::now();
    int exitCode = ExitOk;
    for (long done = 0; !count || done < *count; ++done) {
        waitUntil(start + done * RefreshEvery);
        if (interrupted()) {
            break;
        }
        const int before = readings.refreshes;
        tmrDataRead_Timer(session.link());
        if (!ctx.data.state.RealTimeActive) {
            std::cerr << "velkor-cli: the link to the controller was lost" << std::endl;
            exitCode = ExitLink;
            break;
        }
        if (interrupted() || readings.refreshes == before) {
            continue;  // a refresh cut short or skipped shows nothing new
        }
        const QDateTime now = QDateTime::currentDateTime();
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::string record;
        if (columns.empty()) {
            columns = liveColumns(readings, ctx.data.prefs);
            record += "Time,Elapsed (s)";
            for (const Column& column : columns) {
                record += "," + csvField(column.name);
            }
            record += "\r\n";
        }
        std::string line = now.toString("HH:mm:ss.zzz").toStdString();
        for (const Column& column : columns) {
            line += "  " + column.name + " " + column.value(readings);
        }
        if (!csvToOutput) {
            std::cout << line << std::endl;
        }
        record +=
            now.toString(Qt::ISODateWithMs).toStdString() + "," + formatNumber(elapsed, "0.000");
        for (const Column& column : columns) {
            record += "," + csvField(column.value(readings));
        }
        record += "\r\n";
        if (csvToOutput) {
            std::cout << record << std::flush;
        } else if (csvFile && !appendRecord(*csvFile, record, *csvPath)) {
            exitCode = ExitFile;
            break;
        }
    }
    cmdCloseRealTimeData_Click(ctx);
    if (csvToOutput && !std::cout) {
        throw Failure(ExitFile, "standard output could not be written");
    }
    return interrupted() ? interruptedStatus() : exitCode;
}

}  // namespace velkor::cli
