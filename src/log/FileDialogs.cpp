#include "log/FileDialogs.h"

#include <filesystem>

#include "base/AppError.h"
#include "base/Latin1.h"
#include "base/Prompts.h"

namespace velkor {

namespace {

constexpr const char* AllFiles = "All Files (*.*)|*.*";

bool isOrdinaryFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::optional<std::string> FileSave(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, std::string existMessage) {
    if (filter.empty()) {
        filter = AllFiles;
    }
    if (existMessage.empty()) {
        existMessage = "Replace existing file?";
    }
    for (;;) {
        const auto name = prompts.saveFileName({fileTitle, filter, 1});
        if (!name) {
            return std::nullopt;
        }
        if (!isOrdinaryFile(*name)) {
            return name;
        }
        const Answer answer = prompts.message(
            latin1FromUtf8(*name) + "\r\nThis file already exists.\r\n\r\n" + existMessage,
            "File Save", Icon::Exclamation, Buttons::YesNoCancel);
        if (answer == Answer::Yes) {
            return name;
        }
        if (answer != Answer::No) {
            throw AppError(ErrorNumber::CanceledFileSave, "File Save", "Canceled File Save");
        }
    }
}

std::optional<std::string> FileOpen(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, const std::string& notExistMessage) {
    if (filter.empty()) {
        filter = AllFiles;
    }
    for (;;) {
        const auto name = prompts.openFileName({fileTitle, filter, 1});
        if (!name) {
            return std::nullopt;
        }
        if (isOrdinaryFile(*name)) {
            return name;
        }
        std::string text = latin1FromUtf8(*name) + "\r\nFile not found.";
        if (!notExistMessage.empty()) {
            text += "\r\n\r\n" + notExistMessage;
        }
        const Answer answer =
            prompts.message(text, "File Open", Icon::Exclamation,
                            notExistMessage.empty() ? Buttons::RetryCancel : Buttons::YesNoCancel);
        if (answer == Answer::Retry) {
            continue;
        }
        if (answer == Answer::Yes) {
            return name;
        }
        if (answer == Answer::No) {
            return std::string();
        }
        throw AppError(ErrorNumber::CanceledFileOpen, "File Open", "Canceled File Open");
    }
}

}  // namespace velkor
