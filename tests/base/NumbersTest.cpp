// Numbers read, rounded and written as the program shows and stores them, and text between the
// system's UTF-8 and the core's Latin-1.

#include "base/Numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "base/AppError.h"
#include "base/Latin1.h"

namespace velkor {
namespace {

TEST(Numbers, RoundingGoesToTheNearestWithTiesToEven) {
    // 1e300 is too large to scale and is left as it is.
    EXPECT_EQ((std::vector<double>{roundTo(2.25, 1), roundTo(1234.5678, 3), roundTo(1e300, 15),
                                   dropFraction(7250.9), dropFraction(-0.5)}),
              (std::vector<double>{2.2, 1234.568, 1e300, 7250.0, -1.0}));
    EXPECT_EQ((std::vector<int>{toWhole(2.5), toWhole(-3.5), toWhole(2147483647.0)}),
              (std::vector<int>{2, -4, 2147483647}));
    EXPECT_THROW(toWhole(2147483648.0), AppError);
    EXPECT_THROW(toWhole(std::nan("")), AppError);
}

TEST(Numbers, EveryReadOutPatternShowsZeroNegativesAndRounding) {
    // Each pattern: zero, then -1234.5678.
    // clang-format off
    const std::tuple<const char*, const char*, const char*> patterns[] = {
        {"###0", "0", "-1235"}, {"##0", "0", "-1235"}, {"#0", "0", "-1235"}, {"####0", "0", "-1235"},
        {"#0.0", "0.0", "-1234.6"}, {"##0.0", "0.0", "-1234.6"}, {"0.00", "0.00", "-1234.57"},
        {"####0.00", "0.00", "-1234.57"}, {"0.0#", "0.0", "-1234.57"},
        {"####0.0##", "0.0", "-1234.568"}, {"#####", "", "-1235"}, {"###", "", "-1235"}};
    // clang-format on
    for (const auto& [pattern, zero, negative] : patterns) {
        EXPECT_EQ(formatNumber(0, pattern), zero) << pattern;
        EXPECT_EQ(formatNumber(-1234.5678, pattern), negative) << pattern;
    }
    // clang-format off
    const std::tuple<double, const char*, const char*> cases[] = {
        {-0.04, "#0.0", "0.0"}, {-0.4, "###", ""}, {2.25, "#0.0", "2.2"}, {2.5, "#0", "2"},
        {1234.5678, "####0.0##", "1234.568"}, {1.5, "0.0#", "1.5"}, {1.25, "0.0#", "1.25"},
        {1, "0.0#", "1.0"}, {0.1 + 0.2, "0.00", "0.30"}, {1e20, "###0", "100000000000000000000"}};
    // clang-format on
    for (const auto& [value, pattern, text] : cases) {
        EXPECT_EQ(formatNumber(value, pattern), text) << value << " in " << pattern;
    }
    for (const char* bad : {"#,##0", "", "0.", "0.00%", "0.0000000000000000"}) {
        EXPECT_THROW(formatNumber(1, bad), std::invalid_argument) << bad;
    }
}

TEST(Numbers, TypedTextReadsFromItsLeadingCharacters) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {".1", 0.1}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-", 0}, {".", 0}, {"- 5", 0},
        {"-5x", -5}, {"+3", 3}, {"1e3", 1000}, {"1e", 1}, {"2E-1x", 0.2}, {"1.2.3", 1.2},
        {" \t\r\n 7250.9", 7250.9}, {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL}, {"0.01e-400", 0}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(leadingNumber(text), value) << '"' << text << '"';
    }
    EXPECT_FALSE(std::signbit(leadingNumber("-0")));
}

TEST(Numbers, StoredTextMustBeExactlyOneNumber) {
    EXPECT_EQ((std::vector<std::optional<double>>{parseNumber("12."), parseNumber(".5"),
                                                  parseNumber(" -1.5e3 "), parseNumber("+1E-2")}),
              (std::vector<std::optional<double>>{12.0, 0.5, -1500.0, 0.01}));
    for (const char* junk : {"", "  ", "abc", "12abc", "1.2.3", "1e", "--1", "inf", "nan", "0x10",
                             ".", "-", "1 2", "e5"}) {
        EXPECT_EQ(parseNumber(junk), std::nullopt) << '"' << junk << '"';
    }
}

TEST(Numbers, SettingsTextIsTheShortestThatReadsBackExactly) {
    EXPECT_EQ((std::vector<std::string>{shortestFloatText(6500), shortestFloatText(9.122f),
                                        shortestFloatText(0.1f), shortestFloatText(-2.5f),
                                        shortestFloatText(-0.0f)}),
              (std::vector<std::string>{"6500", "9.122", "0.1", "-2.5", "0"}));

    // Walk the float range by bit patterns; every finite one must come back bit for bit.
    for (std::uint64_t bits = 1; bits < 0xFF800000u; bits += 0x1003F) {
        const auto raw = static_cast<std::uint32_t>(bits);
        float value;
        std::memcpy(&value, &raw, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = shortestFloatText(value);
        float back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(back, value) << text;
        ASSERT_TRUE(parseNumber(text).has_value()) << text;
    }
}

TEST(Numbers, LogTextIsPlainDecimalToSevenSignificantDigits) {
    // clang-format off
    const std::pair<float, const char*> cases[] = {
        {2700, "2700"}, {2.3f, "2.3"}, {0.1f, "0.1"}, {0.2f + 0.1f, "0.3"}, {-12.5f, "-12.5"},
        {1.0078125f, "1.007812"}, {1.0234375f, "1.023438"}, {65535, "65535"}, {0, "0"},
        {-0.0f, "0"}, {123456789, "123456800"}, {99999999, "100000000"}, {1e-8f, "0.00000001"},
        {3e20f, "300000000000000000000"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(logNumberText(value), text) << text;
    }

    // Across the range: never an exponent, and within half a unit of the seventh digit.
    for (float value = 1e-12f; value < 1e30f; value *= 1.37f) {
        const std::string text = logNumberText(value);
        ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        const double back = *parseNumber(text);
        ASSERT_LE(std::fabs(back - value), 5.0000001e-7 * value) << text;
    }
}

TEST(Latin1, RoundTripsEveryLatin1CharacterAndMarksTheRest) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(latin1FromUtf8(utf8FromLatin1(all)), all);
    EXPECT_EQ(latin1FromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9A\x97"), "caf\xE9 ? ?");
    // Malformed input: a lone continuation byte, a cut sequence, a raw Latin-1 byte.
    EXPECT_EQ(latin1FromUtf8("\x80"
                             "a\xC3"),
              "?a?");
    EXPECT_EQ(latin1FromUtf8("\xE9t\xE9"), "?t?");
}

}  // namespace
}  // namespace velkor
