#pragma once
// How a driver actually drove: the log's runs (full throttle from a launch or a roll), every
// upshift within them with the driver's reaction to the shift light, the acceleration times,
// the estimated time slip, the launch and any wheelspin, and where each upshift would have
// pulled hardest. Works on the log as it is in memory, at any logging interval.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace velkor {

struct DataLog;

enum class SpeedUnit { Mph, Kph };

struct ShiftEvent {
    int peakSample = 0;  // 1..2700: the last sample before engine speed falls
    int lowSample = 0;   // the low point after the fall
    double time = 0;     // the peak's time, seconds
    double rpmBefore = 0;
    double rpmAfter = 0;
    double dropPercent = 0;
    double speedMph = 0;  // road speed at the peak
    int gearBefore = 0;   // 1 = the lowest gear; 0 = not known
    int gearAfter = 0;
    std::optional<double> lightOnset;  // when the shift light came on, seconds
    std::optional<double> reaction;    // peak minus onset; negative: shifted before the light
};

// The distances of a time slip, in feet: 60 ft, 330 ft, 1/8 mile, 1000 ft, 1/4 mile.
constexpr std::array<double, 5> SlipFeet = {60, 330, 660, 1000, 1320};

// What the track's clock would have said, estimated from road speed alone. Times count from
// first motion; each is empty when the run does not reach its distance.
struct TimeSlip {
    std::array<std::optional<double>, 5> elapsed;  // at SlipFeet, seconds
    std::optional<double> trapEighthMph;           // mean speed over the 66 ft before 660 ft
    std::optional<double> trapQuarterMph;          // ... and before 1320 ft
    double uncertainty = 0;                        // seconds either way, from the interval
};

// The driven wheels turning faster than the car goes: road speed running ahead of what the
// car can do, until the tyres hook again.
struct WheelspinEvent {
    double start = 0;  // seconds, the log's elapsed time
    double end = 0;
    double peakExcessMph = 0;  // the most the wheels' speed ran ahead of the car's
};

using AccelTimes = std::array<std::optional<double>, 3>;

struct RunResult {
    int startSample = 0;
    int endSample = 0;
    double startTime = 0;
    double endTime = 0;
    bool fromStandstill = false;
    // The moment the car first moved, between the last sample at rest and the first moving
    // one; standing starts only.
    std::optional<double> firstMotion;
    // The acceleration times (0-30, 0-60, 60-100 MPH; 0-50, 0-100, 100-160 km/h); nothing
    // when the run did not reach them. From rest they count from first motion.
    AccelTimes accelMph;
    AccelTimes accelKph;
    const AccelTimes& accel(SpeedUnit unit) const {
        return unit == SpeedUnit::Mph ? accelMph : accelKph;
    }
    TimeSlip slip;  // standing starts only
    // How long the clutch or converter slipped after first motion: engine speed per road speed
    // above first gear's ratio. Nothing when first gear is not known.
    std::optional<double> launchSlip;
    std::vector<WheelspinEvent> wheelspin;
    double peakRpm = 0;
    double peakSpeedMph = 0;
    double wideOpenSeconds = 0;
    std::vector<ShiftEvent> shifts;
    std::optional<double> meanReaction;
    std::optional<double> bestReaction;  // the reaction closest to the light
};

// Where to shift from one gear to the next: the engine speed at which the next gear pulls as
// hard as this one at the same road speed, beside where the driver shifted and the light came
// on. `bestRpm` is empty, and `note` says why, when the log's pull does not cover the range.
struct ShiftPoint {
    int gearFrom = 0;  // 1 = the lowest gear
    std::optional<double> bestRpm;
    std::optional<double> shiftedRpm;  // the mean engine speed at the driver's shifts
    std::optional<double> lightRpm;    // the mean engine speed as the shift light came on
    std::string note;
};

struct RunAnalysis {
    double interval = 0;             // seconds between samples
    std::vector<double> gearRatios;  // RPM per MPH, gear 1 first
    std::vector<RunResult> runs;
    std::vector<ShiftPoint> shiftPoints;  // one per upshift the gears allow, lowest first
    bool timeUsable = true;  // false: the time column does not increase, nothing was looked at
};

RunAnalysis analyseRuns(const DataLog& log);

// When the car first moved in the log's first standing start; nothing without one. Runs laid
// over each other line up here.
std::optional<double> firstLaunch(const DataLog& log);

// The marks' names for a unit: "0-30 MPH" ...
std::array<const char*, 3> accelNames(SpeedUnit unit);

// Engine speed per road speed of the gears over the steady stretches of the samples, gear 1
// (the highest ratio) first.
std::vector<double> findGearRatios(const std::vector<double>& time, const std::vector<double>& rpm,
                                   const std::vector<double>& mph);

// The gear (1..) whose ratio this sample's matches, 0 for none.
int gearOf(const std::vector<double>& ratios, double rpm, double mph);

}  // namespace velkor
