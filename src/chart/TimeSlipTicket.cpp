#include "chart/TimeSlipTicket.h"

#include <algorithm>
#include <cmath>

#include "base/Preferences.h"
#include "chart/ChartCsv.h"

namespace velkor {

namespace {

constexpr const char* Dash = "\u2014";
constexpr const char* PlusMinus = "\u00B1";
// Columns of a slip's line: the distance's name, then the time right-aligned.
constexpr std::size_t NameWidth = 9;
constexpr std::size_t TimeWidth = 6;
constexpr std::size_t SpeedWidth = 5;
// The trap speeds stand beside the 1/8 and 1/4 mile times (indices into SlipFeet).
constexpr std::size_t EighthMile = 2;
constexpr std::size_t QuarterMile = 4;

std::string padLeft(const std::string& text, std::size_t width, std::size_t shown) {
    return shown >= width ? text : std::string(width - shown, ' ') + text;
}

std::string padRight(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

const std::vector<std::string>& slipDistanceNames() {
    static const std::vector<std::string> names = {"60 ft", "330 ft", "1/8 mile", "1000 ft",
                                                   "1/4 mile"};
    return names;
}

std::string slipUncertaintyText(double seconds) {
    // Up to the next hundredth, so that the figure never claims more than the log can tell; a
    // hair over a hundredth from the arithmetic is not a hundredth more.
    const double hundredths = std::ceil(std::max(0.0, seconds) * 100 - 1e-6);
    return std::string(PlusMinus) + " " + csvNumber(hundredths / 100, 2) + " s";
}

std::vector<std::string> timeSlipTicket(const RunResult& run, std::size_t number, SpeedUnit unit) {
    const std::string name = "Run " + std::to_string(number);
    if (!run.fromStandstill) {
        return {name + " started rolling: a time slip needs a standing start."};
    }
    const std::string uncertainty = slipUncertaintyText(run.slip.uncertainty);
    const double scale = unit == SpeedUnit::Mph ? 1.0 : KphPerMph;
    const std::string speedUnit = unit == SpeedUnit::Mph ? "MPH" : "km/h";
    std::vector<std::string> lines = {name + ", from first motion"};
    for (std::size_t i = 0; i < SlipFeet.size(); ++i) {
        std::string line = padRight(slipDistanceNames()[i], NameWidth);
        const std::optional<double>& elapsed = run.slip.elapsed[i];
        if (!elapsed) {
            lines.push_back(line + padLeft(Dash, TimeWidth, 1));
            continue;
        }
        const std::string time = csvNumber(*elapsed, 2);
        line += padLeft(time, TimeWidth, time.size()) + " " + uncertainty;
        const std::optional<double>& trap = i == EighthMile    ? run.slip.trapEighthMph
                                            : i == QuarterMile ? run.slip.trapQuarterMph
                                                               : std::optional<double>();
        if (trap) {
            const std::string speed = csvNumber(*trap * scale, 1);
            line += " @ " + padLeft(speed, SpeedWidth, speed.size()) + " " + speedUnit;
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace velkor
