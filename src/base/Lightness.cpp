#include "base/Lightness.h"

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {

// A hint's share of the text's colour, the rest the window's: #555 or so on a light grey window.
constexpr double HintShare = 0.64;

int clampByte(int value) {
    return std::clamp(value, 0, 255);
}

int mix(int text, int window) {
    return int(std::lround(HintShare * clampByte(text) + (1 - HintShare) * clampByte(window)));
}

}  // namespace

double lightness(const Rgb& colour) {
    const int r = clampByte(colour.red);
    const int g = clampByte(colour.green);
    const int b = clampByte(colour.blue);
    return (std::max({r, g, b}) + std::min({r, g, b})) / (2 * 255.0);
}

bool isDark(const Rgb& window) {
    return lightness(window) < 0.5;
}

Rgb hintText(const Rgb& text, const Rgb& window) {
    return {mix(text.red, window.red), mix(text.green, window.green), mix(text.blue, window.blue)};
}

}  // namespace velkor
