#pragma once
// Saving what the chart shows to a file a person chooses: the data as CSV, the chart as an image
// or as the printed page. The file is replaced only by a whole new one, so a refused name, a full
// disk or a folder in the way leave any existing file as it was, and a message says why.

#include <functional>
#include <string>
#include <vector>

#include "log/FilePlaces.h"

namespace velkor {

class Prompts;
struct DataLog;

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
// At a `place`, the dialog opens in the folder last used for its kind and suggests its name.
bool exportToFile(Prompts& prompts, const std::string& title, const std::string& filter,
                  const std::string& noun, const std::string& logFile,
                  const std::function<std::string(const std::string& path)>& content,
                  const FilePlace& place = {});

// The name an export of `log` suggests: the log's base name (its file's, or its download's in
// the archive) with the first ending of `filter`; empty for a log with neither.
std::string exportName(const DataLog& log, const std::string& filter);

// A file written beside the chosen one, named from it: "pass.csv" with the suffix "-shifts" is
// "pass-shifts.csv" (the suffix goes before the last extension, or at the end without one).
std::string besideName(const std::string& path, const std::string& suffix);

struct ExportPart {
    std::string suffix;  // empty for the chosen file itself
    std::function<std::string()> content;
};

// exportToFile for a set of files: the first part goes to the name chosen, each other beside it
// (besideName). Every name goes through the same refusal of the log file and is written whole;
// a file beside that already exists is asked about unless the chosen one was (the question
// then said so). `existMessage` is that question. Returns the names written, in order; empty
// when nothing was written. A failure part-way is said, naming the files written before it,
// which are returned.
std::vector<std::string> exportToFiles(Prompts& prompts, const std::string& title,
                                       const std::string& filter, const std::string& existMessage,
                                       const std::string& noun, const std::string& logFile,
                                       const std::vector<ExportPart>& parts,
                                       const FilePlace& place = {});

// How an image is saved, from the file name's ending: ".svg" in any letter case is a drawing,
// anything else a PNG picture.
enum class ImageFormat { Png, Svg };
ImageFormat imageFormatFor(const std::string& path);

}  // namespace velkor
