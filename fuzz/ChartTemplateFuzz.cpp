// Any bytes at all, read as the chart template would be: reading must neither crash, overrun,
// leak nor throw, and a template it accepts must hold only values the chart can draw with.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chart/ChartTemplate.h"

namespace {

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "chart template reader accepted %s\n", what);
        std::abort();
    }
}

bool isColour(const std::string& value) {
    return value.size() == 7 && value[0] == '#' &&
           value.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
}

bool isWidth(double width) {
    return width > 0 && width <= 10;
}

bool isPointSize(double size) {
    return size >= 4 && size <= 72;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velkor;
    const std::string text(reinterpret_cast<const char*>(data), size);
    ChartTemplateError error;
    const auto read = parseChartTemplate(text, &error);
    if (!read) {
        require(!error.message.empty() && error.line >= 0, "a refusal without a reason");
        return 0;
    }
    const ChartTemplate& t = *read;
    for (const std::string* colour :
         {&t.background, &t.plotBackground, &t.textColour, &t.axisLineColour, &t.gridColour,
          &t.minorGridColour, &t.trace1Colour, &t.trace2Colour, &t.markerColour, &t.labelColour}) {
        require(isColour(*colour), "a colour that is not #RRGGBB");
    }
    for (const double width :
         {t.axisLineWidth, t.gridWidth, t.trace1Width, t.trace2Width, t.markerWidth}) {
        require(isWidth(width), "a line width outside above 0 to 10");
    }
    for (const double points :
         {t.headerSize, t.legendSize, t.tickSize, t.axisTitleSize, t.labelSize}) {
        require(isPointSize(points), "a font size outside 4 to 72");
    }
    require(!t.fontFamily.empty(), "an empty font family");
    return 0;
}
