#pragma once
// The save and open dialogs with the program's own questions about existing and missing files.

#include <optional>
#include <string>

#include "log/FilePlaces.h"

namespace velkor {

class Prompts;

// The save dialog until a name is chosen. A name that exists is asked about ("Replace existing
// file?" unless `existMessage` says otherwise): Yes takes it, No shows the dialog again, Cancel
// throws the "Canceled File Save" error. Nothing when the dialog is dismissed.
// A name typed without an ending gets the filter's (withFilterEnding) before it is asked about.
// At a `place`, the dialog opens in the folder last used for its kind and suggests its name; the
// folder of the name taken is remembered.
std::optional<std::string> FileSave(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, std::string existMessage,
                                    const FilePlace& place = {});

// The open dialog until an existing file is chosen. A missing one is reported: Retry shows the
// dialog again, Cancel throws the "Canceled File Open" error (with a `notExistMessage`, the
// question offers Yes to take the name anyway and No for nothing). Nothing when dismissed.
// At a `place`, the dialog opens in the folder last used for its kind, with the downloads archive
// one click away; the folder of the file taken is remembered.
std::optional<std::string> FileOpen(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, const std::string& notExistMessage,
                                    const FilePlace& place = {});

}  // namespace velkor
