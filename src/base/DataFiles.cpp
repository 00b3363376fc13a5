#include "base/DataFiles.h"

#include <filesystem>
#include <system_error>

namespace velkor {

std::vector<std::string> dataFolders(const std::string& executableDir) {
    return {executableDir, executableDir + "/../share/velkor"};
}

std::optional<std::string> findDataFile(const std::vector<std::string>& folders,
                                        const std::string& name) {
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + name;
        std::error_code error;  // an unreadable folder is simply passed over
        if (std::filesystem::is_regular_file(path, error)) {
            return path;
        }
    }
    return std::nullopt;
}

}  // namespace velkor
