#pragma once
// Where the file dialogs open and what they suggest: each kind of file has its own folder, the
// one last used for it, kept in the settings store; a save dialog offers a name with the kind's
// ending; the open dialogs offer the downloads archive as a shortcut.

#include <string>

#include "base/Prompts.h"

namespace velkor {

class SettingsStore;

enum class FileKind { Log, ExportData, Picture, Pdf };

// The store and the archive folder the dialogs draw on, one of each for the run.
struct FilePlaces {
    SettingsStore& store;
    std::string archiveFolder;  // empty: no downloads are kept
};

// One dialog's place: its kind of file and the name a save dialog suggests. Without `places`
// the dialog opens where the toolkit chooses and nothing is remembered.
struct FilePlace {
    const FilePlaces* places = nullptr;
    FileKind kind = FileKind::Log;
    std::string suggestedName;
};

// The store's key for the folder of `kind`.
std::string folderKey(FileKind kind);

// The folder last used for `kind`; the home folder when none is stored or the stored one is no
// longer a folder.
std::string lastFolder(const SettingsStore& store, FileKind kind);

// Keeps the folder of `chosenFile` as the one for `kind`.
void rememberFolder(SettingsStore& store, FileKind kind, const std::string& chosenFile);

// The request for a dialog at `place`: the kind's folder, the suggested name, and the archive
// folder as a shortcut.
FileDialogRequest placedRequest(const std::string& title, const std::string& filter,
                                const FilePlace& place);

// The ending of the first pattern of `filter` (".log" for "Logs (*.log)|*.log"); empty for a
// pattern that names no single ending, such as "*.*".
std::string filterEnding(const std::string& filter);

// `path` with the filter's ending added when its file name has no ending of its own.
std::string withFilterEnding(const std::string& path, const std::string& filter);

// The file name of `path` without its folder or its last ending: "/logs/run.log" is "run".
std::string baseName(const std::string& path);

// The file name of `path` without its folder.
std::string fileNameOf(const std::string& path);

}  // namespace velkor
