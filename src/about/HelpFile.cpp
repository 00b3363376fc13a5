#include "about/HelpFile.h"

#include <chm_lib.h>

#include <algorithm>
#include <cctype>

namespace velkor {

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() && std::equal(ending.rbegin(), ending.rend(), text.rbegin(),
                                                      [](unsigned char a, unsigned char b) {
                                                          return std::tolower(a) == std::tolower(b);
                                                      });
}

int collectFile(chmFile* /*handle*/, chmUnitInfo* unit, void* context) {
    const std::string path = unit->path;
    // Pages and pictures only: not folders, nor the "#..." and "$..." bookkeeping entries.
    if ((unit->flags & CHM_ENUMERATE_FILES) != 0 && (unit->flags & CHM_ENUMERATE_NORMAL) != 0 &&
        path.size() > 1 && path[0] == '/' && path[1] != '#' && path[1] != '$') {
        static_cast<std::vector<std::string>*>(context)->push_back(path);
    }
    return CHM_ENUMERATOR_CONTINUE;
}

const HelpTopic* firstPageTopic(const std::vector<HelpTopic>& topics) {
    for (const HelpTopic& topic : topics) {
        if (!topic.local.empty()) {
            return &topic;
        }
        if (const HelpTopic* child = firstPageTopic(topic.children)) {
            return child;
        }
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<HelpFile> HelpFile::open(const std::string& path) {
    chmFile* handle = chm_open(path.c_str());
    if (handle == nullptr) {
        return nullptr;
    }
    std::unique_ptr<HelpFile> file(new HelpFile(handle));
    if (const auto system = file->read("/#SYSTEM")) {
        file->m_system = parseSystemFile(*system);
    }
    return file;
}

HelpFile::HelpFile(chmFile* handle) : m_handle(handle) {}

HelpFile::~HelpFile() {
    chm_close(m_handle);
}

std::optional<std::string> HelpFile::read(const std::string& path) const {
    chmUnitInfo unit{};
    if (path.size() > CHM_MAX_PATHLEN ||
        chm_resolve_object(m_handle, path.c_str(), &unit) != CHM_RESOLVE_SUCCESS) {
        return std::nullopt;
    }
    std::string bytes(std::size_t(unit.length), '\0');
    if (unit.length == 0) {
        return bytes;
    }
    const LONGINT64 got = chm_retrieve_object(
        m_handle, &unit, reinterpret_cast<unsigned char*>(bytes.data()), 0, LONGINT64(unit.length));
    if (got != LONGINT64(unit.length)) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<std::string> HelpFile::files() const {
    std::vector<std::string> paths;
    chm_enumerate(m_handle, CHM_ENUMERATE_ALL, collectFile, &paths);
    return paths;
}

std::vector<HelpTopic> HelpFile::sitemap(const std::string& named,
                                         const std::string& extension) const {
    std::string path = named.empty() ? std::string() : helpPagePath(named);
    if (path.empty() || !read(path)) {
        path.clear();
        for (const std::string& file : files()) {
            if (endsWithIgnoringCase(file, extension)) {
                path = file;
                break;
            }
        }
    }
    if (path.empty()) {
        return {};
    }
    const auto text = read(path);
    return text ? parseSitemap(*text) : std::vector<HelpTopic>{};
}

std::vector<HelpTopic> HelpFile::contents() const {
    return sitemap(m_system.contentsFile, ".hhc");
}

std::vector<HelpTopic> HelpFile::index() const {
    return sitemap(m_system.indexFile, ".hhk");
}

std::string HelpFile::firstPage() const {
    if (!m_system.defaultTopic.empty()) {
        return m_system.defaultTopic;
    }
    const std::vector<HelpTopic> topics = contents();
    const HelpTopic* first = firstPageTopic(topics);
    return first != nullptr ? first->local : std::string();
}

}  // namespace velkor
