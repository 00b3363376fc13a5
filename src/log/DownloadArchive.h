#pragma once
// Every completed download is also kept as a log file in a per-user folder, so that a log that
// was never saved outlives an erase of the controller, a crash or a closed window. Nothing there
// is ever deleted by the program.

#include <string>

namespace velkor {

struct AppContext;
struct LocalDateTime;

// "2026-12-07_14-03-22.log"; with a `copy` above 1, "2026-12-07_14-03-22_2.log" and so on.
std::string archiveFileName(const LocalDateTime& when, int copy = 1);

// Writes `content` to a new file in `folder` (made when missing), named by `when`; a name that is
// taken, even by a writer at the same moment, gets the next free copy number, so nothing is
// replaced. The file is the user's alone (0600), and so is each folder made for it (0700). Returns
// the path written; throws AppError when the folder cannot be made or written.
std::string writeArchiveFile(const std::string& folder, const LocalDateTime& when,
                             const std::string& content);

// Keeps the log in memory, as Save File would write it with its comment as it stands, in the
// context's download folder (nothing when that is empty). It asks nothing: a failure is one line
// in the status line and the download goes on.
void archiveDownload(AppContext& ctx);

}  // namespace velkor
