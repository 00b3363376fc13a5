#pragma once
// A compiled HTML help file (.chm), read through libchm: its stored files, its system record,
// its table of contents and its keyword index.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "about/HelpContents.h"

struct chmFile;

namespace velkor {

class HelpFile {
public:
    // Opens a help file; nothing when it is missing or not a compiled help file.
    static std::unique_ptr<HelpFile> open(const std::string& path);
    ~HelpFile();
    HelpFile(const HelpFile&) = delete;
    HelpFile& operator=(const HelpFile&) = delete;

    // The stored file at `path` ("/chart.html", in any letter case); nothing when there is none.
    std::optional<std::string> read(const std::string& path) const;
    // The paths of the stored files (pages, pictures, the contents and the index), without the
    // help file's own bookkeeping entries.
    std::vector<std::string> files() const;

    const HelpSystem& system() const { return m_system; }
    // The table of contents: the contents file the system record names or, failing that, the
    // first stored .hhc file. Empty when there is none.
    std::vector<HelpTopic> contents() const;
    // The keyword index, found the same way (.hhk).
    std::vector<HelpTopic> index() const;
    // The page shown first: the system record's, else the first page of the contents.
    std::string firstPage() const;

private:
    explicit HelpFile(chmFile* handle);
    std::vector<HelpTopic> sitemap(const std::string& named, const std::string& extension) const;

    chmFile* m_handle;
    HelpSystem m_system;
};

}  // namespace velkor
