#include "logbook/Logbook.h"

#include <sqlite3.h>

#include <ctime>
#include <filesystem>
#include <system_error>
#include <tuple>
#include <utility>

#include "base/AppError.h"
#include "logbook/Journal.h"
#include "logbook/LogbookDatabase.h"
#include "logbook/LogbookSchema.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;

enum class Verdict { Usable, Damaged, Newer };

bool isDamage(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// The first column of the first row, and SQLite's result code for running the statement.
int firstText(sqlite3* db, const char* sql, std::string& text) {
    sqlite3_stmt* statement = nullptr;
    int status = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (status == SQLITE_OK) {
        status = sqlite3_step(statement);
        if (status == SQLITE_ROW) {
            const auto* value = sqlite3_column_text(statement, 0);
            text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
            status = SQLITE_OK;
        } else if (status == SQLITE_DONE) {
            status = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return status == SQLITE_OK ? SQLITE_OK : sqlite3_extended_errcode(db);
}

// Looks at the database, and brings an older layout up to date. Throws AppError for what is not
// the file's fault (a disk that cannot be written).
Verdict prepare(sqlite::Connection& db, LogbookOpening& opening, bool& empty,
                std::vector<JournalRecord>& carried) {
    std::string text;
    int status = firstText(db.handle(), "PRAGMA quick_check", text);
    if (isDamage(status) || (status == SQLITE_OK && text != "ok")) {
        return Verdict::Damaged;
    }
    if (status != SQLITE_OK) {
        sqlite::fail(db.handle(), "be read");
    }
    const std::int64_t version = db.integerOf("PRAGMA user_version");
    const std::int64_t tables = db.integerOf("SELECT count(*) FROM sqlite_schema");
    if (version > LogbookSchemaVersion) {
        return Verdict::Newer;
    }
    if (version < 0 || (version == 0 && tables > 0)) {
        return Verdict::Damaged;
    }
    empty = version == 0;
    try {
        // The journal keeps the entries, so a commit need not wait for the disk; the cache holds
        // a logbook of tens of thousands of passes whole, so lists never go back to the file.
        db.exec(
            "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; "
            "PRAGMA cache_size = -32768; PRAGMA temp_store = MEMORY");
        if (version < LogbookSchemaVersion) {
            sqlite::Transaction migration(db);
            schema::migrate(db, int(version), carried);
            migration.commit();
            opening.migratedFrom = int(version);
        }
        db.exec("PRAGMA foreign_keys = ON");
    } catch (const AppError&) {
        if (isDamage(sqlite3_extended_errcode(db.handle()))) {
            return Verdict::Damaged;
        }
        throw;
    }
    return Verdict::Usable;
}

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// Renames the database, with any write-ahead log and shared memory beside it, to the next free
// "<name>.damaged-YYYYMMDD-HHMMSS"; returns the new name.
std::string setAside(const std::string& path) {
    const std::string base = path + ".damaged-" + timeStamp();
    std::string aside = base;
    for (int copy = 2; fs::exists(aside) || fs::exists(aside + "-wal"); ++copy) {
        aside = base + "-" + std::to_string(copy);
    }
    std::error_code error;
    fs::rename(path, aside, error);
    if (error) {
        throw AppError(ErrorNumber::PathFileAccess, "Logbook",
                       "The damaged logbook database " + path +
                           " could not be set aside: " + error.message() + ".");
    }
    for (const char* companion : {"-wal", "-shm"}) {
        if (fs::exists(path + companion, error)) {
            fs::rename(path + companion, aside + companion, error);
            if (error) {
                fs::remove(path + companion, error);
            }
        }
    }
    return aside;
}

bool isEmpty(const LogbookEntry& entry) {
    return entry.track.empty() && entry.car.empty() && entry.note.empty() && !entry.tempF &&
           !entry.baroInHg && !entry.humidityPct;
}

void writeEntry(sqlite::Connection& db, const std::string& hash, int run,
                const LogbookEntry& entry) {
    if (isEmpty(entry)) {
        db.cached("DELETE FROM entries WHERE hash = ?1 AND run = ?2")
            .bind(1, hash)
            .bind(2, run)
            .run();
        return;
    }
    db.cached(
          "INSERT INTO entries (hash, run, track, car, note, temp_f, baro_inhg, humidity_pct) "
          "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT (hash, run) DO UPDATE SET "
          "track = ?3, car = ?4, note = ?5, temp_f = ?6, baro_inhg = ?7, humidity_pct = ?8")
        .bind(1, hash)
        .bind(2, run)
        .bind(3, entry.track)
        .bind(4, entry.car)
        .bind(5, entry.note)
        .bind(6, entry.tempF)
        .bind(7, entry.baroInHg)
        .bind(8, entry.humidityPct)
        .run();
}

void writeReference(sqlite::Connection& db, const std::string& hash, int run) {
    if (hash.empty()) {
        db.exec("DELETE FROM settings");
        return;
    }
    db.cached(
          "INSERT INTO settings (id, reference_hash, reference_run) VALUES (1, ?1, ?2) "
          "ON CONFLICT (id) DO UPDATE SET reference_hash = ?1, reference_run = ?2")
        .bind(1, hash)
        .bind(2, run)
        .run();
}

void apply(sqlite::Connection& db, const JournalRecord& record) {
    switch (record.kind) {
        case JournalRecord::Kind::Entry:
            writeEntry(db, record.hash, record.run, record.entry);
            break;
        case JournalRecord::Kind::Reference:
            writeReference(db, record.hash, record.run);
            break;
        case JournalRecord::Kind::Folder:
            db.cached("INSERT OR IGNORE INTO folders (path) VALUES (?1)")
                .bind(1, record.path)
                .run();
            break;
        case JournalRecord::Kind::File:
            db.cached("INSERT OR IGNORE INTO single_files (path) VALUES (?1)")
                .bind(1, record.path)
                .run();
            break;
    }
}

// The log and run of a pass; throws AppError for a pass the logbook does not hold.
std::pair<std::string, int> keyOf(sqlite::Connection& db, std::int64_t passId) {
    auto& query = db.cached("SELECT hash, run FROM passes WHERE id = ?1");
    query.bind(1, passId);
    if (!query.step()) {
        throw AppError(ErrorNumber::InvalidArgument, "Logbook",
                       "The logbook holds no pass " + std::to_string(passId) + ".");
    }
    std::pair<std::string, int> key{query.text(0), int(query.integer(1))};
    query.reset();
    return key;
}

}  // namespace

bool LogbookEntry::operator==(const LogbookEntry& other) const {
    return track == other.track && car == other.car && note == other.note && tempF == other.tempF &&
           baroInHg == other.baroInHg && humidityPct == other.humidityPct;
}

Logbook::Logbook(const std::string& databasePath, const std::string& journalPath)
    : m_journalPath(journalPath) {
    std::error_code error;
    for (const std::string& path : {databasePath, journalPath}) {
        const fs::path folder = fs::path(path).parent_path();
        if (!folder.empty()) {
            fs::create_directories(folder, error);
        }
    }
    const bool existed = fs::exists(databasePath, error);
    std::vector<JournalRecord> carried;
    bool empty = false;
    m_db = std::make_unique<Database>(databasePath);
    const Verdict verdict = prepare(m_db->db, m_opening, empty, carried);
    if (verdict != Verdict::Usable) {
        m_db.reset();
        m_opening.setAside = true;
        m_opening.setAsidePath = setAside(databasePath);
        m_opening.messages.push_back(
            std::string("The logbook database ") +
            (verdict == Verdict::Newer ? "was written by a newer Velkor" : "was damaged") +
            " and has been set aside as " + m_opening.setAsidePath +
            "; a new one was made from the log files and the journal.");
        m_db = std::make_unique<Database>(databasePath);
        if (prepare(m_db->db, m_opening, empty, carried) != Verdict::Usable) {
            sqlite::fail(m_db->db.handle(), "be made");
        }
    }
    m_opening.created = !existed || empty || m_opening.setAside;
    if (m_opening.migratedFrom > 0) {
        m_opening.messages.push_back("The logbook database was brought up to date from layout " +
                                     std::to_string(m_opening.migratedFrom) + ".");
    }
    if (!carried.empty()) {
        // The older layout held entries the journal never saw: the journal keeps them now.
        try {
            appendJournal(m_journalPath, carried);
        } catch (const AppError& failed) {
            m_opening.messages.push_back(failed.description());
        }
    }
    if (m_opening.created) {
        const JournalContents journal = readJournal(m_journalPath);
        sqlite::Transaction replay(m_db->db);
        for (const JournalRecord& record : journal.records) {
            apply(m_db->db, record);
        }
        replay.commit();
        m_opening.journalEntries = int(m_db->db.integerOf("SELECT count(*) FROM entries"));
        m_opening.journalLinesSkipped = journal.skipped;
        if (journal.skipped > 0) {
            m_opening.messages.push_back(std::to_string(journal.skipped) +
                                         (journal.skipped == 1 ? " line" : " lines") +
                                         " of the logbook journal could not be read and " +
                                         (journal.skipped == 1 ? "was" : "were") + " passed over.");
        }
    }
}

Logbook::~Logbook() = default;

int Logbook::schemaVersion() const {
    return int(m_db->db.integerOf("PRAGMA user_version"));
}

void Logbook::addFolder(const std::string& folder) {
    auto& known = m_db->db.cached("SELECT 1 FROM folders WHERE path = ?1");
    const bool isKnown = known.bind(1, folder).step();
    known.reset();
    if (!isKnown) {
        JournalRecord record;
        record.kind = JournalRecord::Kind::Folder;
        record.path = folder;
        appendJournal(m_journalPath, {record});
        apply(m_db->db, record);
    }
}

std::vector<std::string> Logbook::folders() const {
    return m_db->db.textsOf("SELECT path FROM folders ORDER BY path");
}

void Logbook::addFile(const std::string& path) {
    auto& known = m_db->db.cached("SELECT 1 FROM single_files WHERE path = ?1");
    const bool isKnown = known.bind(1, path).step();
    known.reset();
    if (!isKnown) {
        JournalRecord record;
        record.kind = JournalRecord::Kind::File;
        record.path = path;
        appendJournal(m_journalPath, {record});
        apply(m_db->db, record);
    }
}

std::vector<std::string> Logbook::files() const {
    return m_db->db.textsOf("SELECT path FROM single_files ORDER BY path");
}

void Logbook::setEntry(std::int64_t passId, const LogbookEntry& entry) {
    const std::string problem = entryProblem(entry);
    if (!problem.empty()) {
        throw AppError(ErrorNumber::InvalidPropertyValue, "Logbook", problem);
    }
    JournalRecord record;
    std::tie(record.hash, record.run) = keyOf(m_db->db, passId);
    record.entry = entry;
    appendJournal(m_journalPath, {record});
    writeEntry(m_db->db, record.hash, record.run, entry);
}

LogbookEntry Logbook::entry(std::int64_t passId) const {
    auto& query = m_db->db.cached(
        "SELECT e.track, e.car, e.note, e.temp_f, e.baro_inhg, e.humidity_pct FROM passes p "
        "JOIN entries e ON e.hash = p.hash AND e.run = p.run WHERE p.id = ?1");
    LogbookEntry entry;
    if (query.bind(1, passId).step()) {
        entry = {query.text(0), query.text(1), query.text(2),
                 query.real(3), query.real(4), query.real(5)};
    }
    query.reset();
    return entry;
}

void Logbook::setReference(std::optional<std::int64_t> passId) {
    JournalRecord record;
    record.kind = JournalRecord::Kind::Reference;
    if (passId) {
        std::tie(record.hash, record.run) = keyOf(m_db->db, *passId);
    }
    appendJournal(m_journalPath, {record});
    writeReference(m_db->db, record.hash, record.run);
}

std::optional<std::int64_t> Logbook::reference() const {
    auto& query = m_db->db.cached(
        "SELECT p.id FROM settings s JOIN passes p "
        "ON p.hash = s.reference_hash AND p.run = s.reference_run");
    std::optional<std::int64_t> id;
    if (query.step()) {
        id = query.integer(0);
    }
    query.reset();
    return id;
}

Logbook::Batch::Batch(Logbook& book) : m_book(book) {
    m_book.m_db->db.exec("BEGIN IMMEDIATE");
}

Logbook::Batch::~Batch() {
    if (m_open) {
        sqlite3_exec(m_book.m_db->db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Logbook::Batch::commit() {
    m_book.m_db->db.exec("COMMIT");
    m_open = false;
}

}  // namespace velkor
