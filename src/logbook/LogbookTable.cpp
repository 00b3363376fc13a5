#include "logbook/LogbookTable.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "base/Numbers.h"
#include "logbook/DensityAltitude.h"

namespace velkor {

namespace {

struct ColumnInfo {
    const char* title;
    const char* hint;
    bool editable;
};

constexpr std::array<ColumnInfo, LogbookColumnCount> Columns = {{
    {"Date", "When the log was downloaded", false},
    {"Track", "Where the pass was run; type to change", true},
    {"Car", "The car that ran it; type to change", true},
    {"ET (s)", "The estimated 1/4 mile elapsed time from first motion", false},
    {"60 ft (s)", "The estimated 60 ft time from first motion", false},
    {"Trap (MPH)", "The mean speed over the last 66 ft of the 1/4 mile", false},
    {"0-60 (s)", "0 to 60 MPH from first motion", false},
    {"Best Reaction (s)", "The shift closest to the shift light, seconds after it came on", false},
    {"Temp (\xC2\xB0"
     "F)",
     "Air temperature at the track; type to change", true},
    {"Baro (inHg)", "The uncorrected barometer (station pressure) at the track; type to change",
     true},
    {"Humidity (%)", "Relative humidity at the track; type to change", true},
    {"DA (ft)", "Density altitude, from the temperature, barometer and humidity", false},
    {"Note", "Your note on the pass; type to change", true},
    {"File", "The log file and the run in it", false},
}};

const ColumnInfo& info(LogbookColumn column) {
    return Columns.at(std::size_t(column));
}

std::string figure(const std::optional<double>& value, std::string_view pattern) {
    return value && std::isfinite(*value) ? formatNumber(*value, pattern) : std::string();
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// A weather figure typed in: empty clears it; otherwise a number within the range.
std::string weatherEdit(std::optional<double>& field, const std::string& text, double low,
                        double high, const char* what) {
    const std::string typed = trimmed(text);
    if (typed.empty()) {
        field.reset();
        return {};
    }
    const std::optional<double> value = parseNumber(typed);
    if (!value || *value < low || *value > high) {
        return std::string("The ") + what + " must be a number from " + formatNumber(low, "#0") +
               " to " + formatNumber(high, "#0") + "; \"" + typed + "\" is not.";
    }
    field = *value;
    return {};
}

}  // namespace

std::string columnTitle(LogbookColumn column) {
    return info(column).title;
}

std::string columnHint(LogbookColumn column) {
    return info(column).hint;
}

bool isEditable(LogbookColumn column) {
    return info(column).editable;
}

std::optional<double> passDensityAltitude(const Pass& pass) {
    if (!pass.tempF || !pass.baroInHg || !pass.humidityPct) {
        return std::nullopt;
    }
    return densityAltitude({*pass.tempF, *pass.baroInHg, *pass.humidityPct}).feet;
}

std::string passDateText(const std::string& isoDate) {
    if (isoDate.size() >= 16 && isoDate[10] == 'T') {
        return isoDate.substr(0, 10) + " " + isoDate.substr(11, 5);
    }
    return isoDate;
}

std::string cellText(const Pass& pass, LogbookColumn column) {
    switch (column) {
        case LogbookColumn::Date:
            return passDateText(pass.downloadDate);
        case LogbookColumn::Track:
            return pass.track;
        case LogbookColumn::Car:
            return pass.car;
        case LogbookColumn::Et:
            return figure(pass.et1320, "#0.000");
        case LogbookColumn::SixtyFoot:
            return figure(pass.et60, "#0.000");
        case LogbookColumn::Trap:
            return figure(pass.trapMph, "##0.0");
        case LogbookColumn::ZeroToSixty:
            return figure(pass.zeroToSixty, "#0.00");
        case LogbookColumn::BestReaction:
            return figure(pass.bestReaction, "#0.00");
        case LogbookColumn::TempF:
            return figure(pass.tempF, "##0.0");
        case LogbookColumn::BaroInHg:
            return figure(pass.baroInHg, "#0.00");
        case LogbookColumn::Humidity:
            return figure(pass.humidityPct, "##0");
        case LogbookColumn::DensityAltitude:
            return figure(passDensityAltitude(pass), "####0");
        case LogbookColumn::Note:
            return pass.note;
        case LogbookColumn::File:
            return std::filesystem::path(pass.filePath).filename().string() + ", run " +
                   std::to_string(pass.runNumber);
    }
    return {};
}

std::optional<double> sortValue(const Pass& pass, LogbookColumn column) {
    switch (column) {
        case LogbookColumn::Et:
            return pass.et1320;
        case LogbookColumn::SixtyFoot:
            return pass.et60;
        case LogbookColumn::Trap:
            return pass.trapMph;
        case LogbookColumn::ZeroToSixty:
            return pass.zeroToSixty;
        case LogbookColumn::BestReaction:
            return pass.bestReaction;
        case LogbookColumn::TempF:
            return pass.tempF;
        case LogbookColumn::BaroInHg:
            return pass.baroInHg;
        case LogbookColumn::Humidity:
            return pass.humidityPct;
        case LogbookColumn::DensityAltitude:
            return passDensityAltitude(pass);
        default:
            return std::nullopt;
    }
}

LogbookEntry entryOf(const Pass& pass) {
    return {pass.track, pass.car, pass.note, pass.tempF, pass.baroInHg, pass.humidityPct};
}

CellEdit editCell(const Pass& pass, LogbookColumn column, const std::string& text) {
    CellEdit edit{entryOf(pass), {}};
    switch (column) {
        case LogbookColumn::Track:
            edit.entry.track = trimmed(text);
            break;
        case LogbookColumn::Car:
            edit.entry.car = trimmed(text);
            break;
        case LogbookColumn::Note:
            edit.entry.note = text;
            break;
        case LogbookColumn::TempF:
            edit.error = weatherEdit(edit.entry.tempF, text, MinTempF, MaxTempF,
                                     "temperature (\xC2\xB0"
                                     "F)");
            break;
        case LogbookColumn::BaroInHg:
            edit.error = weatherEdit(edit.entry.baroInHg, text, MinBaroInHg, MaxBaroInHg,
                                     "barometer (inHg)");
            break;
        case LogbookColumn::Humidity:
            edit.error = weatherEdit(edit.entry.humidityPct, text, MinHumidityPct, MaxHumidityPct,
                                     "relative humidity (%)");
            break;
        default:
            edit.error = columnTitle(column) + " is measured from the log and cannot be typed in.";
            break;
    }
    return edit;
}

std::string passCaption(const Pass& pass) {
    std::string caption =
        passDateText(pass.downloadDate) + ", run " + std::to_string(pass.runNumber);
    if (!pass.track.empty()) {
        caption += " (" + pass.track + ")";
    }
    return caption;
}

}  // namespace velkor
