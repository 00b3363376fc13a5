#include "log/FramDecode.h"

#include <cstddef>
#include <stdexcept>
#include <string>

#include "base/Numbers.h"
#include "log/LogUnits.h"

namespace velkor {

namespace {

// Bytes taken up by the ring of records: 2700 x 12 = 32400. An address past the last record
// slot comes back round by this much.
constexpr int RingSize = SampleCount * RecordSize;

// Whether every record of a ring starting at `ringStart` lies wholly inside the image. Only a
// start above 32768 fails: its last records wrap to addresses that run past byte 32767.
bool ringFitsImage(int ringStart) {
    for (int sample = 1; sample <= SampleCount; ++sample) {
        const int address = recordAddress(ringStart, sample);
        if (address < 0 || address + RecordSize > FramSize) {
            return false;
        }
    }
    return true;
}

}  // namespace

int ringStartAddress(const FramImage& image) {
    return 256 * image[RingStartHigh] + image[RingStartLow];
}

int recordAddress(int ringStart, int sampleNumber) {
    if (sampleNumber < 1 || sampleNumber > SampleCount) {
        throw std::out_of_range("sample number " + std::to_string(sampleNumber) +
                                " is outside 1.." + std::to_string(SampleCount));
    }
    const int nominal = ringStart + RecordSize * (sampleNumber - 1);
    return nominal > LastRecordAddress ? nominal - RingSize : nominal;
}

std::optional<AppError> DecodeFRAMImage(DataLog& log) {
    const FramImage& image = log.FRAMBuffer;
    const int ringStart = ringStartAddress(image);
    if (!ringFitsImage(ringStart)) {
        return AppError(ErrorNumber::SubscriptOutOfRange, "Velkor",
                        "Invalid ring start address " + std::to_string(ringStart) +
                            " in the controller's log header.");
    }

    for (int sample = 1; sample <= SampleCount; ++sample) {
        const auto* record =
            image.data() + static_cast<std::size_t>(recordAddress(ringStart, sample));
        log.RPMData.at(sample) = rpmFromRaw(record[0], record[1]);
        log.VSSData.at(sample) = speedFromRaw(record[2], record[3]);
        log.TPSData.at(sample) = tpsPercentFromRaw(record[4], log.TPSMin, log.TPSMax);
        log.Input1VoltsData.at(sample) = inputVoltsFromRaw(record[5]);
        log.Input2VoltsData.at(sample) = inputVoltsFromRaw(record[6]);
        log.BatVoltsData.at(sample) = batteryVoltsFromRaw(record[7]);
        log.InputData.at(sample) = record[8];
        log.OutputData.at(sample) = record[9];
        log.StatusData.at(sample) = record[10];
        log.ReservedData.at(sample) = record[11];
    }
    return std::nullopt;
}

void BuildElapsedTime(DataLog& log) {
    const double interval = log.DataLogInterval;
    for (int sample = 1; sample <= SampleCount; ++sample) {
        log.ElapsedTime.at(sample) = roundToFloat(interval * sample, 2);
    }
}

void RepairElapsedTime(DataLog& log) {
    const double interval = log.DataLogInterval;
    auto& times = log.ElapsedTime.values();
    for (std::size_t i = 1; i < times.size(); ++i) {
        if (!(times[i] > times[i - 1])) {
            times[i] = static_cast<float>(times[i - 1] + interval);
        }
    }
}

}  // namespace velkor
