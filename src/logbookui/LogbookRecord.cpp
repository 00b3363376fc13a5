#include "logbookui/LogbookRecord.h"

#include <cmath>
#include <cstdio>

#include "base/Latin1.h"
#include "logbook/Journal.h"

namespace velkor {

namespace {

ScriptValue number(const std::optional<double>& value, int decimals) {
    return value ? ScriptValue::number(*value, decimals) : ScriptValue();
}

// An entered text, or null for one never entered (or cleared).
ScriptValue text(const std::string& value) {
    return value.empty() ? ScriptValue() : ScriptValue::text(wellFormedUtf8(value));
}

ScriptValue summaryRecord(const FigureSummary& summary, int decimals) {
    ScriptValue record = ScriptValue::record();
    record.add("count", ScriptValue::number(summary.count, 0));
    record.add("mean", number(summary.mean, decimals + 1));
    record.add("sd", number(summary.standardDeviation, decimals + 1));
    record.add("min", number(summary.min, decimals));
    record.add("max", number(summary.max, decimals));
    return record;
}

std::string fixed(const std::optional<double>& value, int decimals) {
    if (!value) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return text;
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

ScriptValue passRecord(const Pass& pass) {
    ScriptValue record = ScriptValue::record();
    record.add("pass_id", ScriptValue::number(double(pass.id), 0));
    record.add("file", ScriptValue::text(wellFormedUtf8(pass.filePath)));
    record.add("run", ScriptValue::number(pass.runNumber, 0));
    record.add("download_date", text(pass.downloadDate));
    record.add("track", text(pass.track));
    record.add("car", text(pass.car));
    record.add("note", text(pass.note));
    record.add("temp_f", number(pass.tempF, 1));
    record.add("baro_inhg", number(pass.baroInHg, 2));
    record.add("humidity_pct", number(pass.humidityPct, 1));
    record.add("density_altitude_ft", number(passDensityAltitude(pass), 0));
    record.add("ft60_s", number(pass.et60, 3));
    record.add("ft330_s", number(pass.et330, 3));
    record.add("ft660_s", number(pass.et660, 3));
    record.add("ft1000_s", number(pass.et1000, 3));
    record.add("ft1320_s", number(pass.et1320, 3));
    record.add("trap_1320_mph", number(pass.trapMph, 2));
    record.add("zero_to_60_mph_s", number(pass.zeroToSixty, 3));
    record.add("best_reaction_s", number(pass.bestReaction, 3));
    record.add("peak_rpm", number(pass.peakRpm, 0));
    return record;
}

ScriptValue logbookRecord(const std::vector<Pass>& passes) {
    ScriptValue list = ScriptValue::list();
    for (const Pass& pass : passes) {
        list.append(passRecord(pass));
    }
    ScriptValue record = ScriptValue::record();
    record.add("format", ScriptValue::text(LogbookFormat));
    record.add("passes", std::move(list));
    return record;
}

ScriptValue consistencyRecord(const Consistency& consistency) {
    ScriptValue record = ScriptValue::record();
    record.add("passes", ScriptValue::number(consistency.passes, 0));
    record.add("ft1320_s", summaryRecord(consistency.et, 3));
    record.add("ft60_s", summaryRecord(consistency.sixtyFoot, 3));
    record.add("trap_1320_mph", summaryRecord(consistency.trapMph, 2));
    record.add("best_reaction_s", summaryRecord(consistency.reaction, 3));
    return record;
}

ScriptValue dialInRecord(const DialIn& dialIn, double todayDensityAltitudeFt) {
    ScriptValue record = ScriptValue::record();
    record.add("density_altitude_ft", ScriptValue::number(todayDensityAltitudeFt, 0));
    record.add("predicted_ft1320_s", number(dialIn.et, 3));
    record.add("standard_error_s", number(dialIn.standardError, 3));
    record.add("passes", ScriptValue::number(dialIn.passes, 0));
    record.add("slope_s_per_1000ft", number(dialIn.slopePer1000Ft, 4));
    record.add("note", text(dialIn.note));
    return record;
}

std::string shortened(const std::string& utf8, std::size_t characters) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (isContinuation(utf8[i])) {
            continue;
        }
        if (count == characters) {
            std::size_t cut = 0;
            for (std::size_t kept = 0; cut < utf8.size(); ++cut) {
                if (!isContinuation(utf8[cut]) && kept++ == characters - 3) {
                    break;
                }
            }
            return utf8.substr(0, cut) + "...";
        }
        ++count;
    }
    return utf8;
}

SummaryTable passTable(const std::vector<Pass>& passes) {
    SummaryTable table;
    table.headers = {"Pass", "Date", "Track", "Car", "ET", "60 ft", "MPH", "DA ft", "Note"};
    for (const Pass& pass : passes) {
        table.rows.push_back(
            {std::to_string(pass.id), pass.downloadDate.substr(0, 10),
             shortened(pass.track, TrackCellCharacters), shortened(pass.car, CarCellCharacters),
             cellText(pass, LogbookColumn::Et), cellText(pass, LogbookColumn::SixtyFoot),
             cellText(pass, LogbookColumn::Trap), cellText(pass, LogbookColumn::DensityAltitude),
             shortened(pass.note, NoteCellCharacters)});
    }
    return table;
}

SummaryTable consistencyTable(const Consistency& consistency) {
    SummaryTable table;
    table.headers = {"Figure", "Passes", "Mean", "SD", "Min", "Max"};
    const auto row = [&](const char* name, const FigureSummary& summary, int decimals) {
        table.rows.push_back({name, std::to_string(summary.count),
                              fixed(summary.mean, decimals + 1),
                              fixed(summary.standardDeviation, decimals + 1),
                              fixed(summary.min, decimals), fixed(summary.max, decimals)});
    };
    row("ET (s)", consistency.et, 3);
    row("60 ft (s)", consistency.sixtyFoot, 3);
    row("Trap (MPH)", consistency.trapMph, 2);
    row("Best reaction (s)", consistency.reaction, 3);
    return table;
}

bool isIsoDay(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    const int year = std::stoi(text.substr(0, 4));
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return day <= Days[month - 1] + (month == 2 && leap ? 1 : 0);
}

CellEdit changedEntry(const Pass& pass,
                      const std::vector<std::pair<LogbookColumn, std::string>>& changes) {
    Pass changed = pass;
    CellEdit edit{entryOf(pass), {}};
    for (const auto& [column, typed] : changes) {
        edit = editCell(changed, column, typed);
        if (!edit.error.empty()) {
            return edit;
        }
        changed.track = edit.entry.track;
        changed.car = edit.entry.car;
        changed.note = edit.entry.note;
        changed.tempF = edit.entry.tempF;
        changed.baroInHg = edit.entry.baroInHg;
        changed.humidityPct = edit.entry.humidityPct;
    }
    edit.error = entryProblem(edit.entry);
    return edit;
}

}  // namespace velkor
