#pragma once
// File > Recent Files: the last logs opened, saved or downloaded (a download as its archive
// copy), most recent first, kept in the settings store.

#include <string>
#include <vector>

namespace velkor {

class SettingsStore;

constexpr int RecentFileCount = 10;
// The submenu's one greyed item while the list is empty.
constexpr const char* NoRecentFiles = "(none)";

// The store's key for the `place`th recent file (1 is the most recent).
std::string recentFileKey(int place);

// The stored list, most recent first: no empty entries, no repeats, at most RecentFileCount.
std::vector<std::string> recentFiles(const SettingsStore& store);

// Puts `path` first in the list (once), the oldest dropping off the end.
void rememberRecentFile(SettingsStore& store, const std::string& path);

struct RecentFileItem {
    std::string caption;  // "&1 /logs/run.log" ... "1&0 ...", an '&' in the path doubled
    std::string path;
    bool present;  // the file is still there; a missing one is shown greyed
};

// The submenu's items, in the list's order.
std::vector<RecentFileItem> recentFileItems(const SettingsStore& store);

}  // namespace velkor
