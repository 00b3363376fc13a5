// The fuzzer's seed files and a few deliberately hostile inputs, read in the ordinary build: no
// input may throw, run away with time or memory, or leave a log the chart cannot draw.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <streambuf>
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
            EXPECT_EQ(prefs.Input2Legend, "Boost");
            EXPECT_EQ(log->FirmwareID, "Shift Light Controller V2.0");
            EXPECT_EQ(log->Comment, "track day");
        }
        ++seeds;
    }
    EXPECT_GE(seeds, 8);  // the folder really was found
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool UnderAddressSanitizer = true;
#else
constexpr bool UnderAddressSanitizer = false;
#endif

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

const std::string Header =
    "\"Data Logging Interval\",0.5\r\nx,1\r\nx,1\r\nx,\"MPH\"\r\nx,\"Analog\"\r\n"
    "x,\"Analog\"\r\nx,\"In-Hg\"\r\nx,0\r\nx,5\r\nx,0\r\nx,5\r\nx,\"L\"\r\ntitles\r\n";
const std::string GoodSample = "9,9,9,9,9,9,9,9,9,9,9\r\n";

// The header, `lines` lines of `length` bytes (`fill`, then `end`) and one good sample line, made
// on the fly so that a huge file costs the test no memory of its own: the reader's use of memory
// is then all that the process's peak can grow by.
class HostileFile : public std::streambuf {
public:
    HostileFile(char fill, std::size_t length, std::string end, std::size_t lines)
        : m_fill(fill), m_length(length), m_end(std::move(end)), m_body(length * lines) {}

protected:
    int_type underflow() override {
        std::size_t n = 0;
        for (; n < m_buffer.size() && m_position < Header.size() + m_body + GoodSample.size();
             ++n) {
            m_buffer[n] = byteAt(m_position++);
        }
        setg(m_buffer.data(), m_buffer.data(), m_buffer.data() + n);
        return n == 0 ? traits_type::eof() : traits_type::to_int_type(m_buffer[0]);
    }

private:
    char byteAt(std::size_t i) const {
        if (i < Header.size() || i >= Header.size() + m_body) {
            return i < Header.size() ? Header[i] : GoodSample[i - Header.size() - m_body];
        }
        const std::size_t column = (i - Header.size()) % m_length;
        const std::size_t text = m_length - m_end.size();
        return column < text ? m_fill : m_end[column - text];
    }

    char m_fill;
    std::size_t m_length;
    std::string m_end;
    std::size_t m_body;
    std::size_t m_position = 0;
    std::array<char, 4096> m_buffer{};
};

// Reads the file into a log whose samples that are not read must keep what they held; checks the
// growth of the process's peak memory, how far the read got, and that the good line after the
// first `passedOver` samples was read.
void expectPassedOver(const char* name, HostileFile&& file, End end, int passedOver,
                      long peakGrowthLimitKilobytes) {
    auto log = std::make_unique<DataLog>();
    for (int sample = 1; sample <= SampleCount; ++sample) {  // increasing: no repair moves them
        log->ElapsedTime.at(sample) = 0.5f * static_cast<float>(sample);
    }
    log->RPMData.fill(4321);
    log->TPSData.fill(42);
    log->ReservedData.fill(7);
    std::istream in(&file);
    Preferences prefs;
    const long peakBefore = peakKilobytes();
    const LogFileRead outcome = readLogFile(in, *log, prefs);
    if (!UnderAddressSanitizer) {  // its shadow memory and quarantine swamp these figures
        EXPECT_LT(peakKilobytes() - peakBefore, peakGrowthLimitKilobytes) << name;
    }
    expectDrawableLog(*log, outcome, name);
    EXPECT_EQ(outcome.end, end) << name;
    for (int sample = 1; sample <= passedOver; ++sample) {
        ASSERT_EQ(log->ElapsedTime.at(sample), 0.5f * static_cast<float>(sample)) << name;
        ASSERT_EQ(log->RPMData.at(sample), 4321) << name << " sample " << sample;
        ASSERT_EQ(log->TPSData.at(sample), 42) << name << " sample " << sample;
        ASSERT_EQ(log->ReservedData.at(sample), 7) << name << " sample " << sample;
    }
    if (passedOver < SampleCount) {
        EXPECT_EQ(log->RPMData.at(passedOver + 1), 9) << name;
        EXPECT_EQ(log->ReservedData.at(passedOver + 1), 9) << name;
    } else {
        EXPECT_EQ(log->ControllerType, "Unknown") << name;  // no trailer was read
    }
}

TEST(HostileInput, IsPassedOverInLittleMemoryAndTheNextGoodLineIsRead) {
    // Were the rest of the line past the cut read as lines of their own, the good line would land
    // some 160 samples later.
    expectPassedOver("a ten megabyte line", HostileFile('7', 10 << 20, "\r\n", 1), End::InSamples,
                     1, 4 * 1024);
    expectPassedOver("100000 commas", HostileFile(',', 100002, "\r\n", 1), End::InSamples, 1, 1024);
    // Lines 2714 to 2716 are NUL lines too: the log is full before the good line.
    expectPassedOver("3000 lines of NUL bytes", HostileFile('\0', 200, "\n", 3000), End::Complete,
                     SampleCount, 1024);
}

}  // namespace
}  // namespace velkor::test
