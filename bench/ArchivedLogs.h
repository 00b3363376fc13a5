#pragma once
// A season's download archive for the logbook's benchmarks: 1,000 simulated drag logs at the five
// usual intervals, each its own content, in yearly folders named as the archive names them.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "DecodedDrive.h"
#include "base/Preferences.h"
#include "log/LogFile.h"
#include "sim/DragRun.h"

namespace velkor::bench {

constexpr int ArchivedLogCount = 1000;

inline void writeArchive(const std::filesystem::path& folder) {
    constexpr double Intervals[] = {0.032, 0.048, 0.064, 0.08, 0.096};
    auto log = std::make_unique<DataLog>();
    for (int i = 0; i < ArchivedLogCount; ++i) {
        const double interval = Intervals[i % 5];
        *log = decodedDrive(sim::generateDragRun(interval, 368, unsigned(i + 1)).fram,
                            float(interval));
        log->FirmwareID = "Shift Light Controller V2.0";
        log->ControllerType = controllerTypeOf(log->FirmwareID);
        log->DownloadDate = "06/14/26 15:20:00";
        log->Comment = "Archive " + std::to_string(i);
        char name[64];
        std::snprintf(name, sizeof name, "%04d/2026-%02d-%02d_%02d-%02d-00.log", 2026 + i / 400,
                      1 + i % 12, 1 + i % 28, i % 24, i % 60);
        const std::filesystem::path path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << logFileText(*log, Preferences{}, "Velkor");
    }
}

}  // namespace velkor::bench
