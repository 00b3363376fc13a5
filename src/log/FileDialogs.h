#pragma once
// The save and open dialogs with the program's own questions about existing and missing files.

#include <optional>
#include <string>

namespace velkor {

class Prompts;

// The save dialog until a name is chosen. A name that exists is asked about ("Replace existing
// file?" unless `existMessage` says otherwise): Yes takes it, No shows the dialog again, Cancel
// throws the "Canceled File Save" error. Nothing when the dialog is dismissed.
std::optional<std::string> FileSave(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, std::string existMessage);

// The open dialog until an existing file is chosen. A missing one is reported: Retry shows the
// dialog again, Cancel throws the "Canceled File Open" error (with a `notExistMessage`, the
// question offers Yes to take the name anyway and No for nothing). Nothing when dismissed.
std::optional<std::string> FileOpen(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, const std::string& notExistMessage);

}  // namespace velkor
