// When a pass was run: the archive's file name first, then the download date the log states in
// the system's short date and time, then the file's modification time.

#include <gtest/gtest.h>

#include "logbook/PassDate.h"

namespace velkor {
namespace {

TEST(PassDate, ArchiveNamesGiveTheirMomentAndOtherNamesNothing) {
    EXPECT_EQ(dateFromArchiveName("2026-12-07_14-03-22.log"), "2026-12-07T14:03:22");
    EXPECT_EQ(dateFromArchiveName("2026-12-07_14-03-22_12.log"), "2026-12-07T14:03:22");
    for (const char* name :
         {"2026-12-07_14-03-22.txt", "2026-12-07_14-03-22_.log", "2026-12-07_14-03-22_x.log",
          "2026-13-07_14-03-22.log", "2026-02-30_14-03-22.log", "2026-12-07_24-00-00.log",
          "run 2026-12-07_14-03-22.log", "2026-12-07.log", ""}) {
        EXPECT_EQ(dateFromArchiveName(name), std::nullopt) << name;
    }
    EXPECT_EQ(dateFromArchiveName("2028-02-29_00-00-00.log"), "2028-02-29T00:00:00");
}

TEST(PassDate, DownloadTextsInTheSystemsShortFormsAreRead) {
    EXPECT_EQ(dateFromDownloadText("12/07/26 14:03:22"), "2026-12-07T14:03:22");
    EXPECT_EQ(dateFromDownloadText("12/07/2026 14:03:22"), "2026-12-07T14:03:22");
    EXPECT_EQ(dateFromDownloadText("2026-12-07 14:03:22"), "2026-12-07T14:03:22");
    EXPECT_EQ(dateFromDownloadText("07.12.2026 14:03:22"), "2026-12-07T14:03:22");
    EXPECT_EQ(dateFromDownloadText("25/12/26 09:15"), "2026-12-25T09:15:00");  // day first
    EXPECT_EQ(dateFromDownloadText("12/07/2026 02:03:22 PM"), "2026-12-07T14:03:22");
    EXPECT_EQ(dateFromDownloadText("12/07/2026 12:03:22 AM"), "2026-12-07T00:03:22");
    EXPECT_EQ(dateFromDownloadText("2026-12-07"), "2026-12-07");
}

TEST(PassDate, ImpossibleOrWordyDownloadTextsGiveNothing) {
    for (const char* text :
         {"", " ", "Mon 07 Dec 2026 14:03:22", "13/13/26 14:03:22", "02/30/2026 10:00:00",
          "12/07/26 25:00:00", "12/07/26 14:60:00", "12/07/126 14:03:22", "12/07/26 13:00 PM",
          "12-07/26 14:03:22", "123456/07/26", "12/07/26 14:03:22 extra", "2026-12-07T14:03:22"}) {
        EXPECT_EQ(dateFromDownloadText(text), std::nullopt) << text;
    }
}

TEST(PassDate, TheNameComesBeforeTheTextAndTheTextBeforeTheFilesTime) {
    const std::int64_t modified = 1796652202LL * 1000000000;  // 2026-12-07 14:03:22 UTC
    EXPECT_EQ(passDate("2025-01-02_03-04-05.log", "12/07/26 14:03:22", 0), "2025-01-02T03:04:05");
    EXPECT_EQ(passDate("drag.log", "06/14/26 15:20:00", modified), "2026-06-14T15:20:00");
    EXPECT_EQ(passDate("drag.log", "unknown", modified), "2026-12-07T14:03:22");
}

}  // namespace
}  // namespace velkor
