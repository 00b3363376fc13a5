#include "base/DataLog.h"

#include <algorithm>
#include <cctype>

namespace velkor {

void ClearDataBuffer(DataLog& log) {
    // ElapsedTime is left alone on purpose: the next download or file open rewrites it.
    log.RPMData.fill(0.0f);
    log.VSSData.fill(0.0f);
    log.TPSData.fill(0.0f);
    log.Input1VoltsData.fill(0.0f);
    log.Input2VoltsData.fill(0.0f);
    log.BatVoltsData.fill(0.0f);
    log.InputData.fill(0.0f);
    log.OutputData.fill(0.0f);
    log.StatusData.fill(0.0f);
    log.ReservedData.fill(0.0f);
    log.FirmwareID.clear();
    log.DownloadDate.clear();
    log.Comment.clear();
    log.DataLogInterval = 0.0f;
    log.DataBufferEmpty = true;
}

void ClearFRAMBuffer(DataLog& log) {
    log.FRAMBuffer.fill(0);
    log.FRAMBufferEmpty = true;
}

std::string controllerTypeOf(const std::string& firmwareId) {
    std::string lower(firmwareId.size(), ' ');
    std::transform(firmwareId.begin(), firmwareId.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("shift light") != std::string::npos ? "Shift Light" : "Unknown";
}

}  // namespace velkor
