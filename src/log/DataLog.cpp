#include "log/DataLog.h"

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

}  // namespace velkor
