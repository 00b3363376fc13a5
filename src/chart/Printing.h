#pragma once
// Printing the chart: one landscape page with a header band of two text lines naming the log,
// and the chart as shown filling the rest of the page. The rules live here; the printer itself
// is behind ChartPrinter, so that the order of the steps and the error handling are the same
// for a real printer, a PDF file and a test's fake.

#include <cstdint>
#include <string>
#include <vector>

namespace velkor {

struct AppContext;

constexpr const char* PreferredPrintFont = "Monospac821 BT";
constexpr const char* FallbackPrintFont = "Courier New";
constexpr int PrintFontPoints = 8;
// Page positions are in twips, 1/1440 inch: the header band above the chart, and the top of
// the header's first line inside it.
constexpr int TwipsPerInch = 1440;
constexpr int HeaderBandTwips = 1000;
constexpr int HeaderTopTwips = 500;
// The header lines start at the eleventh character position of the monospaced font.
constexpr int HeaderIndent = 10;
// The error number of a printer that cannot be reached or fails while printing.
constexpr std::uint32_t PrinterErrorNumber = 482;

// The header font: "Monospac821 BT" when the printer's font list holds it in any letter case,
// else "Courier New".
std::string printFontName(const std::vector<std::string>& installedFonts);

// The header lines, each indented by HeaderIndent spaces: the maker's name followed by
// " Shift Light Controller Data Printed: " and the download date; then "Comment: " and the
// comment, only when there is a comment.
std::vector<std::string> printHeaderLines(const std::string& makerName,
                                          const std::string& downloadDate,
                                          const std::string& comment);

// The printable page in twips, and the size of one device pixel in twips.
struct PageMetrics {
    double widthTwips = 0;
    double heightTwips = 0;
    double twipsPerPixelX = 1;
    double twipsPerPixelY = 1;
};

// A rectangle in device pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect& other) const {
        return left == other.left && top == other.top && width == other.width &&
               height == other.height;
    }
};

// Where the chart goes on the page: the whole width, from the bottom of the header band to the
// bottom of the page, each value rounded to the nearest whole device pixel (halves to even).
PixelRect chartPlacement(const PageMetrics& page);

// The header's first line top, in device pixels.
int headerTopPixels(const PageMetrics& page);

// A page printer as printing uses it. Any step may throw AppError; the document is then
// abandoned, never sent half-made.
class ChartPrinter {
public:
    virtual ~ChartPrinter() = default;

    // The names of the fonts the printer offers.
    virtual std::vector<std::string> fontNames() = 0;
    virtual void setFont(const std::string& name, int points) = 0;
    virtual void setLandscape() = 0;
    // The page as it is after the settings above.
    virtual PageMetrics pageMetrics() = 0;
    // Prints one text line with its top at `top` device pixels; returns the top of the next.
    virtual int printLine(const std::string& text, int top) = 0;
    // Draws the chart as shown, filling the rectangle.
    virtual void renderChart(const PixelRect& place) = 0;
    // Ends the document, sending the page to the printer.
    virtual void endDocument() = 0;
    // Drops a document that failed part-way; nothing is sent.
    virtual void abandonDocument() = 0;
};

struct AppData;

// The page itself, with the comment as it stands: header lines, then the chart. Throws AppError
// as the printer does.
void printChartPage(const AppData& data, ChartPrinter& printer);

// The chart window's Print button: asks for the comment (Cancel erases it and printing goes
// on), then prints the page. A printer error goes to the shared error prompt: Retry prints the
// page again from its start, Abort and Ignore leave it unprinted.
void cmdPrint_Click(AppContext& ctx, ChartPrinter& printer);

}  // namespace velkor
