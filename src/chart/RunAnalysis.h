#pragma once
// How a driver actually drove: the log's runs (full throttle from a launch or a roll), every
// upshift within them with the driver's reaction to the shift light, and the acceleration
// times. Works on the log as it is in memory, at any logging interval.

#include <array>
#include <optional>
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

struct RunResult {
    int startSample = 0;
    int endSample = 0;
    double startTime = 0;
    double endTime = 0;
    bool fromStandstill = false;
    // The three acceleration times of the unit's marks (0-30, 0-60, 60-100 MPH, or 0-50,
    // 0-100, 100-160 km/h); nothing when the run did not reach them.
    std::array<std::optional<double>, 3> accel;
    double peakRpm = 0;
    double peakSpeedMph = 0;
    double wideOpenSeconds = 0;
    std::vector<ShiftEvent> shifts;
    std::optional<double> meanReaction;
    std::optional<double> bestReaction;  // the reaction closest to the light
};

struct RunAnalysis {
    std::vector<double> gearRatios;  // RPM per MPH, gear 1 first
    std::vector<RunResult> runs;
    bool timeUsable = true;  // false: the time column does not increase, nothing was looked at
};

RunAnalysis analyseRuns(const DataLog& log, SpeedUnit unit);

// The marks' names for a unit: "0-30 MPH" ...
std::array<const char*, 3> accelNames(SpeedUnit unit);

// Engine speed per road speed of the gears over the steady stretches of the samples, gear 1
// (the highest ratio) first.
std::vector<double> findGearRatios(const std::vector<double>& time, const std::vector<double>& rpm,
                                   const std::vector<double>& mph);

// The gear (1..) whose ratio this sample's matches, 0 for none.
int gearOf(const std::vector<double>& ratios, double rpm, double mph);

}  // namespace velkor
