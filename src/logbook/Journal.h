#pragma once
// The logbook's journal: every entry, reference, folder and file the racer gave, as UTF-8 text,
// one record a line, appended and never rewritten, so that the database can always be made
// again. Fields are separated by tabs; a tab, line end, carriage return or backslash inside a
// field is written \t, \n, \r or \\. The first line names the format:
//     velkor-logbook-journal 1
//     entry <hash> <run> <track> <car> <note> <temp F> <baro inHg> <humidity %>
//     reference <hash> <run>          or  reference -
//     folder <path>
//     file <path>
// An empty weather field is a reading not entered. The last record for a pass, or the last
// reference, is the one that holds. The journal is read as any file is: a line that is not one
// of these records is counted and passed over.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logbook/Logbook.h"

namespace velkor {

constexpr const char* JournalHeader = "velkor-logbook-journal 1";

struct JournalRecord {
    enum class Kind { Entry, Reference, Folder, File };
    Kind kind = Kind::Entry;
    std::string hash;  // entry, reference; empty for "no reference"
    int run = 0;
    LogbookEntry entry;
    std::string path;  // folder, file
};

// The record's line, without its line end.
std::string journalLine(const JournalRecord& record);
// The record a line holds; nothing for a line that holds none (the header included).
std::optional<JournalRecord> parseJournalLine(std::string_view line);

struct JournalContents {
    std::vector<JournalRecord> records;  // in the order written
    int skipped = 0;                     // lines that hold no record
};

// Every record of the journal at `path`; none when there is no journal.
JournalContents readJournal(const std::string& path);

// Adds records at the journal's end (writing the first line when the journal is new) and waits
// until they are on the disk. Throws AppError when they could not be written.
void appendJournal(const std::string& path, const std::vector<JournalRecord>& records);

// Why an entry cannot go in the logbook (a reading no weather gives, a text too long or with
// control characters); "" when it can.
std::string entryProblem(const LogbookEntry& entry);

// True for 64 lower-case hex digits.
bool isContentHash(std::string_view text);

constexpr int MaxRunNumber = 10000;

}  // namespace velkor
