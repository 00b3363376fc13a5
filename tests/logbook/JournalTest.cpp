// The journal's lines: every record comes back as written, whatever its texts hold, and a line
// that holds no record, whatever its bytes, is passed over.

#include <gtest/gtest.h>

#include <random>

#include "logbook/DensityAltitude.h"
#include "logbook/Journal.h"

namespace velkor {
namespace {

const std::string Hash(64, 'a');

JournalRecord entryRecord(LogbookEntry entry, int run = 2) {
    JournalRecord record;
    record.hash = Hash;
    record.run = run;
    record.entry = std::move(entry);
    return record;
}

TEST(Journal, RecordsComeBackAsWritten) {
    const LogbookEntry texts{"Santa Pod\\Main", "Nova SS",   "line one\nline two\t\\n", 71.3,
                             1.0 / 3.0 + 29,    std::nullopt};
    std::vector<JournalRecord> records = {entryRecord(texts), entryRecord({}, MaxRunNumber)};
    records.push_back({JournalRecord::Kind::Reference, Hash, 7, {}, {}});
    records.push_back({JournalRecord::Kind::Reference, "", 0, {}, {}});
    records.push_back({JournalRecord::Kind::Folder, "", 0, {}, "/home/racer/logs\tnew\r\n"});
    records.push_back({JournalRecord::Kind::File, "", 0, {}, "/tmp/a\\b.log"});
    for (const JournalRecord& record : records) {
        const std::string line = journalLine(record);
        ASSERT_EQ(line.find_first_of("\n\r"), std::string::npos) << line;
        const auto back = parseJournalLine(line);
        ASSERT_TRUE(back) << line;
        EXPECT_EQ(back->kind, record.kind);
        EXPECT_EQ(back->hash, record.hash);
        EXPECT_EQ(back->run, record.run);
        EXPECT_EQ(back->entry, record.entry) << line;  // the weather to the last bit
        EXPECT_EQ(back->path, record.path);
    }
}

TEST(Journal, LinesThatHoldNoRecordArePassedOver) {
    const std::string good = journalLine(entryRecord({"Track", "", "", 70, 29.9, 40}));
    ASSERT_TRUE(parseJournalLine(good));
    const std::string h = "entry\t" + Hash + "\t1\t";
    const std::vector<std::string> lines = {
        std::string(),
        std::string(JournalHeader),
        "entry",
        good + "\textra",
        good.substr(0, good.size() - 3),
        h + "t\tc\tn\t70\t29.9",                                  // a field short
        "entry\t" + std::string(64, 'A') + "\t1\tt\tc\tn\t\t\t",  // not a hash
        "entry\t" + Hash + "\t0\tt\tc\tn\t\t\t",                  // no run 0
        "entry\t" + Hash + "\t-1\tt\tc\tn\t\t\t",
        "entry\t" + Hash + "\t99999\tt\tc\tn\t\t\t",
        h + "t\tc\tn\tnan\t\t",
        h + "t\tc\tn\tinf\t\t",
        h + "t\tc\tn\t1e999\t\t",
        h + "t\tc\tn\t 70\t\t",
        h + "t\tc\tn\t70x\t\t",
        h + "t\tc\tn\t400\t\t",  // no such air
        h + "t\tc\tn\t\t\t101",  // no such humidity
        h + "t\\q\tc\tn\t\t\t",
        h + "t\tc\tn\\\t\t\t",    // an escape no writer makes
        h + "t\x01\tc\tn\t\t\t",  // a control character in a track
        "reference",
        "reference\t" + Hash,
        "reference\t-\t1",
        "folder\t",
        "file",
        "folder\ta\tb",
        std::string("file\t/a\0b", 9),
        "nonsense\tfields"};
    for (const std::string& line : lines) {
        EXPECT_FALSE(parseJournalLine(line)) << line;
    }
}

TEST(Journal, AnyBytesAreReadWithoutHarm) {
    std::mt19937 random(7);
    const std::string good = journalLine(entryRecord({"Track", "Car", "Note", 70, 29.9, 40}));
    for (int i = 0; i < 2000; ++i) {
        std::string line = good;
        for (int cuts = 0; cuts < 3; ++cuts) {
            line[random() % line.size()] = char(random() % 256);
        }
        const auto record = parseJournalLine(line);
        if (record && record->kind == JournalRecord::Kind::Entry) {
            EXPECT_EQ(entryProblem(record->entry), "") << line;
        }
    }
}

TEST(Journal, EntriesOutsideTheWeathersRangesOrWithControlCharactersAreRefused) {
    EXPECT_EQ(entryProblem({"Track", "Car", "tab\tand\nline", MinTempF, MaxBaroInHg, 100}), "");
    EXPECT_NE(entryProblem({"", "", "", MaxTempF + 0.1, {}, {}}), "");
    EXPECT_NE(entryProblem({"", "", "", {}, MinBaroInHg - 0.1, {}}), "");
    EXPECT_NE(entryProblem({"", "", "", {}, {}, -1}), "");
    EXPECT_NE(entryProblem({"", "", "", std::nan(""), {}, {}}), "");
    EXPECT_NE(entryProblem({"Track\n", "", "", {}, {}, {}}), "");
    EXPECT_NE(entryProblem({"", "", "bell\a", {}, {}, {}}), "");
    EXPECT_NE(entryProblem({"", "", "cr\r", {}, {}, {}}), "");
    // Limits count characters, not bytes.
    std::string track;
    for (int i = 0; i < 200; ++i) {
        track += "\xc3\xa9";  // é
    }
    EXPECT_EQ(entryProblem({track, "", "", {}, {}, {}}), "");
    EXPECT_NE(entryProblem({track + "e", "", "", {}, {}, {}}), "");
    EXPECT_NE(entryProblem({"", "", std::string(2001, 'n'), {}, {}, {}}), "");
}

}  // namespace
}  // namespace velkor
