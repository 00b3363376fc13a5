#include "chart/ChartExport.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "base/AppError.h"
#include "base/DataLog.h"
#include "base/Latin1.h"
#include "base/Prompts.h"
#include "base/SameFile.h"
#include "log/AtomicFile.h"
#include "log/FileDialogs.h"

namespace velkor {

namespace {

// Says so and returns true when `path` leads to the log file the export was made from.
bool refusesLogFile(Prompts& prompts, const std::string& title, const std::string& noun,
                    const std::string& path, const std::string& logFile) {
    if (logFile.empty() || !isSameFile(path, logFile)) {
        return false;
    }
    prompts.message(latin1FromUtf8(path) + "\r\nis the log file shown here: writing the " + noun +
                        " there would destroy the log. Choose another name.",
                    title, Icon::Exclamation, Buttons::Ok);
    return true;
}

bool isOrdinaryFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

bool exportToFile(Prompts& prompts, const std::string& title, const std::string& filter,
                  const std::string& noun, const std::string& logFile,
                  const std::function<std::string(const std::string& path)>& content,
                  const FilePlace& place) {
    std::optional<std::string> path;
    try {
        path = FileSave(prompts, title, filter, "", place);
    } catch (const AppError&) {
        return false;  // the person declined to replace the file
    }
    if (!path || path->empty() || refusesLogFile(prompts, title, noun, *path, logFile)) {
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

std::string exportName(const DataLog& log, const std::string& filter) {
    const std::string& source = log.FilePath.empty() ? log.ArchivePath : log.FilePath;
    const std::string base = baseName(source);
    return base.empty() ? base : base + filterEnding(filter);
}

std::string besideName(const std::string& path, const std::string& suffix) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const bool extension =
        dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    return extension ? path.substr(0, dot) + suffix + path.substr(dot) : path + suffix;
}

std::vector<std::string> exportToFiles(Prompts& prompts, const std::string& title,
                                       const std::string& filter, const std::string& existMessage,
                                       const std::string& noun, const std::string& logFile,
                                       const std::vector<ExportPart>& parts,
                                       const FilePlace& place) {
    std::optional<std::string> chosen;
    try {
        chosen = FileSave(prompts, title, filter, existMessage, place);
    } catch (const AppError&) {
        return {};
    }
    if (!chosen || chosen->empty() || parts.empty()) {
        return {};
    }
    const bool chosenExisted = isOrdinaryFile(*chosen);
    std::vector<std::string> paths;
    for (const ExportPart& part : parts) {
        const std::string path = part.suffix.empty() ? *chosen : besideName(*chosen, part.suffix);
        if (refusesLogFile(prompts, title, noun, path, logFile)) {
            return {};
        }
        if (path != *chosen && !chosenExisted && isOrdinaryFile(path) &&
            prompts.message(latin1FromUtf8(path) + "\r\nThis file already exists.\r\n\r\n" +
                                "Replace existing file?",
                            "File Save", Icon::Exclamation, Buttons::YesNo) != Answer::Yes) {
            return {};
        }
        paths.push_back(path);
    }
    std::vector<std::string> written;
    try {
        for (std::size_t i = 0; i < parts.size(); ++i) {
            writeFileAtomically(paths[i], parts[i].content(), {}, noun);
            written.push_back(paths[i]);
        }
    } catch (const AppError& error) {
        std::string text = error.description();
        for (const std::string& path : written) {
            text += "\r\n" + latin1FromUtf8(path) + " was written.";
        }
        prompts.message(text, title, Icon::Exclamation, Buttons::Ok);
    }
    return written;
}

ImageFormat imageFormatFor(const std::string& path) {
    std::string ending = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ending == ".svg" ? ImageFormat::Svg : ImageFormat::Png;
}

}  // namespace velkor
