#pragma once
// Another run laid over the chart: a second log file, drawn with the same two quantities, moved
// in time so that both runs line up at their launch.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/DataLog.h"
#include "log/FilePlaces.h"

namespace velkor {

class Prompts;
struct LogFileRead;

constexpr int MaxOverlays = 3;
constexpr const char* OverlayTitle = "Overlay Log File";
// Each overlay's colour, by the slot it takes: orange, sky blue and reddish purple of the
// Okabe-Ito palette, which stay apart from each other and from the traces (red, blue), the
// markers (green, black) and the shift ticks for the common colour-vision deficiencies.
// Trace 1 of an overlay is dashed, trace 2 dotted, both in the overlay's colour.
constexpr std::array<const char*, MaxOverlays> OverlayColours{"#E69F00", "#56B4E9", "#CC79A7"};
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
    int slot = 0;      // 0..MaxOverlays-1: its colour, kept while it is laid over the chart
};

// The lowest slot no overlay holds; nothing when all are taken.
std::optional<int> freeOverlaySlot(const std::vector<Overlay>& overlays);

// Why a file read as a log is no log to lay over the chart: it ends before its first sample,
// or not one of its sample lines could be read. Nothing for a log, even a damaged one.
std::optional<std::string> overlayRefusal(const std::string& fileName, const LogFileRead& read);

// Asks for a log file and reads it with the log file reader, saying what it says on opening a
// file (a short file, an unknown firmware). The log in memory and the display settings are not
// touched. Nothing when the person cancels or the file is no log (saying why). At a `place`,
// the dialog opens where logs were last opened, with the kept downloads one click away.
std::optional<Overlay> readOverlay(Prompts& prompts, const FilePlace& place = {});
// The same for the log file at `path`, chosen elsewhere (the logbook).
std::optional<Overlay> readOverlayFile(Prompts& prompts, const std::string& path);

}  // namespace velkor
