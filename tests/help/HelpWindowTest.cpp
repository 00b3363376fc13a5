// The help file as built from help/, and the help window over it, offscreen: the contents it
// lists, the pages it shows, the links between them, and Help > Contents in the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>
#include <memory>
#include <sstream>

#include "about/HelpFile.h"
#include "about/HelpWindow.h"
#include "app/frmMain.h"
#include "base/AppContext.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

std::vector<HelpTopic> sourceSitemap(const std::string& name) {
    std::ifstream file(std::string(VELKOR_HELP_SOURCES) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return parseSitemap(text.str());
}

// Every topic as "name>local", depth first.
std::vector<std::string> flat(const std::vector<HelpTopic>& topics) {
    std::vector<std::string> out;
    for (const HelpTopic& topic : topics) {
        out.push_back(topic.name + ">" + topic.local);
        const auto children = flat(topic.children);
        out.insert(out.end(), children.begin(), children.end());
    }
    return out;
}

TEST(HelpFile, TheBuildCompiledTheGuideAndEveryEntryAndLinkLeadsToAStoredPage) {
    const auto file = HelpFile::open(VELKOR_HELP_FILE);
    ASSERT_TRUE(file) << "no help file at " << VELKOR_HELP_FILE;
    EXPECT_EQ(flat(file->index()), flat(sourceSitemap("Velkor_Help.hhk")));

    const auto leadsToAPage = [&](const std::string& target) {
        EXPECT_TRUE(target.empty() || file->read(helpPagePath(target))) << "no page " << target;
    };
    for (const std::string& topic : flat(file->contents())) {
        leadsToAPage(topic.substr(topic.find('>') + 1));
    }
    static const QRegularExpression reference(R"re((?:href|src)\s*=\s*"([^"#:]*)[^"]*")re",
                                              QRegularExpression::CaseInsensitiveOption);
    int pages = 0;
    for (const std::string& path : file->files()) {
        if (path.size() > 5 && path.substr(path.size() - 5) == ".html") {
            ++pages;
            const QString html = QString::fromStdString(file->read(path).value_or(""));
            for (auto it = reference.globalMatch(html); it.hasNext();) {
                const auto match = it.next();
                if (!match.captured(0).contains(':')) {
                    leadsToAPage(match.captured(1).toStdString());
                }
            }
        }
    }
    EXPECT_GE(pages, 15);
}

class HelpWindowTest : public ::testing::Test {
protected:
    ~HelpWindowTest() override { delete HelpWindow::current(); }
};

TEST_F(HelpWindowTest, OpensAtItsContentsOnTheFirstPageAndContentsLinksBackAndIndexShowPages) {
    ASSERT_FALSE(HelpWindow::showContents(VELKOR_HELP_FILE, nullptr));
    HelpWindow* window = HelpWindow::current();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible() && window->windowTitle() == "Velkor Help");
    EXPECT_EQ(window->tabNavigation->currentWidget(), window->tvwContents);
    QTreeWidget* tree = window->tvwContents;
    std::vector<std::string> listed;
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        listed.push_back((*it)->text(0).toStdString() + ">" +
                         (*it)->data(0, Qt::UserRole).toString().toStdString());
        EXPECT_TRUE((*it)->childCount() == 0 || (*it)->isExpanded());
    }
    EXPECT_EQ(listed, flat(sourceSitemap("Velkor_Help.hhc")));
    EXPECT_EQ(window->browser->documentTitle(), "Welcome to Velkor");
    EXPECT_EQ(tree->currentItem()->text(0), "Welcome to Velkor");

    const auto printing =
        tree->findItems("Printing the chart", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(printing.size(), 1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(printing.first()).center());
    EXPECT_EQ(window->browser->source().path(), "/printing.html");
    EXPECT_TRUE(window->browser->toPlainText().contains("Monospac821 BT"));
    // A link in the page; the contents follow the page shown.
    emit window->browser->anchorClicked(QUrl("comment.html"));
    EXPECT_EQ(window->browser->documentTitle(), "The comment");
    EXPECT_EQ(tree->currentItem()->text(0), "The comment");
    QTest::mouseClick(window->cmdBack, Qt::LeftButton);
    EXPECT_EQ(tree->currentItem(), printing.first());

    const auto keywords = window->lstIndex->findItems("dialout group", Qt::MatchExactly);
    ASSERT_EQ(keywords.size(), 1);
    emit window->lstIndex->itemActivated(keywords.first());
    EXPECT_TRUE(window->browser->toPlainText().contains("sudo adduser $USER dialout"));

    // A second Help > Contents brings the same window forward.
    ASSERT_FALSE(HelpWindow::showContents(VELKOR_HELP_FILE, nullptr));
    EXPECT_EQ(HelpWindow::current(), window);
}

TEST_F(HelpWindowTest, HelpContentsOpensTheFileFromTheDataFoldersOrSaysWhyNot) {
    auto data = std::make_unique<AppData>();
    ScriptedPrompts prompts;
    QTemporaryDir empty;
    frmMain lacking(*data, prompts, {empty.path().toStdString()});
    prompts.answerMessages({Answer::Ok, Answer::Ok});
    lacking.mnuHelpContents->trigger();
    const std::string damaged = empty.filePath("Velkor_Help.chm").toStdString();
    std::ofstream(damaged) << "not a help file";
    lacking.mnuHelpContents->trigger();
    EXPECT_EQ(
        prompts.messageTexts(),
        (std::vector<std::string>{
            "The help file Velkor_Help.chm was not found beside the program or in its "
            "data folder.",
            "The help file " + damaged + " cannot be read: it is damaged or not a help file."}));
    EXPECT_EQ(prompts.messages()[0].title, "Help");
    EXPECT_EQ(HelpWindow::current(), nullptr);

    const std::string folder = QFileInfo(VELKOR_HELP_FILE).absolutePath().toStdString();
    frmMain window(*data, prompts, {"/nonexistent", folder});
    window.mnuHelpContents->trigger();
    ASSERT_NE(HelpWindow::current(), nullptr);
    EXPECT_EQ(HelpWindow::current()->parentWidget(), &window);
    EXPECT_EQ(prompts.messages().size(), 2u);
}

}  // namespace
}  // namespace velkor::test
