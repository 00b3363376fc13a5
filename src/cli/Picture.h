#pragma once
// The chart as a picture or a printed page, drawn by the chart window's own chart offscreen:
// needs a QApplication on the offscreen platform.

#include <string>

#include "chart/ChartView.h"

namespace velkor::cli {

class Session;

enum class PictureKind { Png, Svg, Pdf };

struct PictureRequest {
    PictureKind kind = PictureKind::Png;
    TraceOption trace1 = TraceOption::Trace1RPM;
    TraceOption trace2 = TraceOption::Trace2VSS;
    double from = 0;   // seconds
    double to = -1;    // below `from`: to the end of the log
    int width = 1000;  // the chart's size in pixels
    int height = 600;
};

// The file's bytes. Throws a Failure when the chart cannot be drawn (no chart template) or the
// time span holds no time of the log.
std::string chartPicture(Session& session, const PictureRequest& request);

}  // namespace velkor::cli
