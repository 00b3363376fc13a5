// UTF-8 texts from the logbook and from file names on a terminal and in JSON: every character
// a person reads stays, nothing that could drive the terminal gets through.

#include <gtest/gtest.h>

#include "base/Latin1.h"

namespace velkor {
namespace {

TEST(PrintableUtf8, KeepsEveryCharacterButControlsAndMalformedBytes) {
    EXPECT_EQ(printableUtf8("Br\xC3\xBCnn \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8F\x81", false),
              "Br\xC3\xBCnn \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8F\x81");
    // ESC, BEL, DEL and the C1 CSI (U+009B) as UTF-8.
    EXPECT_EQ(printableUtf8("\x1b]0;x\x07|\x7f|\xC2\x9B", false), "?]0;x?|?|?");
    // A lone continuation byte, a cut sequence, an overlong ESC, a surrogate, beyond U+10FFFF.
    EXPECT_EQ(printableUtf8("\x80|\xE6\x9D|\xC0\x9B|\xED\xA0\x80|\xF4\x90\x80\x80", false),
              "?|??|??|???|????");
}

TEST(PrintableUtf8, KeepsLineBreaksOnlyWhenAsked) {
    EXPECT_EQ(printableUtf8("a\r\nb\nc\rd\te", true), "a\nb\nc?d?e");
    EXPECT_EQ(printableUtf8("a\r\nb\nc", false), "a??b?c");
}

TEST(WellFormedUtf8, ReplacesMalformedBytesAndC1ControlsKeepingTheRest) {
    EXPECT_EQ(wellFormedUtf8("\xE6\x9D\xB1\t\x1b"), "\xE6\x9D\xB1\t\x1b");
    EXPECT_EQ(wellFormedUtf8("a\xFF"
                             "b\xC2\x9B"),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
}

}  // namespace
}  // namespace velkor
