#pragma once
// Another run laid over the chart: a second log file, drawn with the same two quantities, moved
// in time so that both runs line up at their launch.

#include <memory>
#include <optional>
#include <string>

#include "base/DataLog.h"

namespace velkor {

class Prompts;

constexpr int MaxOverlays = 3;
constexpr const char* OverlayTitle = "Overlay Log File";
// A launch: the throttle rising past this from a standstill.
constexpr float LaunchThrottlePercent = 80;
// Slower than this (MPH) is standing still.
constexpr float StandstillMph = 1;

// The first sample (2..2700) whose throttle is above LaunchThrottlePercent while the one before
// it was not, with the car standing at that one before; nothing when the log has no launch.
std::optional<int> launchSample(const DataLog& log);

// The seconds to add to the overlay's times so that it lines up with the shown log: at the
// first motion of their first standing starts when both have one, else at their launches
// (the throttle rising from a standstill), else at their first samples.
double overlayAlignment(const DataLog& shown, const DataLog& overlay);

// The seconds to add to an overlay already moved by `shift` so that its sample nearest B's time
// comes to the marker's time.
double shiftToMarker(const DataLog& overlay, double shift, double bTime, double markerTime);

struct Overlay {
    std::string name;  // the file's name without its folder, in Latin-1
    std::unique_ptr<DataLog> log;
    double shift = 0;  // seconds added to the overlay's times
};

// Asks for a log file and reads it with the log file reader, saying what it says on opening a
// file (a short file, an unknown firmware). The log in memory and the display settings are not
// touched. Nothing when the person cancels or the file holds no data.
std::optional<Overlay> readOverlay(Prompts& prompts);

}  // namespace velkor
