#pragma once
// What a compiled HTML help file says about itself: its table of contents and keyword index
// (both HTML "sitemap" files stored inside it) and its system record (which of its files are
// the contents, the index and the first page, and its title).

#include <string>
#include <vector>

namespace velkor {

constexpr const char* HelpFileName = "Velkor_Help.chm";

struct HelpTopic {
    std::string name;   // the entry's text
    std::string local;  // its page inside the help file ("chart.html#marker"); empty for a heading
    std::vector<HelpTopic> children;
};

// Reads a sitemap (.hhc contents or .hhk index): each <OBJECT type="text/sitemap"> is one entry,
// named by its first "Name" parameter and pointing at its first "Local" one; a <UL> after an
// entry holds that entry's children. Tags and parameter names are matched in any letter case;
// character references in values are decoded (numeric ones as UTF-8). Unknown tags, text and
// unbalanced lists are passed over, so a damaged sitemap gives as much as it holds.
std::vector<HelpTopic> parseSitemap(const std::string& text);

struct HelpSystem {
    std::string contentsFile;  // "Velkor_Help.hhc"
    std::string indexFile;
    std::string defaultTopic;  // the first page shown
    std::string title;
};

// Reads the help file's system record ("#SYSTEM"): a 32-bit version, then entries of a 16-bit
// code, a 16-bit length and that many bytes (codes 0 contents file, 1 index file, 2 first page,
// 3 title; texts end with a NUL). All numbers are little-endian. A record that ends early gives
// what was read before.
HelpSystem parseSystemFile(const std::string& bytes);

// The page part of a topic's address: "chart.html#marker" gives "/chart.html", as the help
// file stores its pages.
std::string helpPagePath(const std::string& local);

}  // namespace velkor
