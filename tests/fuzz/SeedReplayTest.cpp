// The chart template and branding fuzzers' seed files, read in the ordinary build: every seed
// folder file is read, and each seed gives the outcome its name promises.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "about/BrandingFile.h"
#include "base/AppError.h"
#include "chart/ChartTemplate.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> seeds(const std::string& reader) {
    std::map<std::string, std::string> texts;
    for (const auto& entry : fs::directory_iterator(fs::path(VELKOR_FUZZ_CORPUS) / reader)) {
        std::ifstream file(entry.path(), std::ios::binary);
        texts[entry.path().filename().string()] = {std::istreambuf_iterator<char>(file),
                                                   std::istreambuf_iterator<char>()};
    }
    return texts;
}

TEST(SeedReplay, ChartTemplates) {
    // Accepted seeds have no refusal; refused ones name the line (0: the whole file) and the
    // words the refusal starts with.
    const std::map<std::string, ChartTemplateError> refusals = {
        {"shipped.oc2", {}},
        {"crlf.oc2", {}},
        {"compact.oc2", {}},
        {"missing-key.oc2", {0, "missing key width in [marker]"}},
        {"width-out-of-range.oc2", {15, "line_width: \"1e400\" is not a line width"}},
        {"unknown-section.oc2", {3, "unknown section [legend]"}},
    };
    const auto texts = seeds("chart_template");
    ASSERT_EQ(texts.size(), refusals.size());
    for (const auto& [name, text] : texts) {
        ASSERT_EQ(refusals.count(name), 1u) << name << " has no expected outcome";
        const ChartTemplateError& expected = refusals.at(name);
        ChartTemplateError error;
        const auto read = parseChartTemplate(text, &error);
        EXPECT_EQ(read.has_value(), expected.message.empty()) << name << ": " << error.message;
        if (!read) {
            EXPECT_EQ(error.line, expected.line) << name;
            EXPECT_EQ(error.message.rfind(expected.message, 0), 0u)
                << name << ": " << error.message;
        }
    }
    // Spaces inside quotes are kept, and the largest width is allowed.
    const auto compact = parseChartTemplate(texts.at("compact.oc2"));
    ASSERT_TRUE(compact);
    EXPECT_EQ(compact->fontFamily, "  Liberation Sans  ");
    EXPECT_EQ(compact->trace1Width, 10);
}

struct BrandingOutcome {
    bool ended;                // the file ends before its information lines
    std::string maker;         // information line 1
    std::size_t infoLines;     // how many information lines were read
    std::string labelOrError;  // the company label's font size, or the start of its error
    std::string logo;          // style entry 5 as a logo file; "" for none
};

TEST(SeedReplay, BrandingFiles) {
    const std::map<std::string, BrandingOutcome> outcomes = {
        {"shipped.cfg", {false, "Velkor", 6, "28", "Velkor_Logo.png"}},
        {"crlf.cfg", {false, "Velkor", 6, "28", "Velkor_Logo.png"}},
        {"no-information-lines.cfg", {true, "", 0, "28", ""}},
        {"null-logo-and-extra-block.cfg", {false, "Acme", 3, "12.5", ""}},
        {"short-styles.cfg",
         {false, "Acme", 2, "The branding file Velkor.cfg has no style entry 3", "-"}},
        {"bad-font-size.cfg", {false, "Acme", 1, "The branding file Velkor.cfg gives", "logo.png"}},
    };
    const auto texts = seeds("branding");
    ASSERT_EQ(texts.size(), outcomes.size());
    for (const auto& [name, text] : texts) {
        ASSERT_EQ(outcomes.count(name), 1u) << name << " has no expected outcome";
        const BrandingOutcome& expected = outcomes.at(name);
        const BrandingRead read = parseBranding(text);
        EXPECT_EQ(read.error.has_value(), expected.ended) << name;
        EXPECT_EQ(makerName(read.branding), expected.maker) << name;
        EXPECT_EQ(read.branding.InfoLines.size(), expected.infoLines) << name;
        try {
            std::ostringstream size;
            size << companyLabelStyle(read.branding).pointSize;
            EXPECT_EQ(size.str(), expected.labelOrError) << name;
        } catch (const AppError& e) {
            EXPECT_EQ(e.description().rfind(expected.labelOrError, 0), 0u) << name;
        }
        if (expected.logo != "-") {
            EXPECT_EQ(logoFileName(read.branding).value_or(""), expected.logo) << name;
        }
    }
}

}  // namespace
}  // namespace velkor::test
