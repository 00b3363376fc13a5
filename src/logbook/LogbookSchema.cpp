#include "logbook/LogbookSchema.h"

#include <optional>

namespace velkor::schema {
namespace {

// The logs, files and entries are kept in the order of their keys (WITHOUT ROWID): a list of
// passes looks each pass's log and entry up by its hash, once each.
const char* const CreateVersion2 = R"sql(
CREATE TABLE logs (
    hash TEXT PRIMARY KEY,
    firmware_id TEXT NOT NULL,
    download_date TEXT NOT NULL,
    comment TEXT NOT NULL,
    interval REAL NOT NULL,
    pass_date TEXT NOT NULL,
    -- the file stored last that holds the log, where the lists show its passes, and that
    -- file's name; NULL when no file holds it any more
    shown_path TEXT,
    shown_name TEXT
) WITHOUT ROWID;
CREATE TABLE files (
    path TEXT PRIMARY KEY,
    size INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL,
    hash TEXT NOT NULL REFERENCES logs(hash),
    stored INTEGER NOT NULL
) WITHOUT ROWID;
CREATE TABLE passes (
    id INTEGER PRIMARY KEY,
    hash TEXT NOT NULL REFERENCES logs(hash),
    run INTEGER NOT NULL,
    et60 REAL, et330 REAL, et660 REAL, et1000 REAL, et1320 REAL,
    trap_mph REAL, zero_to_sixty REAL, best_reaction REAL, peak_rpm REAL,
    UNIQUE (hash, run)
);
CREATE TABLE entries (
    hash TEXT NOT NULL,
    run INTEGER NOT NULL,
    track TEXT NOT NULL DEFAULT '',
    car TEXT NOT NULL DEFAULT '',
    note TEXT NOT NULL DEFAULT '',
    temp_f REAL,
    baro_inhg REAL,
    humidity_pct REAL,
    PRIMARY KEY (hash, run)
) WITHOUT ROWID;
CREATE TABLE folders (path TEXT PRIMARY KEY);
CREATE TABLE single_files (path TEXT PRIMARY KEY);
CREATE TABLE settings (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    reference_hash TEXT,
    reference_run INTEGER
);
)sql";

const char* const CreateIndexes = R"sql(
CREATE INDEX logs_by_date ON logs (pass_date);
CREATE INDEX files_by_log ON files (hash, stored);
CREATE INDEX entries_by_track ON entries (track COLLATE NOCASE);
CREATE INDEX entries_by_car ON entries (car COLLATE NOCASE);
PRAGMA user_version = 2;
)sql";

// Layout 1 to 2: the entries leave the passes for their table, the files learn their order, each
// log the file it is shown at, and the reference is named by its log and run.
void fromVersion1(sqlite::Connection& db, std::vector<JournalRecord>& carried) {
    {
        sqlite::Statement entries(db.handle(),
                                  "SELECT hash, run, track, car, note FROM passes "
                                  "WHERE track <> '' OR car <> '' OR note <> '' ORDER BY id");
        while (entries.step()) {
            JournalRecord record;
            record.hash = entries.text(0);
            record.run = int(entries.integer(1));
            record.entry.track = entries.text(2);
            record.entry.car = entries.text(3);
            record.entry.note = entries.text(4);
            carried.push_back(std::move(record));
        }
        sqlite::Statement reference(db.handle(),
                                    "SELECT p.hash, p.run FROM settings s JOIN passes p "
                                    "ON p.id = CAST(s.value AS INTEGER) "
                                    "WHERE s.key = 'reference_pass'");
        if (reference.step()) {
            JournalRecord record;
            record.kind = JournalRecord::Kind::Reference;
            record.hash = reference.text(0);
            record.run = int(reference.integer(1));
            carried.push_back(std::move(record));
        }
    }
    db.exec(R"sql(
ALTER TABLE logs RENAME TO logs_1;
ALTER TABLE files RENAME TO files_1;
ALTER TABLE passes RENAME TO passes_1;
ALTER TABLE folders RENAME TO folders_1;
ALTER TABLE single_files RENAME TO single_files_1;
ALTER TABLE settings RENAME TO settings_1;
)sql");
    db.exec(CreateVersion2);
    db.exec(R"sql(
INSERT INTO logs (hash, firmware_id, download_date, comment, interval, pass_date)
    SELECT hash, firmware_id, download_date, comment, interval, pass_date FROM logs_1;
INSERT INTO files (path, size, modified_ns, hash, stored)
    SELECT path, size, modified_ns, hash, rowid FROM files_1;
INSERT INTO passes (id, hash, run, et60, et330, et660, et1000, et1320, trap_mph, zero_to_sixty,
                    best_reaction, peak_rpm)
    SELECT id, hash, run, et60, et330, et660, et1000, et1320, trap_mph, zero_to_sixty,
           best_reaction, peak_rpm FROM passes_1;
INSERT INTO entries (hash, run, track, car, note)
    SELECT hash, run, track, car, note FROM passes_1
    WHERE track <> '' OR car <> '' OR note <> '';
INSERT INTO folders SELECT path FROM folders_1;
INSERT INTO single_files SELECT path FROM single_files_1;
INSERT INTO settings (id, reference_hash, reference_run)
    SELECT 1, p.hash, p.run FROM settings_1 s JOIN passes_1 p ON p.id = CAST(s.value AS INTEGER)
    WHERE s.key = 'reference_pass';
DROP TABLE settings_1;
DROP TABLE single_files_1;
DROP TABLE folders_1;
DROP TABLE passes_1;
DROP TABLE files_1;
DROP TABLE logs_1;
)sql");
    std::vector<std::string> hashes;
    {
        sqlite::Statement all(db.handle(), "SELECT hash FROM logs");
        while (all.step()) {
            hashes.push_back(all.text(0));
        }
    }
    for (const std::string& hash : hashes) {
        showLatestFile(db, hash);
    }
}

}  // namespace

const char* const CreateVersion1 = R"sql(
CREATE TABLE logs (
    hash TEXT PRIMARY KEY,
    firmware_id TEXT NOT NULL,
    download_date TEXT NOT NULL,
    comment TEXT NOT NULL,
    interval REAL NOT NULL,
    pass_date TEXT NOT NULL
);
CREATE TABLE files (
    path TEXT PRIMARY KEY,
    size INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL,
    hash TEXT NOT NULL REFERENCES logs(hash)
);
CREATE TABLE passes (
    id INTEGER PRIMARY KEY,
    hash TEXT NOT NULL REFERENCES logs(hash),
    run INTEGER NOT NULL,
    track TEXT NOT NULL DEFAULT '',
    car TEXT NOT NULL DEFAULT '',
    note TEXT NOT NULL DEFAULT '',
    et60 REAL, et330 REAL, et660 REAL, et1000 REAL, et1320 REAL,
    trap_mph REAL, zero_to_sixty REAL, best_reaction REAL, peak_rpm REAL,
    UNIQUE (hash, run)
);
CREATE TABLE folders (path TEXT PRIMARY KEY);
CREATE TABLE single_files (path TEXT PRIMARY KEY);
CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT);
CREATE INDEX passes_by_track ON passes (track);
PRAGMA user_version = 1;
)sql";

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void showLatestFile(sqlite::Connection& db, const std::string& hash) {
    auto& latest = db.cached("SELECT path FROM files WHERE hash = ?1 ORDER BY stored DESC LIMIT 1");
    std::optional<std::string> path;
    if (latest.bind(1, hash).step()) {
        path = latest.text(0);
    }
    latest.reset();
    auto& show = db.cached("UPDATE logs SET shown_path = ?2, shown_name = ?3 WHERE hash = ?1");
    show.bind(1, hash);
    if (path) {
        show.bind(2, *path).bind(3, fileNameOf(*path));
    }
    show.run();
}

void migrate(sqlite::Connection& db, int from, std::vector<JournalRecord>& carried) {
    if (from == 0) {
        db.exec(CreateVersion2);
    } else if (from == 1) {
        fromVersion1(db, carried);
    }
    if (from < 2) {
        db.exec(CreateIndexes);
    }
}

}  // namespace velkor::schema
