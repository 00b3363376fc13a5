// Printing the chart without a printer: the header font and lines, where the chart goes on the
// page, and the print command's steps, prompts and error handling with a printer that records
// what it is asked to do.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "base/AppContext.h"
#include "base/AppError.h"
#include "chart/Printing.h"
#include "support/AppFixture.h"
#include "support/ScriptedPrompts.h"

namespace velkor::test {
namespace {

TEST(PrintFont, MonospacInAnyLetterCaseAnywhereInTheListElseCourierNew) {
    EXPECT_EQ(printFontName({"Arial", "Times New Roman", "monospac821 bt"}), "Monospac821 BT");
    EXPECT_EQ(printFontName({"MONOSPAC821 BT", "Courier New"}), "Monospac821 BT");
    EXPECT_EQ(printFontName({"Arial", "Courier New", "Monospac821 BT Bold", " Monospac821 BT"}),
              "Courier New");
    EXPECT_EQ(printFontName({}), "Courier New");
}

TEST(PrintHeader, MakerDateAndCommentIndentedTenPositionsCommentLineOnlyWithAComment) {
    EXPECT_EQ(printHeaderLines("Acme", "06/12/26 20:15:00", "Track day, run 3"),
              (std::vector<std::string>{
                  "          Acme Shift Light Controller Data Printed: 06/12/26 20:15:00",
                  "          Comment: Track day, run 3"}));
    // No branding lines, a file that lost its date line, no comment.
    EXPECT_EQ(printHeaderLines("", "", ""),
              std::vector<std::string>{"           Shift Light Controller Data Printed: "});
}

TEST(ChartPlacement, FillsThePageBelowTheBandInEachDirectionsPixelsHalvesToEven) {
    // Letter landscape at 600 dpi with quarter-inch margins: 10.5 x 8 inches printable.
    EXPECT_EQ(chartPlacement({15120, 11520, 2.4, 2.4}), (PixelRect{0, 417, 6300, 4383}));
    EXPECT_EQ(headerTopPixels({15120, 11520, 2.4, 2.4}), 208);
    // 600 x 300 dpi: 1000 twips are 416.67 pixels across but 208.33 down.
    EXPECT_EQ(chartPlacement({15120, 11520, 2.4, 4.8}), (PixelRect{0, 208, 6300, 2192}));
    // 90 dpi: 62.5 goes to 62, 937.5 to 938.
    EXPECT_EQ(chartPlacement({15000, 11000, 16, 16}), (PixelRect{0, 62, 938, 625}));
    // A page no taller than the band leaves no room, not a negative height.
    EXPECT_EQ(chartPlacement({15120, 900, 2.4, 2.4}).height, 0);
}

// A printer that records its calls; `failAt` names a call that throws a printer error the
// first `failures` times it is made.
class RecordingPrinter : public ChartPrinter {
public:
    std::vector<std::string> calls;
    std::vector<std::string> fonts{"Arial", "DejaVu Sans Mono"};
    std::string failAt;
    int failures = 0;

    std::vector<std::string> fontNames() override {
        record("fontNames");
        return fonts;
    }
    void setFont(const std::string& name, int points) override {
        record("setFont " + name + " " + std::to_string(points));
    }
    void setLandscape() override { record("setLandscape"); }
    PageMetrics pageMetrics() override {
        record("pageMetrics");
        return {15120, 11520, 2.4, 2.4};
    }
    int printLine(const std::string& text, int top) override {
        record("printLine " + std::to_string(top) + " " + text);
        return top + 40;
    }
    void renderChart(const PixelRect& place) override {
        record("renderChart " + std::to_string(place.left) + "," + std::to_string(place.top) + "," +
               std::to_string(place.width) + "," + std::to_string(place.height));
    }
    void endDocument() override { record("endDocument"); }
    void abandonDocument() override { calls.push_back("abandonDocument"); }

private:
    void record(const std::string& call) {
        calls.push_back(call);
        if (!failAt.empty() && call.rfind(failAt, 0) == 0 && failures > 0) {
            --failures;
            throw AppError(PrinterErrorNumber, "Printer", "The printer is out of paper.");
        }
    }
};

class PrintCommandTest : public ::testing::Test, protected AppFixture {
protected:
    PrintCommandTest() {
        data->branding.InfoLines = {"Acme", "Acme Engineering"};
        data->log.DataBufferEmpty = false;
        data->log.DownloadDate = "06/12/26 20:15:00";
        data->log.Comment = "Old comment";
    }

    const std::vector<std::string> pageCalls = {
        "fontNames",
        "setFont Courier New 8",
        "setLandscape",
        "pageMetrics",
        "printLine 208           Acme Shift Light Controller Data Printed: 06/12/26 20:15:00",
    };

    RecordingPrinter printer;
};

TEST_F(PrintCommandTest, AsksForTheCommentFirstThenPrintsTheHeaderAndTheChartAndSends) {
    prompts.onShow = [&](const ShownPrompt&) { EXPECT_TRUE(printer.calls.empty()); };
    prompts.answerInputs({"Track day, run 3"});
    cmdPrint_Click(ctx, printer);

    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "Enter or edit comment. Cancel will erase any comment.");
    EXPECT_EQ(prompts.shown()[0].title, "Optional Information Entry/Edit");
    EXPECT_EQ(data->log.Comment, "Track day, run 3");

    std::vector<std::string> expected = pageCalls;
    expected.push_back("printLine 248           Comment: Track day, run 3");
    expected.push_back("renderChart 0,417,6300,4383");
    expected.push_back("endDocument");
    EXPECT_EQ(printer.calls, expected);

    // Cancel at the comment prompt erases the comment, and the page has no comment line.
    printer.calls.clear();
    prompts.answerInputs({std::nullopt});
    cmdPrint_Click(ctx, printer);
    EXPECT_EQ(data->log.Comment, "");
    expected = pageCalls;
    expected.push_back("renderChart 0,417,6300,4383");
    expected.push_back("endDocument");
    EXPECT_EQ(printer.calls, expected);
}

TEST_F(PrintCommandTest, PrinterErrorGoesToTheErrorPromptAndRetryPrintsTheWholePageAgain) {
    printer.failAt = "renderChart";
    printer.failures = 1;
    prompts.answerInputs({"c"});
    prompts.answerMessages({Answer::Retry});
    cmdPrint_Click(ctx, printer);

    ASSERT_EQ(prompts.messages().size(), 1u);
    const ShownPrompt error = prompts.messages()[0];
    EXPECT_EQ(error.text, "The printer is out of paper.");
    EXPECT_EQ(error.title, "Error");
    EXPECT_EQ(error.icon, Icon::Critical);
    EXPECT_EQ(error.buttons, Buttons::AbortRetryIgnore);

    // The failed page is dropped, then printed again from its start.
    const auto at = std::find(printer.calls.begin(), printer.calls.end(), "abandonDocument");
    ASSERT_NE(at, printer.calls.end());
    EXPECT_EQ(std::vector<std::string>(at + 1, at + 6), pageCalls);
    EXPECT_EQ(std::count(printer.calls.begin(), printer.calls.end(), "endDocument"), 1);
    EXPECT_EQ(printer.calls.back(), "endDocument");
    EXPECT_EQ(prompts.shown().size(), 2u);  // the comment is asked once
}

TEST_F(PrintCommandTest, AbortOrIgnoreLeaveThePageUnsentAndKeepTheComment) {
    for (const Answer answer : {Answer::Abort, Answer::Ignore}) {
        printer.calls.clear();
        printer.failAt = "printLine";
        printer.failures = 1;
        prompts.answerInputs({"kept"});
        prompts.answerMessages({answer});
        cmdPrint_Click(ctx, printer);

        EXPECT_EQ(printer.calls.back(), "abandonDocument");
        EXPECT_EQ(std::count(printer.calls.begin(), printer.calls.end(), "endDocument"), 0);
        EXPECT_EQ(data->log.Comment, "kept");
    }
}

}  // namespace
}  // namespace velkor::test
