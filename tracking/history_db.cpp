#include "tracking/history_db.h"

#include <sqlite3.h>

#include <cstring>
#include <string_view>

namespace zd {
namespace {

class Database {
 public:
  Database() = default;
  ~Database() { sqlite3_close_v2(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  sqlite3** out() { return &db_; }
  sqlite3* get() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  ~Statement() { sqlite3_finalize(stmt_); }
  sqlite3_stmt** out() { return &stmt_; }
  sqlite3_stmt* get() const { return stmt_; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// The visits table's time index leads to the recently visited pages: a
// window's page is nearly always among them, and the latest visit of a title
// there is its latest anywhere. Titles not among them take a pass over all
// of urls.
constexpr int kRecentVisits = 2000;

std::string QueryFor(size_t titles, bool recent) {
  std::string sql = "SELECT title, url, last_visit_time, rowid FROM urls WHERE ";
  if (recent) {
    sql += "rowid IN (SELECT url FROM visits ORDER BY visit_time DESC LIMIT " +
           std::to_string(kRecentVisits) + ") AND ";
  }
  sql += "title IN (";
  for (size_t i = 0; i < titles; ++i) sql += i == 0 ? "?" : ",?";
  return sql + ")";
}

enum class Pass { kOk, kNoVisits, kFailed };

// Adds the best entry of each title found to `hits`. kFailed on any failure:
// a lock the browser holds, a torn copy, another schema.
Pass QueryPass(sqlite3* db, const std::vector<std::string>& titles, bool recent,
               std::map<std::string, HistoryHit>& hits) {
  Statement stmt;
  const std::string sql = QueryFor(titles.size(), recent);
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), stmt.out(), nullptr) !=
      SQLITE_OK) {
    // Only a database without the table of visits is asked the long way at once.
    const bool no_visits =
        recent && sqlite3_errcode(db) == SQLITE_ERROR &&
        std::string_view(sqlite3_errmsg(db)).find("visits") != std::string_view::npos;
    return no_visits ? Pass::kNoVisits : Pass::kFailed;
  }
  for (size_t i = 0; i < titles.size(); ++i) {
    sqlite3_bind_text(stmt.get(), static_cast<int>(i + 1), titles[i].data(),
                      static_cast<int>(titles[i].size()), SQLITE_STATIC);
  }
  std::map<std::string, std::pair<HistoryHit, int64_t>> best;
  for (;;) {
    const int rc = sqlite3_step(stmt.get());
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) return Pass::kFailed;
    const auto text = [&](int column) {
      const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), column));
      return std::string(bytes ? bytes : "",
                         static_cast<size_t>(sqlite3_column_bytes(stmt.get(), column)));
    };
    HistoryHit hit{text(1), sqlite3_column_int64(stmt.get(), 2)};
    const int64_t row = sqlite3_column_int64(stmt.get(), 3);
    auto [it, added] = best.try_emplace(text(0), hit, row);
    if (!added &&
        (hit.last_visit_time > it->second.first.last_visit_time ||
         (hit.last_visit_time == it->second.first.last_visit_time && row > it->second.second))) {
      it->second = {std::move(hit), row};
    }
  }
  for (auto& [title, found] : best) {
    if (!found.first.url.empty()) hits[title] = std::move(found.first);
  }
  return Pass::kOk;
}

// A single number from `sql`; nullopt when the query fails or gives NULL.
std::optional<int64_t> Number(sqlite3* db, const char* sql, std::optional<int64_t> bound) {
  Statement stmt;
  if (sqlite3_prepare_v2(db, sql, -1, stmt.out(), nullptr) != SQLITE_OK) return std::nullopt;
  if (bound) sqlite3_bind_int64(stmt.get(), 1, *bound);
  if (sqlite3_step(stmt.get()) != SQLITE_ROW || sqlite3_column_type(stmt.get(), 0) == SQLITE_NULL) {
    return std::nullopt;
  }
  return sqlite3_column_int64(stmt.get(), 0);
}

bool Query(sqlite3* db, const std::vector<std::string>& titles, std::optional<int64_t> since,
           HistoryLookup& lookup) {
  std::map<std::string, HistoryHit> found;
  lookup.latest_visit = Number(db, "SELECT max(visit_time) FROM visits", std::nullopt);
  if (since && lookup.latest_visit && *lookup.latest_visit >= *since) {
    const std::optional<int64_t> newer =
        Number(db, "SELECT count(*) FROM visits WHERE visit_time > ?1", since);
    if (newer && *newer <= kRecentVisits) {
      if (QueryPass(db, titles, true, found) != Pass::kOk) return false;
      lookup.hits = std::move(found);
      lookup.only_newer = true;
      return true;
    }
  }
  const Pass recent = QueryPass(db, titles, true, found);
  if (recent == Pass::kFailed) return false;
  std::vector<std::string> rest;
  for (const std::string& title : titles) {
    if (!found.count(title)) rest.push_back(title);
  }
  if (!rest.empty() && QueryPass(db, rest, false, found) != Pass::kOk) return false;
  lookup.hits = std::move(found);
  lookup.only_newer = false;
  return true;
}

// The file as an SQLite address: "file:///C:/x/History", every byte but
// the plain ones escaped, and the parameters given.
std::string FileUri(const std::string& path, const char* parameters) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = path.starts_with("/") ? "file://" : "file:///";
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      uri += '/';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || c == ':') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri + "?" + parameters;
}

bool QueryFile(const std::string& path, const std::vector<std::string>& titles, bool without_locks,
               std::optional<int64_t> since, HistoryLookup& lookup) {
  Database db;
  // Without locks the file is read as it lies, whatever lock the browser
  // holds (Chromium holds its History locked while it runs); a page read
  // while the browser writes it makes the query fail, and the copy is read.
  const std::string name = without_locks ? FileUri(path, "mode=ro&immutable=1") : path;
  if (sqlite3_open_v2(name.c_str(), db.out(),
                      SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI,
                      nullptr) != SQLITE_OK) {
    return false;
  }
  // A lock the browser holds answers at once instead of being waited for.
  sqlite3_busy_timeout(db.get(), 0);
  // Pages mapped instead of copied through reads: a scan of the whole table.
  sqlite3_exec(db.get(), "PRAGMA mmap_size=268435456", nullptr, nullptr, nullptr);
  return Query(db.get(), titles, since, lookup);
}

bool QueryCopy(const std::string& path, const std::vector<std::string>& titles, SharedFiles& files,
               std::optional<int64_t> since, HistoryLookup& lookup) {
  std::optional<std::string> bytes = files.ReadShared(path);
  if (!bytes || bytes->size() < 100) return false;
  Database db;
  if (sqlite3_open_v2(":memory:", db.out(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    return false;
  }
  auto* image = reinterpret_cast<unsigned char*>(bytes->data());
  // A database in WAL mode cannot be opened in memory; its copy reads as a
  // plain one (what the log held is not in the copy either way).
  if (image[18] == 2) image[18] = 1;
  if (image[19] == 2) image[19] = 1;
  // Queried where it was read: `bytes` outlives the connection.
  if (sqlite3_deserialize(db.get(), "main", image, static_cast<sqlite3_int64>(bytes->size()),
                          static_cast<sqlite3_int64>(bytes->size()),
                          SQLITE_DESERIALIZE_READONLY) != SQLITE_OK) {
    return false;
  }
  return Query(db.get(), titles, since, lookup);
}

}  // namespace

HistoryLookup LookUpTitles(const std::string& path, const std::vector<std::string>& titles,
                           SharedFiles& files, std::optional<int64_t> since) {
  HistoryLookup lookup;
  if (titles.empty()) {
    lookup.read = HistoryRead::kDirect;
    return lookup;
  }
  if (QueryFile(path, titles, false, since, lookup)) {
    lookup.read = HistoryRead::kDirect;
  } else if (QueryFile(path, titles, true, since, lookup)) {
    lookup.read = HistoryRead::kWithoutLocks;
  } else if (QueryCopy(path, titles, files, since, lookup)) {
    lookup.read = HistoryRead::kCopy;
  } else {
    lookup = HistoryLookup();
  }
  return lookup;
}

}  // namespace zd
