#include "about/frmSplash.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <fstream>
#include <memory>

#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor {
namespace {

const auto* const environment = test::installQtApplication();

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
