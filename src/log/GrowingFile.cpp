#include "log/GrowingFile.h"

#include "log/AtomicFile.h"
#include "log/TemporaryFile.h"

namespace velkor {

GrowingFile::GrowingFile(std::string path, std::string noun)
    : m_path(std::move(path)), m_noun(std::move(noun)) {
    checkFileCanBeWritten(m_path, m_noun);
}

GrowingFile::~GrowingFile() = default;

void GrowingFile::append(const std::string& text) {
    if (m_file) {
        m_file->write(text);
        return;
    }
    // The first part: the file at the name is replaced only now, whole, as a save replaces it.
    file::Replacement replacement = file::beginReplacement(m_path, m_noun);
    replacement.file->write(text);
    // Not flushed to the disk first, unlike a save: the next line is due within a refresh, and a
    // wait on the disk here would hold it back.
    replacement.file->replace(replacement.target, true);
    m_file = std::move(replacement.file);
}

}  // namespace velkor
