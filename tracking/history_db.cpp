#include "tracking/history_db.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <string_view>

#include "platform/utf8.h"

namespace zd {
namespace {

using Clock = std::chrono::steady_clock;

// Longer ones are no page a user reopens from here, and would only swell
// what is kept: such a row is passed over.
constexpr size_t kMaxUrlBytes = 8192;
constexpr size_t kMaxTitleBytes = 2048;
// Titles looked up in the whole table, remembered; beyond this many the list starts again.
constexpr size_t kMaxScanned = 1000;
// Titles asked in one statement.
constexpr size_t kTitlesPerScan = 100;

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

struct Row {
  int64_t row = 0;
  std::string title, url;
  int64_t last_visit_time = 0;
};

std::string ColumnText(sqlite3_stmt* stmt, int column) {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return std::string(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column)));
}

// A row worth keeping: a title, an address, neither of them outsized.
bool Usable(const Row& row) {
  return !row.title.empty() && !row.url.empty() && row.title.size() <= kMaxTitleBytes &&
         row.url.size() <= kMaxUrlBytes;
}

bool Better(const Row& row, int64_t last_visit_time, int64_t than_row) {
  return row.last_visit_time > last_visit_time ||
         (row.last_visit_time == last_visit_time && row.row > than_row);
}

}  // namespace

// One read-only connection to a file another program wrote.
class HistoryDatabase {
 public:
  HistoryDatabase(const HistoryLimits& limits, const std::atomic<bool>* cancel, int* ended)
      : limits_(limits), cancel_(cancel), ended_(ended) {}
  ~HistoryDatabase() { sqlite3_close_v2(db_); }
  HistoryDatabase(const HistoryDatabase&) = delete;
  HistoryDatabase& operator=(const HistoryDatabase&) = delete;

  // As a database is read, else (the browser holds a lock, or the read-only
  // connection cannot join its write-ahead log) without locks, as the file lies.
  HistoryRead Open(const std::string& path) {
    if (OpenAs(path, false)) return HistoryRead::kDirect;
    if (OpenAs(path, true)) return HistoryRead::kWithoutLocks;
    return HistoryRead::kFailed;
  }
  bool has_visits() const { return has_visits_; }

  // Runs `sql` with `numbers` bound to ?1, ?2... and then `texts`, and calls
  // `on_row` for each row. False on any failure, a statement ended included.
  bool Query(const std::string& sql, std::initializer_list<int64_t> numbers,
             const std::vector<std::string>& texts,
             const std::function<void(sqlite3_stmt*)>& on_row) {
    // The limit counts from the preparation: reading the schema is part of it.
    deadline_ = Clock::now() + std::chrono::milliseconds(limits_.statement_ms);
    sqlite3_stmt* raw = nullptr;
    const int prepared =
        sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> stmt(raw, sqlite3_finalize);
    if (prepared != SQLITE_OK) return Failed(prepared);
    int i = 1;
    for (const int64_t number : numbers) sqlite3_bind_int64(stmt.get(), i++, number);
    for (const std::string& text : texts) {
      sqlite3_bind_text(stmt.get(), i++, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    }
    for (;;) {
      const int rc = sqlite3_step(stmt.get());
      if (rc == SQLITE_DONE) return true;
      if (rc != SQLITE_ROW) return Failed(rc);
      on_row(stmt.get());
    }
  }

  // A single number; nullopt when the query fails or gives NULL.
  std::optional<int64_t> Number(const std::string& sql, std::initializer_list<int64_t> numbers) {
    std::optional<int64_t> value;
    const bool ok = Query(sql, numbers, {}, [&](sqlite3_stmt* stmt) {
      if (sqlite3_column_type(stmt, 0) != SQLITE_NULL) value = sqlite3_column_int64(stmt, 0);
    });
    return ok ? value : std::nullopt;
  }

  // Each of `rows`' statement: rowid, title, url, last_visit_time.
  bool Rows(const std::string& sql, std::initializer_list<int64_t> numbers,
            const std::vector<std::string>& texts, const std::function<void(Row)>& on_row) {
    return Query(sql, numbers, texts, [&](sqlite3_stmt* stmt) {
      Row row{sqlite3_column_int64(stmt, 0), ColumnText(stmt, 1), ColumnText(stmt, 2),
              sqlite3_column_int64(stmt, 3)};
      if (Usable(row)) on_row(std::move(row));
    });
  }

 private:
  bool OpenAs(const std::string& path, bool without_locks) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
    const std::string uri = FileUri(path, without_locks ? "mode=ro&immutable=1" : "mode=ro");
    if (sqlite3_open_v2(uri.c_str(), &db_,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI,
                        nullptr) != SQLITE_OK) {
      return false;
    }
    // What SQLite advises for a database from elsewhere: nothing in its
    // schema runs with trust, no view or trigger is used, and every size is
    // bounded (a value, a statement, an expression's depth).
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_limit(db_, SQLITE_LIMIT_LENGTH, 1 << 20);
    sqlite3_limit(db_, SQLITE_LIMIT_SQL_LENGTH, 1 << 20);
    sqlite3_limit(db_, SQLITE_LIMIT_EXPR_DEPTH, 100);
    sqlite3_limit(db_, SQLITE_LIMIT_COLUMN, 200);
    sqlite3_limit(db_, SQLITE_LIMIT_ATTACHED, 0);
    // A lock the browser holds answers at once instead of being waited for.
    sqlite3_busy_timeout(db_, 0);
    sqlite3_progress_handler(db_, 1000, &HistoryDatabase::OnProgress, this);
    // Pages are read, never mapped: the browser rewrites the file under us.
    // The cache holds a range of rows for both statements that read it.
    if (!Query("PRAGMA mmap_size=0", {}, {}, [](sqlite3_stmt*) {}) ||
        !Query("PRAGMA cache_size=-8192", {}, {}, [](sqlite3_stmt*) {}) ||
        !Query("PRAGMA cell_size_check=ON", {}, {}, [](sqlite3_stmt*) {})) {
      return false;
    }
    return CheckTables();
  }

  // urls must be a table of its own (not a view, not a virtual table); so
  // must visits, else the index has nothing to go by.
  bool CheckTables() {
    bool urls = false;
    has_visits_ = false;
    const bool ok = Query(
        "SELECT lower(name), type, upper(substr(sql, 1, 12)) FROM sqlite_schema "
        "WHERE lower(name) IN ('urls', 'visits')",
        {}, {}, [&](sqlite3_stmt* stmt) {
          const bool table =
              ColumnText(stmt, 1) == "table" && ColumnText(stmt, 2) == "CREATE TABLE";
          if (ColumnText(stmt, 0) == "urls") urls = table;
          if (ColumnText(stmt, 0) == "visits") has_visits_ = table;
        });
    return ok && urls;
  }

  bool Failed(int rc) {
    if (rc == SQLITE_INTERRUPT && ended_) ++*ended_;
    return false;
  }

  static int OnProgress(void* self) {
    const auto* db = static_cast<HistoryDatabase*>(self);
    if (db->cancel_ && db->cancel_->load(std::memory_order_relaxed)) return 1;
    return Clock::now() > db->deadline_ ? 1 : 0;
  }

  sqlite3* db_ = nullptr;
  const HistoryLimits& limits_;
  const std::atomic<bool>* cancel_;
  int* ended_;
  Clock::time_point deadline_{};
  bool has_visits_ = false;
};

namespace {

// Every row of urls whose title is one of `titles`, in one pass over the
// table per hundred titles. A pass is made of statements of a range of
// rowids each, so that a large table is read whole while no statement comes
// near the time limit. False when a statement failed.
bool ScanTitles(HistoryDatabase& db, const std::vector<std::string>& titles,
                int64_t rows_per_statement, const std::function<void(Row)>& on_row) {
  for (size_t from = 0; from < titles.size(); from += kTitlesPerScan) {
    const std::vector<std::string> part(
        titles.begin() + static_cast<std::ptrdiff_t>(from),
        titles.begin() +
            static_cast<std::ptrdiff_t>(std::min(titles.size(), from + kTitlesPerScan)));
    std::string in = " AND title IN (";
    for (size_t i = 0; i < part.size(); ++i) in += i == 0 ? "?" : ",?";
    in += ")";
    int64_t after = std::numeric_limits<int64_t>::min();
    for (bool last = false; !last;) {
      // The rowid that ends this range: only rowids are stepped over.
      std::optional<int64_t> end;
      if (!db.Query("SELECT rowid FROM urls WHERE rowid > ?1 ORDER BY rowid LIMIT 1 OFFSET ?2",
                    {after, rows_per_statement - 1}, {},
                    [&](sqlite3_stmt* stmt) { end = sqlite3_column_int64(stmt, 0); })) {
        return false;
      }
      last = !end;
      const std::string sql =
          "SELECT rowid, title, url, last_visit_time FROM urls WHERE rowid > ?1" +
          std::string(last ? "" : " AND rowid <= ?2") + in;
      if (!(last ? db.Rows(sql, {after}, part, on_row)
                 : db.Rows(sql, {after, *end}, part, on_row))) {
        return false;
      }
      if (end) after = *end;
    }
  }
  return true;
}

}  // namespace

HistoryLookup LookUpTitles(const std::string& path, const std::vector<std::string>& titles,
                           const HistoryLimits& limits, const std::atomic<bool>* cancel) {
  HistoryLookup lookup;
  HistoryDatabase db(limits, cancel, nullptr);
  const HistoryRead read = db.Open(path);
  if (read == HistoryRead::kFailed) return lookup;
  std::map<std::string, std::pair<HistoryHit, int64_t>> best;
  const bool ok = ScanTitles(db, titles, limits.rows_per_statement, [&](Row row) {
    auto [it, added] =
        best.try_emplace(row.title, HistoryHit{row.url, row.last_visit_time}, row.row);
    if (!added && Better(row, it->second.first.last_visit_time, it->second.second)) {
      it->second = {HistoryHit{std::move(row.url), row.last_visit_time}, row.row};
    }
  });
  if (!ok) return lookup;
  for (auto& [title, found] : best) lookup.hits[title] = std::move(found.first);
  lookup.read = read;
  return lookup;
}

HistoryIndex::HistoryIndex(std::string path, HistoryLimits limits)
    : path_(std::move(path)), limits_(limits) {}

void HistoryIndex::Reset() {
  built_ = false;
  latest_visit_.reset();
  by_title_.clear();
  scanned_.clear();
  bytes_ = 0;
}

void HistoryIndex::Drop(const std::string& title, int64_t row) {
  const auto it = by_title_.find(title);
  if (it == by_title_.end() || it->second.row != row) return;
  bytes_ -= it->first.size() + it->second.url.size();
  by_title_.erase(it);
}

void HistoryIndex::Take(int64_t row, const std::string& title, std::string url,
                        int64_t last_visit_time) {
  const auto it = by_title_.find(title);
  if (it == by_title_.end()) {
    bytes_ += title.size() + url.size();
    by_title_.emplace(title, Entry{std::move(url), last_visit_time, row, generation_});
  } else if (it->second.row == row || Better(Row{row, {}, {}, last_visit_time},
                                             it->second.last_visit_time, it->second.row)) {
    bytes_ = bytes_ + url.size() - it->second.url.size();
    it->second = Entry{std::move(url), last_visit_time, row, generation_};
  }
}

bool HistoryIndex::Build(HistoryDatabase& db) {
  ++work_.builds;
  // Built beside the old index, which stays when the build fails.
  HistoryIndex fresh(path_, limits_);
  fresh.generation_ = generation_;
  if (db.has_visits()) {
    const std::optional<int64_t> latest = db.Number("SELECT max(visit_time) FROM visits", {});
    const bool ok = db.Rows(
        "SELECT rowid, title, url, last_visit_time FROM urls WHERE rowid IN "
        "(SELECT url FROM visits ORDER BY visit_time DESC LIMIT ?1)",
        {limits_.recent_visits}, {}, [&](Row row) {
          if (fresh.bytes_ < limits_.max_bytes) {
            fresh.Take(row.row, row.title, std::move(row.url), row.last_visit_time);
          }
        });
    if (!ok) return false;
    fresh.latest_visit_ = latest;
  }
  latest_visit_ = fresh.latest_visit_;
  by_title_ = std::move(fresh.by_title_);
  bytes_ = fresh.bytes_;
  built_ = true;
  return true;
}

bool HistoryIndex::Update(HistoryDatabase& db) {
  if (!db.has_visits()) return Build(db);
  const std::optional<int64_t> latest = db.Number("SELECT max(visit_time) FROM visits", {});
  // Visits gone (the history cleared, or old ones expired past the newest
  // seen), or more new ones than the index is built from: built again.
  if (!latest_visit_ || !latest || *latest < *latest_visit_) return Build(db);
  const int64_t since = *latest_visit_ - limits_.look_back;
  const std::optional<int64_t> newer =
      db.Number("SELECT count(*) FROM (SELECT 1 FROM visits WHERE visit_time > ?1 LIMIT ?2)",
                {since, int64_t{limits_.recent_visits} + 1});
  if (!newer) return false;
  if (*newer > limits_.recent_visits) return Build(db);
  ++work_.updates;
  const bool ok = db.Rows(
      "SELECT rowid, title, url, last_visit_time FROM urls WHERE rowid IN "
      "(SELECT url FROM visits WHERE visit_time > ?1)",
      {since}, {},
      [&](Row row) { Take(row.row, row.title, std::move(row.url), row.last_visit_time); });
  if (!ok) return false;
  latest_visit_ = latest;
  if (bytes_ > limits_.max_bytes) return Build(db);
  return true;
}

bool HistoryIndex::Check(HistoryDatabase& db, const std::vector<std::string>& titles) {
  for (const std::string& title : titles) {
    const auto it = by_title_.find(title);
    if (it == by_title_.end() || it->second.checked == generation_) continue;
    const int64_t row = it->second.row;
    bool same = false;
    const bool ok = db.Query("SELECT title FROM urls WHERE rowid = ?1", {row}, {},
                             [&](sqlite3_stmt* stmt) { same = ColumnText(stmt, 0) == title; });
    if (!ok) return false;
    if (same) {
      it->second.checked = generation_;
    } else {
      Drop(title, row);
    }
  }
  return true;
}

std::map<std::string, HistoryHit> HistoryIndex::Answer(const std::vector<std::string>& titles,
                                                       SharedFiles& files,
                                                       const std::atomic<bool>* cancel) {
  std::map<std::string, HistoryHit> answers;
  const std::optional<FileStamp> main = files.Stamp(path_);
  if (!main) {
    stamps_.reset();
    Reset();
    return answers;
  }
  const Stamps now{*main, files.Stamp(path_ + "-wal")};
  if (!stamps_ || !(*stamps_ == now)) {
    stamps_ = now;
    ++generation_;
    failed_ = false;
    // A title found nowhere may be found now: an old page may carry it
    // without a new visit.
    scanned_.clear();
  }
  // One connection for this call, opened when the file must be read; none
  // once a read of this state of the file has failed.
  std::optional<HistoryDatabase> db;
  const auto read = [&](const std::function<bool(HistoryDatabase&)>& work) {
    if (failed_) return false;
    if (!db) {
      db.emplace(limits_, cancel, &work_.ended);
      ++work_.opens;
      last_read_ = db->Open(path_);
    }
    if (last_read_ == HistoryRead::kFailed || !work(*db)) failed_ = true;
    return !failed_;
  };
  if (read_generation_ != generation_) {
    read_generation_ = generation_;
    read([&](HistoryDatabase& d) { return built_ ? Update(d) : Build(d); });
  }
  // What the index holds from before this change is checked before it is
  // given: its row may be gone, or carry another title now.
  const bool stale = std::any_of(titles.begin(), titles.end(), [&](const std::string& title) {
    const auto it = by_title_.find(title);
    return it != by_title_.end() && it->second.checked != generation_;
  });
  if (stale) read([&](HistoryDatabase& d) { return Check(d, titles); });

  std::vector<std::string> missing;
  for (const std::string& title : titles) {
    if (!by_title_.count(title) && !scanned_.count(title)) missing.push_back(title);
  }
  if (!missing.empty()) {
    ++work_.scans;
    read([&](HistoryDatabase& d) {
      return ScanTitles(d, missing, limits_.rows_per_statement, [&](Row row) {
        Take(row.row, row.title, std::move(row.url), row.last_visit_time);
      });
    });
    // Found, found nowhere, or failed: not looked up again in this state of the file.
    if (scanned_.size() + missing.size() > kMaxScanned) scanned_.clear();
    scanned_.insert(missing.begin(), missing.end());
  }
  for (const std::string& title : titles) {
    const auto it = by_title_.find(title);
    // Kept when the file could not be read: the last good answer stands.
    if (it != by_title_.end()) {
      answers[title] = HistoryHit{it->second.url, it->second.last_visit_time};
    }
  }
  return answers;
}

}  // namespace zd
