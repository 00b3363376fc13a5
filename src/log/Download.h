#pragma once
// Downloading the controller's log into memory.

#include "base/Outcome.h"

namespace velkor {

class ControllerLink;
struct DataLog;

constexpr const char* DownloadTitle = "Download Data";
constexpr const char* IntervalReadFailed = "Logging interval read failed - cannot download.";

// Checks the link and the controller's state, identifies the controller, reads the throttle
// scale factors, the whole FRAM and the logging interval, and decodes the log. The new log is
// filled on the side: only a download that succeeds replaces the log in memory (and is kept in
// the download archive and shown on the chart); wherever it stops, the log that was there stays.
Outcome mnuDownload_Click(ControllerLink& link);

// Reads the controller's memory a second time and compares it with the image `log` was
// decoded from. The line has no checksum, so this is how a download is trusted before the
// controller's copy is erased. Failed when the two reads differ or the second did not complete.
Outcome verifyDownload(ControllerLink& link, const DataLog& log);

}  // namespace velkor
