// Scans of real log files into a real logbook: what is new is read, what is unchanged is passed
// over unread, a moved file keeps its passes and entries, and a file that is no log is reported
// without stopping the scan.

#include <gtest/gtest.h>
#include <unistd.h>

#include "LogbookFixture.h"
#include "logbook/LogbookScan.h"

namespace velkor::test {
namespace {

using std::chrono::milliseconds;

ScanReport scan(Logbook& book, std::vector<std::string> roots, unsigned threads = 2) {
    LogbookScan scan(book, std::move(roots), threads);
    scan.run();
    EXPECT_EQ(scan.done(), scan.total());
    return scan.report();
}

std::vector<std::int64_t> ids(const std::vector<Pass>& passes) {
    std::vector<std::int64_t> numbers;
    for (const Pass& pass : passes) {
        numbers.push_back(pass.id);
    }
    return numbers;
}

TEST_F(LogbookScanTest, ANewFolderIsReadAndARescanReadsNothing) {
    writeLog("2026-12-07_14-03-22.log", 1);
    writeLog("day two/2026-12-08_09-00-00_2.log", 2);
    writeLog("day two/deeper/mine.LOG", 3, "06/14/26 15:20:00");
    spit(folder / "logs" / "notes.txt", "not a log");
    const auto book = open();
    const ScanReport first = scan(*book, {logs()});
    EXPECT_EQ(first.files, 3);
    EXPECT_EQ(first.read, 3);
    EXPECT_EQ(first.unchanged, 0);
    EXPECT_EQ(first.passes, 3);
    EXPECT_TRUE(first.problems.empty());
    EXPECT_EQ(scanSummary(first), "Scanned 3 log files: 3 new or changed (3 passes), 0 unchanged.");
    const std::vector<Pass> passes = book->passes();
    ASSERT_EQ(passes.size(), 3u);
    // The archive's names date two passes; the third takes the log's download date.
    EXPECT_EQ(passes[0].downloadDate, "2026-06-14T15:20:00");
    EXPECT_EQ(passes[0].filePath, logs() + "/day two/deeper/mine.LOG");
    EXPECT_EQ(passes[1].downloadDate, "2026-12-07T14:03:22");
    EXPECT_EQ(passes[2].downloadDate, "2026-12-08T09:00:00");
    for (const Pass& pass : passes) {
        EXPECT_EQ(pass.runNumber, 1);
        ASSERT_TRUE(pass.et1320 && pass.trapMph && pass.et60) << pass.filePath;
        EXPECT_GT(*pass.et1320, *pass.et60);
    }

    const ScanReport second = scan(*book, {logs(), logs() + "/2026-12-07_14-03-22.log"});
    EXPECT_EQ(second.files, 3);  // a file under a folder and named too counts once
    EXPECT_EQ(second.read, 0);
    EXPECT_EQ(second.unchanged, 3);
    EXPECT_EQ(ids(book->passes()), ids(passes));
}

TEST_F(LogbookScanTest, AMovedFileKeepsItsPassItsEntryAndTheReference) {
    const std::string before = writeLog("2026-12-07_14-03-22.log", 4);
    const auto book = open();
    scan(*book, {logs()});
    ASSERT_EQ(book->passes().size(), 1u);
    const std::int64_t id = book->passes()[0].id;
    book->setEntry(id, {"York", "Nova", "moved later", 55, 30.1, 70});
    book->setReference(id);

    fs::create_directories(folder / "logs" / "kept");
    const std::string after = logs() + "/kept/best pass.log";
    fs::rename(before, after);
    const ScanReport report = scan(*book, {logs()});
    EXPECT_EQ(report.read, 1);
    const std::vector<Pass> passes = book->passes();
    ASSERT_EQ(passes.size(), 1u);
    EXPECT_EQ(passes[0].id, id);
    EXPECT_EQ(passes[0].filePath, after);
    EXPECT_EQ(passes[0].note, "moved later");
    EXPECT_EQ(passes[0].downloadDate, "2026-12-07T14:03:22");  // the day it was run, still
    EXPECT_EQ(book->reference(), id);
    EXPECT_FALSE(book->isUnchanged(before, 0, 0));

    // A copy beside it is the same log: the pass shows once, at the copy stored last.
    fs::copy_file(after, logs() + "/copy.log");
    scan(*book, {logs()});
    ASSERT_EQ(book->passes().size(), 1u);
    EXPECT_EQ(book->passes()[0].filePath, logs() + "/copy.log");
    fs::remove(logs() + "/copy.log");
    scan(*book, {logs()});
    EXPECT_EQ(book->passes()[0].filePath, after);
}

TEST_F(LogbookScanTest, FilesThatAreNoLogAreReportedAndTheScanGoesOn) {
    writeLog("good.log", 5);
    spit(folder / "logs" / "garbage.log", std::string("\x00\xff\x13garbage\r\n", 12));
    spit(folder / "logs" / "empty.log", "");
    spit(folder / "logs" / "cut.log", dragLogText(6).substr(0, 40000));
    std::string foreign = dragLogText(7);
    foreign.replace(foreign.find("Shift Light Controller V2.0"), 27, "Boost Controller 9.0000000");
    spit(folder / "logs" / "foreign.log", foreign);
    fs::create_directory(folder / "logs" / "folder.log");
    fs::create_symlink(folder / "logs", folder / "logs" / "loop");  // never followed
    spit(folder / "huge.log", std::string(5 * 1024 * 1024, '1'));
    const auto book = open();
    const ScanReport report =
        scan(*book, {logs(), (folder / "huge.log").string(), (folder / "gone.log").string()});
    EXPECT_EQ(report.read, 1);
    EXPECT_EQ(report.passes, 1);
    EXPECT_EQ(report.files, 6);

    ASSERT_EQ(report.problems.size(), 6u);  // five files, and the root that is gone
    for (const ScanProblem& problem : report.problems) {
        EXPECT_FALSE(problem.reason.empty()) << problem.path;
    }
    EXPECT_EQ(scanSummary(report),
              "Scanned 6 log files: 1 new or changed (1 pass), 0 unchanged, 5 could not be read; 1 "
              "folder or file was not found or could not be opened.");
    EXPECT_EQ(book->passes().size(), 1u);
    const IndexedLog cut = indexLogFile(logs() + "/cut.log");
    EXPECT_NE(cut.error.find("ends in its samples"), std::string::npos) << cut.error;
    EXPECT_NE(indexLogFile(logs() + "/foreign.log").error.find("Boost"), std::string::npos);
}

TEST_F(LogbookScanTest, StepsKeepToTheirBudgetAndAScanDroppedMidwayKeepsWhatItStored) {
    for (unsigned seed = 10; seed < 22; ++seed) {
        writeLog("run" + std::to_string(seed) + ".log", seed);
    }
    const auto book = open();
    {
        LogbookScan scan(*book, {logs()}, 1);
        scan.step(milliseconds(0));
        EXPECT_EQ(scan.total(), 12u);
        EXPECT_LT(scan.done(), 12u);
    }  // dropped with files left to read: the worker stops
    const std::size_t stored = book->passes().size();
    LogbookScan scan(*book, {logs()}, 0);
    int steps = 0;
    while (scan.step(milliseconds(1))) {
        ++steps;
    }
    EXPECT_GT(steps, 0);
    EXPECT_EQ(scan.report().unchanged, int(stored));
    EXPECT_EQ(scan.report().read, 12 - int(stored));
    EXPECT_EQ(book->passes().size(), 12u);
    EXPECT_FALSE(scan.step(milliseconds(1)));
}

TEST_F(LogbookScanTest, AnUnreadableFolderIsReportedAndTheOthersScanned) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "the superuser reads every folder";
    }
    writeLog("open/a.log", 8);
    writeLog("closed/b.log", 9);
    fs::permissions(folder / "logs" / "closed", fs::perms::none);
    const auto book = open();
    const ScanReport report = scan(*book, {logs()});
    fs::permissions(folder / "logs" / "closed", fs::perms::owner_all);
    EXPECT_EQ(report.read, 1);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].path, logs() + "/closed");
}

}  // namespace
}  // namespace velkor::test
