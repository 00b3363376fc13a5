#pragma once
// The chart template Velkor_Chart.oc2: the chart's styling (colours, line widths, fonts), the time
// axis title and the design texts of the three chart labels. A small INI-like text file:
//
//   # comment            ; comment too (whole lines only)
//   [section]
//   key = value
//   key = "  value with its spaces kept  "
//
// Every key of every section below must be present exactly once; unknown sections and keys are
// refused, so a misspelt key is reported instead of silently falling back to a default.
//
//   [chart]   background, plot_background, text_colour, font_family, header_size, legend_size
//   [axes]    line_colour, line_width, grid_colour, grid_width, minor_grid_colour, tick_size,
//             title_size, time_title
//   [trace1]  colour, width
//   [trace2]  colour, width
//   [marker]  colour, width
//   [labels]  colour, size, LabelOff, LabelOn, LabelY2Axis
//
// Colours are "#RRGGBB"; widths are pixels of the chart as shown (above 0, at most 10); sizes are
// font points (4 to 72). Text is in the file's single-byte code page, like every other file.

#include <optional>
#include <string>

namespace velkor {

constexpr const char* ChartTemplateFileName = "Velkor_Chart.oc2";

// The defaults are the chart's built-in look, used until a template has been loaded.
struct ChartTemplate {
    // [chart]
    std::string background = "#FFFFFF";
    std::string plotBackground = "#FBFCFE";
    std::string textColour = "#2B2F36";
    std::string fontFamily = "DejaVu Sans";
    double headerSize = 11;
    double legendSize = 9;
    // [axes]
    std::string axisLineColour = "#5F6670";
    double axisLineWidth = 1;
    std::string gridColour = "#D5DAE1";
    double gridWidth = 1;
    std::string minorGridColour = "#ECEFF3";
    double tickSize = 8.5;
    double axisTitleSize = 9.5;
    std::string timeAxisTitle = "Elapsed Time (sec)";
    // [trace1], [trace2]
    std::string trace1Colour = "#B3182B";
    double trace1Width = 1.6;
    std::string trace2Colour = "#1F5FB4";
    double trace2Width = 1.6;
    // [marker]
    std::string markerColour = "#1E9E4A";
    double markerWidth = 1.5;
    // [labels]
    std::string labelColour = "#1F5FB4";
    double labelSize = 9;
    std::string labelOff = "OFF";
    std::string labelOn = " ON ";
    std::string labelY2Axis = "Y2 AXIS LABEL";
};

// Why a text is not a template: the line (1-based; 0 for a key missing from the whole file).
struct ChartTemplateError {
    int line = 0;
    std::string message;
};

// Parses the text of a template file. Lines end with LF or CR LF. Nothing when the text is not a
// valid template; `error`, when given, then says why. The titles and label texts are cut to
// ChartTextLimit characters; `note`, when given, then says so (cutTextsNote), else it is "".
std::optional<ChartTemplate> parseChartTemplate(const std::string& text,
                                                ChartTemplateError* error = nullptr,
                                                std::string* note = nullptr);

}  // namespace velkor
