#include "base/Latin1.h"

namespace velkor {

namespace {

// The length of the well-formed UTF-8 sequence at `i` and its code point, or 0 when the byte
// there starts none.
std::size_t utf8Sequence(std::string_view text, std::size_t i, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        least = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        least = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        least = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if ((byte & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < least || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

bool isC1(char32_t codePoint) {
    return codePoint >= 0x80 && codePoint < 0xA0;
}

}  // namespace

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

std::string printableUtf8(std::string_view utf8, bool keepLineBreaks) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t codePoint = 0;
        const std::size_t length = utf8Sequence(utf8, i, codePoint);
        const bool lineBreak =
            codePoint == '\n' || (codePoint == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n');
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        if (keepLineBreaks && lineBreak) {
            out += '\n';
        } else if (codePoint < 0x20 || codePoint == 0x7F || isC1(codePoint)) {
            out += '?';
        } else {
            out.append(utf8.substr(i, length));
        }
        i += keepLineBreaks && lineBreak && codePoint == '\r' ? 2 : length;
    }
    return out;
}

std::string wellFormedUtf8(std::string_view utf8) {
    constexpr const char* Replacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t codePoint = 0;
        const std::size_t length = utf8Sequence(utf8, i, codePoint);
        if (length == 0 || isC1(codePoint)) {
            out += Replacement;
            i += length == 0 ? 1 : length;
            continue;
        }
        out.append(utf8.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace velkor
