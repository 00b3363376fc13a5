#pragma once
// What every writer of a file shares: the rules for a name a file may be written at, and a
// temporary file beside the target that takes the target's place only once it is whole and is
// removed in every other case (an error, a stop asked for by a signal, an exception).

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "log/AtomicFile.h"

namespace velkor::file {

// The whole description for a failed write of `path` ("The log file X could not be saved: ..."),
// ending with what happened to the file as it was.
FileWriteError writeError(const std::string& path, const std::string& what, int error,
                          const std::string& noun);
FileWriteError refusedError(const std::string& path, const std::string& what,
                            const std::string& noun);

// The file a path names once symbolic links are followed: the new file takes the target's place
// in the target's folder, and the link stays a link. A target that does not exist yet is fine.
std::filesystem::path followLinks(const std::string& path, const std::string& noun);

// Whether a file is at `target`; throws when it cannot be told.
bool statTarget(const std::filesystem::path& target, struct stat& existing, const std::string& path,
                const std::string& noun);

// Throws when the file found at a target may not be replaced: a folder, a device, a file the
// person made read-only or one that belongs to another user. The rule reads the file's own mode
// bits and owner, not what the process could force (a root process may write any file).
void refuseUnreplaceable(const struct stat& existing, const std::string& path,
                         const std::string& noun);

// The permission bits an ordinary new file gets: 0666 less the process's umask.
mode_t newFileMode();

// Throws (and so removes the temporary file) once a signal has asked the program to stop.
void throwIfStopped(const std::string& path, const std::string& noun);

class TemporaryFile {
public:
    // A new, empty, hidden file in `folder`, named after `name` (".name.XXXXXX"), mode 0600.
    TemporaryFile(const std::filesystem::path& folder, const std::string& name, std::string path,
                  std::string noun);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Writes all of `content` in chunks, giving up between chunks when a signal asks the program
    // to stop; `progress` hears the bytes written so far.
    void write(const std::string& content,
               const std::function<void(std::size_t written)>& progress = {});
    // Gives the file the permission bits `mode` and, when `group` is given, that group where the
    // process may.
    void setMode(mode_t mode, const gid_t* group = nullptr);
    // Flushes the data to the disk.
    void sync();
    // Closes the file (for good, when `keepOpen` is false) and renames it over `target`. With
    // `keepOpen` the open file stays this object's, and `fd()` can append to it.
    void replace(const std::filesystem::path& target, bool keepOpen = false);
    // Closes the file and gives it the name `target` only when no file takes that name; false
    // when one does (the temporary file stays, to be placed under another name).
    bool placeNew(const std::filesystem::path& target);

    int fd() const { return m_fd; }

private:
    [[noreturn]] void fail(const std::string& what, int error);
    void close();

    std::string m_temporary;
    std::string m_path;  // the name the person chose, for messages
    std::string m_noun;
    int m_fd = -1;
    bool m_placed = false;
};

// The start of a replacement of the file `path` names (links followed, and refused as
// refuseUnreplaceable says): a temporary file in the target's folder that already has the
// permission bits, and where the process may the group, of the file it will replace, or those of
// an ordinary new file.
struct Replacement {
    std::filesystem::path target;
    std::unique_ptr<TemporaryFile> file;
};
Replacement beginReplacement(const std::string& path, const std::string& noun);

}  // namespace velkor::file
