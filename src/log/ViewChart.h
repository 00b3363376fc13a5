#pragma once
// Opening the chart window from the main window's menu.

namespace velkor {

struct AppContext;

// Ends a running live view, then shows the chart of the log in memory, or says the log is
// empty.
void mnuViewChart_Click(AppContext& ctx);

}  // namespace velkor
