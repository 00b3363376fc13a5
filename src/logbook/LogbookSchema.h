#pragma once
// The logbook database's layouts. Layout 1 kept the racer's track, car and note on the pass
// itself, had no weather, and named the reference pass by its row number. Layout 2 keeps what
// the racer enters in a table of its own keyed by the log's content and the run, so that entries
// outlive a rebuild, a moved file and a pass not yet read; it adds the weather, the order files
// were stored in, and on each log the file its passes are shown at.

#include <string>
#include <vector>

#include "logbook/Journal.h"
#include "logbook/Sqlite.h"

namespace velkor::schema {

// Layout 1 as it was made, for migrating and for the tests that migrate.
extern const char* const CreateVersion1;

// Brings the database from layout `from` (0: an empty file) to LogbookSchemaVersion inside the
// caller's transaction. `carried` receives the entries and reference a layout 1 database held,
// for the journal that had not yet existed.
void migrate(sqlite::Connection& db, int from, std::vector<JournalRecord>& carried);

// Shows the log's passes at the file stored last that holds it, or nowhere when none does.
void showLatestFile(sqlite::Connection& db, const std::string& hash);

// The file name of a path: what follows its last slash.
std::string fileNameOf(const std::string& path);

}  // namespace velkor::schema
