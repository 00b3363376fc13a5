#pragma once
// The branding file Velkor.cfg: reading it, and the company label, logo and About text it gives.

#include <optional>
#include <string>
#include <vector>

#include "base/AppError.h"
#include "base/Branding.h"

namespace velkor {

constexpr const char* BrandingFileName = "Velkor.cfg";

// The branding used when there is no branding file.
Branding defaultBranding();

struct BrandingRead {
    Branding branding;              // what was read, complete or up to the error
    std::optional<AppError> error;  // the file ended before its information lines
    std::string note;               // what was cut (cutTextsNote), or ""
};

// Parses the text of a branding file: comment lines start with "!"; the first non-comment line
// and those after it up to the next "!" line are the style entries; the lines after that, up to
// the end or the next "!" line, are the information lines. Empty lines are entries. Lines end
// with LF or CR LF. The company label text and every information line (the maker's name first)
// are cut to BrandingLineLimit characters.
BrandingRead parseBranding(const std::string& text);

struct BrandingFile {
    BrandingRead read;
    std::optional<std::string> folder;  // the data folder holding the file; nothing = defaults
};

// Reads Velkor.cfg from the first of `folders` that holds it; the defaults, with no folder, when
// none does. Throws AppError when the file exists but cannot be read.
BrandingFile loadBranding(const std::vector<std::string>& folders);

// Entry `number` (1-based) of a list; a missing entry is an AppError naming which entry of the
// branding file is missing.
const std::string& styleEntry(const Branding& branding, int number);

struct LabelStyle {
    std::string text;
    std::string fontName;
    double pointSize = 0.0;
    bool bold = false;
    bool italic = false;
};

// The company label's font size in points: the number at the start of style entry 3. Throws
// AppError for a missing entry or a size that is not above 0 and at most 200 points.
double companyFontSize(const Branding& branding);

struct FontStyle {
    bool bold;
    bool italic;
};

// Bold and italic from style entry 4: whether it contains "bold" and "italic" in any letter case.
FontStyle companyFontStyle(const Branding& branding);

// The company label's look from style entries 1 to 4. Throws AppError for a missing entry or a
// size that is not a usable font size (above 0 and at most 200 points).
LabelStyle companyLabelStyle(const Branding& branding);

// The logo file named by style entry 5, or nothing for "NULL" in any letter case.
std::optional<std::string> logoFileName(const Branding& branding);

constexpr const char* CopyrightLine =
    "Copyright (C) 2026 the Velkor developers. Free software under the GNU GPL v3 or later.";

// The About box text: the maker's name and the program line, the copyright line, an empty line,
// then the information lines from entry 2 on, each ended by CR LF.
std::string aboutText(const Branding& branding);

}  // namespace velkor
