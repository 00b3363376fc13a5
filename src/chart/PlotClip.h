#pragma once
// Cutting drawn lines to the plot, for painters that keep no clip of their own (an SVG drawing
// records a clip but does not apply it, so a trace would run across the axes' labels).

#include <vector>

namespace velkor {

struct PlotPoint {
    double x;
    double y;
};

struct PlotRect {
    double left;
    double top;
    double right;
    double bottom;
};

using Polyline = std::vector<PlotPoint>;

// The pieces of a line of connected points that lie inside `rect` (edges included), each cut
// where it crosses an edge, in order. A non-finite point breaks the line there; a piece that
// only touches the rectangle in one point is left out.
std::vector<Polyline> clipPolyline(const Polyline& line, const PlotRect& rect);

}  // namespace velkor
