#pragma once
// The one log in memory: its header values, the raw image of the controller's FRAM and the
// eleven sample columns. A log always has exactly 2700 samples, numbered 1 to 2700.

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace velkor {

constexpr int SampleCount = 2700;
constexpr int FramSize = 32768;

// One column of the log, addressed by sample number 1..SampleCount, as the log file and the
// chart number them.
class SampleColumn {
public:
    float& at(int sampleNumber) { return m_values.at(index(sampleNumber)); }
    float at(int sampleNumber) const { return m_values.at(index(sampleNumber)); }
    void fill(float value) { m_values.fill(value); }
    // All samples in order, sample 1 first, for bulk use (chart series, comparisons, and the
    // passes of a file reader and of the time repair over every sample).
    const std::array<float, SampleCount>& values() const { return m_values; }
    std::array<float, SampleCount>& values() { return m_values; }
    bool operator==(const SampleColumn& other) const { return m_values == other.m_values; }
    bool operator!=(const SampleColumn& other) const { return !(*this == other); }

private:
    static std::size_t index(int sampleNumber) {
        if (sampleNumber < 1 || sampleNumber > SampleCount) {
            throw std::out_of_range("sample number " + std::to_string(sampleNumber) +
                                    " is outside 1.." + std::to_string(SampleCount));
        }
        return static_cast<std::size_t>(sampleNumber - 1);
    }
    std::array<float, SampleCount> m_values{};
};

using FramImage = std::array<std::uint8_t, FramSize>;

struct DataLog {
    bool DataBufferEmpty = true;
    bool FRAMBufferEmpty = true;
    float DataLogInterval = 0.0f;  // seconds between two samples
    std::string FirmwareID;
    std::string ControllerType;  // "Shift Light", "Unknown", or "" before identification
    std::string DownloadDate;
    std::string Comment;
    // The log file this log was opened from or last saved to; empty for a download. Exports
    // never write over it.
    std::string FilePath;
    // Where a download was kept in the downloads archive; empty for a log opened from a file.
    std::string ArchivePath;
    float TPSMin = 0.0f;  // raw throttle count meaning 0 %
    float TPSMax = 0.0f;  // raw throttle count meaning 100 %
    FramImage FRAMBuffer{};

    SampleColumn ElapsedTime;
    SampleColumn RPMData;
    SampleColumn VSSData;
    SampleColumn TPSData;
    SampleColumn Input1VoltsData;
    SampleColumn Input2VoltsData;
    SampleColumn BatVoltsData;
    SampleColumn InputData;
    SampleColumn OutputData;
    SampleColumn StatusData;
    SampleColumn ReservedData;
};

// Empties the ten data columns and the header texts, sets the interval to 0 and marks the log
// empty. ElapsedTime keeps its contents until a download or a file open rewrites it.
void ClearDataBuffer(DataLog& log);

// Zeroes the FRAM image and marks it empty.
void ClearFRAMBuffer(DataLog& log);

// "Shift Light" when a firmware ID holds those words in any letter case, else "Unknown".
std::string controllerTypeOf(const std::string& firmwareId);

}  // namespace velkor
