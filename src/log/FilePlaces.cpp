#include "log/FilePlaces.h"

#include <cstdlib>
#include <filesystem>

#include "base/SettingsStore.h"

namespace velkor {

namespace {

bool isFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

// Where the file name starts in `path`.
std::size_t nameStart(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Where the last ending of the file name in `path` starts; npos when it has none (a leading dot
// names a hidden file, not an ending).
std::size_t endingStart(const std::string& path) {
    const std::size_t start = nameStart(path);
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && dot > start ? dot : std::string::npos;
}

}  // namespace

std::string folderKey(FileKind kind) {
    switch (kind) {
        case FileKind::ExportData:
            return "LastExportDataFolder";
        case FileKind::Picture:
            return "LastPictureFolder";
        case FileKind::Pdf:
            return "LastPdfFolder";
        case FileKind::Log:
            break;
    }
    return "LastLogFolder";
}

std::string lastFolder(const SettingsStore& store, FileKind kind) {
    const auto stored = store.read(folderKey(kind));
    return stored && isFolder(*stored) ? *stored : homeFolder();
}

void rememberFolder(SettingsStore& store, FileKind kind, const std::string& chosenFile) {
    const std::string folder = std::filesystem::path(chosenFile).parent_path().string();
    if (isFolder(folder)) {
        store.write(folderKey(kind), folder);
    }
}

FileDialogRequest placedRequest(const std::string& title, const std::string& filter,
                                const FilePlace& place) {
    FileDialogRequest request{title, filter, 1};
    request.fileName = place.suggestedName;
    if (place.places != nullptr) {
        request.folder = lastFolder(place.places->store, place.kind);
        if (!place.places->archiveFolder.empty()) {
            request.shortcuts.push_back(place.places->archiveFolder);
        }
    }
    return request;
}

std::string filterEnding(const std::string& filter) {
    const std::size_t bar = filter.find('|');
    if (bar == std::string::npos) {
        return "";
    }
    std::string pattern = filter.substr(bar + 1);
    pattern = pattern.substr(0, pattern.find_first_of("|;"));
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0 ||
        pattern.find_first_of("*?[", 2) != std::string::npos) {
        return "";
    }
    return pattern.substr(1);
}

std::string withFilterEnding(const std::string& path, const std::string& filter) {
    if (path.empty() || path.back() == '/' || endingStart(path) != std::string::npos) {
        return path;
    }
    return path + filterEnding(filter);
}

std::string baseName(const std::string& path) {
    const std::size_t start = nameStart(path);
    const std::size_t ending = endingStart(path);
    return path.substr(start, ending == std::string::npos ? std::string::npos : ending - start);
}

std::string fileNameOf(const std::string& path) {
    return path.substr(nameStart(path));
}

}  // namespace velkor
