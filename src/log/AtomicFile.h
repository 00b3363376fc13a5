#pragma once
// Replacing a file so that it is either the old file or the whole new one, never a mixture: the
// new text goes to a temporary file in the same folder, is flushed to the disk and then renamed
// over the target.

#include <functional>
#include <string>

#include "base/AppError.h"

namespace velkor {

// A failed save: the whole description for the error prompt, and the reason alone ("the folder
// cannot be written (Permission denied)") for a shorter report.
class FileWriteError : public AppError {
public:
    FileWriteError(std::string description, std::string reason)
        : AppError(ErrorNumber::PathFileAccess, "Velkor", std::move(description)),
          m_reason(std::move(reason)) {}
    const std::string& reason() const { return m_reason; }

private:
    std::string m_reason;
};

// Writes `content` to `path`. A symbolic link is followed: its target is replaced, in the
// target's folder, and the link stays. An existing file keeps its permission bits and, where the
// process may, its group. Throws AppError with a description a person can act on when the path
// is a folder, a device, a write-protected file or another user's file (nothing is written then),
// the folder cannot be written, the disk is full, the rename fails or a signal asks the program to
// stop (a FileWriteError); the target is then untouched and no temporary file is left. `progress`
// hears of each chunk written (for tests that stop the writer part-way); `noun` names the kind of
// file in the description ("The log file ... could not be saved"). Throws the FileWriteError a
// write of `path` would meet before anything is written: the path is not one writeFileAtomically
// replaces, or its folder is missing or cannot be written. For a command to check its output before
// it spends time on the controller.
void checkFileCanBeWritten(const std::string& path, const std::string& noun = "log file");

void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress = {},
                         const std::string& noun = "log file");

}  // namespace velkor
