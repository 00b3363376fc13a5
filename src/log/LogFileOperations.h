#pragma once
// Saving the log, opening a saved one, and the comment, from the main window's menus.

#include <optional>

#include "log/LogFile.h"

namespace velkor {

struct AppContext;

constexpr const char* SaveTitle = "Save Log File";
constexpr const char* OpenTitle = "Open Log File";

// What opening a log file says about a file that ends early or names no known controller.
constexpr const char* PrematureEndNoData = "Error - reached premature end-of-file. No data found";
constexpr const char* PrematureEnd =
    "Error - reached premature end-of-file. Some data may be missing or corrupted";
constexpr const char* InvalidFirmware =
    "Error - invalid firmware ID. Unable to identify controller version.\r\n"
    "Some data may be incorrectly scaled.";

// Writes the log and the display settings the chart needs to a log file chosen by the person.
// The file on disk is replaced only by a complete new one: Esc, a refused name or a write error
// leave whatever was there before.
void mnuSaveFile_Click(AppContext& ctx);

// Replaces the log with one read from a log file, restores the display settings it carries (in
// memory only) and shows it on the chart. Returns how the reading went; nothing when no file was
// read.
std::optional<LogFileRead> mnuOpenFile_Click(AppContext& ctx);

// Asks for the comment; Cancel erases it, as the prompt says.
void mnuEditComment_Click(AppContext& ctx);

}  // namespace velkor
