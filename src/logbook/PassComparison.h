#pragma once
// A pass against the reference pass, foot by foot: how far behind or ahead of the reference the
// car was at each distance down the track, both cars' speeds there, the time slip's splits side
// by side, each shift's engine speed and reaction to the shift light, and the stretch of track
// where the most time went.
//
// The distance is the time slip's own: road speed integrated from first motion by the trapezoid
// rule, with the car's speed bridged through any wheelspin, so that a trace's time at 60 ft or
// at the 1/4 mile is the time slip's.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/RunAnalysis.h"
#include "analysis/TimeSlip.h"

namespace velkor {

struct DataLog;

constexpr const char* CompareTitle = "Compare with Reference";
constexpr const char* CompareDistanceAxis = "Distance from the start line (ft)";
constexpr const char* CompareBehindAxis = "Behind reference (s)";
constexpr const char* CompareSpeedAxis = "Speed (MPH)";
constexpr const char* CompareBehindName = "Time behind reference";
constexpr const char* CompareHint =
    "Differences are the pass minus the reference: above 0 the pass is behind the reference, "
    "below 0 ahead of it. Speeds are the car's own, through any wheelspin.";
// The comparison's step down the track, and how far it goes: the 1/4 mile.
constexpr double CompareStepFeet = 5;
constexpr double CompareFeet = 1320;
// A section counts as time lost from this much on (seconds): below it the read-out shows 0.000.
constexpr double CompareLossSeconds = 0.0005;

// One standing start of a log: from first motion (0 s, 0 ft, at rest) each sample's time in
// seconds, the distance covered and the car's speed, up to the 1/4 mile or the run's end.
struct PassTrace {
    int runNumber = 0;  // 1 = the log's first run
    std::vector<DistancePoint> points;
    RunResult run;       // the run's analysis: its time slip and its shifts
    std::string reason;  // why there are no points; empty when there are
    double reachFeet() const { return points.empty() ? 0 : points.back().feet; }
};

// The trace of run `runNumber` (1 = the first) of the log; no points, and the reason, when the
// log has no such run or it is not a standing start.
PassTrace passTrace(const DataLog& log, int runNumber);
// The same for run `runNumber` of the log file at `path`; the reason says when the file cannot
// be read or is no log.
PassTrace passTraceOfFile(const std::string& path, int runNumber);

// At one distance down the track.
struct CompareStep {
    double feet = 0;
    double behindSeconds = 0;  // the pass's time minus the reference's: above 0, behind
    double passMph = 0;
    double referenceMph = 0;
};

// Both passes at a mark of the time slip.
struct SplitCompare {
    double feet = 0;
    std::optional<double> passSeconds;
    std::optional<double> referenceSeconds;
    std::optional<double> behindSeconds;  // when both reach it
};

// The n-th upshift of each pass (1-2, then 2-3, ...), matched by their order in the run.
struct ShiftCompare {
    int number = 0;  // 1 = the first upshift
    std::optional<double> passRpm;
    std::optional<double> referenceRpm;
    std::optional<double> passReaction;  // seconds from the shift light to the shift
    std::optional<double> referenceReaction;
};

// A stretch between two marks of the time slip (0-60 ft, 60-330 ft, ...) and the time the pass
// lost to the reference over it: above 0 lost, below 0 gained.
struct SectionLoss {
    double fromFeet = 0;
    double toFeet = 0;
    double lostSeconds = 0;
};

struct PassComparison {
    std::vector<CompareStep> steps;      // every CompareStepFeet, as far as both passes reach
    std::array<SplitCompare, 5> splits;  // at SlipFeet
    std::vector<ShiftCompare> shifts;
    std::vector<SectionLoss> sections;    // those both passes cover
    std::optional<SectionLoss> mostLost;  // the section with the most time lost, if any was
    // The read-out's sentences: where the pass ended up against the reference, and where the
    // most time went. A comparison that cannot be made says why in the first.
    std::string standing;
    std::string lossText;
};

PassComparison comparePasses(const PassTrace& pass, const PassTrace& reference);

// The comparison as a table: a row for each split, then two for each shift (engine speed and
// reaction), with the pass's figure, the reference's and the difference, pass minus reference;
// the captions name the passes in the headers.
struct CompareTable {
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
};

CompareTable compareTable(const PassComparison& comparison, const std::string& passCaption,
                          const std::string& referenceCaption);

// The legend's names of the two speed traces: "2026-06-14 run 1 speed", "... speed (reference)".
std::array<std::string, 2> speedNames(const std::string& passCaption,
                                      const std::string& referenceCaption);

// "60 ft", "1/8 mile", "1000 ft", "1/4 mile".
std::string markName(double feet);

}  // namespace velkor
