#include "about/BrandingFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/DataFiles.h"
#include "base/Latin1.h"
#include "base/Numbers.h"
#include "base/TextLimits.h"

namespace velkor {

namespace {

constexpr const char* ErrorSource = "Velkor";
constexpr double LargestFontSize = 200.0;

bool isCommentLine(const std::string& line) {
    return !line.empty() && line.front() == '!';
}

// The file's lines as a text stream reads them: LF or CR LF ends a line, and a final line without
// a line end still counts, while the line end after the last line does not start another one.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos) {
            end = text.size();
        }
        if (end > start && text[end - 1] == '\r') {
            --end;
        }
        lines.push_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const char* styleEntryMeaning(int number) {
    switch (number) {
        case 1:
            return "company label text";
        case 2:
            return "font name";
        case 3:
            return "font size";
        case 4:
            return "font style";
        case 5:
            return "logo file";
        default:
            return nullptr;
    }
}

// The texts drawn on the splash window, the About box and printed pages, cut to their limit.
BrandingRead withLimits(BrandingRead read) {
    std::vector<std::string> cut;
    if (!read.branding.InfoStyles.empty() &&
        cutToLimit(read.branding.InfoStyles.front(), BrandingLineLimit)) {
        cut.push_back(cutTextName("the company label", BrandingLineLimit));
    }
    bool lineCut = false;
    for (std::string& line : read.branding.InfoLines) {
        lineCut = cutToLimit(line, BrandingLineLimit) || lineCut;
    }
    if (lineCut) {
        cut.push_back(cutTextName("the information lines", BrandingLineLimit));
    }
    read.note = cutTextsNote(cut);
    return read;
}

}  // namespace

Branding defaultBranding() {
    Branding branding;
    branding.InfoStyles = {"Velkor", "Arial", "28", "bold italic", "Velkor_Logo.png"};
    branding.InfoLines = {
        "Velkor",          "Velkor Shift Light Project", "12 Workshop Lane",
        "Anytown AN1 2BC", "Phone: 000 000 0000",        "https://velkor.example"};
    return branding;
}

BrandingRead parseBranding(const std::string& text) {
    enum class Block { LeadingComments, Styles, Info };
    BrandingRead result;
    Block block = Block::LeadingComments;
    for (const std::string& line : splitLines(text)) {
        switch (block) {
            case Block::LeadingComments:
                if (!isCommentLine(line)) {
                    result.branding.InfoStyles.push_back(line);
                    block = Block::Styles;
                }
                break;
            case Block::Styles:
                // The "!" line closing the styles is a separator, not an entry.
                if (isCommentLine(line)) {
                    block = Block::Info;
                } else {
                    result.branding.InfoStyles.push_back(line);
                }
                break;
            case Block::Info:
                if (isCommentLine(line)) {
                    return withLimits(std::move(result));  // whatever follows is left unread
                }
                result.branding.InfoLines.push_back(line);
                break;
        }
    }
    result = withLimits(std::move(result));
    if (block != Block::Info) {
        result.error = AppError(ErrorNumber::InputPastEndOfFile, ErrorSource,
                                std::string("The branding file ") + BrandingFileName +
                                    " ends before its information lines.");
    }
    return result;
}

BrandingFile loadBranding(const std::vector<std::string>& folders) {
    BrandingFile file;
    const std::optional<std::string> path = findDataFile(folders, BrandingFileName);
    if (!path) {
        file.read.branding = defaultBranding();
        return file;
    }
    std::ifstream stream(*path, std::ios::binary);
    std::string text;
    if (stream) {
        text.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    }
    if (!stream.is_open() || stream.bad()) {
        throw AppError(ErrorNumber::FileNotFound, ErrorSource,
                       "The branding file " + latin1FromUtf8(*path) + " could not be read.");
    }
    file.read = parseBranding(text);
    file.folder = std::filesystem::path(*path).parent_path().string();
    return file;
}

const std::string& styleEntry(const Branding& branding, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > branding.InfoStyles.size()) {
        std::string description = std::string("The branding file ") + BrandingFileName +
                                  " has no style entry " + std::to_string(number);
        if (const char* meaning = styleEntryMeaning(number)) {
            description += std::string(" (") + meaning + ")";
        }
        throw AppError(ErrorNumber::SubscriptOutOfRange, ErrorSource, description + ".");
    }
    return branding.InfoStyles[static_cast<std::size_t>(number - 1)];
}

double companyFontSize(const Branding& branding) {
    const std::string& entry = styleEntry(branding, 3);
    const double size = leadingNumber(entry);
    if (!(size > 0.0 && size <= LargestFontSize)) {
        throw AppError(ErrorNumber::InvalidPropertyValue, ErrorSource,
                       std::string("The branding file ") + BrandingFileName +
                           " gives the font size \"" + entry +
                           "\"; a font size is above 0 and at most 200 points.");
    }
    return size;
}

FontStyle companyFontStyle(const Branding& branding) {
    const std::string words = lowered(styleEntry(branding, 4));
    return {words.find("bold") != std::string::npos, words.find("italic") != std::string::npos};
}

LabelStyle companyLabelStyle(const Branding& branding) {
    LabelStyle style;
    style.text = styleEntry(branding, 1);
    style.fontName = styleEntry(branding, 2);
    style.pointSize = companyFontSize(branding);
    const FontStyle fontStyle = companyFontStyle(branding);
    style.bold = fontStyle.bold;
    style.italic = fontStyle.italic;
    return style;
}

std::optional<std::string> logoFileName(const Branding& branding) {
    const std::string& entry = styleEntry(branding, 5);
    if (lowered(entry) == "null") {
        return std::nullopt;
    }
    return entry;
}

std::string aboutText(const Branding& branding) {
    std::string text = makerName(branding) +
                       " Shift Light Controller Data Logging Program Revision 2.00\r\n" +
                       CopyrightLine + "\r\n\r\n";
    for (std::size_t i = 1; i < branding.InfoLines.size(); ++i) {
        text += branding.InfoLines[i] + "\r\n";
    }
    return text;
}

}  // namespace velkor
