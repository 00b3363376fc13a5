#include "about/HelpContents.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace velkor {

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

void appendUtf8(std::string& out, unsigned long code) {
    if (code == 0 || code > 0x10FFFF) {
        return;
    }
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

std::string decodeReferences(const std::string& text) {
    static const std::map<std::string, char> named{
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text[i] == '&' ? text.find(';', i) : std::string::npos;
        if (end == std::string::npos || end - i > 10) {
            out += text[i++];
            continue;
        }
        const std::string name = text.substr(i + 1, end - i - 1);
        if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            const std::string digits = name.substr(hex ? 2 : 1);
            char* stop = nullptr;
            const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
            if (!digits.empty() && *stop == '\0') {
                appendUtf8(out, code);
                i = end + 1;
                continue;
            }
        } else if (const auto found = named.find(lowerCase(name)); found != named.end()) {
            out += found->second;
            i = end + 1;
            continue;
        }
        out += text[i++];
    }
    return out;
}

struct Tag {
    std::string name;                               // lower case, with a leading '/' for an end tag
    std::map<std::string, std::string> attributes;  // lower-case names, decoded values
};

// Reads the tag that starts at text[pos] == '<'; moves pos past it.
Tag readTag(const std::string& text, std::size_t& pos) {
    Tag tag;
    std::size_t i = pos + 1;
    auto skipSpace = [&] {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
        }
    };
    auto readName = [&] {
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
               text[i] != '>' && text[i] != '=' && (text[i] != '/' || i == start)) {
            ++i;
        }
        return lowerCase(text.substr(start, i - start));
    };
    skipSpace();
    tag.name = readName();
    for (;;) {
        skipSpace();
        if (i >= text.size() || text[i] == '>') {
            break;
        }
        if (text[i] == '/') {
            ++i;
            continue;
        }
        const std::string attribute = readName();
        if (attribute.empty()) {
            ++i;
            continue;
        }
        skipSpace();
        std::string value;
        if (i < text.size() && text[i] == '=') {
            ++i;
            skipSpace();
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char quote = text[i++];
                const std::size_t close = text.find(quote, i);
                const std::size_t stop = close == std::string::npos ? text.size() : close;
                value = text.substr(i, stop - i);
                i = stop == text.size() ? stop : stop + 1;
            } else {
                const std::size_t start = i;
                while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
                       text[i] != '>') {
                    ++i;
                }
                value = text.substr(start, i - start);
            }
        }
        tag.attributes.emplace(attribute, decodeReferences(value));
    }
    pos = i < text.size() ? i + 1 : i;
    return tag;
}

std::string attribute(const Tag& tag, const std::string& name) {
    const auto found = tag.attributes.find(name);
    return found == tag.attributes.end() ? std::string() : found->second;
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int k = width - 1; k >= 0; --k) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + std::size_t(k)]);
    }
    return value;
}

}  // namespace

std::vector<HelpTopic> parseSitemap(const std::string& text) {
    std::vector<HelpTopic> root;
    std::vector<std::vector<HelpTopic>*> lists;  // the open <UL> levels, innermost last
    bool inEntry = false;
    bool inObject = false;
    HelpTopic entry;
    bool named = false;
    bool located = false;

    std::size_t pos = 0;
    while ((pos = text.find('<', pos)) != std::string::npos) {
        if (text.compare(pos, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", pos + 4);
            pos = end == std::string::npos ? text.size() : end + 3;
            continue;
        }
        const Tag tag = readTag(text, pos);
        if (tag.name == "ul") {
            if (lists.empty()) {
                lists.push_back(&root);
            } else if (!lists.back()->empty()) {
                lists.push_back(&lists.back()->back().children);
            } else {
                lists.push_back(lists.back());
            }
        } else if (tag.name == "/ul") {
            if (!lists.empty()) {
                lists.pop_back();
            }
        } else if (tag.name == "object") {
            inObject = true;
            inEntry = lowerCase(attribute(tag, "type")) == "text/sitemap";
            entry = HelpTopic{};
            named = located = false;
        } else if (tag.name == "param" && inEntry) {
            const std::string name = lowerCase(attribute(tag, "name"));
            if (name == "name" && !named) {
                entry.name = attribute(tag, "value");
                named = true;
            } else if (name == "local" && !located) {
                entry.local = attribute(tag, "value");
                located = true;
            }
        } else if (tag.name == "/object" && inObject) {
            if (inEntry && named) {
                (lists.empty() ? root : *lists.back()).push_back(std::move(entry));
            }
            inObject = inEntry = false;
        }
    }
    return root;
}

HelpSystem parseSystemFile(const std::string& bytes) {
    HelpSystem system;
    std::size_t at = 4;  // past the version
    while (at + 4 <= bytes.size()) {
        const std::uint32_t code = littleEndian(bytes, at, 2);
        const std::size_t length = littleEndian(bytes, at + 2, 2);
        at += 4;
        if (at + length > bytes.size()) {
            break;
        }
        std::string value = bytes.substr(at, length);
        value = value.substr(0, value.find('\0'));
        at += length;
        switch (code) {
            case 0:
                system.contentsFile = value;
                break;
            case 1:
                system.indexFile = value;
                break;
            case 2:
                system.defaultTopic = value;
                break;
            case 3:
                system.title = value;
                break;
            default:
                break;
        }
    }
    return system;
}

std::string helpPagePath(const std::string& local) {
    std::string path = local;
    // A full "ms-its:Velkor_Help.chm::/chart.html" address names a page after its "::".
    if (const std::size_t file = path.find("::"); file != std::string::npos) {
        path = path.substr(file + 2);
    }
    path = path.substr(0, path.find_first_of("#?"));
    if (path.empty() || path[0] != '/') {
        path.insert(path.begin(), '/');
    }
    return path;
}

}  // namespace velkor
