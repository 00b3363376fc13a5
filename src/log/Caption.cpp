#include "log/Caption.h"

#include "base/Latin1.h"

namespace velkor {

std::string emptyLogCaption(const std::string& baseCaption) {
    return baseCaption + " - Data Buffer Empty";
}

std::string downloadedLogCaption(const std::string& baseCaption) {
    return baseCaption + " - Downloaded Data";
}

std::string fileCaption(const std::string& baseCaption, const std::string& path) {
    const std::size_t folderEnd = path.find_last_of("/\\");
    const std::string name =
        latin1FromUtf8(folderEnd == std::string::npos ? path : path.substr(folderEnd + 1));
    if (name.size() <= CaptionNameLimit) {
        return baseCaption + " - " + name;
    }
    return baseCaption + " - ..." + name.substr(name.size() - CaptionNameLimit);
}

}  // namespace velkor
