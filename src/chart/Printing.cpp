#include "chart/Printing.h"

#include <algorithm>
#include <cctype>

#include "base/AppContext.h"
#include "base/Branding.h"
#include "base/Numbers.h"
#include "base/Prompts.h"
#include "log/LogFileOperations.h"

namespace velkor {

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace

void printChartPage(const AppData& data, ChartPrinter& printer) {
    printer.setFont(printFontName(printer.fontNames()), PrintFontPoints);
    printer.setLandscape();
    const PageMetrics page = printer.pageMetrics();
    const PixelRect place = chartPlacement(page);
    int top = headerTopPixels(page);
    for (const std::string& line :
         printHeaderLines(makerName(data.branding), data.log.DownloadDate, data.log.Comment)) {
        top = printer.printLine(line, top);
    }
    printer.renderChart(place);
    printer.endDocument();
}

std::string printFontName(const std::vector<std::string>& installedFonts) {
    const bool offered = std::any_of(
        installedFonts.begin(), installedFonts.end(),
        [](const std::string& name) { return equalIgnoringCase(name, PreferredPrintFont); });
    return offered ? PreferredPrintFont : FallbackPrintFont;
}

std::vector<std::string> printHeaderLines(const std::string& makerName,
                                          const std::string& downloadDate,
                                          const std::string& comment) {
    const std::string indent(HeaderIndent, ' ');
    std::vector<std::string> lines{indent + makerName +
                                   " Shift Light Controller Data Printed: " + downloadDate};
    if (!comment.empty()) {
        lines.push_back(indent + "Comment: " + comment);
    }
    return lines;
}

PixelRect chartPlacement(const PageMetrics& page) {
    PixelRect place;
    place.left = 0;
    place.top = toWhole(HeaderBandTwips / page.twipsPerPixelY);
    place.width = toWhole(page.widthTwips / page.twipsPerPixelX);
    // A page no taller than the header band leaves no room for the chart, not a negative one.
    place.height = std::max(0, toWhole((page.heightTwips - HeaderBandTwips) / page.twipsPerPixelY));
    return place;
}

int headerTopPixels(const PageMetrics& page) {
    return toWhole(HeaderTopTwips / page.twipsPerPixelY);
}

void cmdPrint_Click(AppContext& ctx, ChartPrinter& printer) {
    mnuEditComment_Click(ctx);
    runStep(ctx.prompts, [&] {
        try {
            printChartPage(ctx.data, printer);
        } catch (...) {
            printer.abandonDocument();
            throw;
        }
    });
}

}  // namespace velkor
