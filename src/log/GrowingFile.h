#pragma once
// A record that grows part by part while it is made (the live view's lines): the file at the
// chosen name stays as it was until the first part is whole, which then takes its place at once;
// later parts are added to its end. A start that fails before the first part leaves the old
// record untouched.

#include <memory>
#include <string>

namespace velkor {

namespace file {
class TemporaryFile;
}

class GrowingFile {
public:
    // Checks at once that `path` can be written as writeFileAtomically would write it, and throws
    // its FileWriteError when not; nothing is written yet.
    GrowingFile(std::string path, std::string noun);
    ~GrowingFile();
    GrowingFile(const GrowingFile&) = delete;
    GrowingFile& operator=(const GrowingFile&) = delete;

    // The first call writes `text` to a temporary file that then replaces the file at the path
    // (keeping an existing file's permission bits); later calls add `text` to the end. Throws
    // FileWriteError when the disk does not take it.
    void append(const std::string& text);

private:
    std::string m_path;
    std::string m_noun;
    std::unique_ptr<file::TemporaryFile> m_file;
};

}  // namespace velkor
