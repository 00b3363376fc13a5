#include "log/TemporaryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/Latin1.h"
#include "base/StopSignals.h"

namespace velkor::file {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t ChunkSize = 16 * 1024;

// The name as the person chose it, shown in the message box in the core's Latin-1.
std::string shownName(const std::string& path) {
    return latin1FromUtf8(path);
}

}  // namespace

FileWriteError writeError(const std::string& path, const std::string& what, int error,
                          const std::string& noun) {
    const std::string reason = what + " (" + std::strerror(error) + ")";
    return FileWriteError("The " + noun + " " + shownName(path) + " could not be saved: " + reason +
                              ". The file as it was before is unchanged.",
                          reason);
}

FileWriteError refusedError(const std::string& path, const std::string& what,
                            const std::string& noun) {
    return FileWriteError("The " + noun + " " + shownName(path) + " could not be saved: " + what +
                              ". Nothing was written.",
                          what);
}

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

bool statTarget(const fs::path& target, struct stat& existing, const std::string& path,
                const std::string& noun) {
    if (::stat(target.c_str(), &existing) == 0) {
        return true;
    }
    if (errno != ENOENT) {
        throw writeError(path, "the file cannot be reached", errno, noun);
    }
    return false;
}

void refuseUnreplaceable(const struct stat& existing, const std::string& path,
                         const std::string& noun) {
    if (S_ISDIR(existing.st_mode)) {
        throw refusedError(path, "it is a folder, not a file", noun);
    }
    if (!S_ISREG(existing.st_mode)) {
        throw refusedError(path, "it is a device or another special file, not an ordinary file",
                           noun);
    }
    // A rename would replace these whatever their mode says; an editor's safe save refuses too.
    if (existing.st_uid != ::geteuid()) {
        throw refusedError(path, "it belongs to another user", noun);
    }
    if ((existing.st_mode & S_IWUSR) == 0) {
        throw refusedError(path, "it is write-protected (read-only)", noun);
    }
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void throwIfStopped(const std::string& path, const std::string& noun) {
    if (const int signal = stopSignal()) {
        throw FileWriteError("The " + noun + " " + shownName(path) +
                                 " was not saved: the program was asked to stop (signal " +
                                 std::to_string(signal) +
                                 "). The file as it was before is unchanged.",
                             "the program was asked to stop");
    }
}

TemporaryFile::TemporaryFile(const fs::path& folder, const std::string& name, std::string path,
                             std::string noun)
    : m_temporary((folder / ("." + name + ".XXXXXX")).string()),
      m_path(std::move(path)),
      m_noun(std::move(noun)) {
    m_fd = ::mkstemp(m_temporary.data());
    if (m_fd < 0) {
        m_placed = true;  // nothing was made, so nothing is to be removed
        throw writeError(m_path, "the folder cannot be written", errno, m_noun);
    }
}

TemporaryFile::~TemporaryFile() {
    close();
    if (!m_placed) {
        ::unlink(m_temporary.c_str());
    }
}

void TemporaryFile::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

void TemporaryFile::fail(const std::string& what, int error) {
    throw writeError(m_path, what, error, m_noun);
}

void TemporaryFile::write(const std::string& content,
                          const std::function<void(std::size_t written)>& progress) {
    std::size_t written = 0;
    while (written < content.size()) {
        throwIfStopped(m_path, m_noun);
        const std::size_t chunk = std::min(ChunkSize, content.size() - written);
        const ssize_t n = ::write(m_fd, content.data() + written, chunk);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("writing failed", errno);
        }
        written += static_cast<std::size_t>(n);
        if (progress) {
            progress(written);
        }
    }
}

void TemporaryFile::setMode(mode_t mode, const gid_t* group) {
    // The group change comes first, as it can clear the set-group-ID bit. A person who is not in
    // the group may not give it; the file then keeps the person's own.
    if (group != nullptr && ::fchown(m_fd, static_cast<uid_t>(-1), *group) != 0 && errno != EPERM) {
        fail("the file's group could not be kept", errno);
    }
    ::fchmod(m_fd, mode);
}

void TemporaryFile::sync() {
    if (::fsync(m_fd) != 0) {
        fail("the disk did not take the data", errno);
    }
}

void TemporaryFile::replace(const fs::path& target, bool keepOpen) {
    if (!keepOpen) {
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0) {
            fail("closing failed", errno);
        }
    }
    throwIfStopped(m_path, m_noun);
    if (::rename(m_temporary.c_str(), target.c_str()) != 0) {
        fail("the file could not be replaced", errno);
    }
    m_placed = true;
}

bool TemporaryFile::placeNew(const fs::path& target) {
    if (m_fd >= 0) {
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0) {
            fail("closing failed", errno);
        }
    }
    throwIfStopped(m_path, m_noun);
    // The rename refuses to replace a file that took the name since it was looked at; where the
    // file system cannot rename so, a hard link refuses the same way.
    if (::renameat2(AT_FDCWD, m_temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) ==
        0) {
        m_placed = true;
        return true;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        if (::link(m_temporary.c_str(), target.c_str()) == 0) {
            ::unlink(m_temporary.c_str());
            m_placed = true;
            return true;
        }
    }
    if (errno == EEXIST) {
        return false;
    }
    fail("the file could not be made", errno);
}

Replacement beginReplacement(const std::string& path, const std::string& noun) {
    Replacement replacement;
    replacement.target = followLinks(path, noun);
    const fs::path& target = replacement.target;
    struct stat existing {};
    const bool exists = statTarget(target, existing, path, noun);
    if (exists) {
        refuseUnreplaceable(existing, path, noun);
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    replacement.file =
        std::make_unique<TemporaryFile>(folder, target.filename().string(), path, noun);
    if (exists) {
        replacement.file->setMode(existing.st_mode & 07777, &existing.st_gid);
    } else {
        // A new file gets the permissions an ordinary new file would have, not mkstemp's 0600.
        replacement.file->setMode(newFileMode());
    }
    return replacement;
}

}  // namespace velkor::file
