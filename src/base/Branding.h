#pragma once
// The maker's branding as the program holds it for the run: the splash window's company label
// and logo, and the information lines whose first entry (the maker's name) heads the main
// window's caption, the log file's title line and the printed chart header. Reading it from the
// branding file is the about folder's.

#include <string>
#include <vector>

namespace velkor {

struct Branding {
    // 1 company label text, 2 font name, 3 font size in points, 4 style words, 5 logo file
    // (relative to the data folder) or "NULL".
    std::vector<std::string> InfoStyles;
    // 1 maker's short name, then company name, address lines, phone line, web address.
    std::vector<std::string> InfoLines;
};

// InfoLines entry 1, or "" when there are no information lines.
inline std::string makerName(const Branding& branding) {
    return branding.InfoLines.empty() ? std::string() : branding.InfoLines.front();
}

}  // namespace velkor
