#pragma once
// Scale arithmetic for the gauges: where labels fall, where a value points, which part of the
// gauge a colour band covers. Pure functions, so the widgets only draw.

#include <optional>
#include <vector>

namespace velkor {

// A step between dial labels that gives about 5 to 10 labels from 0 to fullScale, chosen from
// 1, 2, 2.5 and 5 times a power of ten. A full scale of 0 or less gives 1.
double dialLabelStep(double fullScale);

// A step of 1, 2, 2.5 or 5 times a power of ten that cuts `span` into at most `maxIntervals`
// parts (at least one). The sign follows span's; a span of 0 (or one not finite) gives 0.
double niceStep(double span, int maxIntervals);

// The dial's sweep: 0 at the lower left, full scale at the lower right, clockwise.
constexpr double DialStartDegrees = 225.0;
constexpr double DialSweepDegrees = 270.0;

// The angle (degrees, counter-clockwise from 3 o'clock) of a value on a dial; values outside
// 0..fullScale are pinned to the ends.
double dialAngle(double value, double fullScale);

// Labels of a linear gauge: first, first + step, ... up to last. A step that is 0, points away
// from last, is not a number or would give more than MaxLabels labels is replaced by a nice step
// (niceStep, ten parts), so the scale is still labelled; first equal to last gives one label.
constexpr int MaxLabels = 100;
std::vector<double> labelValues(double first, double last, double step);

// One scale section of a linear gauge: its range and its place along the gauge, as fractions of
// the gauge's length measured from the top (the maximum sits nearer the top).
struct ScaleSection {
    double minimum = 0.0;
    double maximum = 1.0;
    double minimumAt = 0.95;
    double maximumAt = 0.09;
};

// Where a value sits along the gauge (fraction from the top) on a section; values beyond the
// section's range are pinned to its ends. A section of zero range puts every value at its
// minimum's place.
double placeAlong(double value, const ScaleSection& section);

// The part of a band from `start` to `end` (either order) that lies on a section, as the
// fractions of its two ends (top first); nothing when the band misses the section or only
// touches it.
struct Span {
    double top;
    double bottom;
};
std::optional<Span> bandOnSection(double start, double end, const ScaleSection& section);

// Whether `value` lies in the section's range (either order of minimum and maximum), within a
// rounding margin.
bool onSection(double value, const ScaleSection& section);

// Every how-many-th label can be drawn when labels lie `pixelsApart` apart and a label needs
// `textHeight` pixels: 1 when they all fit (or when they coincide), otherwise the least stride
// that keeps neighbours clear of each other.
int labelStride(double pixelsApart, double textHeight);

// Decimals of a gauge's read-out for a scale spanning `span`: 2 up to 6, 1 up to 60, else 0.
int readoutDecimals(double span);

}  // namespace velkor
