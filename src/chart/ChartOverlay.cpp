#include "chart/ChartOverlay.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "analysis/RunAnalysis.h"
#include "base/AppError.h"
#include "base/Latin1.h"
#include "base/Preferences.h"
#include "base/Prompts.h"
#include "chart/TimeWindow.h"
#include "log/FileDialogs.h"
#include "log/LogFile.h"
#include "log/LogFileOperations.h"

namespace velkor {

std::optional<int> launchSample(const DataLog& log) {
    for (int p = 2; p <= SampleCount; ++p) {
        const float before = log.TPSData.at(p - 1);
        if (log.TPSData.at(p) > LaunchThrottlePercent && before <= LaunchThrottlePercent &&
            std::fabs(log.VSSData.at(p - 1)) < StandstillMph) {
            return p;
        }
    }
    return std::nullopt;
}

double overlayAlignment(const DataLog& shown, const DataLog& overlay) {
    const auto motionA = firstLaunch(shown);
    const auto motionB = firstLaunch(overlay);
    if (motionA && motionB) {
        return *motionA - *motionB;
    }
    const auto a = launchSample(shown);
    const auto b = launchSample(overlay);
    if (a && b) {
        return double(shown.ElapsedTime.at(*a)) - double(overlay.ElapsedTime.at(*b));
    }
    return double(shown.ElapsedTime.at(1)) - double(overlay.ElapsedTime.at(1));
}

double shiftToMarker(const DataLog& overlay, double shift, double bTime, double markerTime) {
    const int p = nearestSample(overlay.ElapsedTime.values(), bTime - shift);
    return markerTime - double(overlay.ElapsedTime.at(p));
}

std::optional<int> freeOverlaySlot(const std::vector<Overlay>& overlays) {
    for (int slot = 0; slot < MaxOverlays; ++slot) {
        if (std::none_of(overlays.begin(), overlays.end(),
                         [slot](const Overlay& o) { return o.slot == slot; })) {
            return slot;
        }
    }
    return std::nullopt;
}

std::optional<std::string> overlayRefusal(const std::string& fileName, const LogFileRead& read) {
    std::string why;
    if (read.end == LogFileRead::End::InHeader) {
        why = std::string(PrematureEndNoData) + ".";
    } else if (read.sampleLines == 0) {
        why = "Not one of its lines is a sample of a log.";
    } else {
        return std::nullopt;
    }
    return fileName + " is not a log file.\r\n" + why + "\r\nNothing was laid over the chart.";
}

std::optional<Overlay> readOverlay(Prompts& prompts, const FilePlace& place) {
    std::optional<std::string> path;
    if (runStep(prompts,
                [&] { path = FileOpen(prompts, "Overlay Log File", LogFileFilter, "", place); }) !=
            StepResult::Done ||
        !path || path->empty()) {
        return std::nullopt;
    }
    return readOverlayFile(prompts, *path);
}

std::optional<Overlay> readOverlayFile(Prompts& prompts, const std::string& chosen) {
    const std::string* path = &chosen;
    std::ifstream file(*path, std::ios::binary);
    if (!file) {
        prompts.message("The log file " + latin1FromUtf8(*path) + " could not be opened (" +
                            std::strerror(errno) + ").",
                        OverlayTitle, Icon::Exclamation, Buttons::Ok);
        return std::nullopt;
    }
    Overlay overlay;
    overlay.name = latin1FromUtf8(std::filesystem::path(*path).filename().string());
    overlay.log = std::make_unique<DataLog>();
    // The file's display settings go to a copy: overlays are drawn in the settings in use.
    Preferences fileSettings;
    const LogFileRead read = readLogFile(file, *overlay.log, fileSettings);
    if (const auto refusal = overlayRefusal(overlay.name, read)) {
        prompts.message(*refusal, OverlayTitle, Icon::Exclamation, Buttons::Ok);
        return std::nullopt;
    }
    if (read.end != LogFileRead::End::Complete) {
        prompts.message(PrematureEnd, OverlayTitle, Icon::Exclamation, Buttons::Ok);
    }
    if (!read.firmwareKnown) {
        prompts.message(InvalidFirmware, OverlayTitle, Icon::Exclamation, Buttons::Ok);
    }
    for (const std::string& note : logFileNotes(read)) {
        prompts.message(note, OverlayTitle, Icon::Exclamation, Buttons::Ok);
    }
    overlay.log->DataBufferEmpty = false;
    return overlay;
}

}  // namespace velkor
