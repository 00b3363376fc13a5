#include "log/LogFields.h"

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
    std::size_t kept = 0;
    std::size_t start = 0;
    for (;;) {
        std::string* value = nullptr;
        if (kept < keep) {
            if (into.fields.size() <= kept) {
                into.fields.emplace_back();
            }
            value = &into.fields[kept];
            value->clear();
            ++kept;
        }
        std::size_t end = 0;
        if (start < line.size() && line[start] == '"') {
            end = readQuoted(line, start, value);
        } else {
            end = std::min(line.find(',', start), line.size());
            if (value) {
                value->assign(line.substr(start, end - start));
            }
        }
        ++into.count;
        if (end >= line.size()) {
            break;
        }
        start = end + 1;  // past the comma
    }
    into.fields.resize(kept);
}

}  // namespace velkor
