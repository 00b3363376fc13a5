#include "chart/PlotClip.h"

#include <cmath>
#include <optional>
#include <utility>

namespace velkor {

namespace {

struct SegmentCut {
    double enter;  // 0..1 along the segment
    double leave;
};

// The part of the segment a-b inside the rectangle, by the parameters where it enters and
// leaves (Liang-Barsky); nothing when it misses.
std::optional<SegmentCut> cutSegment(PlotPoint a, PlotPoint b, const PlotRect& rect) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    SegmentCut cut{0, 1};
    // Each edge as p * t <= q.
    const std::pair<double, double> edges[] = {{-dx, a.x - rect.left},
                                               {dx, rect.right - a.x},
                                               {-dy, a.y - rect.top},
                                               {dy, rect.bottom - a.y}};
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0) {
                return std::nullopt;  // parallel to this edge and outside it
            }
            continue;
        }
        const double t = q / p;
        if (p < 0) {
            cut.enter = std::max(cut.enter, t);
        } else {
            cut.leave = std::min(cut.leave, t);
        }
    }
    if (cut.enter >= cut.leave) {
        return std::nullopt;  // outside, or touching in one point
    }
    return cut;
}

PlotPoint along(PlotPoint a, PlotPoint b, double t) {
    // The ends themselves exactly, so that pieces join where the line does not cross an edge.
    if (t <= 0) {
        return a;
    }
    if (t >= 1) {
        return b;
    }
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

bool finite(PlotPoint p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

}  // namespace

std::vector<Polyline> clipPolyline(const Polyline& line, const PlotRect& rect) {
    std::vector<Polyline> pieces;
    Polyline piece;
    const auto endPiece = [&] {
        if (piece.size() >= 2) {
            pieces.push_back(std::move(piece));
        }
        piece.clear();
    };
    bool joined = false;  // the last segment ended inside, where the next one begins
    for (std::size_t i = 1; i < line.size(); ++i) {
        const PlotPoint a = line[i - 1];
        const PlotPoint b = line[i];
        const auto cut = finite(a) && finite(b) ? cutSegment(a, b, rect) : std::nullopt;
        if (!cut) {
            endPiece();
            joined = false;
            continue;
        }
        if (!joined || cut->enter > 0) {
            endPiece();
            piece.push_back(along(a, b, cut->enter));
        }
        piece.push_back(along(a, b, cut->leave));
        joined = cut->leave >= 1;
    }
    endPiece();
    return pieces;
}

}  // namespace velkor
