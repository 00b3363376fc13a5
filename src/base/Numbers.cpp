#include "base/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "base/AppError.h"

namespace velkor {

namespace {

// A scaled value this large is already a whole number, and every value beyond it is too coarse
// for `decimals` places to change it.
constexpr double kWholeFromHere = 4503599627370496.0;  // 2^52

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    return pos;
}

// One decimal number found at the start of a text.
struct ScannedNumber {
    std::size_t length = 0;  // characters taken, 0 when the text does not begin with a number
    double value = 0.0;
};

// Reads sign, digits, optional point and fraction, and an exponent when one with digits follows.
// A number beyond the double range reads as infinity (too large) or zero (too small), signed.
ScannedNumber scanNumber(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t unsignedStart = pos;

    // The decimal exponent of the first non-zero mantissa digit, to tell overflow from underflow.
    long leadingExponent = 0;
    bool seenNonZero = false;
    std::size_t intDigits = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        if (!seenNonZero && text[pos] != '0') {
            seenNonZero = true;
            leadingExponent = 0;
        } else if (seenNonZero) {
            ++leadingExponent;
        }
        ++intDigits;
        ++pos;
    }
    std::size_t fracDigits = 0;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos])) {
            ++fracDigits;
            if (!seenNonZero && text[pos] != '0') {
                seenNonZero = true;
                leadingExponent = -static_cast<long>(fracDigits);
            }
            ++pos;
        }
    }
    if (intDigits + fracDigits == 0) {
        return {};
    }

    long exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t expPos = pos + 1;
        bool expNegative = false;
        if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-')) {
            expNegative = text[expPos] == '-';
            ++expPos;
        }
        if (expPos < text.size() && isDigit(text[expPos])) {
            while (expPos < text.size() && isDigit(text[expPos])) {
                if (exponent < 100000) {  // far past any double; saturate
                    exponent = exponent * 10 + (text[expPos] - '0');
                }
                ++expPos;
            }
            if (expNegative) {
                exponent = -exponent;
            }
            pos = expPos;
        }
    }

    // from_chars reads the unsigned part in the "C" form whatever the locale; the sign is ours.
    double magnitude = 0.0;
    const char* first = text.data() + unsignedStart;
    const char* last = text.data() + pos;
    const auto result = std::from_chars(first, last, magnitude, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        magnitude = leadingExponent + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc() || result.ptr != last) {
        return {};  // cannot happen for text shaped as above
    }
    // A negative zero reads as plain zero.
    return {pos, negative && magnitude != 0.0 ? -magnitude : magnitude};
}

// A format pattern taken apart: how many digits before the point are always shown, and how many
// places after it are always and at most shown.
struct Pattern {
    int minIntDigits = 0;
    int minFracDigits = 0;
    int maxFracDigits = 0;
};

Pattern readPattern(std::string_view pattern) {
    const auto bad = [&]() {
        return std::invalid_argument("unsupported number format \"" + std::string(pattern) + "\"");
    };
    const std::size_t point = pattern.find('.');
    const std::string_view intPart = pattern.substr(0, point);
    const std::string_view fracPart =
        point == std::string_view::npos ? std::string_view() : pattern.substr(point + 1);
    if (intPart.empty() || (point != std::string_view::npos && fracPart.empty()) ||
        fracPart.size() > 15) {
        throw bad();
    }
    Pattern result;
    for (std::size_t i = 0; i < intPart.size(); ++i) {
        if (intPart[i] != '#' && intPart[i] != '0') {
            throw bad();
        }
        // Every place from the first '0' to the point is shown.
        if (intPart[i] == '0' && result.minIntDigits == 0) {
            result.minIntDigits = static_cast<int>(intPart.size() - i);
        }
    }
    for (std::size_t i = 0; i < fracPart.size(); ++i) {
        if (fracPart[i] != '#' && fracPart[i] != '0') {
            throw bad();
        }
        // Every place up to the last '0' is shown.
        if (fracPart[i] == '0') {
            result.minFracDigits = static_cast<int>(i + 1);
        }
    }
    result.maxFracDigits = static_cast<int>(fracPart.size());
    return result;
}

}  // namespace

double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    if (!(std::fabs(scaled) < kWholeFromHere)) {
        return value;  // already as fine as a double can hold at this size (or not a number)
    }
    // nearbyint rounds in the current mode, which is to nearest with ties to even.
    return std::nearbyint(scaled) / scale;
}

float roundToFloat(double value, int decimals) {
    return static_cast<float>(roundTo(value, decimals));
}

std::int32_t toWhole(double value) {
    const double whole = std::nearbyint(value);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max())) {
        throw AppError(ErrorNumber::Overflow, "Velkor", "Overflow");
    }
    return static_cast<std::int32_t>(whole);
}

double dropFraction(double value) {
    return std::floor(value);
}

std::string formatNumber(double value, std::string_view pattern) {
    const Pattern shape = readPattern(pattern);
    const double rounded = roundTo(value, shape.maxFracDigits);

    // The rounded value lies nearest to a number with that many places, so writing its exact
    // value to that many places gives that number back with no binary noise.
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(rounded),
                                       std::chars_format::fixed, shape.maxFracDigits);
    if (written.ec != std::errc()) {
        throw std::invalid_argument("number too long to format");
    }
    const std::string_view fixed(buffer, static_cast<std::size_t>(written.ptr - buffer));
    if (!std::isfinite(rounded)) {
        return (rounded < 0 ? "-" : "") + std::string(fixed);  // "inf", "-inf", "nan"
    }

    const std::size_t point = fixed.find('.');
    std::string_view intDigits = fixed.substr(0, point);
    std::string_view fracDigits =
        point == std::string_view::npos ? std::string_view() : fixed.substr(point + 1);

    while (!intDigits.empty() && intDigits.front() == '0') {
        intDigits.remove_prefix(1);
    }
    while (fracDigits.size() > static_cast<std::size_t>(shape.minFracDigits) &&
           fracDigits.back() == '0') {
        fracDigits.remove_suffix(1);
    }

    std::string text;
    // A value that rounds to zero, -0.0 included, is not below zero and so shows no sign.
    if (rounded < 0) {
        text += '-';
    }
    if (intDigits.size() < static_cast<std::size_t>(shape.minIntDigits)) {
        text.append(static_cast<std::size_t>(shape.minIntDigits) - intDigits.size(), '0');
    }
    text += intDigits;
    if (!fracDigits.empty()) {
        text += '.';
        text += fracDigits;
    }
    return text;
}

double leadingNumber(std::string_view text) {
    return scanNumber(text.substr(skipBlanks(text, 0))).value;
}

std::optional<double> parseNumber(std::string_view text) {
    const std::size_t start = skipBlanks(text, 0);
    const ScannedNumber number = scanNumber(text.substr(start));
    if (number.length == 0 || skipBlanks(text, start + number.length) != text.size()) {
        return std::nullopt;
    }
    return number.value;
}

std::string shortestFloatText(float value) {
    if (value == 0.0f) {
        return "0";  // negative zero too
    }
    // The shortest form that reads back exactly, fixed notation when it is no longer than
    // scientific; always the "C" form.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

std::string logNumberText(float value) {
    if (value == 0.0f) {
        return "0";
    }
    if (!std::isfinite(value)) {
        return shortestFloatText(value);
    }
    // Seven significant digits correctly rounded from the float's exact value (an exact halfway
    // case going to the even digit), as "d.dddddde+XX", then laid out in plain decimal.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                       std::chars_format::scientific, 6);
    const std::string_view sci(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t e = sci.find('e');

    std::string digits;
    for (std::size_t i = 0; i < e; ++i) {
        if (sci[i] != '.') {
            digits += sci[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    int exponent = 0;
    const std::string_view expText = sci.substr(e + 1);
    const std::size_t expStart = expText.front() == '+' ? 1 : 0;
    std::from_chars(expText.data() + expStart, expText.data() + expText.size(), exponent);

    std::string text = value < 0 ? "-" : "";
    if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const auto intCount = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intCount) {
            text += digits;
            text.append(intCount - digits.size(), '0');
        } else {
            text += digits.substr(0, intCount);
            text += '.';
            text += digits.substr(intCount);
        }
    }
    return text;
}

}  // namespace velkor
