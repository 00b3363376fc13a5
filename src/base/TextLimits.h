#pragma once
// How long a text read from a file may be. Every text that ends up drawn (on the chart, a printed
// page, the splash window) is cut to its limit where its file is read, so that no file can make a
// drawing run away with time or memory. The reader then says once what it cut.

#include <cstddef>
#include <string>
#include <vector>

namespace velkor {

constexpr std::size_t Input2LegendLimit = 20;  // as the scaling dialog's legend box takes it
constexpr std::size_t CommentLimit = 255;      // one line under the printed chart
constexpr std::size_t SettingWordLimit = 32;   // units and input types: a few words
constexpr std::size_t DownloadDateLimit = 64;
constexpr std::size_t BrandingLineLimit = 100;  // the maker's name and the information lines
constexpr std::size_t ChartTextLimit = 64;      // the chart template's titles and labels

// Cuts `text` to `limit` characters; true when it was longer.
bool cutToLimit(std::string& text, std::size_t limit);

// What a reader says about the texts it cut, each named with its limit, such as "the comment
// (255 characters)": one sentence for all of them; "" when nothing was cut.
std::string cutTextsNote(const std::vector<std::string>& cut);

// "the comment (255 characters)": a cut text's name with its limit, as cutTextsNote lists it.
std::string cutTextName(const std::string& what, std::size_t limit);

}  // namespace velkor
