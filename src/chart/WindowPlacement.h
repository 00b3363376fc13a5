#pragma once
// Where the Run Summary stands beside the chart window: beside it wherever the screen has room,
// so that the marker a double-clicked row puts on the plot is seen; on a screen too narrow for
// both, over the right of the plot but never over the chart's controls below it.

namespace velkor {

// A rectangle in screen pixels: a window's frame, or the screen's free area.
struct ScreenBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }    // one past the last column
    int bottom() const { return y + height; }  // one past the last row
};

struct SideBySide {
    ScreenBox chart;
    ScreenBox summary;
};

// Room between the two windows.
constexpr int PlacementGap = 8;
// The least height the summary is cut to when it has to stand over the chart's plot.
constexpr int OverPlotLeastHeight = 300;

// The chart stays where it is and the summary goes to its right when the screen has room
// there, else to its left. Without room on either side the chart moves over so that the summary
// fits at its right; on a screen too narrow for both at their sizes the summary narrows first,
// down to `summaryMinWidth`, then the chart, down to `chartMinWidth`. Only a screen narrower
// than both at their least leaves them overlapping: the summary at the screen's right edge, level
// with the chart's top and ending above the `chartFooterHeight` of controls at the chart's foot
// (but no shorter than OverPlotLeastHeight). Either window is moved onto the screen and no taller
// than it.
SideBySide placeBeside(const ScreenBox& screen, const ScreenBox& chart, int summaryWidth,
                       int summaryHeight, int chartMinWidth, int summaryMinWidth,
                       int chartFooterHeight = 0);

// The share of the plot, from its left, that a window standing over its right part leaves in
// sight: 1 when the window covers no part of the plot, or not its right part.
double plotShareSeen(const ScreenBox& plot, const ScreenBox& window);

}  // namespace velkor
