#pragma once
// A thin hold on SQLite's C API: the connection and its prepared statements close themselves,
// every failure becomes an AppError carrying SQLite's own words, and values cross as the
// logbook's types (texts, whole numbers, and readings that may be missing). Values always go in
// through bound parameters, never into the text of a statement.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velkor::sqlite {

class Statement {
public:
    Statement(sqlite3* db, const char* sql);  // throws AppError when the statement is wrong

    // Parameters count from 1, as in the statement's text.
    Statement& bind(int index, const std::string& text);
    Statement& bind(int index, std::int64_t number);
    Statement& bind(int index, int number) { return bind(index, std::int64_t{number}); }
    Statement& bind(int index, std::optional<double> number);  // nothing binds NULL
    // True while a row comes back; false once the statement is done.
    bool step();
    // Runs a statement that gives no rows, then makes it ready to run again.
    void run();
    // Makes the statement ready to run again, its parameters cleared.
    void reset();

    // Columns count from 0. NULL reads as "", 0 or nothing.
    std::string text(int column) const;
    std::int64_t integer(int column) const;
    std::optional<double> real(int column) const;

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    sqlite3* m_db;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};

class Connection {
public:
    // Opens (and with `create`, makes) the database file. Throws AppError when it cannot.
    Connection(const std::string& path, bool create);

    void exec(const char* sql);  // one or more statements without parameters or rows
    // A prepared statement kept for the connection's life, reset for another run; `sql` must be
    // a string literal (it is the key).
    Statement& cached(const char* sql);
    std::int64_t lastInsertId() const;
    int changes() const;
    // The first column of the first row of a statement without parameters.
    std::string textOf(const char* sql);
    std::int64_t integerOf(const char* sql);
    // The first column of every row of a statement without parameters (kept for reuse).
    std::vector<std::string> textsOf(const char* sql);
    sqlite3* handle() const { return m_db.get(); }

private:
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Closer> m_db;
    std::map<const char*, std::unique_ptr<Statement>> m_cache;
};

// BEGIN IMMEDIATE on making, COMMIT on commit(), ROLLBACK when dropped without.
class Transaction {
public:
    explicit Transaction(Connection& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_db;
    bool m_open = true;
};

// The AppError for a failed SQLite call: what was being done, and SQLite's message.
[[noreturn]] void fail(sqlite3* db, const std::string& doing);

}  // namespace velkor::sqlite
