#include "chart/ChartExport.h"

#include <algorithm>
#include <cctype>

#include "base/AppError.h"
#include "base/Latin1.h"
#include "base/Prompts.h"
#include "base/SameFile.h"
#include "log/AtomicFile.h"
#include "log/FileDialogs.h"

namespace velkor {

bool exportToFile(Prompts& prompts, const std::string& title, const std::string& filter,
                  const std::string& noun, const std::string& logFile,
                  const std::function<std::string(const std::string& path)>& content) {
    std::optional<std::string> path;
    try {
        path = FileSave(prompts, title, filter, "");
    } catch (const AppError&) {
        return false;  // the person declined to replace the file
    }
    if (!path || path->empty()) {
        return false;
    }
    if (!logFile.empty() && isSameFile(*path, logFile)) {
        prompts.message(latin1FromUtf8(*path) + "\r\nis the log file shown here: writing the " +
                            noun + " there would destroy the log. Choose another name.",
                        title, Icon::Exclamation, Buttons::Ok);
        return false;
    }
    try {
        writeFileAtomically(*path, content(*path), {}, noun);
    } catch (const AppError& error) {
        prompts.message(error.description(), title, Icon::Exclamation, Buttons::Ok);
        return false;
    }
    return true;
}

ImageFormat imageFormatFor(const std::string& path) {
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ending == ".svg" ? ImageFormat::Svg : ImageFormat::Png;
}

}  // namespace velkor
