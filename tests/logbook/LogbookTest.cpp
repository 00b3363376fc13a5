// The logbook's database on disk: made new, migrated from layout 1, set aside when damaged or
// written by a newer program, rebuilt from the journal, and its lists filtered.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "LogbookFixture.h"
#include "base/AppError.h"
#include "base/Sha256.h"
#include "logbook/Journal.h"
#include "logbook/LogbookSchema.h"
#include "logbook/Sqlite.h"

namespace velkor::test {
namespace {

// A log as reading one would find it, with one pass, without a file behind it.
IndexedLog fabricated(int n, const std::string& date) {
    IndexedLog log;
    log.path = "/nowhere/run" + std::to_string(n) + ".log";
    log.size = 1000 + n;
    log.modifiedNs = n;
    log.hash = sha256Hex(log.path);
    log.firmwareId = "Shift Light Controller V2.0";
    log.passDate = date;
    Pass pass;
    pass.runNumber = 1;
    pass.et1320 = 12 + n / 100.0;
    log.passes = {pass};
    return log;
}

std::vector<std::string> notes(const std::vector<Pass>& passes) {
    std::vector<std::string> texts;
    for (const Pass& pass : passes) {
        texts.push_back(pass.note);
    }
    return texts;
}

std::vector<std::string> filesBeside(const fs::path& folder, const std::string& prefix) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(LogbookTest, ANewDatabaseHasTheCurrentLayoutAndTellsNothing) {
    spit(database(), "");  // an empty file is an empty database, not a damaged one
    const auto book = open();
    EXPECT_FALSE(book->opening().setAside);
    EXPECT_TRUE(book->opening().created);
    EXPECT_EQ(book->schemaVersion(), LogbookSchemaVersion);
    EXPECT_TRUE(book->opening().messages.empty());
    EXPECT_TRUE(book->passes().empty());
    const auto again = open();  // a second connection, as another window has
    EXPECT_FALSE(again->opening().created);
}

TEST_F(LogbookTest, LayoutOneIsMigratedKeepingEveryRowAndGivingItsEntriesToTheJournal) {
    {
        sqlite::Connection db(database(), true);
        db.exec(schema::CreateVersion1);
        db.exec(R"sql(
INSERT INTO logs VALUES ('1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f', 'Shift Light V2', '12/07/26 14:03:22', 'Day', 0.048,
                         '2026-12-07T14:03:22');
INSERT INTO files VALUES ('/logs/day/one.log', 330000, 17, '1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f');
INSERT INTO passes (id, hash, run, track, car, note, et1320, trap_mph)
    VALUES (5, '1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f', 1, 'Santa Pod', 'Nova', 'good launch', 12.5, 108.25);
INSERT INTO passes (id, hash, run, et1320) VALUES (9, '1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f1f', 3, 12.7);
INSERT INTO folders VALUES ('/logs');
INSERT INTO single_files VALUES ('/tmp/x.log');
INSERT INTO settings VALUES ('reference_pass', '9');
)sql");
    }
    const auto book = open();
    EXPECT_EQ(book->opening().migratedFrom, 1);
    EXPECT_FALSE(book->opening().created);
    EXPECT_EQ(book->schemaVersion(), 2);
    const std::vector<Pass> passes = book->passes();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(passes[0].id, 5);
    EXPECT_EQ(passes[0].filePath, "/logs/day/one.log");
    EXPECT_EQ(passes[0].track, "Santa Pod");
    EXPECT_EQ(passes[0].note, "good launch");
    EXPECT_EQ(passes[0].trapMph, 108.25);
    EXPECT_FALSE(passes[0].tempF);
    EXPECT_EQ(passes[1].id, 9);
    EXPECT_EQ(passes[1].runNumber, 3);
    EXPECT_EQ(book->reference(), 9);
    EXPECT_EQ(book->folders(), std::vector<std::string>{"/logs"});
    EXPECT_EQ(book->files(), std::vector<std::string>{"/tmp/x.log"});
    EXPECT_TRUE(book->isUnchanged("/logs/day/one.log", 330000, 17));
    // The new layout's weather takes a value, and the filters find the name.
    book->setEntry(5, {"Santa Pod", "Nova", "good launch", 68, 29.5, 55});
    EXPECT_EQ(book->passes({"", "", "", "ONE.LOG"}).size(), 2u);

    // Layout 1 had no journal: the journal now holds what it held.
    const JournalContents kept = readJournal(journal());
    EXPECT_EQ(kept.skipped, 0);
    ASSERT_EQ(kept.records.size(), 3u);  // the entry, the reference, the entry set above
    EXPECT_EQ(kept.records[0].entry.note, "good launch");
    EXPECT_EQ(kept.records[1].kind, JournalRecord::Kind::Reference);
    EXPECT_EQ(kept.records[1].run, 3);
}

TEST_F(LogbookTest, TheJournalRebuildsADeletedDatabaseEntryForEntry) {
    std::int64_t first = 0, second = 0;
    const LogbookEntry wet{"Santa Pod", "Nova", "rain at the\nstart\tline", 51.25, 29.413, 93};
    const LogbookEntry dry{"York", "Nova", "", 77, std::nullopt, 20};
    {
        const auto book = open();
        book->store(fabricated(1, "2026-06-14T10:00:00"));
        book->store(fabricated(2, "2026-06-15T10:00:00"));
        book->addFolder("/logs");
        book->addFolder("/logs");  // journaled once
        book->addFile("/tmp/one.log");
        first = book->passes()[0].id;
        second = book->passes()[1].id;
        book->setEntry(first, {"old", "", "", {}, {}, {}});
        book->setEntry(first, wet);  // the last entry for a pass holds
        book->setEntry(second, dry);
        book->setReference(second);
    }
    fs::remove(database());
    fs::remove(database() + "-wal");
    fs::remove(database() + "-shm");

    const auto book = open();
    EXPECT_TRUE(book->opening().created);
    EXPECT_EQ(book->opening().journalEntries, 2);
    EXPECT_EQ(book->folders(), std::vector<std::string>{"/logs"});
    EXPECT_EQ(book->files(), std::vector<std::string>{"/tmp/one.log"});
    // The entries wait for their passes, and show as the logs are read again.
    EXPECT_TRUE(book->passes().empty());
    EXPECT_EQ(book->tracks(), (std::vector<std::string>{"Santa Pod", "York"}));
    book->store(fabricated(2, "2026-06-15T10:00:00"));
    book->store(fabricated(1, "2026-06-14T10:00:00"));
    const std::vector<Pass> passes = book->passes();
    ASSERT_EQ(passes.size(), 2u);
    EXPECT_EQ(book->entry(passes[0].id), wet);
    EXPECT_EQ(book->entry(passes[1].id), dry);
    EXPECT_EQ(book->reference(), passes[1].id);
    int folderLines = 0;
    std::ifstream in(journal());
    for (std::string line; std::getline(in, line);) {
        folderLines += line.rfind("folder\t", 0) == 0 ? 1 : 0;
    }
    EXPECT_EQ(folderLines, 1);
}

TEST_F(LogbookTest, AnEntryTheJournalCouldNotTakeLeavesTheDatabaseAsItWas) {
    const auto book = open();
    book->store(fabricated(1, "2026-06-14"));
    const std::int64_t id = book->passes()[0].id;
    book->setEntry(id, {"York", "", "", {}, {}, {}});
    fs::remove(journal());
    fs::create_directory(journal());  // no file can be appended there now
    EXPECT_THROW(book->setEntry(id, {"Santa Pod", "", "", {}, {}, {}}), AppError);
    EXPECT_EQ(book->entry(id).track, "York");
    EXPECT_THROW(book->setReference(id), AppError);
    EXPECT_EQ(book->reference(), std::nullopt);
}

TEST_F(LogbookTest, EntriesOutsideTheirLimitsAreRefusedWithAReason) {
    const auto book = open();
    book->store(fabricated(1, "2026-06-14"));
    const std::int64_t id = book->passes()[0].id;
    try {
        book->setEntry(id, {"York", "", "", 200, {}, {}});
        FAIL() << "an air temperature of 200 deg F was taken";
    } catch (const AppError& refused) {
        EXPECT_NE(refused.description().find("air temperature"), std::string::npos);
    }
    EXPECT_THROW(book->setEntry(id, {"", "", "", {}, 10, {}}), AppError);
    EXPECT_THROW(book->setEntry(id, {"", "", "\x1b[2J", {}, {}, {}}), AppError);
    EXPECT_THROW(book->setEntry(id + 100, {"York", "", "", {}, {}, {}}), AppError);
    EXPECT_EQ(book->entry(id), LogbookEntry{});
    EXPECT_FALSE(fs::exists(journal()));  // nothing refused was journaled
}

TEST_F(LogbookTest, ADamagedDatabaseIsSetAsideAndRebuiltFromTheJournal) {
    std::int64_t id = 0;
    {
        const auto book = open();
        for (int n = 1; n <= 300; ++n) {  // enough pages that half the file is missing some
            book->store(fabricated(n, "2026-06-14"));
        }
        id = book->passes()[0].id;
        book->setEntry(id, {"York", "Nova", "kept", 60, 29.92, 50});
    }
    const auto size = fs::file_size(database());
    fs::resize_file(database(), size / 2);
    {
        const auto book = open();
        const LogbookOpening& opening = book->opening();
        EXPECT_TRUE(opening.setAside);
        ASSERT_EQ(opening.messages.size(), 1u);
        EXPECT_EQ(opening.messages[0],
                  "The logbook database was damaged and has been set aside as " +
                      opening.setAsidePath +
                      "; a new one was made from the log files and the "
                      "journal.");
        EXPECT_EQ(fs::file_size(opening.setAsidePath), size / 2);
        EXPECT_EQ(opening.journalEntries, 1);
        book->store(fabricated(1, "2026-06-14"));
        EXPECT_EQ(book->passes()[0].note, "kept");
    }
    spit(database(), "This is not a database, though it is long enough to look like one. " +
                         std::string(4096, '\x5a'));
    spit(database() + "-wal", "a write-ahead log left beside it");
    {
        const auto book = open();
        EXPECT_TRUE(book->opening().setAside);
        EXPECT_EQ(book->opening().journalEntries, 1);
        // The stale log is gone from beside the new database.
        EXPECT_NE(slurp(database() + "-wal"), "a write-ahead log left beside it");
    }
    // Two databases set aside, each under its own name, and a new database in their place.
    EXPECT_EQ(filesBeside(folder, std::string(LogbookDatabaseName) + ".damaged-").size(), 2u);
    EXPECT_FALSE(open()->opening().setAside);
}

TEST_F(LogbookTest, ADatabaseFromANewerProgramIsSetAsideNotOverwritten) {
    {
        sqlite::Connection db(database(), true);
        db.exec("CREATE TABLE future (x); PRAGMA user_version = 3;");
    }
    const auto book = open();
    EXPECT_TRUE(book->opening().setAside);
    ASSERT_FALSE(book->opening().messages.empty());
    EXPECT_NE(book->opening().messages[0].find("written by a newer Velkor"), std::string::npos);
    EXPECT_EQ(book->schemaVersion(), LogbookSchemaVersion);
    sqlite::Connection aside(book->opening().setAsidePath, false);
    EXPECT_EQ(aside.integerOf("PRAGMA user_version"), 3);
}

TEST_F(LogbookTest, ADatabaseOfSomeOtherProgramIsSetAsideAsDamaged) {
    {
        sqlite::Connection db(database(), true);
        db.exec("CREATE TABLE recipes (name TEXT)");
    }
    const auto book = open();
    EXPECT_TRUE(book->opening().setAside);
    ASSERT_FALSE(book->opening().messages.empty());
    EXPECT_NE(book->opening().messages[0].find("was damaged"), std::string::npos);
}

TEST_F(LogbookTest, HostileJournalLinesAreCountedAndTheRestTaken) {
    const IndexedLog log = fabricated(1, "2026-06-14");
    JournalRecord good;
    good.hash = log.hash;
    good.run = 1;
    good.entry = {"York", "", "", {}, {}, {}};
    std::string bytes = std::string(JournalHeader) + "\n";
    bytes += std::string("\xff\xfe\x00garbage\x00\n", 12);
    bytes += "entry\t" + log.hash + "\t1\tYork\t\t\t1e400\t\t\n";
    bytes += std::string(100000, 'x') + "\n";
    bytes += journalLine(good) + "\r\n";
    bytes += "entry\t" + log.hash + "\t1\tcut sh";  // a crash mid-line
    spit(journal(), bytes);
    const auto book = open();
    EXPECT_EQ(book->opening().journalLinesSkipped, 4);
    EXPECT_EQ(book->opening().messages,
              std::vector<std::string>{
                  "4 lines of the logbook journal could not be read and were passed over."});
    book->store(log);
    const std::int64_t id = book->passes()[0].id;
    EXPECT_EQ(book->entry(id).track, "York");
    // The next record starts a line of its own after the cut one.
    book->setEntry(id, {"Santa Pod", "", "", {}, {}, {}});
    EXPECT_EQ(readJournal(journal()).records.back().entry.track, "Santa Pod");
}

TEST_F(LogbookTest, FiltersChooseByTrackCarDateAndTextIgnoringLetterCase) {
    const auto book = open();
    const std::vector<std::pair<std::string, LogbookEntry>> passes = {
        {"2026-06-14T21:05:00", {"Santa Pod", "Nova", "100% on the tree", {}, {}, {}}},
        {"2026-06-13T10:00:00", {"santa pod", "Chevelle", "a_b", {}, {}, {}}},
        {"2026-06-15T09:00:00", {"York", "NOVA", "wet", {}, {}, {}}},
        {"2026-06-16T09:00:00", {}},
    };
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const IndexedLog log = fabricated(int(i), passes[i].first);
        book->store(log);
        for (const Pass& pass : book->passes()) {
            if (pass.filePath == log.path) {
                book->setEntry(pass.id, passes[i].second);
            }
        }
    }
    EXPECT_EQ(notes(book->passes()),
              (std::vector<std::string>{"a_b", "100% on the tree", "wet", ""}));
    EXPECT_EQ(notes(book->passes({"SANTA POD", "", "", ""})),
              (std::vector<std::string>{"a_b", "100% on the tree"}));
    EXPECT_TRUE(book->passes({"Santa", "", "", ""}).empty());  // the whole name, not a part
    EXPECT_EQ(notes(book->passes({"", "nova", "", ""})),
              (std::vector<std::string>{"100% on the tree", "wet"}));
    EXPECT_EQ(notes(book->passes({"", "", "2026-06-14", ""})),
              (std::vector<std::string>{"100% on the tree", "wet", ""}));
    EXPECT_EQ(notes(book->passes({"santa pod", "nova", "2026-06-14T23:59", ""})),
              (std::vector<std::string>{"100% on the tree"}));
    EXPECT_EQ(notes(book->passes({"", "", "", "0%"})),
              (std::vector<std::string>{"100% on the tree"}));
    EXPECT_EQ(notes(book->passes({"", "", "", "A_"})), (std::vector<std::string>{"a_b"}));
    EXPECT_EQ(notes(book->passes({"", "", "", "RUN3.LOG"})), (std::vector<std::string>{""}));
    EXPECT_EQ(notes(book->passes({"", "", "", "nowhere"})).size(), 0u);  // folders are no name
    EXPECT_EQ(book->cars(), (std::vector<std::string>{"Chevelle", "NOVA"}));
}

}  // namespace
}  // namespace velkor::test
