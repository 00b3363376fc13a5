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
    // Without a comment line after the styles the file ends too soon; an empty block is fine.
    EXPECT_TRUE(parseBranding("! only comments\r\nA\nB\nC\nD\nE").error);
    EXPECT_FALSE(parseBranding("A\nB\nC\nD\nE\n!").error);

    // Empty lines are entries, not comments.
    read = parseBranding("! header\n\nArial\n12\n\nlogo.png\n!\nName\n\nWeb\n\n");
    EXPECT_EQ(read.branding.InfoStyles, (Lines{"", "Arial", "12", "", "logo.png"}));
    EXPECT_EQ(read.branding.InfoLines, (Lines{"Name", "", "Web", ""}));
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
        EXPECT_NE(errorFrom([&] { size(bad); }).description().find("\"" + bad + "\""),
                  std::string::npos)
            << bad;
    }
}

}  // namespace
}  // namespace velkor
