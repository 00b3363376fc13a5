#pragma once
// Scale arithmetic for the dials: where labels fall and where a value points.

namespace velkor {

// A step between dial labels that gives about 5 to 10 labels from 0 to fullScale, chosen from
// 1, 2, 2.5 and 5 times a power of ten. A full scale of 0 or less gives 1.
double dialLabelStep(double fullScale);

// The dial's sweep: 0 at the lower left, full scale at the lower right, clockwise.
constexpr double DialStartDegrees = 225.0;
constexpr double DialSweepDegrees = 270.0;

// The angle (degrees, counter-clockwise from 3 o'clock) of a value on a dial; values outside
// 0..fullScale are pinned to the ends.
double dialAngle(double value, double fullScale);

}  // namespace velkor
