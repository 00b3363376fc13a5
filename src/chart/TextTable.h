#pragma once
// The Run Summary's tables as aligned text for a terminal of a given width: a table wider than
// the terminal is cut into parts that fit, each repeating the first column (the run or the
// gears) so that its rows can still be told apart; a cell too wide even so is wrapped at its
// spaces.

#include <cstddef>
#include <string>
#include <vector>

#include "chart/RunSummary.h"

namespace velkor {

// A terminal's usual width.
constexpr std::size_t TerminalColumns = 80;

// The number of characters a UTF-8 text shows as.
std::size_t shownWidth(const std::string& text);

// The table's lines (UTF-8 cells), its parts one after the other with a blank line between.
std::vector<std::string> textTable(const SummaryTable& table, std::size_t width = TerminalColumns);

}  // namespace velkor
