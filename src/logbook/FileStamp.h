#pragma once
// A file's size and modification time, as the logbook tells a changed file from one it has read.

#include <cstdint>
#include <optional>
#include <string>

namespace velkor {

struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // ns since the epoch
    bool regular = false;         // a file, not a folder or a device
};

// Follows symbolic links; nothing when the file cannot be looked at.
std::optional<FileStamp> fileStamp(const std::string& path);

}  // namespace velkor
