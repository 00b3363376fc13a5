// The branding file read into the company label, the logo and the About text, and the splash
// window showing them.

#include "about/frmSplash.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "about/BrandingFile.h"
#include "base/AppError.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

Branding withStyles(Lines styles) {
    return Branding{std::move(styles), {}};
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
        try {
            size(bad);
            ADD_FAILURE() << bad;
        } catch (const AppError& error) {
            EXPECT_NE(error.description().find("\"" + bad + "\""), std::string::npos) << bad;
        }
    }
}

// A data folder holding a branding file with the given text.
struct DataFolder {
    explicit DataFolder(const std::string& branding) {
        std::ofstream(dir.filePath(QStringLiteral("Velkor.cfg")).toStdString()) << branding;
    }
    QTemporaryDir dir;
    // A folder without the file comes first and is passed over.
    std::vector<std::string> folders() const {
        return {dir.filePath("none").toStdString(), dir.path().toStdString()};
    }
};

QLabel* label(const frmSplash& splash, const char* name) {
    return splash.findChild<QLabel*>(QString::fromLatin1(name));
}

TEST(Splash, TheBrandingFileSetsTheCompanyLabelLogoAndListsWithoutAnyPrompt) {
    DataFolder data(
        "! branding\r\nAcme Tuning\r\nCourier\r\n18\r\nBOLD\r\nacme.png\r\n!\r\nAcme\r\n");
    QImage logo(16, 16, QImage::Format_ARGB32);
    logo.fill(Qt::green);
    ASSERT_TRUE(logo.save(data.dir.filePath(QStringLiteral("acme.png"))));
    QCoreApplication::setApplicationName(QStringLiteral("something else"));

    Branding branding = defaultBranding();
    test::ScriptedPrompts prompts;
    frmSplash splash(branding, prompts, data.folders());

    EXPECT_EQ(branding.InfoLines, std::vector<std::string>{"Acme"});
    const QLabel* company = label(splash, "lblCompanyName");
    ASSERT_NE(company, nullptr);
    const QFont font = company->font();
    EXPECT_EQ(company->text() + ", " + font.family() + " " + QString::number(font.pointSizeF()),
              "Acme Tuning, Courier 18");
    EXPECT_TRUE(font.bold() && !font.italic());
    EXPECT_FALSE(label(splash, "imgLogo")->pixmap().isNull());
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Velkor"));
}

TEST(Splash, FailingLoadStepsGoToTheErrorPromptAndIgnoreGoesOnWithWhatWasRead) {
    DataFolder noPicture("Acme\nArial\n20\nitalic\nmissing.png\n!\nAcme\n");
    Branding branding;
    test::ScriptedPrompts prompts;
    prompts.answerMessages({Answer::Ignore});
    {
        frmSplash splash(branding, prompts, noPicture.folders());
        EXPECT_NE(prompts.messageTexts().at(0).find("missing.png"), std::string::npos);
        EXPECT_TRUE(label(splash, "imgLogo")->pixmap().isNull());
    }

    // A file breaking off inside its styles: the label still shows the entries that were read
    // before the style words and the logo are found missing.
    DataFolder shortFile("Acme\nArial\n20");
    test::ScriptedPrompts ignoring;
    ignoring.answerMessages({Answer::Ignore, Answer::Ignore, Answer::Ignore});
    frmSplash splash(branding, ignoring, shortFile.folders());
    EXPECT_EQ(ignoring.messageTexts(),
              (std::vector<std::string>{
                  "The branding file Velkor.cfg ends before its information lines.",
                  "The branding file Velkor.cfg has no style entry 4 (font style).",
                  "The branding file Velkor.cfg has no style entry 5 (logo file)."}));
    EXPECT_EQ(label(splash, "lblCompanyName")->text(), QStringLiteral("Acme"));
    EXPECT_EQ(label(splash, "lblCompanyName")->font().pointSizeF(), 20.0);
}

}  // namespace
}  // namespace velkor
