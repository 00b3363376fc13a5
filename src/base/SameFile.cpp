#include "base/SameFile.h"

#include <filesystem>
#include <system_error>

namespace velkor {

bool isSameFile(const std::string& first, const std::string& second) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(first, second, error);
    return same && !error;
}

}  // namespace velkor
