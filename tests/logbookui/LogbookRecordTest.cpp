// The logbook as scripts and terminals read it, and the racer's changes given as named fields.

#include <gtest/gtest.h>

#include "logbookui/LogbookRecord.h"

namespace velkor {
namespace {

Pass measuredPass() {
    Pass pass;
    pass.id = 7;
    pass.filePath = "/logs/a.log";
    pass.runNumber = 2;
    pass.downloadDate = "2026-06-14T15:20:00";
    pass.et1320 = 11.52349;
    pass.trapMph = 118.456;
    return pass;
}

TEST(LogbookRecord, PassRecordRoundsFiguresAndLeavesWhatIsUnknownNull) {
    Pass pass = measuredPass();
    pass.track = "Ridgeway";
    const ScriptValue record = passRecord(pass);
    EXPECT_EQ(record.keys().size(), 20u);
    EXPECT_EQ(record["ft1320_s"].numberValue(), 11.523);
    EXPECT_EQ(record["trap_1320_mph"].numberValue(), 118.46);
    EXPECT_EQ(record["track"].textValue(), "Ridgeway");
    EXPECT_TRUE(record["car"].isNull());
    EXPECT_TRUE(record["density_altitude_ft"].isNull());  // no weather entered

    pass.tempF = 75;
    pass.baroInHg = 29.1;
    pass.humidityPct = 40;
    EXPECT_FALSE(passRecord(pass)["density_altitude_ft"].isNull());
}

TEST(LogbookRecord, ShortenedCountsCharactersNotBytes) {
    EXPECT_EQ(shortened("Ridgeway", 10), "Ridgeway");
    EXPECT_EQ(shortened("\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", 5),
              "\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC");
    EXPECT_EQ(shortened("\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC\xC3\xBC", 5),
              "\xC3\xBC\xC3\xBC...");
}

TEST(LogbookRecord, IsoDaysAreRealDaysOfTheCalendar) {
    EXPECT_TRUE(isIsoDay("2026-06-14"));
    EXPECT_TRUE(isIsoDay("2024-02-29"));
    EXPECT_FALSE(isIsoDay("2026-02-29"));
    EXPECT_FALSE(isIsoDay("2026-13-01"));
    EXPECT_FALSE(isIsoDay("2026-6-14"));
    EXPECT_FALSE(isIsoDay("14/06/2026"));
}

TEST(LogbookRecord, ChangedEntryAppliesEachFieldAndStopsAtTheFirstRefused) {
    Pass pass = measuredPass();
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
