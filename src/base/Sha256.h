#pragma once
// SHA-256 (FIPS 180-4) of a byte string, as 64 lower-case hex digits: how the logbook knows a log
// file by its content, whatever its name or folder.

#include <string>
#include <string_view>

namespace velkor {

std::string sha256Hex(std::string_view bytes);

}  // namespace velkor
