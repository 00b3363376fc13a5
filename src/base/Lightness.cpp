#include "base/Lightness.h"

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {

// A hint's share of the text's colour, the rest the window's: #555 or so on a light grey window.
constexpr double HintShare = 0.64;
// A grid line's share of the text's colour, the rest the background's.
constexpr double GridShare = 0.2;

int clampByte(int value) {
    return std::clamp(value, 0, 255);
}

// `share` of the way from one colour to another, each of red, green and blue.
Rgb between(const Rgb& from, const Rgb& to, double share) {
    const auto mix = [share](int a, int b) {
        return int(std::lround((1 - share) * clampByte(a) + share * clampByte(b)));
    };
    return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
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
    return between(window, text, HintShare);
}

Rgb gridLine(const Rgb& text, const Rgb& background) {
    return between(background, text, GridShare);
}

}  // namespace velkor
