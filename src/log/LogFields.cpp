#include "log/LogFields.h"

#include <cstring>

namespace velkor {

std::string quotedField(std::string_view text) {
    std::string field = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            field += "\"\"";
        } else if (c == '\r' || c == '\n') {
            field += ' ';
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;  // CR LF is one line break
            }
        } else {
            field += c;
        }
    }
    return field + "\"";
}

namespace {

// Reads the quoted field opening at `start` into `value` (when given); returns where the field
// ends: at its closing quote's comma, or at the end of the line.
std::size_t readQuoted(std::string_view line, std::size_t start, std::string* value) {
    std::size_t i = start + 1;
    while (i < line.size()) {
        const char c = line[i];
        if (c != '"') {
            if (value) {
                *value += c;
            }
            ++i;
            continue;
        }
        const bool last = i + 1 == line.size();
        if (last || line[i + 1] == ',') {
            return i + 1;  // the closing quote
        }
        if (value) {
            *value += '"';
        }
        i += line[i + 1] == '"' ? 2 : 1;  // doubled, or raw from an earlier version
    }
    return i;
}

}  // namespace

void splitFields(std::string_view line, std::size_t keep, LineFields& into) {
    into.count = 0;
    into.fields.clear();
    if (into.unquoted.size() < keep) {
        into.unquoted.resize(keep);  // before any view into them is taken
    }
    std::size_t start = 0;
    for (;;) {
        const bool kept = into.fields.size() < keep;
        std::size_t end = 0;
        if (start < line.size() && line[start] == '"') {
            std::string* value = kept ? &into.unquoted[into.fields.size()] : nullptr;
            if (value) {
                value->clear();
            }
            end = readQuoted(line, start, value);
            if (value) {
                into.fields.emplace_back(*value);
            }
        } else {
            const void* comma = start < line.size()
                                    ? std::memchr(line.data() + start, ',', line.size() - start)
                                    : nullptr;
            end = comma ? static_cast<std::size_t>(static_cast<const char*>(comma) - line.data())
                        : line.size();
            if (kept) {
                into.fields.push_back(line.substr(start, end - start));
            }
        }
        ++into.count;
        if (end >= line.size()) {
            return;
        }
        start = end + 1;  // past the comma
    }
}

}  // namespace velkor
