#pragma once
// The main window's caption as the log operations set it.

#include <cstddef>
#include <string>

namespace velkor {

constexpr const char* DesignedCaption = "Shift Light Controller Data Logging Program Version 2.0";
constexpr std::size_t CaptionNameLimit = 60;

std::string emptyLogCaption(const std::string& baseCaption);       // " - Data Buffer Empty"
std::string downloadedLogCaption(const std::string& baseCaption);  // " - Downloaded Data"
// " - " and the file's name without its folder; a name longer than 60 characters is shown as
// " - ..." and its last 60 characters. Both '/' and '\' end a folder. The path is in the
// system's encoding (UTF-8); the caption, like all the core's text, is Latin-1.
std::string fileCaption(const std::string& baseCaption, const std::string& path);

}  // namespace velkor
