#include "log/RecentFiles.h"

#include <algorithm>
#include <filesystem>

#include "base/SettingsStore.h"

namespace velkor {

namespace {

void storeList(SettingsStore& store, const std::vector<std::string>& files) {
    for (int place = 1; place <= RecentFileCount; ++place) {
        const std::size_t index = std::size_t(place - 1);
        store.write(recentFileKey(place), index < files.size() ? files[index] : "");
    }
}

// The access key is the item's number: &1 to &9, then 1&0.
std::string numbered(int place) {
    const std::string number = std::to_string(place);
    return number.substr(0, number.size() - 1) + "&" + number.back();
}

std::string menuText(const std::string& path) {
    std::string text;
    for (const char c : path) {
        text += c;
        if (c == '&') {
            text += '&';
        }
    }
    return text;
}

}  // namespace

std::string recentFileKey(int place) {
    return "RecentFile" + std::to_string(place);
}

std::vector<std::string> recentFiles(const SettingsStore& store) {
    std::vector<std::string> files;
    for (int place = 1; place <= RecentFileCount; ++place) {
        const auto path = store.read(recentFileKey(place));
        if (path && !path->empty() && std::find(files.begin(), files.end(), *path) == files.end()) {
            files.push_back(*path);
        }
    }
    return files;
}

void rememberRecentFile(SettingsStore& store, const std::string& path) {
    if (path.empty()) {
        return;
    }
    std::vector<std::string> files = recentFiles(store);
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > std::size_t(RecentFileCount)) {
        files.resize(RecentFileCount);
    }
    storeList(store, files);
}

std::vector<RecentFileItem> recentFileItems(const SettingsStore& store) {
    std::vector<RecentFileItem> items;
    int place = 0;
    for (const std::string& path : recentFiles(store)) {
        std::error_code error;
        items.push_back({numbered(++place) + " " + menuText(path), path,
                         std::filesystem::is_regular_file(path, error)});
    }
    return items;
}

}  // namespace velkor
