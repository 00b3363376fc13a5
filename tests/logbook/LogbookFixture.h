#pragma once
// A logbook in a folder of its own, and drag logs written there as a download saves them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "base/Preferences.h"
#include "log/LogFile.h"
#include "logbook/Logbook.h"
#include "sim/DragRun.h"
#include "support/Drives.h"
#include "support/Files.h"

namespace velkor::test {

namespace fs = std::filesystem;

// The text of a log file holding one simulated drag pass; `seed` makes each log's content its
// own.
inline std::string dragLogText(unsigned seed, double interval = 0.048,
                               const std::string& downloadDate = "12/07/26 14:03:22") {
    auto log = std::make_unique<DataLog>();
    loadDrive(*log, sim::generateDragRun(interval, 368, seed).fram, float(interval));
    log->FirmwareID = "Shift Light Controller V2.0";
    log->ControllerType = controllerTypeOf(log->FirmwareID);
    log->DownloadDate = downloadDate;
    log->Comment = "Pass " + std::to_string(seed);
    return logFileText(*log, Preferences{}, "Velkor");
}

class LogbookTest : public ::testing::Test {
protected:
    LogbookTest() {
        std::random_device random;
        folder = fs::temp_directory_path() /
                 ("velkor-logbook-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
        fs::create_directories(folder / "logs");
    }
    ~LogbookTest() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string database() const { return (folder / LogbookDatabaseName).string(); }
    std::string journal() const { return (folder / LogbookJournalName).string(); }
    std::string logs() const { return (folder / "logs").string(); }
    std::unique_ptr<Logbook> open() { return std::make_unique<Logbook>(database(), journal()); }

    // Writes a drag log under logs/; returns its path.
    std::string writeLog(const std::string& name, unsigned seed,
                         const std::string& downloadDate = "12/07/26 14:03:22") {
        const fs::path path = folder / "logs" / name;
        fs::create_directories(path.parent_path());
        spit(path, dragLogText(seed, 0.048, downloadDate));
        return path.string();
    }

    fs::path folder;
};

using LogbookScanTest = LogbookTest;

}  // namespace velkor::test
