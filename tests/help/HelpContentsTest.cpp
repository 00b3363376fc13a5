// What a help file says about itself: its sitemaps (contents, index) and its system record.

#include <gtest/gtest.h>

#include "about/HelpContents.h"

namespace velkor {
namespace {

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

}  // namespace
}  // namespace velkor
