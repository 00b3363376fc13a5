// What a help file says about itself (its sitemaps, its system record); the help file as built
// from help/, and the help window over it, offscreen: the contents it lists, the pages it shows,
// the links between them, and Help > Contents in the main window.

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
#include <memory>

#include "about/HelpContents.h"
#include "about/HelpFile.h"
#include "about/HelpWindow.h"
#include "app/frmMain.h"
#include "base/AppContext.h"
#include "support/Files.h"
#include "support/QtApp.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

const auto* const environment = installQtApplication();

// "name>local" for an entry, children in brackets, to compare whole trees at a glance.
std::string outline(const std::vector<HelpTopic>& topics) {
    std::string text;
    for (const HelpTopic& topic : topics) {
        if (!text.empty()) {
            text += ", ";
        }
        text += topic.name + (topic.local.empty() ? "" : ">" + topic.local);
        if (!topic.children.empty()) {
            text += " [" + outline(topic.children) + "]";
        }
    }
    return text;
}

// One sitemap entry; `local` may be empty for a heading.
std::string object(const std::string& name, const std::string& local = "") {
    return "<LI> <OBJECT type=\"text/sitemap\">\n  <param name=\"Name\" value=\"" + name + "\">" +
           (local.empty() ? "" : "\n  <param name=\"Local\" value=\"" + local + "\">") +
           "\n</OBJECT>\n";
}

TEST(Sitemap, ListsAfterAnEntryAreItsChildrenAndHeadingsNeedNoPage) {
    const std::string hhc =
        "<HTML><BODY><OBJECT type=\"text/site properties\"><param name=\"Name\" "
        "value=\"not an entry\"></OBJECT>\n<UL>" +
        object("Welcome", "index.html") + object("The chart") + "<UL>" +
        object("Marker", "chart.html#marker") + "<UL>" + object("Deep", "deep.html") + "</UL>" +
        object("Printing", "printing.html") + "</UL>" + object("Files", "files.html") +
        "</UL></BODY></HTML>";
    EXPECT_EQ(outline(parseSitemap(hhc)),
              "Welcome>index.html, The chart [Marker>chart.html#marker [Deep>deep.html], "
              "Printing>printing.html], Files>files.html");
}

TEST(Sitemap, TagsAndNamesInAnyCaseQuotedAnyWayWithCharacterReferences) {
    const std::string hhk =
        "<ul><li><object TYPE='Text/Sitemap'>"
        "<PARAM NAME=name VALUE='Abort, Retry &amp; Ignore'/>"
        "<Param Name=\"LOCAL\" Value=messages.html>"
        "<param name=\"Name\" value=\"second name is ignored\">"
        "<param name=\"Local\" value=\"second.html\">"
        "</OBJECT>"
        "<!-- <object type=\"text/sitemap\"><param name=\"Name\" "
        "value=\"commented out\"></object> -->"
        "<li><object type=\"text/sitemap\">"
        "<param name=\"Name\" value=\"&lt;&quot;caf&#233;&quot;&gt; &#x2192; "
        "&bogus; & &#;\"></object></ul>";
    EXPECT_EQ(outline(parseSitemap(hhk)),
              "Abort, Retry & Ignore>messages.html, "
              "<\"caf\xC3\xA9\"> \xE2\x86\x92 &bogus; & &#;");
}

TEST(Sitemap, ADamagedSitemapGivesWhatItHolds) {
    // Entries outside any list, a list never closed, a stray end tag, a tag cut off at the end.
    const std::string text =
        "</UL><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"A\"></OBJECT>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"B\"></OBJECT>"
        "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"C\"></OBJECT>"
        "<OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"nameless.html\"></OBJECT>"
        "<OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"cut";
    EXPECT_EQ(outline(parseSitemap(text)), "A, B [C]");
    EXPECT_TRUE(parseSitemap("").empty());
    EXPECT_TRUE(parseSitemap("<<<>>>< <UL <").empty());
}

std::string entry(int code, const std::string& value) {
    const std::size_t length = value.size();
    return std::string{char(code), char(code >> 8), char(length & 0xFF), char(length >> 8)} + value;
}

TEST(SystemRecord, NamesTheContentsIndexFirstPageAndTitleAndAShortRecordGivesWhatCameFirst) {
    const std::string record =
        std::string("\x03\0\0\0", 4) + entry(0, std::string("Velkor_Help.hhc\0", 16)) +
        entry(9, std::string("chmcmd\0", 7)) + entry(1, std::string("Velkor_Help.hhk\0", 16)) +
        entry(2, std::string("index.html\0", 11)) + entry(3, std::string("Velkor Help\0", 12));
    const HelpSystem system = parseSystemFile(record);
    EXPECT_EQ((std::vector<std::string>{system.contentsFile, system.indexFile, system.defaultTopic,
                                        system.title}),
              (std::vector<std::string>{"Velkor_Help.hhc", "Velkor_Help.hhk", "index.html",
                                        "Velkor Help"}));
    for (std::size_t length = 0; length < record.size(); ++length) {
        const HelpSystem cut = parseSystemFile(record.substr(0, length));
        EXPECT_EQ(cut.contentsFile, length >= 24 ? "Velkor_Help.hhc" : "") << length;
        EXPECT_EQ(cut.title, "") << length;
    }
}

TEST(HelpPagePath, ThePageOfATopicAsTheHelpFileStoresIt) {
    EXPECT_EQ(helpPagePath("chart.html"), "/chart.html");
    EXPECT_EQ(helpPagePath("chart.html#marker"), "/chart.html");
    EXPECT_EQ(helpPagePath("/pages/a.html?x=1"), "/pages/a.html");
    EXPECT_EQ(helpPagePath("ms-its:Velkor_Help.chm::/print.html#top"), "/print.html");
    EXPECT_EQ(helpPagePath(""), "/");
}

std::vector<HelpTopic> sourceSitemap(const std::string& name) {
    return parseSitemap(slurp(std::string(VELKOR_HELP_SOURCES) + "/" + name));
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
    spit(damaged, "not a help file");
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
