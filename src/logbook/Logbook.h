#pragma once
// The logbook: an index of every pass in the racer's log files, in one SQLite database, with
// what only the racer can add (the track, the car, a note, the weather at the track). The log
// files stay the record: the database can always be rebuilt from them and from the journal, a
// plain text file beside it that keeps every entry the racer made.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "logbook/Pass.h"

struct sqlite3;

namespace velkor {

// The database layout this program writes. Older layouts are migrated on opening.
constexpr int LogbookSchemaVersion = 2;

// What the racer adds to a pass. Empty texts and missing weather are "not entered".
struct LogbookEntry {
    std::string track;
    std::string car;
    std::string note;
    std::optional<double> tempF;
    std::optional<double> baroInHg;
    std::optional<double> humidityPct;
    bool operator==(const LogbookEntry& other) const;
};

// Which passes a list shows. Empty fields choose everything.
struct PassFilter {
    std::string track;  // exactly this track, any letter case
    std::string car;    // exactly this car, any letter case
    std::string since;  // ISO date: passes on or after this day
    std::string text;   // contained in the note, track, car or file name, any letter case
};

// One log file as reading it found it. Reading is done apart from the database (and may run on
// any thread); the database then stores the result.
struct IndexedLog {
    std::string path;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // the file's modification time, ns since the epoch
    std::string hash;             // the content's SHA-256, 64 lower-case hex digits
    std::string firmwareId;
    std::string downloadDate;  // as the log states it
    std::string passDate;      // ISO 8601, when its passes were run (PassDate.h)
    std::string comment;
    double interval = 0;
    std::vector<Pass> passes;  // the standing starts, their runNumber the run's (1 = first)
    std::string error;         // why the file could not be read; empty when it could
};

// Reads and analyses one log file: the size and time of the file, its hash, and every standing
// start with its figures. Never throws: a file that cannot be read comes back with `error` set.
IndexedLog indexLogFile(const std::string& path);

// What opening the logbook found and did, for the status line.
struct LogbookOpening {
    bool created = false;         // there was no database: a new one was made
    bool setAside = false;        // the database was damaged and was renamed
    std::string setAsidePath;     // where the damaged file went
    int migratedFrom = 0;         // the older layout migrated from; 0 for none
    int journalEntries = 0;       // entries read back from the journal into a new database
    int journalLinesSkipped = 0;  // lines of the journal that could not be read
    // Messages to show the racer, one per thing worth telling; none for an ordinary opening.
    std::vector<std::string> messages;
};

class Logbook {
public:
    // Opens the database at `databasePath` (made, with its folder, when missing) and the journal
    // at `journalPath`. A database that is damaged or not a database is renamed aside and a new
    // one made; a new database takes back every entry in the journal. Throws AppError only when
    // no database can be made at all (the folder cannot be written).
    Logbook(const std::string& databasePath, const std::string& journalPath);
    ~Logbook();
    Logbook(const Logbook&) = delete;
    Logbook& operator=(const Logbook&) = delete;

    const LogbookOpening& opening() const { return m_opening; }
    int schemaVersion() const;

    // True when the file at `path` is indexed with this size and modification time: a scan
    // passes over it without reading it.
    bool isUnchanged(const std::string& path, std::int64_t size, std::int64_t modifiedNs) const;
    // Stores what reading a file found: its passes (keyed by hash and run, so a moved or
    // renamed file keeps its passes and its entries), and the file's path, size and time. A log
    // read with an error stores nothing. Entries from the journal for these passes apply.
    void store(const IndexedLog& log);
    // Forgets the files that no longer exist. A log no file holds any more leaves the lists; its
    // entries stay in the journal and come back with the file.
    void forgetMissing();

    // The folders the racer added; scans look there again, and a rebuilt database too.
    void addFolder(const std::string& folder);
    std::vector<std::string> folders() const;
    // Single files opened or downloaded outside those folders.
    void addFile(const std::string& path);
    std::vector<std::string> files() const;

    // Writes the racer's entry for a pass to the journal, then to the database.
    void setEntry(std::int64_t passId, const LogbookEntry& entry);
    LogbookEntry entry(std::int64_t passId) const;
    void setReference(std::optional<std::int64_t> passId);
    std::optional<std::int64_t> reference() const;

    // The passes the filter chooses, oldest first (by date, then file, then run), with their
    // entries filled in.
    std::vector<Pass> passes(const PassFilter& filter = {}) const;
    std::optional<Pass> pass(std::int64_t passId) const;
    std::vector<std::string> tracks() const;
    std::vector<std::string> cars() const;

    // For several statements at once (a scan's chunk): one transaction, committed on commit(),
    // rolled back when dropped without.
    class Batch {
    public:
        explicit Batch(Logbook& book);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        void commit();

    private:
        Logbook& m_book;
        bool m_open = true;
    };

private:
    struct Database;
    std::unique_ptr<Database> m_db;
    std::string m_journalPath;
    LogbookOpening m_opening;
};

// The database's and the journal's names in the program's data folder ($XDG_DATA_HOME/Velkor),
// beside the download archive.
constexpr const char* LogbookDatabaseName = "logbook.sqlite";
constexpr const char* LogbookJournalName = "logbook-journal.txt";

}  // namespace velkor
