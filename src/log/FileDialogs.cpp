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

std::optional<std::string> remembered(const FilePlace& place, std::optional<std::string> name) {
    if (name && !name->empty() && place.places != nullptr) {
        rememberFolder(place.places->store, place.kind, *name);
    }
    return name;
}

}  // namespace

std::optional<std::string> FileSave(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, std::string existMessage,
                                    const FilePlace& place) {
    if (filter.empty()) {
        filter = AllFiles;
    }
    if (existMessage.empty()) {
        existMessage = "Replace existing file?";
    }
    for (;;) {
        FileDialogRequest request = placedRequest(fileTitle, filter, place);
        request.shortcuts.clear();  // the archive is offered where logs are opened
        auto name = prompts.saveFileName(request);
        if (!name) {
            return std::nullopt;
        }
        std::error_code error;
        if (!std::filesystem::is_directory(*name, error)) {  // a folder is refused as it is
            *name = withFilterEnding(*name, filter);
        }
        if (!isOrdinaryFile(*name)) {
            return remembered(place, name);
        }
        const Answer answer = prompts.message(
            latin1FromUtf8(*name) + "\r\nThis file already exists.\r\n\r\n" + existMessage,
            "File Save", Icon::Exclamation, Buttons::YesNoCancel);
        if (answer == Answer::Yes) {
            return remembered(place, name);
        }
        if (answer != Answer::No) {
            throw AppError(ErrorNumber::CanceledFileSave, "File Save", "Canceled File Save");
        }
    }
}

std::optional<std::string> FileOpen(Prompts& prompts, const std::string& fileTitle,
                                    std::string filter, const std::string& notExistMessage,
                                    const FilePlace& place) {
    if (filter.empty()) {
        filter = AllFiles;
    }
    for (;;) {
        const auto name = prompts.openFileName(placedRequest(fileTitle, filter, place));
        if (!name) {
            return std::nullopt;
        }
        if (isOrdinaryFile(*name)) {
            return remembered(place, name);
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
