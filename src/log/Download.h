#pragma once
// Downloading the controller's log into memory.

namespace velkor {

class ControllerLink;

constexpr const char* DownloadTitle = "Download Data";

// Checks the link and the controller's state, identifies the controller, reads the throttle
// scale factors, the whole FRAM and the logging interval, decodes the log and shows it on the
// chart. Wherever it stops, the log stays empty.
void mnuDownload_Click(ControllerLink& link);

}  // namespace velkor
