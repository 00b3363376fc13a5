#include "logbook/Sqlite.h"

#include <sqlite3.h>

#include "base/AppError.h"

namespace velkor::sqlite {

void fail(sqlite3* db, const std::string& doing) {
    const std::string message = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    throw AppError(ErrorNumber::PathFileAccess, "Logbook",
                   "The logbook database could not " + doing + ": " + message + ".");
}

void Statement::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

Statement::Statement(sqlite3* db, const char* sql) : m_db(db) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail(db, "be read");
    }
    m_statement.reset(statement);
}

Statement& Statement::bind(int index, const std::string& text) {
    if (sqlite3_bind_text(m_statement.get(), index, text.data(), int(text.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        fail(m_db, "take a value");
    }
    return *this;
}

Statement& Statement::bind(int index, std::int64_t number) {
    if (sqlite3_bind_int64(m_statement.get(), index, number) != SQLITE_OK) {
        fail(m_db, "take a value");
    }
    return *this;
}

Statement& Statement::bind(int index, std::optional<double> number) {
    const int status = number ? sqlite3_bind_double(m_statement.get(), index, *number)
                              : sqlite3_bind_null(m_statement.get(), index);
    if (status != SQLITE_OK) {
        fail(m_db, "take a value");
    }
    return *this;
}

bool Statement::step() {
    const int status = sqlite3_step(m_statement.get());
    if (status == SQLITE_ROW) {
        return true;
    }
    if (status == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(m_statement.get());
    fail(m_db, "be read or written");
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

std::string Statement::text(int column) const {
    const auto* text = sqlite3_column_text(m_statement.get(), column);
    const int bytes = sqlite3_column_bytes(m_statement.get(), column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), std::size_t(bytes))
                           : std::string();
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(m_statement.get(), column);
}

std::optional<double> Statement::real(int column) const {
    if (sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL) {
        return std::nullopt;
    }
    return sqlite3_column_double(m_statement.get(), column);
}

void Connection::Closer::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Connection::Connection(const std::string& path, bool create) {
    sqlite3* db = nullptr;
    const int flags =
        SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int status = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    m_db.reset(db);
    if (status != SQLITE_OK) {
        fail(db, "be opened at " + path);
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
}

void Connection::exec(const char* sql) {
    if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(m_db.get(), "be read or written");
    }
}

Statement& Connection::cached(const char* sql) {
    auto& slot = m_cache[sql];
    if (!slot) {
        slot = std::make_unique<Statement>(m_db.get(), sql);
    } else {
        slot->reset();
    }
    return *slot;
}

std::int64_t Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db.get());
}

int Connection::changes() const {
    return sqlite3_changes(m_db.get());
}

std::string Connection::textOf(const char* sql) {
    Statement statement(m_db.get(), sql);
    return statement.step() ? statement.text(0) : std::string();
}

std::int64_t Connection::integerOf(const char* sql) {
    Statement statement(m_db.get(), sql);
    return statement.step() ? statement.integer(0) : 0;
}

std::vector<std::string> Connection::textsOf(const char* sql) {
    std::vector<std::string> values;
    Statement& query = cached(sql);
    while (query.step()) {
        values.push_back(query.text(0));
    }
    query.reset();
    return values;
}

Transaction::Transaction(Connection& db) : m_db(db) {
    m_db.exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (m_open) {
        sqlite3_exec(m_db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    m_db.exec("COMMIT");
    m_open = false;
}

}  // namespace velkor::sqlite
