#include "log/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/Latin1.h"

#ifdef _WIN32
#include <cstdio>
#else
#include <sys/stat.h>
#include <unistd.h>

#include "log/TemporaryFile.h"
#endif

namespace velkor {

#ifndef _WIN32

namespace fs = std::filesystem;

void checkFileCanBeWritten(const std::string& path, const std::string& noun) {
    const fs::path target = file::followLinks(path, noun);
    struct stat existing {};
    if (file::statTarget(target, existing, path, noun)) {
        file::refuseUnreplaceable(existing, path, noun);
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    struct stat place {};
    if (::stat(folder.c_str(), &place) != 0 || !S_ISDIR(place.st_mode)) {
        throw file::refusedError(
            path, "the folder " + latin1FromUtf8(folder.string()) + " does not exist", noun);
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        throw file::refusedError(
            path, std::string("the folder cannot be written (") + std::strerror(errno) + ")", noun);
    }
}

void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress,
                         const std::string& noun) {
    // Only an ordinary file of the person's own that they may write is replaced; anything else is
    // left alone, and nothing is written beside it.
    file::Replacement replacement = file::beginReplacement(path, noun);
    replacement.file->write(content, progress);
    replacement.file->sync();
    replacement.file->replace(replacement.target);
}

#else

namespace {

// The name as the person chose it, shown in the message box in the core's Latin-1.
std::string shownName(const std::string& path) {
    return latin1FromUtf8(path);
}

FileWriteError writeError(const std::string& path, const std::string& what, int error,
                          const std::string& noun = "log file") {
    const std::string reason = what + " (" + std::strerror(error) + ")";
    return FileWriteError("The " + noun + " " + shownName(path) + " could not be saved: " + reason +
                              ". The file as it was before is unchanged.",
                          reason);
}

}  // namespace

void checkFileCanBeWritten(const std::string&, const std::string&) {}

void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress,
                         const std::string& noun) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        throw writeError(path, "the folder cannot be written", errno, noun);
    }
    const bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                    std::fflush(file) == 0;
    std::fclose(file);
    if (progress) {
        progress(content.size());
    }
    std::error_code error;
    if (!ok) {
        std::filesystem::remove(temporary, error);
        throw writeError(path, "writing failed", errno, noun);
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw writeError(path, "the file could not be replaced", error.value(), noun);
    }
}

#endif

}  // namespace velkor
