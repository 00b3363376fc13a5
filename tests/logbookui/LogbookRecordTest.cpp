// The logbook's cells as a terminal shows them, its days, and the racer's changes given as
// named fields.

#include <gtest/gtest.h>

#include "logbookui/LogbookRecord.h"

namespace velkor {
namespace {

TEST(LogbookRecord, ShortenedCountsCharactersNotBytes) {
    EXPECT_EQ(shortened("Ridgeway", 10), "Ridgeway");
    EXPECT_EQ(shortened("\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", 5),
              "\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC");
    EXPECT_EQ(shortened("\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", 5),
              "\xC3\xBC\xC3\xBC...");
}

TEST(LogbookRecord, IsoDaysAreRealDaysOfTheCalendar) {
    EXPECT_TRUE(isIsoDay("2024-02-29"));
    EXPECT_FALSE(isIsoDay("2026-02-29"));
    EXPECT_FALSE(isIsoDay("2026-6-14"));
}

TEST(LogbookRecord, ChangedEntryAppliesEachFieldAndStopsAtTheFirstRefused) {
    Pass pass;
    pass.car = "Nova";
    pass.tempF = 80;
    const CellEdit edit = changedEntry(pass, {{LogbookColumn::Track, " Ridgeway "},
                                              {LogbookColumn::TempF, ""},
                                              {LogbookColumn::BaroInHg, "29.1"}});
    EXPECT_EQ(edit.error, "");
    EXPECT_EQ(edit.entry.track, "Ridgeway");
    EXPECT_EQ(edit.entry.car, "Nova");  // not given: kept
    EXPECT_FALSE(edit.entry.tempF);     // given empty: cleared
    EXPECT_EQ(edit.entry.baroInHg, 29.1);

    EXPECT_NE(changedEntry(pass, {{LogbookColumn::Humidity, "140"}}).error, "");
    EXPECT_NE(changedEntry(pass, {{LogbookColumn::Car, "a\x1b[2Jb"}}).error, "");
}

}  // namespace
}  // namespace velkor
