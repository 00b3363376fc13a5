// The printed page's rules: the header font and lines, and where the chart goes on the page.

#include <gtest/gtest.h>

#include "chart/Printing.h"

namespace velkor::test {
namespace {

TEST(PrintFont, MonospacInAnyLetterCaseAnywhereInTheListElseCourierNew) {
    EXPECT_EQ(printFontName({"Arial", "Times New Roman", "monospac821 bt"}), "Monospac821 BT");
    EXPECT_EQ(printFontName({"MONOSPAC821 BT", "Courier New"}), "Monospac821 BT");
    EXPECT_EQ(printFontName({"Arial", "Courier New", "Monospac821 BT Bold", " Monospac821 BT"}),
              "Courier New");
    EXPECT_EQ(printFontName({}), "Courier New");
}

// The full header is read back from the printed page.
TEST(PrintHeader, MakerDateAndCommentIndentedTenPositionsCommentLineOnlyWithAComment) {
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

}  // namespace
}  // namespace velkor::test
