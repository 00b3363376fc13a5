// The fuzzer's seed files and a few deliberately hostile inputs, read in the ordinary build: no
// input may throw, run away with time or memory, or leave a log the chart cannot draw.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <streambuf>
#include <string>

#include "app/Preferences.h"
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
        ++seeds;
    }
    EXPECT_GE(seeds, 8);  // the folder really was found
}

TEST(CorpusReplay, TrailerIsReachedPastEmptySampleLines) {
    std::ifstream file(fs::path(VELKOR_FUZZ_CORPUS) / "trailer-after-empty-samples.log",
                       std::ios::binary);
    auto log = std::make_unique<DataLog>();
    Preferences prefs;
    const LogFileRead outcome = readLogFile(file, *log, prefs);
    EXPECT_TRUE(outcome.firmwareKnown);
    EXPECT_EQ(log->FirmwareID, "Shift Light Controller V2.0");
    EXPECT_EQ(log->DownloadDate, "06/12/2026 20:15:00");
    EXPECT_EQ(log->Comment, "track day");
    EXPECT_EQ(prefs.Input2Legend, "Boost");
    EXPECT_FLOAT_EQ(log->DataLogInterval, 0.5f);
}

// An input made on the fly, so that a huge file costs the test no memory of its own: the reader's
// use of memory is then all that the process's peak can grow by.
class GeneratedInput : public std::streambuf {
public:
    // `byteAt(i)` gives byte i of a file of `size` bytes.
    GeneratedInput(std::size_t size, std::function<char(std::size_t)> byteAt)
        : m_size(size), m_byteAt(std::move(byteAt)) {}

protected:
    int_type underflow() override {
        if (m_position >= m_size) {
            return traits_type::eof();
        }
        const std::size_t n = std::min(m_buffer.size(), m_size - m_position);
        for (std::size_t i = 0; i < n; ++i) {
            m_buffer[i] = m_byteAt(m_position + i);
        }
        m_position += n;
        setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + n);
        return traits_type::to_int_type(m_buffer[0]);
    }

private:
    std::size_t m_size;
    std::function<char(std::size_t)> m_byteAt;
    std::size_t m_position = 0;
    std::array<char, 4096> m_buffer{};
};

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const std::string Header =
    "\"Data Logging Interval\",0.5\r\nx,1\r\nx,1\r\nx,\"MPH\"\r\nx,\"Analog\"\r\n"
    "x,\"Analog\"\r\nx,\"In-Hg\"\r\nx,0\r\nx,5\r\nx,0\r\nx,5\r\nx,\"L\"\r\ntitles\r\n";
const std::string GoodSample = "9,9,9,9,9,9,9,9,9,9,9\r\n";

class HostileInput : public ::testing::Test {
protected:
    HostileInput() {
        // Samples that are not read must keep these; the times increase, so no repair moves them.
        for (int sample = 1; sample <= SampleCount; ++sample) {
            log->ElapsedTime.at(sample) = 0.5f * static_cast<float>(sample);
        }
        log->RPMData.fill(4321);
        log->TPSData.fill(42);
        log->ReservedData.fill(7);
    }

    // Reads the header, then `bodySize` bytes from `body` (ending with their own line end), then
    // one good sample line; measures the time and the growth of the process's peak memory.
    LogFileRead read(std::size_t bodySize, const std::function<char(std::size_t)>& body) {
        const std::size_t bodyStart = Header.size();
        const std::size_t bodyEnd = bodyStart + bodySize;
        GeneratedInput bytes(bodyEnd + GoodSample.size(), [&](std::size_t i) {
            if (i < bodyStart) {
                return Header[i];
            }
            return i < bodyEnd ? body(i - bodyStart) : GoodSample[i - bodyEnd];
        });
        std::istream in(&bytes);
        const long peakBefore = peakKilobytes();
        const LogFileRead outcome = readLogFile(in, *log, prefs);
        peakGrowthKilobytes = peakKilobytes() - peakBefore;
        expectDrawableLog(*log, outcome, "hostile input");
        return outcome;
    }

    // The first `passedOver` samples are as they were, and the good line after them was read.
    void expectPassedOverThenRead(int passedOver) {
        for (int sample = 1; sample <= passedOver; ++sample) {
            ASSERT_EQ(log->ElapsedTime.at(sample), 0.5f * static_cast<float>(sample)) << sample;
            ASSERT_EQ(log->RPMData.at(sample), 4321) << sample;
            ASSERT_EQ(log->TPSData.at(sample), 42) << sample;
            ASSERT_EQ(log->ReservedData.at(sample), 7) << sample;
        }
        if (passedOver < SampleCount) {
            EXPECT_EQ(log->RPMData.at(passedOver + 1), 9);
            EXPECT_EQ(log->ReservedData.at(passedOver + 1), 9);
        }
    }

    std::unique_ptr<DataLog> log = std::make_unique<DataLog>();
    Preferences prefs;
    long peakGrowthKilobytes = 0;
};

// `size` bytes of `fill`, the last two being CR LF.
std::function<char(std::size_t)> lineOf(char fill, std::size_t size) {
    return [fill, size](std::size_t i) {
        return i + 2 < size ? fill : i + 2 == size ? '\r' : '\n';
    };
}

TEST_F(HostileInput, TenMegabyteLineIsCutAndPassedOverWhole) {
    // Were the rest of the line past the cut read as lines of their own, the good line would land
    // some 160 samples later.
    const std::size_t size = 10 * 1024 * 1024;
    EXPECT_EQ(read(size, lineOf('7', size)).end, End::InSamples);
    expectPassedOverThenRead(1);
    EXPECT_LT(peakGrowthKilobytes, 4 * 1024) << "the whole line was kept";
}

TEST_F(HostileInput, HundredThousandCommasOnOneLine) {
    read(100002, lineOf(',', 100002));
    expectPassedOverThenRead(1);
    EXPECT_LT(peakGrowthKilobytes, 1024) << "every piece was kept";
}

TEST_F(HostileInput, ThreeThousandLinesOfNulBytes) {
    constexpr std::size_t line = 200;  // 199 NUL bytes and LF
    const LogFileRead outcome =
        read(3000 * line, [](std::size_t i) { return i % line == line - 1 ? '\n' : '\0'; });
    EXPECT_EQ(outcome.end, End::Complete);  // lines 2714 to 2716 are NUL lines too
    expectPassedOverThenRead(SampleCount);
    EXPECT_EQ(log->ControllerType, "Unknown");
}

}  // namespace
}  // namespace velkor::test
