#pragma once
// Whether writing one file would write over another: an export must never replace the log file
// it was made from.

#include <string>

namespace velkor {

// True when both names lead to one file (the same device and file number, through any links or
// other names); false when either does not exist or cannot be looked at.
bool isSameFile(const std::string& first, const std::string& second);

}  // namespace velkor
