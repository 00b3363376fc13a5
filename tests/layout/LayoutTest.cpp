// Reads the source tree and checks the rules of its layout: a file under src/ includes only from
// its own folder and from folders on a lower layer, no source file is longer than 500 lines, and
// the tests stay a modest share of the program they test.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path SourceDir = VELKOR_SOURCE_DIR;
constexpr std::size_t LineLimit = 500;
// Test code beyond this share of the product's code restates it more than it checks it.
constexpr double TestShareLimit = 0.40;

// The layers, lowest first. A folder may include from its own folder and from folders with a
// lower number; folders on the same layer do not include each other.
// clang-format off
const std::map<std::string, int> Layers = {
    {"base", 0},                                              //
    {"link", 1}, {"sim", 1},                                  //
    {"log", 2}, {"analysis", 2},                              //
    {"live", 3}, {"chart", 3}, {"options", 3}, {"about", 3},  //
    {"logbook", 3},                                           //
    {"logbookui", 4},                                         //
    {"app", 5}, {"cli", 5},
};
// clang-format on

bool isSource(const fs::path& path) {
    const std::string ext = path.extension().string();
    return ext == ".cpp" || ext == ".h";
}

std::vector<fs::path> sourceFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file() && isSource(entry.path())) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> linesOf(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string inTree(const fs::path& path) {
    return fs::relative(path, SourceDir).generic_string();
}

// The folder a quoted include names ("log/DataLog.h" -> "log"), or nothing for a line that is
// no quoted include of a file in a folder.
std::optional<std::string> includedFolder(const std::string& line) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') {
        return std::nullopt;
    }
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0) {
        return std::nullopt;
    }
    at = line.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || line[at] != '"') {
        return std::nullopt;
    }
    const std::size_t close = line.find('"', at + 1);
    const std::size_t slash = line.find('/', at + 1);
    if (close == std::string::npos || slash == std::string::npos || slash > close ||
        slash == at + 1) {
        return std::nullopt;
    }
    return line.substr(at + 1, slash - at - 1);
}

std::string joined(const std::vector<std::string>& faults) {
    std::string text;
    for (const std::string& fault : faults) {
        text += "\n  " + fault;
    }
    return text;
}

TEST(Layout, IncludesPointOnlyDownTheLayers) {
    std::vector<std::string> faults;
    int filesRead = 0;
    for (const auto& folder : fs::directory_iterator(SourceDir / "src")) {
        if (!folder.is_directory()) {
            continue;
        }
        const std::string name = folder.path().filename().string();
        const auto own = Layers.find(name);
        if (own == Layers.end()) {
            faults.push_back("src/" + name + " is in no layer of the table");
            continue;
        }
        for (const fs::path& file : sourceFiles(folder.path())) {
            ++filesRead;
            for (const std::string& line : linesOf(file)) {
                const std::optional<std::string> folder = includedFolder(line);
                if (!folder) {
                    continue;
                }
                const std::string& target = *folder;
                const auto layer = Layers.find(target);
                const bool allowed =
                    target == name || (layer != Layers.end() && layer->second < own->second);
                if (!allowed) {
                    faults.push_back(inTree(file) + " includes " + line.substr(line.find('"')) +
                                     " from a layer not below its own");
                }
            }
        }
    }
    EXPECT_GT(filesRead, 100) << "the source tree was not found at " << SourceDir;
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

TEST(Layout, NoSourceFileIsOverFiveHundredLines) {
    std::vector<std::string> faults;
    int filesRead = 0;
    for (const char* top : {"src", "tests", "bench", "fuzz"}) {
        for (const fs::path& file : sourceFiles(SourceDir / top)) {
            ++filesRead;
            const std::size_t lines = linesOf(file).size();
            if (lines > LineLimit) {
                faults.push_back(inTree(file) + " has " + std::to_string(lines) + " lines");
            }
        }
    }
    EXPECT_GT(filesRead, 100) << "the source tree was not found at " << SourceDir;
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// Lines that hold something, blank ones left out, over every source file under a folder.
std::size_t codeLines(const fs::path& dir) {
    std::size_t count = 0;
    for (const fs::path& file : sourceFiles(dir)) {
        for (const std::string& line : linesOf(file)) {
            count += line.find_first_not_of(" \t\r") != std::string::npos ? 1 : 0;
        }
    }
    return count;
}

TEST(Layout, TestsStayUnderTwoFifthsOfTheProduct) {
    const std::size_t product = codeLines(SourceDir / "src");
    const std::size_t tests = codeLines(SourceDir / "tests");
    ASSERT_GT(product, 1000u) << "the source tree was not found at " << SourceDir;
    EXPECT_LE(double(tests), TestShareLimit * double(product))
        << tests << " lines of tests against " << product
        << " of src/: " << 100.0 * double(tests) / double(product) << " %";
}

}  // namespace
