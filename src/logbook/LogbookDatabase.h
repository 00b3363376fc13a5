#pragma once
// What the logbook holds of its database: the connection, shared by the logbook's source files.

#include "logbook/Logbook.h"
#include "logbook/Sqlite.h"

namespace velkor {

struct Logbook::Database {
    explicit Database(const std::string& path) : db(path, true) {}
    sqlite::Connection db;
};

}  // namespace velkor
