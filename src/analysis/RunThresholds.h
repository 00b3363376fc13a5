#pragma once
// Every threshold of the run analysis, in one place. The help page on run analysis describes
// each of them; change both together.

namespace velkor::runs {

// A run starts when the throttle rises past this (or the launch light comes on) ...
constexpr double StartThrottlePercent = 80;
// ... and ends when it falls below this and stays below for EndHoldSeconds (a shorter lift,
// as in a shift or a moment's hesitation, belongs to the run). It does not end while the launch
// light is on.
constexpr double EndThrottlePercent = 50;
constexpr double EndHoldSeconds = 1.0;
// A run that starts slower than this (MPH) starts from a standstill ...
constexpr double StandstillMph = 2;
// ... and its acceleration times count from the last sample at or below this speed, or from
// an earlier one while the speed still falls going back.
constexpr double MovingMph = 0.5;
// First motion: a straight line through the first moving samples' speed, over this stretch
// (at least two samples), run back to standstill.
constexpr double FirstMotionFitSeconds = 0.1;
// The time slip's uncertainty: first motion lies somewhere between two samples, and the way
// the clutch takes up the drive bends the first moving samples' line. This share of the
// logging interval and these seconds, but never more than one interval.
constexpr double SlipUncertaintyShare = 0.5;
constexpr double SlipUncertaintySeconds = 0.008;
// ... and this much more when the wheels spun at the launch.
constexpr double SlipLaunchSpinSeconds = 0.01;
// Wheelspin: between shifts and lifts the car's speed is fitted by a smooth curve, refitted
// SpinFitRounds times to the samples within a band around it that narrows from
// SpinFitFirstKeepMph to SpinEdgeMph (at least SpinFitMinSamples of them). The wheels' speed
// above the curve by more than SpinEdgeMph is a spin when it reaches SpinMinPeakMph.
constexpr int SpinFitRounds = 8;
constexpr double SpinFitFirstKeepMph = 8;
constexpr double SpinEdgeMph = 1.0;
constexpr int SpinFitMinSamples = 4;
constexpr double SpinMinPeakMph = 2.5;
// Through a spin the car's speed is bridged between the samples either side within this of the
// car's curve.
constexpr double SpinBridgeMph = 0.3;
// A stretch is judged only when at least this share of its samples lie on the car's curve and
// the curve rises from end to end.
constexpr double SpinFitMinShare = 0.6;
// The launch's clutch slips while engine speed is above first gear's ratio times road speed by
// more than this share; the moment it took up the drive is where a line through the slipping
// samples of the last LaunchFitSeconds reaches the ratio.
constexpr double LaunchLockTolerance = 0.015;
constexpr double LaunchFitSeconds = 0.3;
// Throttle at or above this counts as wide open.
constexpr double WideOpenThrottlePercent = 90;

// An upshift: engine speed falls by at least this share within ShiftWindowSeconds ...
constexpr double ShiftDropFraction = 0.15;
constexpr double ShiftWindowSeconds = 1.0;
// ... while road speed falls by no more than this (MPH; more is braking) ...
constexpr double ShiftSpeedFallMph = 2;
// ... engine speed then rises again by this share within ShiftWindowSeconds ...
constexpr double ShiftRecoveryFraction = 0.02;
// ... and at the end of that window engine speed per road speed is lower by at least this
// share (a higher gear; after a lift or a dipped clutch it is back at the same gear's).
constexpr double ShiftRatioFallFraction = 0.08;
// Engine speed within this share of the highest before the fall is the top: the shift is at
// the last sample at the top, so noise on a slow rise does not move it earlier.
constexpr double PeakToleranceFraction = 0.01;
// Below this road speed (MPH) a fall of engine speed is the clutch at the launch, not a shift.
constexpr double ShiftMinMph = 5;
// The shift light counts for a shift when it came on this long before the peak at most.
constexpr double LightLookbackSeconds = 3.0;

// Gears: the ratio of engine speed to road speed over steady stretches, at least this fast
// (MPH) and this engine speed ...
constexpr double GearMinMph = 5;
constexpr double GearMinRpm = 1000;
// ... where the ratio stays within this share for SteadySeconds ...
constexpr double SteadyTolerance = 0.02;
constexpr double SteadySeconds = 0.3;
// ... gathered into gears where neighbouring ratios differ by less than this share, with at
// least GearMinSamples samples in a gear. A sample is in a gear when its ratio is within
// GearMatchTolerance of the gear's.
constexpr double GearClusterGap = 0.04;
constexpr int GearMinSamples = 4;
constexpr double GearMatchTolerance = 0.05;

// Acceleration marks: 0-30 and 0-60 MPH, 60-100 MPH; in km/h 0-50, 0-100 and 100-160.
constexpr double MphMarks[3][2] = {{0, 30}, {0, 60}, {60, 100}};
constexpr double KphMarks[3][2] = {{0, 50}, {0, 100}, {100, 160}};

// Where to shift. The pull is measured at full throttle with the clutch locked in a gear: from a
// shift's fall until this long (seconds) after its low point the clutch may still slip or the
// driveline wind up, so those samples do not count.
constexpr double ShiftSettleSeconds = 0.1;
// Road speed's slope is a straight line fitted over this many seconds of samples (at least two
// samples), so that the speed's noise at short intervals does not swamp it.
constexpr double PullWindowSeconds = 0.2;
// The engine's pull is a straight line between values this far apart (RPM), at most
// PullMaxKnots of them (further apart over a wider range) ...
constexpr double PullKnotRpm = 500;
constexpr int PullMaxKnots = 40;
// ... bent no more than the measurements ask: a bend costs as much as this many average
// measurements' worth of misfit, so sparse stretches follow their neighbours.
constexpr double PullSmoothing = 0.5;
// A measurement further than this many robust standard deviations from the first fit (a spin,
// a bump, a missed shift) is left out of the second.
constexpr double PullOutlierSigmas = 4;
// Each gear needs at least this many measurements, and at least two gears, to tell the engine's
// pull from the car's drag; a gear counts only where the car gains on average more than this
// (MPH a second) in it.
constexpr int PullMinPerGear = 3;
constexpr double PullMinMphPerSecond = 0.5;
// The pull is known at an engine speed between the lowest and the highest measured where the
// measurements either side of it lie no further apart than this (RPM).
constexpr double PullGapRpm = 800;
// The crossing of two gears' pull is looked for in steps of this many RPM.
constexpr double CrossingStepRpm = 10;
// A crossing is given only when the pull's scatter moves it by no more than this (RPM, one
// standard deviation).
constexpr double CrossingSpreadRpm = 150;

}  // namespace velkor::runs
