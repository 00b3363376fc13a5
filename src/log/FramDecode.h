#pragma once
// Turning the controller's FRAM image into log samples, and the time column.

#include <optional>

#include "base/AppError.h"
#include "base/DataLog.h"

namespace velkor {

constexpr int FramHeaderSize = 368;  // bytes 0..367; the ring of records follows
constexpr int RecordSize = 12;
constexpr int RingStartLow = 35;  // ring start address, low byte first
constexpr int RingStartHigh = 36;
constexpr int LastRecordAddress = FramSize - RecordSize;  // 32756

// The ring start address held in the image's header (bytes 35 and 36, low byte first).
int ringStartAddress(const FramImage& image);

// The address of the record that becomes sample `sampleNumber` (1..2700) for a ring start.
int recordAddress(int ringStart, int sampleNumber);

// Decodes log.FRAMBuffer into the ten data columns of `log`, using log.TPSMin and log.TPSMax.
// A ring start that would make a record reach past the end of the image is refused before
// anything is written: the error describes it and the log is left as it was.
std::optional<AppError> DecodeFRAMImage(DataLog& log);

// ElapsedTime(i) = DataLogInterval x i, to two decimals: the first sample is one interval in.
void BuildElapsedTime(DataLog& log);

// After a file open: every time not greater than the one before becomes the one before plus the
// interval, so the column increases strictly whenever the interval is positive.
void RepairElapsedTime(DataLog& log);

}  // namespace velkor
