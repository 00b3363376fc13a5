#include "chart/WindowPlacement.h"

#include <algorithm>

namespace velkor {

namespace {

// The top edge that keeps a window of `height` on the screen, as near `wanted` as it can.
int onScreenY(const ScreenBox& screen, int wanted, int height) {
    return std::max(screen.y, std::min(wanted, screen.bottom() - height));
}

}  // namespace

SideBySide placeBeside(const ScreenBox& screen, const ScreenBox& chart, int summaryWidth,
                       int summaryHeight, int chartMinWidth, int summaryMinWidth,
                       int chartFooterHeight) {
    SideBySide placed;
    ScreenBox& c = placed.chart;
    ScreenBox& s = placed.summary;
    c = chart;
    c.width = std::min(c.width, screen.width);
    c.height = std::min(c.height, screen.height);
    c.x = std::max(screen.x, std::min(c.x, screen.right() - c.width));
    c.y = onScreenY(screen, c.y, c.height);
    s.width = std::min(summaryWidth, screen.width);
    s.height = std::min(summaryHeight, screen.height);

    if (c.right() + PlacementGap + s.width <= screen.right()) {
        s.x = c.right() + PlacementGap;
    } else if (c.x - PlacementGap - s.width >= screen.x) {
        s.x = c.x - PlacementGap - s.width;
    } else {
        const int room = screen.width - PlacementGap;
        if (c.width + s.width > room) {
            s.width = std::max(std::min(s.width, summaryMinWidth), room - c.width);
            c.width = std::max(std::min(c.width, chartMinWidth), room - s.width);
            s.width = std::max(std::min(s.width, summaryMinWidth), room - c.width);
        }
        // The chart as far right as leaves the summary room at its right; on a screen narrower
        // than both at their least, the summary keeps its least at the screen's right edge.
        c.x = std::max(screen.x, std::min(c.x, screen.right() - PlacementGap - s.width - c.width));
        s.x = std::min(c.right() + PlacementGap, screen.right() - s.width);
        if (s.x < c.right()) {
            const int abovePlotFoot = c.bottom() - chartFooterHeight - PlacementGap - c.y;
            s.height = std::min(s.height, std::max(abovePlotFoot, OverPlotLeastHeight));
        }
    }
    s.y = onScreenY(screen, c.y, s.height);
    return placed;
}

double plotShareSeen(const ScreenBox& plot, const ScreenBox& window) {
    const bool level = window.y < plot.bottom() && plot.y < window.bottom();
    if (!level || plot.width <= 0 || window.x <= plot.x || window.x >= plot.right() ||
        window.right() < plot.right()) {
        return 1.0;
    }
    return double(window.x - plot.x) / plot.width;
}

}  // namespace velkor
