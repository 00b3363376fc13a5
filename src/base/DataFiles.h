#pragma once
// Where the program finds its data files (branding, chart template, help): the executable's own
// folder first, then the installed data folder ../share/velkor beside it.

#include <optional>
#include <string>
#include <vector>

namespace velkor {

// The folders searched, in order, for an executable in `executableDir`.
std::vector<std::string> dataFolders(const std::string& executableDir);

// The first existing regular file called `name` in `folders`, as a full path.
std::optional<std::string> findDataFile(const std::vector<std::string>& folders,
                                        const std::string& name);

}  // namespace velkor
