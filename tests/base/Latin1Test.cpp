// Text between the system's UTF-8 and the core's Latin-1.

#include <gtest/gtest.h>

#include "base/Latin1.h"

namespace velkor {
namespace {

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
