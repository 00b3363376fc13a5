#pragma once
// Starting and ending the live view of the controller.

namespace velkor {

struct AppContext;

// Ends a running live view, as its Close button does: the polling stops, the frame hides and
// the port closes.
void closeRealTimeView(AppContext& ctx);

}  // namespace velkor
