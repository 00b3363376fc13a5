#pragma once
// Opening the chart window from the main window's menu.

namespace velkor {

struct AppContext;

// What View Chart, and any other view of the log, says when there is no log in memory.
constexpr const char* EmptyLogMessage = "Data buffer empty.";

// Ends a running live view, then shows the chart of the log in memory, or says the log is
// empty.
void mnuViewChart_Click(AppContext& ctx);

}  // namespace velkor
