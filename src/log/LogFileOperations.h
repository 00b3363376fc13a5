#pragma once
// Saving the log, opening a saved one, and the comment, from the main window's menus.

namespace velkor {

struct AppContext;

constexpr const char* SaveTitle = "Save Log File";
constexpr const char* OpenTitle = "Open Log File";

// Writes the log and the display settings the chart needs to a log file chosen by the person.
// The file on disk is replaced only by a complete new one: Esc, a refused name or a write error
// leave whatever was there before.
void mnuSaveFile_Click(AppContext& ctx);

// Replaces the log with one read from a log file, restores the display settings it carries (in
// memory only) and shows it on the chart.
void mnuOpenFile_Click(AppContext& ctx);

// Asks for the comment; Cancel erases it, as the prompt says.
void mnuEditComment_Click(AppContext& ctx);

}  // namespace velkor
