#include "base/Latin1.h"

namespace velkor {

std::string latin1FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        std::size_t length = 1;
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        bool wellFormed = lead >= 0xC0 && i + length <= utf8.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            wellFormed = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        }
        if (!wellFormed) {
            out += '?';
            ++i;
            continue;
        }
        if (length == 2 && lead <= 0xC3) {
            out += static_cast<char>(((lead & 0x1F) << 6) |
                                     (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
        } else {
            out += '?';
        }
        i += length;
    }
    return out;
}

std::string utf8FromLatin1(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() * 2);
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

std::string printableText(std::string_view latin1, bool keepLineBreaks) {
    std::string out;
    out.reserve(latin1.size());
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const auto byte = static_cast<unsigned char>(latin1[i]);
        const bool lineBreak =
            byte == '\n' || (byte == '\r' && i + 1 < latin1.size() && latin1[i + 1] == '\n');
        if (keepLineBreaks && lineBreak) {
            i += byte == '\r' ? 1 : 0;
            out += '\n';
        } else if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
            out += '?';
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

}  // namespace velkor
