#pragma once
// The logbook's table of passes as the racer reads and edits it: the columns, each cell's text,
// the value a column sorts by, and what typing into an editable cell does to the pass's entry.

#include <optional>
#include <string>

#include "logbook/Logbook.h"
#include "logbook/Pass.h"

namespace velkor {

enum class LogbookColumn {
    Date,
    Track,
    Car,
    Et,
    SixtyFoot,
    Trap,
    ZeroToSixty,
    BestReaction,
    TempF,
    BaroInHg,
    Humidity,
    DensityAltitude,
    Note,
    File,
};
constexpr int LogbookColumnCount = int(LogbookColumn::File) + 1;

// "Date", "Track", ... "ET (s)", "60 ft (s)", "Trap (MPH)", ...
std::string columnTitle(LogbookColumn column);
// What the column's heading tells when pointed at.
std::string columnHint(LogbookColumn column);
bool isEditable(LogbookColumn column);

// The cell as shown: figures with their usual decimals, "" where unknown.
std::string cellText(const Pass& pass, LogbookColumn column);
// The value a column sorts by: the figure, or nothing where unknown (sorted after the rest).
std::optional<double> sortValue(const Pass& pass, LogbookColumn column);

// The pass's density altitude from its weather, when all three are entered and make sense.
std::optional<double> passDensityAltitude(const Pass& pass);

// The racer's entry as it stands on a pass.
LogbookEntry entryOf(const Pass& pass);

// Typing `text` into an editable cell: the entry it makes, or why the text will not do.
struct CellEdit {
    LogbookEntry entry;
    std::string error;  // empty when the entry stands
};
CellEdit editCell(const Pass& pass, LogbookColumn column, const std::string& text);

// "2026-06-14 15:20" from "2026-06-14T15:20:00"; the text as it is when it is no such date.
std::string passDateText(const std::string& isoDate);

// Overlay on Chart with no log in memory to lay the pass over.
constexpr const char* LogbookOverlayNeedsLog =
    "A pass is laid over the chart of the log in memory, and there is no log in memory yet. "
    "Open or download a log first.";

// Compare with Reference before a reference was chosen.
constexpr const char* CompareNeedsReference =
    "Choose a pass and click Set as Reference first; the other passes are compared with it.";

// How a pass is named in windows and legends: "2026-06-14 15:20, run 1 (Ridgeway)".
std::string passCaption(const Pass& pass);

}  // namespace velkor
