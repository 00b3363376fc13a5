// The logbook's passes: storing what reading a log file found, and the lists of passes.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <numeric>
#include <optional>
#include <system_error>
#include <tuple>

#include "logbook/Logbook.h"
#include "logbook/LogbookDatabase.h"
#include "logbook/LogbookSchema.h"

namespace velkor {
namespace {

namespace fs = std::filesystem;

// Every list of passes is this query with its filter: each pass of a log some file still holds,
// with the racer's entry when there is one. The list is put in order apart from the query: the
// database would carry every column through its sorter.
constexpr const char* PassQuery = R"sql(
SELECT p.id, l.shown_path, p.run, l.pass_date,
       coalesce(e.track, ''), coalesce(e.car, ''), coalesce(e.note, ''),
       e.temp_f, e.baro_inhg, e.humidity_pct,
       p.et60, p.et330, p.et660, p.et1000, p.et1320, p.trap_mph, p.zero_to_sixty,
       p.best_reaction, p.peak_rpm
FROM passes p
JOIN logs l ON l.hash = p.hash
LEFT JOIN entries e ON e.hash = p.hash AND e.run = p.run
WHERE l.shown_path IS NOT NULL
  AND (?1 = '' OR e.track = ?1 COLLATE NOCASE)
  AND (?2 = '' OR e.car = ?2 COLLATE NOCASE)
  AND (?3 = '' OR l.pass_date >= ?3)
  AND (?4 = '' OR e.note LIKE ?4 ESCAPE '\' OR e.track LIKE ?4 ESCAPE '\'
       OR e.car LIKE ?4 ESCAPE '\' OR l.shown_name LIKE ?4 ESCAPE '\')
  AND (?5 = 0 OR p.id = ?5)
)sql";

// "%text%" for LIKE, with LIKE's own wildcards in the text taken as themselves.
std::string containing(const std::string& text) {
    std::string pattern = "%";
    for (const char c : text) {
        if (c == '%' || c == '_' || c == '\\') {
            pattern += '\\';
        }
        pattern += c;
    }
    return pattern + "%";
}

Pass passOfRow(const sqlite::Statement& row) {
    Pass pass;
    pass.id = row.integer(0);
    pass.filePath = row.text(1);
    pass.runNumber = int(row.integer(2));
    pass.downloadDate = row.text(3);
    pass.track = row.text(4);
    pass.car = row.text(5);
    pass.note = row.text(6);
    pass.tempF = row.real(7);
    pass.baroInHg = row.real(8);
    pass.humidityPct = row.real(9);
    pass.et60 = row.real(10);
    pass.et330 = row.real(11);
    pass.et660 = row.real(12);
    pass.et1000 = row.real(13);
    pass.et1320 = row.real(14);
    pass.trapMph = row.real(15);
    pass.zeroToSixty = row.real(16);
    pass.bestReaction = row.real(17);
    pass.peakRpm = row.real(18);
    return pass;
}

std::vector<Pass> queryPasses(sqlite::Connection& db, const PassFilter& filter,
                              std::int64_t passId) {
    auto& query = db.cached(PassQuery);
    query.bind(1, filter.track)
        .bind(2, filter.car)
        .bind(3, filter.since.substr(0, 10))
        .bind(4, filter.text.empty() ? std::string() : containing(filter.text))
        .bind(5, passId);
    std::deque<Pass> found;  // grows without moving what it holds
    while (query.step()) {
        found.push_back(passOfRow(query));
    }
    query.reset();
    // A pass is large to move about: the order is found on their numbers, then each moved once.
    std::vector<std::uint32_t> order(found.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&found](std::uint32_t a, std::uint32_t b) {
        return std::tie(found[a].downloadDate, found[a].filePath, found[a].runNumber) <
               std::tie(found[b].downloadDate, found[b].filePath, found[b].runNumber);
    });
    std::vector<Pass> passes;
    passes.reserve(found.size());
    for (const std::uint32_t index : order) {
        passes.push_back(std::move(found[index]));
    }
    return passes;
}

}  // namespace

bool Logbook::isUnchanged(const std::string& path, std::int64_t size,
                          std::int64_t modifiedNs) const {
    auto& query =
        m_db->db.cached("SELECT 1 FROM files WHERE path = ?1 AND size = ?2 AND modified_ns = ?3");
    const bool unchanged = query.bind(1, path).bind(2, size).bind(3, modifiedNs).step();
    query.reset();
    return unchanged;
}

void Logbook::store(const IndexedLog& log) {
    if (!log.error.empty()) {
        return;
    }
    sqlite::Connection& db = m_db->db;
    db.exec("SAVEPOINT store");
    try {
        db.cached(
              "INSERT OR IGNORE INTO logs (hash, firmware_id, download_date, comment, interval, "
              "pass_date) VALUES (?1, ?2, ?3, ?4, ?5, ?6)")
            .bind(1, log.hash)
            .bind(2, log.firmwareId)
            .bind(3, log.downloadDate)
            .bind(4, log.comment)
            .bind(5, std::optional<double>(log.interval))
            .bind(6, log.passDate)
            .run();
        auto& pass = db.cached(
            "INSERT INTO passes (hash, run, et60, et330, et660, et1000, et1320, trap_mph, "
            "zero_to_sixty, best_reaction, peak_rpm) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
            "?10, ?11) ON CONFLICT (hash, run) DO UPDATE SET et60 = ?3, et330 = ?4, et660 = ?5, "
            "et1000 = ?6, et1320 = ?7, trap_mph = ?8, zero_to_sixty = ?9, best_reaction = ?10, "
            "peak_rpm = ?11");
        for (const Pass& p : log.passes) {
            pass.bind(1, log.hash)
                .bind(2, p.runNumber)
                .bind(3, p.et60)
                .bind(4, p.et330)
                .bind(5, p.et660)
                .bind(6, p.et1000)
                .bind(7, p.et1320)
                .bind(8, p.trapMph)
                .bind(9, p.zeroToSixty)
                .bind(10, p.bestReaction)
                .bind(11, p.peakRpm)
                .run();
        }
        // The same log under another name whose file is gone was moved or renamed: its passes
        // and entries stay, only the file's row goes.
        std::optional<std::string> replaced;  // the log this file held before, if another
        auto& before = db.cached("SELECT hash FROM files WHERE path = ?1 AND hash <> ?2");
        if (before.bind(1, log.path).bind(2, log.hash).step()) {
            replaced = before.text(0);
        }
        before.reset();
        std::vector<std::string> others;
        auto& sameLog = db.cached("SELECT path FROM files WHERE hash = ?1 AND path <> ?2");
        sameLog.bind(1, log.hash).bind(2, log.path);
        while (sameLog.step()) {
            others.push_back(sameLog.text(0));
        }
        sameLog.reset();
        for (const std::string& other : others) {
            std::error_code error;
            if (!fs::exists(other, error) && !error) {
                db.cached("DELETE FROM files WHERE path = ?1").bind(1, other).run();
            }
        }
        db.cached(
              "INSERT INTO files (path, size, modified_ns, hash, stored) "
              "VALUES (?1, ?2, ?3, ?4, (SELECT coalesce(max(stored), 0) + 1 FROM files)) "
              "ON CONFLICT (path) DO UPDATE SET size = ?2, modified_ns = ?3, hash = ?4, "
              "stored = (SELECT coalesce(max(stored), 0) + 1 FROM files)")
            .bind(1, log.path)
            .bind(2, log.size)
            .bind(3, log.modifiedNs)
            .bind(4, log.hash)
            .run();
        schema::showLatestFile(db, log.hash);
        if (replaced) {
            schema::showLatestFile(db, *replaced);
        }
        db.exec("RELEASE store");
    } catch (...) {
        db.exec("ROLLBACK TO store; RELEASE store");
        throw;
    }
}

void Logbook::forgetMissing() {
    sqlite::Connection& db = m_db->db;
    std::vector<std::pair<std::string, std::string>> gone;  // path, hash
    auto& all = db.cached("SELECT path, hash FROM files");
    while (all.step()) {
        std::error_code error;
        std::string path = all.text(0);
        if (!fs::exists(path, error) && !error) {
            gone.emplace_back(std::move(path), all.text(1));
        }
    }
    all.reset();
    for (const auto& [path, hash] : gone) {
        db.cached("DELETE FROM files WHERE path = ?1").bind(1, path).run();
        schema::showLatestFile(db, hash);
    }
}

std::vector<Pass> Logbook::passes(const PassFilter& filter) const {
    return queryPasses(m_db->db, filter, 0);
}

std::optional<Pass> Logbook::pass(std::int64_t passId) const {
    std::vector<Pass> found = queryPasses(m_db->db, {}, passId);
    return found.empty() ? std::nullopt : std::optional<Pass>(std::move(found.front()));
}

std::vector<std::string> Logbook::tracks() const {
    return m_db->db.textsOf(
        "SELECT min(track) FROM entries WHERE track <> '' "
        "GROUP BY track COLLATE NOCASE ORDER BY track COLLATE NOCASE");
}

std::vector<std::string> Logbook::cars() const {
    return m_db->db.textsOf(
        "SELECT min(car) FROM entries WHERE car <> '' "
        "GROUP BY car COLLATE NOCASE ORDER BY car COLLATE NOCASE");
}

}  // namespace velkor
