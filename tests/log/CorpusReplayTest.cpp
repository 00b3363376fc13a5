// The fuzzer's seed files and a few deliberately hostile inputs, read in the ordinary build: no
// input may throw, run away with time or memory, or leave a log the chart cannot draw.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "base/Preferences.h"
#include "log/LogFile.h"

namespace velkor::test {
namespace {

namespace fs = std::filesystem;
using End = LogFileRead::End;

// What any read must leave, whatever the bytes were.
void expectDrawableLog(const DataLog& log, const LogFileRead& outcome, const std::string& name) {
    EXPECT_EQ(outcome.firmwareKnown, log.ControllerType == "Shift Light") << name;
    if (outcome.end != End::InHeader) {  // a file ending in its header is given up at once
        EXPECT_TRUE(log.ControllerType == "Shift Light" || log.ControllerType == "Unknown") << name;
    }
    const bool usableInterval = std::isfinite(log.DataLogInterval) && log.DataLogInterval >= 0;
    for (int sample = 1; sample <= SampleCount; ++sample) {
        const float tps = log.TPSData.at(sample);
        ASSERT_TRUE(tps >= 0.0f && tps <= 100.0f) << name << " sample " << sample << ": " << tps;
        if (usableInterval && sample > 1) {
            ASSERT_GE(log.ElapsedTime.at(sample), log.ElapsedTime.at(sample - 1))
                << name << " sample " << sample;
        }
    }
}

TEST(CorpusReplay, EverySeedReadsToADrawableLog) {
    // How far each seed gets, where its name promises it.
    const std::map<std::string, End> expectedEnd = {
        {"header-only.log", End::InSamples},
        {"cut-inside-samples.log", End::InSamples},
        {"trailer-fragment.log", End::InTrailer},
        {"trailer-after-empty-samples.log", End::Complete},
    };
    int seeds = 0;
    for (const auto& entry : fs::directory_iterator(VELKOR_FUZZ_CORPUS)) {
        const std::string name = entry.path().filename().string();
        std::ifstream file(entry.path(), std::ios::binary);
        ASSERT_TRUE(file) << name;
        auto log = std::make_unique<DataLog>();
        Preferences prefs;
        LogFileRead outcome;
        ASSERT_NO_THROW(outcome = readLogFile(file, *log, prefs)) << name;
        expectDrawableLog(*log, outcome, name);
        if (const auto expected = expectedEnd.find(name); expected != expectedEnd.end()) {
            EXPECT_EQ(outcome.end, expected->second) << name;
        }
        if (name == "trailer-after-empty-samples.log") {  // the header and trailer both read
            EXPECT_EQ(prefs.Input2Legend + "|" + log->FirmwareID + "|" + log->Comment,
                      "Boost|Shift Light Controller V2.0|track day");
        }
        ++seeds;
    }
    EXPECT_GE(seeds, 8);  // the folder really was found
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const std::string Header =
    "\"Data Logging Interval\",0.5\r\nx,1\r\nx,1\r\nx,\"MPH\"\r\nx,\"Analog\"\r\n"
    "x,\"Analog\"\r\nx,\"In-Hg\"\r\nx,0\r\nx,5\r\nx,0\r\nx,5\r\nx,\"L\"\r\ntitles\r\n";

// Reads the header, `lines` lines of `length` bytes (`fill`, then `end`) and one good sample line
// into a log whose samples that are not read must keep what they held; checks the growth of the
// process's peak memory beyond the file's own, how far the read got, and that the good line after
// the first `passedOver` samples was read.
void expectPassedOver(const char* name, char fill, std::size_t length, const std::string& end,
                      std::size_t lines, End reached, int passedOver,
                      [[maybe_unused]] long peakGrowthKilobytes) {
    std::string line(length - end.size(), fill);
    line += end;
    std::string text = Header;
    for (std::size_t i = 0; i < lines; ++i) {
        text += line;
    }
    text += "9,9,9,9,9,9,9,9,9,9,9\r\n";
    std::istringstream in(std::move(text));
    auto log = std::make_unique<DataLog>();
    for (int sample = 1; sample <= SampleCount; ++sample) {  // increasing: no repair moves them
        log->ElapsedTime.at(sample) = 0.5f * static_cast<float>(sample);
    }
    log->RPMData.fill(4321);
    log->TPSData.fill(42);
    Preferences prefs;
    [[maybe_unused]] const long peakBefore = peakKilobytes();
    const LogFileRead outcome = readLogFile(in, *log, prefs);
#ifndef __SANITIZE_ADDRESS__  // its shadow memory and quarantine swamp these figures
    EXPECT_LT(peakKilobytes() - peakBefore, peakGrowthKilobytes) << name;
#endif
    expectDrawableLog(*log, outcome, name);
    EXPECT_EQ(outcome.end, reached) << name;
    for (int sample = 1; sample <= passedOver; ++sample) {
        ASSERT_TRUE(log->RPMData.at(sample) == 4321 && log->TPSData.at(sample) == 42)
            << name << " sample " << sample;
    }
    if (passedOver < SampleCount) {
        EXPECT_EQ(log->RPMData.at(passedOver + 1), 9) << name;
    } else {
        EXPECT_EQ(log->ControllerType, "Unknown") << name;  // no trailer was read
    }
}

TEST(HostileInput, IsPassedOverInLittleMemoryAndTheNextGoodLineIsRead) {
    // Were the rest of the line past the cut read as lines of their own, the good line would land
    // some 160 samples later.
    expectPassedOver("a ten megabyte line", '7', 10 << 20, "\r\n", 1, End::InSamples, 1, 4 * 1024);
    expectPassedOver("100000 commas", ',', 100002, "\r\n", 1, End::InSamples, 1, 1024);
    // Lines 2714 to 2716 are NUL lines too: the log is full before the good line.
    expectPassedOver("3000 lines of NUL bytes", '\0', 200, "\n", 3000, End::Complete, SampleCount,
                     1024);
}

}  // namespace
}  // namespace velkor::test
