#include "base/TextLimits.h"

namespace velkor {

bool cutToLimit(std::string& text, std::size_t limit) {
    if (text.size() <= limit) {
        return false;
    }
    text.resize(limit);
    return true;
}

std::string cutTextName(const std::string& what, std::size_t limit) {
    return what + " (" + std::to_string(limit) + " characters)";
}

std::string cutTextsNote(const std::vector<std::string>& cut) {
    if (cut.empty()) {
        return "";
    }
    std::string list;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        list += i == 0 ? "" : i + 1 == cut.size() ? " and " : ", ";
        list += cut[i];
    }
    return "Texts longer than Velkor keeps were cut to their limit: " + list + ".";
}

}  // namespace velkor
