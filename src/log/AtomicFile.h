#pragma once
// Replacing a file so that it is either the old file or the whole new one, never a mixture: the
// new text goes to a temporary file in the same folder, is flushed to the disk and then renamed
// over the target.

#include <functional>
#include <string>

namespace velkor {

// Writes `content` to `path`. Throws AppError with a description a person can act on when the
// folder cannot be written, the disk is full or the rename fails; the target is then untouched
// and no temporary file is left. `progress` hears of each chunk written (for tests that stop
// the writer part-way).
void writeFileAtomically(const std::string& path, const std::string& content,
                         const std::function<void(std::size_t written)>& progress = {});

}  // namespace velkor
