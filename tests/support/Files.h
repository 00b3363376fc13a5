#pragma once
// Whole files as bytes, for tests that check what a save left on disk.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace velkor::test {

inline std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void spit(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace velkor::test
