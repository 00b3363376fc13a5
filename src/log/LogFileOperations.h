#pragma once
// Saving the log, opening a saved one, and the comment, from the main window's menus.

#include <string>

#include "base/Outcome.h"
#include "log/LogFile.h"

namespace velkor {

struct AppContext;
struct DataLog;
struct LocalDateTime;

constexpr const char* SaveTitle = "Save Log File";
constexpr const char* OpenTitle = "Open Log File";

// What opening a log file says about a file that ends early or names no known controller.
constexpr const char* PrematureEndNoData = "Error - reached premature end-of-file. No data found";
constexpr const char* PrematureEnd =
    "Error - reached premature end-of-file. Some data may be missing or corrupted";
constexpr const char* InvalidFirmware =
    "Error - invalid firmware ID. Unable to identify controller version.\r\n"
    "Some data may be incorrectly scaled.";

// The name Save File suggests: the log's own file name when it came from or went to a file, else
// its download's name in the archive, else the archive's name for the moment `now`.
std::string suggestedLogFileName(const DataLog& log, const LocalDateTime& now);

// Writes the log and the display settings the chart needs to a log file chosen by the person.
// The file on disk is replaced only by a complete new one: Esc, a refused name or a write error
// leave whatever was there before. Cancelled by Esc or a declined dialog.
Outcome mnuSaveFile_Click(AppContext& ctx);

// How opening a log file went, and what reading the file found (when one was read).
struct OpenedLog {
    Outcome outcome;
    LogFileRead read;
};

// Replaces the log with one read from a log file, restores the display settings it carries (in
// memory only) and shows it on the chart. The file is read on the side: a declined dialog, a
// file that cannot be opened or one with no data leave the log in memory as it was.
OpenedLog mnuOpenFile_Click(AppContext& ctx);
// Opens the log file at `path` as Open File opens the one chosen in its dialog, with the same
// question first when the log in memory is not empty (the logbook's Open).
OpenedLog openLogFile(AppContext& ctx, const std::string& path);

// Asks for the comment; Cancel erases it, as the prompt says.
void mnuEditComment_Click(AppContext& ctx);

}  // namespace velkor
