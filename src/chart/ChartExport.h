#pragma once
// Saving what the chart shows to a file a person chooses: the data as CSV, the chart as an image
// or as the printed page. The file is replaced only by a whole new one, so a refused name, a full
// disk or a folder in the way leave any existing file as it was, and a message says why.

#include <functional>
#include <string>

namespace velkor {

class Prompts;

constexpr const char* ExportDataTitle = "Export Data";
constexpr const char* SaveImageTitle = "Save Image";
constexpr const char* SavePageTitle = "Save Page as PDF";
constexpr const char* ImageFilter = "PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg";
constexpr const char* PdfFilter = "PDF document (*.pdf)|*.pdf";

// Asks for a file name (an existing one is asked about first), makes the content for it and
// writes it safely. A failure, in making the content or in writing, is shown under `title` with
// its reason. `noun` names the kind of file in that message ("data file"). Returns whether the
// file was written. A name that leads to `logFile`, the log file the export was made from, is
// refused with a message: the export would destroy its own source.
bool exportToFile(Prompts& prompts, const std::string& title, const std::string& filter,
                  const std::string& noun, const std::string& logFile,
                  const std::function<std::string(const std::string& path)>& content);

// How an image is saved, from the file name's ending: ".svg" in any letter case is a drawing,
// anything else a PNG picture.
enum class ImageFormat { Png, Svg };
ImageFormat imageFormatFor(const std::string& path);

}  // namespace velkor
