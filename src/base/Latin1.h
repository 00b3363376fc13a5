#pragma once
// The core keeps text in Latin-1, the single-byte code page of log files and the branding file.
// File names reach it in the system's encoding (UTF-8 on Linux) and are converted for display.

#include <string>
#include <string_view>

namespace velkor {

// UTF-8 to Latin-1: a character without a Latin-1 form, or a malformed sequence, becomes '?'.
std::string latin1FromUtf8(std::string_view utf8);

std::string utf8FromLatin1(std::string_view latin1);

}  // namespace velkor
