#pragma once
// The logbook for scripts and terminals: each pass as a record of named values in a fixed order,
// the consistency and the dial-in as records, the passes as a table of text, and the racer's
// changes to an entry given as named fields rather than typed into cells.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "chart/RunSummary.h"
#include "chart/ScriptValue.h"
#include "logbook/Consistency.h"
#include "logbook/DialIn.h"
#include "logbook/LogbookTable.h"
#include "logbook/Pass.h"

namespace velkor {

// The name and version of the logbook's JSON layout; a script checks it before reading on.
constexpr const char* LogbookFormat = "velkor-logbook/1";

// A pass's record: pass_id, file, run, download_date, track, car, note, temp_f, baro_inhg,
// humidity_pct, density_altitude_ft, ft60_s, ft330_s, ft660_s, ft1000_s, ft1320_s,
// trap_1320_mph, zero_to_60_mph_s, best_reaction_s, peak_rpm, in that order; null where
// unknown, and for an empty text. Times to the thousandth, speeds to the hundredth.
ScriptValue passRecord(const Pass& pass);

// {"format": LogbookFormat, "passes": [...]}.
ScriptValue logbookRecord(const std::vector<Pass>& passes);

// {"passes": n, "ft1320_s": {count, mean, sd, min, max}, "ft60_s", "trap_1320_mph",
// "best_reaction_s"}.
ScriptValue consistencyRecord(const Consistency& consistency);

// {"density_altitude_ft", "predicted_ft1320_s", "standard_error_s", "passes",
// "slope_s_per_1000ft", "note"}: the note null when there is a prediction.
ScriptValue dialInRecord(const DialIn& dialIn, double todayDensityAltitudeFt);

// The passes as a table for an 80-column terminal: number, day, track, car, ET and 60 ft (s),
// trap (MPH), density altitude (ft) and the note's start. Texts are the logbook's own (UTF-8),
// not yet made printable.
SummaryTable passTable(const std::vector<Pass>& passes);

// The consistency as a table: a row per figure with its count, mean, deviation, min and max.
SummaryTable consistencyTable(const Consistency& consistency);

// Characters of a shortened text in the table: long tracks, cars and notes end in "...".
constexpr std::size_t TrackCellCharacters = 10;
constexpr std::size_t CarCellCharacters = 8;
constexpr std::size_t NoteCellCharacters = 10;

// The first `characters` characters of a UTF-8 text, ending in "..." when it is longer.
std::string shortened(const std::string& utf8, std::size_t characters);

// True for a day written as YYYY-MM-DD, a real day of the calendar.
bool isIsoDay(const std::string& text);

// Changes to a pass's entry, each as the text typed into that column (an empty text clears),
// applied in turn by the table's own rules; the entry they make, or the first reason one will
// not do, the logbook's own limits (length, control characters) included.
CellEdit changedEntry(const Pass& pass,
                      const std::vector<std::pair<LogbookColumn, std::string>>& changes);

}  // namespace velkor
