#include "log/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/AppError.h"

#ifdef _WIN32
#include <cstdio>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velkor {

namespace {

constexpr std::uint32_t PathFileAccessError = 75;
constexpr std::size_t ChunkSize = 16 * 1024;

AppError writeError(const std::string& path, const std::string& what, int error) {
    return AppError(PathFileAccessError, "Velkor",
                    "The log file " + path + " could not be saved: " + what + " (" +
                        std::strerror(error) + "). The file as it was before is unchanged.");
}

}  // namespace

#ifndef _WIN32

void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        throw writeError(path, "the folder cannot be written", errno);
    }
    const auto fail = [&](const std::string& what) {
        const int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        throw writeError(path, what, error);
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
    // A new file gets the permissions an ordinary new file would have, not mkstemp's 0600.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0) {
        fail("the disk did not take the data");
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw writeError(path, "closing failed", error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw writeError(path, "the file could not be replaced", error);
    }
}

#else

void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress) {
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        throw writeError(path, "the folder cannot be written", errno);
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
        throw writeError(path, "writing failed", errno);
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw writeError(path, "the file could not be replaced", error.value());
    }
}

#endif

}  // namespace velkor
