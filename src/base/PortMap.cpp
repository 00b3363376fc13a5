#include "base/PortMap.h"

#include <filesystem>
#include <system_error>

namespace velkor {

namespace fs = std::filesystem;

namespace {

std::string linkPath(int number, const std::string& linkDir) {
    return (fs::path(linkDir) / ("com" + std::to_string(number))).string();
}

bool linkExists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

}  // namespace

std::string portName(int number) {
    return "Com" + std::to_string(number);
}

std::string portDevice(int number, const std::string& linkDir) {
    if (!linkDir.empty()) {
        const std::string link = linkPath(number, linkDir);
        if (linkExists(link)) {
            return link;
        }
    }
    if (number >= 33 && number <= 64) {
        return "/dev/ttyUSB" + std::to_string(number - 33);
    }
    if (number >= 65 && number <= 96) {
        return "/dev/ttyACM" + std::to_string(number - 65);
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

std::vector<PortEntry> portEntries(const std::string& linkDir) {
    std::vector<PortEntry> entries;
    entries.reserve(PortCount);
    for (int number = 1; number <= PortCount; ++number) {
        PortEntry entry;
        entry.number = number;
        entry.name = portName(number);
        entry.device = portDevice(number, linkDir);
        entry.linked = !linkDir.empty() && entry.device == linkPath(number, linkDir);
        std::error_code linkError;
        entry.shown =
            entry.linked ? fs::weakly_canonical(entry.device, linkError).string() : entry.device;
        if (entry.shown.empty()) {
            entry.shown = entry.device;
        }
        std::error_code error;
        entry.present = fs::exists(entry.device, error);
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace velkor
