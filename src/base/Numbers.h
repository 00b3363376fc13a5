#pragma once
// The number and text conventions shared by every part of the program: rounding, read-out
// formats, reading numbers typed by a person or stored as text, and the two ways numbers are
// written out (the settings store and the log file).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkor {

// The value taken to `decimals` places (0..15): the nearest such value, a tie going to the even
// last digit. Computed in double: 2.25 to one place is 2.2, 0.5 to none is 0, 1.5 is 2,
// 1234.5678 to three places is 1234.568.
double roundTo(double value, int decimals);

// roundTo, stored as a 32-bit float, as the log's sample arrays and settings hold it.
float roundToFloat(double value, int decimals);

// A number converted to a whole number: nearest, ties to even (2.5 -> 2, 3.5 -> 4).
// Throws AppError "Overflow" when the result does not fit the 32-bit range.
std::int32_t toWhole(double value);

// The fraction dropped, rounding toward minus infinity (7250.9 -> 7250, -0.5 -> -1).
double dropFraction(double value);

// A read-out in one of the program's format patterns: "###0", "##0", "#0", "#0.0", "##0.0",
// "0.00", "####0.00", "####0", "0.0#", "####0.0##", "#####", "###".
// Before the point, '0' is a digit always shown and '#' a digit shown only when significant, so
// "###0" gives "0" for zero while "#####" and "###" give "" (no digit is required). After the
// point, '0' is a place always shown and '#' a place shown only when it is not a trailing zero.
// The value is taken to as many places as the pattern has after the point (ties to even); there
// is no grouping. A negative value gets a leading '-', unless it shows as zero ("-0.04" in "#0.0"
// is "0.0"). Any other pattern throws std::invalid_argument.
std::string formatNumber(double value, std::string_view pattern);

// The number at the start of a text, as a person types it: leading blanks (space, tab, CR, LF)
// skipped, an optional sign, digits with an optional point and fraction (".1" is 0.1), an
// optional exponent (E or e, sign, digits). Everything after the number is ignored ("12abc" is
// 12); a text that does not begin with a number reads as 0 ("abc", "", "-", ".").
double leadingNumber(std::string_view text);

// A whole stored text as a number: optional blanks around one decimal number (sign, digits,
// point, exponent). Returns nothing for any other text ("", "abc", "12abc", "1.2.3").
std::optional<double> parseNumber(std::string_view text);

// The shortest decimal text that reads back as exactly the same 32-bit float: 6500 -> "6500",
// 9.122f -> "9.122", 0.1f -> "0.1", -2.5f -> "-2.5". Used for numbers in the settings store.
std::string shortestFloatText(float value);

// A number as the log file writes it: plain decimal with a '.' point, at most 7 significant
// digits, trailing zeros and a trailing point dropped, no exponent, '-' for negatives, a leading
// "0" before the point of values below 1: 2700 -> "2700", 2.3f -> "2.3", 0.1f -> "0.1",
// 1.0078125f -> "1.007812", 0 -> "0".
std::string logNumberText(float value);

}  // namespace velkor
