#pragma once
// The program's and each subcommand's --help text.

#include <string>

namespace velkor::cli {

std::string programHelp();
// The help of a subcommand; "" for a name that is none.
std::string commandHelp(const std::string& command);

}  // namespace velkor::cli
