#include "base/LiveDisplay.h"

#include <array>

namespace velkor {

const char* gaugeName(GaugeId gauge) {
    static constexpr std::array<const char*, GaugeCount> Names = {
        "gauTPSPercent", "gauTPSVolts", "gauBatVolts",     "gauInput1Analog",
        "gauInput1AFR",  "gauMAP",      "gauInput2Analog", "gauInput2AFR"};
    return Names.at(static_cast<std::size_t>(gauge));
}

const char* dialName(DialId dial) {
    return dial == DialId::gauTach ? "gauTach" : "gauSpeedometer";
}

const char* lampName(LampId lamp) {
    static constexpr std::array<const char*, LampCount> Names = {
        "shpLED_ArmIn",    "shpLED_GPI",    "shpLED_Shift",  "shpLED_Launch",
        "shpLED_AlarmVSS", "shpLED_Alarm1", "shpLED_Alarm2", "shpLED_GPO"};
    return Names.at(static_cast<std::size_t>(lamp));
}

}  // namespace velkor
