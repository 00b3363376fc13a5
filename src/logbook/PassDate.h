#pragma once
// When a pass was run, as the logbook sorts and filters by it: ISO 8601 local time. The download
// archive's file names are the surest witness; then the download date the log itself states,
// written by the system's short date and time ("12/07/26 14:03:22" and the like); then the
// file's modification time.

#include <cstdint>
#include <optional>
#include <string>

namespace velkor {

// "2026-12-07T14:03:22" from an archive name "2026-12-07_14-03-22.log" or
// "2026-12-07_14-03-22_2.log"; nothing for any other name or an impossible date.
std::optional<std::string> dateFromArchiveName(const std::string& fileName);

// The ISO date of a log's download-date text: numbers only, year first ("2026-12-07"), day first
// with dots or dashes ("07.12.2026"), month first with slashes ("12/07/26") unless the first
// number cannot be a month; two-digit years are this century's; a time ("14:03:22", with AM or
// PM) follows. Nothing for text that holds no possible date.
std::optional<std::string> dateFromDownloadText(const std::string& text);

// The pass date of a log file: from its name, else its text, else its modification time (UTC,
// ns since the epoch).
std::string passDate(const std::string& fileName, const std::string& downloadText,
                     std::int64_t modifiedNs);

}  // namespace velkor
