#include "log/Caption.h"

namespace velkor {

namespace {

// A UTF-8 continuation byte belongs to the character begun before it.
bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Where the last `count` characters of a UTF-8 text begin (0 when it has no more than that).
// Counting characters rather than bytes keeps a shortened name from starting in the middle of one.
std::size_t startOfLastCharacters(const std::string& text, std::size_t count) {
    std::size_t start = text.size();
    std::size_t characters = 0;
    while (start > 0 && characters < count) {
        --start;
        if (!isContinuationByte(text[start])) {
            ++characters;
        }
    }
    return characters < count ? 0 : start;
}

}  // namespace

std::string emptyLogCaption(const std::string& baseCaption) {
    return baseCaption + " - Data Buffer Empty";
}

std::string downloadedLogCaption(const std::string& baseCaption) {
    return baseCaption + " - Downloaded Data";
}

std::string fileCaption(const std::string& baseCaption, const std::string& path) {
    const std::size_t folderEnd = path.find_last_of("/\\");
    const std::string name = folderEnd == std::string::npos ? path : path.substr(folderEnd + 1);
    const std::size_t start = startOfLastCharacters(name, CaptionNameLimit);
    if (start == 0) {
        return baseCaption + " - " + name;
    }
    return baseCaption + " - ..." + name.substr(start);
}

}  // namespace velkor
