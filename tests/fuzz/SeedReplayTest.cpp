// The chart template, branding and log field fuzzers' seed files, read in the ordinary build:
// every seed folder file is read, and each seed gives the outcome its name promises.

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
#include "log/LogFields.h"

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

TEST(SeedReplay, LogFieldLines) {
    // The first byte of a seed is how many fields to keep; the fields kept, joined by '|'.
    const std::map<std::string, std::pair<std::size_t, std::string>> outcomes = {
        {"quoted-comma-and-quotes.txt", {2, "Comment|Caf\xE9, run \"2\""}},
        {"sample-line.txt", {11, "0.1|2|3|4|5|6|7|8|9|10|11"}},
        {"maker-with-comma.txt",
         {2, "Acme, Inc. Shift Light Controller Data Downloaded|12/07/26 14:03:22"}},
        {"raw-quotes.txt", {2, "Input 2 Legend|5\" \"raw quote\" old"}},
        {"unterminated.txt", {2, "Firmware ID|unterminated, value"}},
        {"empty-fields.txt", {4, "|||\""}},
    };
    const auto texts = seeds("log_fields");
    ASSERT_EQ(texts.size(), outcomes.size());
    LineFields line;
    for (const auto& [name, text] : texts) {
        ASSERT_EQ(outcomes.count(name), 1u) << name << " has no expected outcome";
        splitFields(std::string_view(text).substr(1), std::size_t(text[0]), line);
        std::string joined;
        for (std::size_t i = 0; i < line.fields.size(); ++i) {
            joined += (i == 0 ? "" : "|") + std::string(line.fields[i]);
        }
        EXPECT_EQ(line.count, outcomes.at(name).first) << name;
        EXPECT_EQ(joined, outcomes.at(name).second) << name;
    }
}

std::string replaced(std::string text, const std::string& what, const std::string& by) {
    return text.replace(text.find(what), what.size(), by);
}

TEST(SeedReplay, TextsLongerThanTheyDrawAreCutAndSaidSoOnce) {
    const std::string chart = replaced(replaced(seeds("chart_template").at("shipped.oc2"),
                                                "\"Y2 AXIS LABEL\"", std::string(60000, 'Y')),
                                       "Elapsed Time (sec)", std::string(100, 'T'));
    std::string note;
    const auto style = parseChartTemplate(chart, nullptr, &note);
    ASSERT_TRUE(style);
    EXPECT_EQ(style->labelY2Axis + style->timeAxisTitle,
              std::string(64, 'Y') + std::string(64, 'T'));
    EXPECT_EQ(note,
              "Texts longer than Velkor keeps were cut to their limit: time_title (64 characters) "
              "and LabelY2Axis (64 characters).");
    parseChartTemplate(seeds("chart_template").at("shipped.oc2"), nullptr, &note);
    EXPECT_EQ(note, "");

    const BrandingRead branding = parseBranding(replaced(
        seeds("branding").at("shipped.cfg"), "!\nVelkor\n", "!\n" + std::string(5000, 'M') + "\n"));
    EXPECT_EQ(makerName(branding.branding), std::string(100, 'M'));
    EXPECT_EQ(branding.note,
              "Texts longer than Velkor keeps were cut to their limit: the information lines (100 "
              "characters).");
}

}  // namespace
}  // namespace velkor::test
