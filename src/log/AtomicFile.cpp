#include "log/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/Latin1.h"

#ifdef _WIN32
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velkor {

namespace {

constexpr std::size_t ChunkSize = 16 * 1024;

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

#ifndef _WIN32

namespace {

namespace fs = std::filesystem;

FileWriteError notAFileError(const std::string& path, const std::string& what,
                             const std::string& noun) {
    return FileWriteError("The " + noun + " " + shownName(path) + " could not be saved: " + what +
                              ". Nothing was written.",
                          what);
}

// The file a path names once symbolic links are followed: the new file takes the target's place
// in the target's folder, and the link stays a link. A target that does not exist yet is fine.
fs::path followLinks(const std::string& path, const std::string& noun) {
    constexpr int HopLimit = 40;  // as the kernel's own limit on nested links
    fs::path current(path);
    for (int hop = 0; hop < HopLimit; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error))) {
            return current;
        }
        const fs::path target = fs::read_symlink(current, error);
        if (error) {
            throw writeError(path, "the link cannot be followed", error.value(), noun);
        }
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    throw writeError(path, "the link cannot be followed", ELOOP, noun);
}

}  // namespace

void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress,
                         const std::string& noun) {
    const fs::path target = followLinks(path, noun);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        throw writeError(path, "the file cannot be reached", errno, noun);
    }
    // Only an ordinary file is replaced; a folder or a device is left alone, and nothing is
    // written beside it.
    if (exists && S_ISDIR(existing.st_mode)) {
        throw notAFileError(path, "it is a folder, not a file", noun);
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        throw notAFileError(path, "it is a device or another special file, not an ordinary file",
                            noun);
    }

    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        throw writeError(path, "the folder cannot be written", errno, noun);
    }
    const auto fail = [&](const std::string& what) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        throw writeError(path, what, error, noun);
    };
    std::size_t written = 0;
    while (written < content.size()) {
        const std::size_t chunk = std::min(ChunkSize, content.size() - written);
        const ssize_t n = ::write(fd, content.data() + written, chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("writing failed");
        }
        written += static_cast<std::size_t>(n);
        if (progress) {
            progress(written);
        }
    }
    if (exists) {
        // The replaced file keeps its group where the process may give it (a person who is not
        // in that group may not) and then its permission bits; the group change comes first, as
        // it can clear the set-group-ID bit.
        if (::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0 && errno != EPERM) {
            fail("the file's group could not be kept");
        }
        ::fchmod(fd, existing.st_mode & 07777);
    } else {
        // A new file gets the permissions an ordinary new file would have, not mkstemp's 0600.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::fsync(fd) != 0) {
        fail("the disk did not take the data");
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw writeError(path, "closing failed", error, noun);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw writeError(path, "the file could not be replaced", error, noun);
    }
}

#else

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
