#include "live/SpokenReadings.h"

#include <array>

namespace velkor {

namespace {

// Blanks and line breaks around a read-out are not spoken.
std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::string dialSpokenText(DialId dial, const std::string& readout) {
    const bool tach = dial == DialId::gauTach;
    const std::string name = tach ? "Tachometer" : "Speedometer";
    const std::string shown = trimmed(readout);
    if (shown.empty()) {
        return name + ", no reading";
    }
    return name + " " + shown + (tach ? " RPM" : " MPH");
}

std::string gaugeSpokenText(const std::string& caption, const std::string& readout) {
    const std::string shown = trimmed(readout);
    return shown.empty() ? caption + ", no reading" : caption + " " + shown;
}

std::string lampSpokenText(LampId lamp, Colour colour) {
    // Said as a person names them, in the order of LampId.
    static constexpr std::array<const char*, LampCount> Names = {
        "Arm input", "General purpose input", "Shift light", "Launch light", "VSS alarm", "Alarm 1",
        "Alarm 2",   "General purpose output"};
    return std::string(Names.at(static_cast<std::size_t>(lamp))) +
           (colour != LampDark ? " on" : " off");
}

}  // namespace velkor
