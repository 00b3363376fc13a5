#include "about/BrandingFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/AppError.h"

namespace velkor {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

Branding withStyles(Lines styles) {
    return Branding{std::move(styles), {}};
}

template <typename Action>
AppError errorFrom(Action action) {
    try {
        action();
    } catch (const AppError& error) {
        return error;
    }
    ADD_FAILURE() << "no AppError was thrown";
    return AppError(0, "", "");
}

TEST(BrandingFile, WithoutAFileTheDefaultsGiveTheDesignedLabelAndAboutText) {
    const BrandingFile file = loadBranding({fs::temp_directory_path() / "velkor_no_branding"});
    EXPECT_FALSE(file.folder);
    EXPECT_FALSE(file.read.error);
    const LabelStyle label = companyLabelStyle(file.read.branding);
    EXPECT_TRUE(label.pointSize == 28.0 && label.bold && label.italic);
    EXPECT_EQ(logoFileName(file.read.branding), "Velkor_Logo.png");

    // The program line, the copyright line, an empty line and information lines 2 to 6.
    const std::string programLine =
        " Shift Light Controller Data Logging Program Revision 2.00\r\n" +
        std::string(CopyrightLine) + "\r\n\r\n";
    EXPECT_EQ(aboutText(file.read.branding),
              "Velkor" + programLine +
                  "Velkor Shift Light Project\r\n12 Workshop Lane\r\nAnytown AN1 2BC\r\n"
                  "Phone: 000 000 0000\r\nhttps://velkor.example\r\n");
    EXPECT_EQ(aboutText(withStyles({"Acme"})), programLine);
}

TEST(BrandingFile, LeadingCommentsAreSkippedAndCommentLinesEndTheBlocks) {
    // CR LF line ends and no line end after the last line.
    BrandingRead read = parseBranding(
        "! company label, font, size, style, logo\r\n! then the information lines\r\n"
        "Acme Tuning\r\nTimes\r\n20\r\nbold\r\nNULL\r\n!\r\nAcme\r\nAcme Tuning Ltd");
    EXPECT_FALSE(read.error);
    EXPECT_EQ(read.branding.InfoStyles, (Lines{"Acme Tuning", "Times", "20", "bold", "NULL"}));
    EXPECT_EQ(read.branding.InfoLines, (Lines{"Acme", "Acme Tuning Ltd"}));

    // A second comment line right after the style block ends the information block at once.
    read = parseBranding("A\nB\nC\nD\nE\n!\n!\nL1\n");
    EXPECT_FALSE(read.error);
    EXPECT_TRUE(read.branding.InfoLines.empty());
    EXPECT_EQ(makerName(read.branding), "");

    // Empty lines are entries, not comments.
    read = parseBranding("! header\n\nArial\n12\n\nlogo.png\n!\nName\n\nWeb\n\n");
    EXPECT_EQ(read.branding.InfoStyles, (Lines{"", "Arial", "12", "", "logo.png"}));
    EXPECT_EQ(read.branding.InfoLines, (Lines{"Name", "", "Web", ""}));
}

TEST(BrandingFile,
     AFileEndingBeforeItsInformationLinesKeepsWhatWasReadAndReportsReadingPastTheEnd) {
    EXPECT_TRUE(parseBranding("! only comments\r\n").error);
    EXPECT_FALSE(parseBranding("A\nB\nC\nD\nE\n!").error);  // an empty information block is fine

    const BrandingRead read = parseBranding("! c\nAcme\nArial\n28");
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->number(), ErrorNumber::InputPastEndOfFile);
    EXPECT_EQ(read.error->source(), "Velkor");
    EXPECT_EQ(read.error->description(),
              "The branding file Velkor.cfg ends before its information lines.");
    EXPECT_EQ(read.branding.InfoStyles, (Lines{"Acme", "Arial", "28"}));

    // Fewer than five style entries: each use names the entry that is missing.
    AppError error = errorFrom([&] { companyFontStyle(read.branding); });
    EXPECT_EQ(error.number(), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(error.description(),
              "The branding file Velkor.cfg has no style entry 4 (font style).");
    error = errorFrom([&] { logoFileName(read.branding); });
    EXPECT_NE(error.description().find("style entry 5 (logo file)"), std::string::npos);
}

TEST(BrandingFile, StyleWordsAndTheNullLogoIgnoreLetterCaseAndTheSizeMustBeUsable) {
    const auto style = [](const std::string& words) {
        return companyFontStyle(withStyles({"Acme", "Arial", "28", words}));
    };
    EXPECT_TRUE(style("BOLD").bold && !style("BOLD").italic && style("Italic").italic);

    const auto logo = [](const std::string& entry) {
        return logoFileName(withStyles({"Acme", "Arial", "28", "", entry}));
    };
    EXPECT_FALSE(logo("nUlL"));
    EXPECT_EQ(logo("null.png"), "null.png");

    const auto size = [](const std::string& entry) {
        return companyFontSize(withStyles({"Acme", "Arial", entry}));
    };
    EXPECT_EQ(size(" 12.5 pt"), 12.5);
    for (const std::string bad : {"0", "abc", "201"}) {
        const AppError error = errorFrom([&] { size(bad); });
        EXPECT_EQ(error.number(), ErrorNumber::InvalidPropertyValue) << bad;
        EXPECT_NE(error.description().find("\"" + bad + "\""), std::string::npos) << bad;
    }
}

}  // namespace
}  // namespace velkor
