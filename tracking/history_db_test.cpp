#include "tracking/history_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "platform/fake_shared_files.h"
#include "platform/temp_dir_for_tests.h"
#include "tracking/browser_files_for_tests.h"

namespace zd {
namespace {

using testing::HistoryRow;

bool Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK;
  if (!ok) ADD_FAILURE() << sql << ": " << (error ? error : "?");
  sqlite3_free(error);
  return ok;
}

class HistoryDbTest : public ::testing::Test {
 protected:
  std::string Write(const std::vector<HistoryRow>& rows) {
    const std::string path = dir_.File("History");
    EXPECT_TRUE(testing::WriteHistory(path, rows));
    return path;
  }
  // A plain reference walk over the rows: the latest visit of each title.
  static std::map<std::string, HistoryHit> Latest(const std::vector<HistoryRow>& rows,
                                                  const std::vector<std::string>& titles) {
    std::map<std::string, HistoryHit> hits;
    for (const HistoryRow& row : rows) {
      if (std::find(titles.begin(), titles.end(), row.title) == titles.end()) continue;
      if (row.url.empty()) continue;
      auto it = hits.find(row.title);
      // Rows come in insertion order: a tie goes to the later row.
      if (it == hits.end() || row.last_visit_time >= it->second.last_visit_time) {
        hits[row.title] = HistoryHit{row.url, row.last_visit_time};
      }
    }
    return hits;
  }
  TempDirForTests dir_;
  std::unique_ptr<SharedFiles> files_ = MakeSystemSharedFiles();
};

TEST_F(HistoryDbTest, EachTitleGivesItsMostRecentlyVisitedAddress) {
  std::vector<HistoryRow> rows = {
      {"https://a.example/old", "Same title", 100},
      {"https://a.example/new", "Same title", 300},
      {"https://b.example/", "Other", 200},
      {"https://c.example/tie-first", "Tie", 50},
      {"https://c.example/tie-second", "Tie", 50},
      {"https://d.example/", "中文标题", 10},
      {"", "No address", 400},
  };
  // Many older pages, so that the recent visits do not hold every title.
  for (int i = 0; i < 3000; ++i) {
    rows.push_back(
        {"https://old.example/" + std::to_string(i), "Old " + std::to_string(i), 1000 + i});
  }
  rows.push_back({"https://a.example/newest", "Same title", 9000});
  const std::string path = Write(rows);
  const std::vector<std::vector<std::string>> questions = {
      {"Same title"},
      {"Same title", "Other", "Tie"},
      {"中文标题", "Missing"},
      {"No address"},
      {"Old 5"},
      {"Old 2999", "Old 0"},
      {"same title"},
      {"Old 92", "Old 93", "Old 94", "Old 192", "Old 193"}};
  // Passes over the table in statements of 100 rows: titles at either side of their ends.
  const HistoryLimits limits{.recent_visits = 100, .rows_per_statement = 100};
  HistoryIndex index(path, limits);
  for (const std::vector<std::string>& titles : questions) {
    const HistoryLookup lookup = LookUpTitles(path, titles, limits);
    EXPECT_EQ(lookup.read, HistoryRead::kDirect);
    EXPECT_EQ(lookup.hits, Latest(rows, titles)) << titles.front();
    EXPECT_EQ(index.Answer(titles, *files_), Latest(rows, titles)) << titles.front();
  }
}

TEST_F(HistoryDbTest, AfterAChangeOnlyTheVisitsSinceTheLastLookupAreLookedAt) {
  std::vector<HistoryRow> rows;
  for (int i = 0; i < 3000; ++i) {
    rows.push_back(
        {"https://old.example/" + std::to_string(i), "Old " + std::to_string(i), 10 + i});
  }
  const std::string path = Write(rows);
  const std::vector<std::string> titles = {"Old 2995", "Old 5", "Nowhere"};
  HistoryIndex index(path, HistoryLimits{.recent_visits = 100, .look_back = 0});
  EXPECT_EQ(index.Answer(titles, *files_), Latest(rows, titles));
  EXPECT_EQ(index.work().builds, 1);
  EXPECT_EQ(index.work().scans, 1);  // "Old 5" and "Nowhere" are older than the index

  // A few visits later, "Old 5" was opened again at another address.
  const std::vector<HistoryRow> later = {{"https://new.example/5", "Old 5", 5000},
                                         {"https://new.example/x", "Something else", 5001}};
  ASSERT_TRUE(testing::WriteHistory(path, later));
  rows.insert(rows.end(), later.begin(), later.end());
  EXPECT_EQ(index.Answer(titles, *files_), Latest(rows, titles));
  EXPECT_EQ(index.work().builds, 1);
  EXPECT_EQ(index.work().updates, 1);
  EXPECT_EQ(index.work().scans, 2) << "a title found nowhere is looked for again after a change";
  index.Answer(titles, *files_);
  EXPECT_EQ(index.work().scans, 2) << "...and only then";

  // More visits since than the index is built from: built again.
  std::vector<HistoryRow> many;
  for (int i = 0; i < 210; ++i)
    many.push_back({"https://m.example/" + std::to_string(i), "M", 6000 + i});
  ASSERT_TRUE(testing::WriteHistory(path, many));
  rows.insert(rows.end(), many.begin(), many.end());
  EXPECT_EQ(index.Answer({"M", "Old 5"}, *files_), Latest(rows, {"M", "Old 5"}));
  EXPECT_EQ(index.work().builds, 2);
}

// The index against the table scan, title by title, as the browser changes
// its History: seen and unseen titles, pages visited long ago, titles that
// change, pages deleted, and changes that stay in the write-ahead log.
TEST_F(HistoryDbTest, TheTitleIndexAgreesWithTheTableScan) {
  std::vector<HistoryRow> rows;
  for (int i = 0; i < 300; ++i) {
    // Every fifth title is shared with an older page.
    rows.push_back({"https://h" + std::to_string(i % 7) + ".example/" + std::to_string(i),
                    "T " + std::to_string(i % 5 == 0 ? i / 5 : i), 1000 + 10 * i});
  }
  const std::string path = Write(rows);
  sqlite3* browser = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &browser), SQLITE_OK);
  const auto newest = [&] {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(browser, "SELECT max(visit_time) FROM visits", -1, &stmt, nullptr);
    sqlite3_step(stmt);
    const int64_t value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
  };
  const auto visit = [&](const std::string& url, const std::string& title) {
    const std::string t = std::to_string(newest() + 10);
    return "INSERT INTO urls(url, title, last_visit_time) VALUES('" + url + "', '" + title + "', " +
           t + "); INSERT INTO visits(url, visit_time) VALUES(last_insert_rowid(), " + t + ");";
  };
  struct Step {
    const char* what;
    std::function<std::string()> sql;
    bool wal_only = false;
  } steps[] = {
      {"as written", [] { return std::string(); }},
      {"an old page visited again",
       [&] {
         const std::string t = std::to_string(newest() + 10);
         return "UPDATE urls SET last_visit_time = " + t +
                " WHERE id = 3;"
                "INSERT INTO visits(url, visit_time) VALUES(3, " +
                t + ");";
       }},
      {"a new page with the title of an older one",
       [&] { return visit("https://n.example/1", "T 7"); }},
      {"a new page with a title never seen", [&] { return visit("https://n.example/2", "Fresh"); }},
      {"the newest page's title set after its visit",
       [] {
         return std::string(
             "UPDATE urls SET title = 'Loaded' WHERE id = (SELECT max(id) FROM urls);");
       }},
      {"the page a title was answered with deleted",
       [] {
         return std::string("DELETE FROM visits WHERE url = 3; DELETE FROM urls WHERE id = 3;");
       }},
      {"the log kept from now on",
       [] { return std::string("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"); }},
      {"a new page in the log alone", [&] { return visit("https://w.example/1", "In the log"); },
       true},
      {"a title changed in the log alone",
       [] { return std::string("UPDATE urls SET title = 'Renamed in the log' WHERE id = 150;"); },
       true},
      {"the history cleared", [] { return std::string("DELETE FROM visits; DELETE FROM urls;"); },
       true},
  };
  HistoryIndex index(path, HistoryLimits{.recent_visits = 40, .look_back = 50});
  // Every title a row has or had, and one no row has.
  std::vector<std::string> titles = {"Nowhere", "Loaded", "Fresh", "In the log",
                                     "Renamed in the log"};
  for (int i = 0; i < 300; ++i) titles.push_back("T " + std::to_string(i));
  for (const Step& step : steps) {
    const std::optional<FileStamp> main_before = files_->Stamp(path);
    const std::string sql = step.sql();
    if (!sql.empty()) {
      ASSERT_TRUE(Exec(browser, sql)) << step.what;
    }
    if (step.wal_only) {
      ASSERT_EQ(files_->Stamp(path), main_before) << step.what << ": the main file changed";
    }
    // Each title alone, then all of them again (as windows stay open),
    // against the table scan (itself checked against a plain walk, above).
    for (const std::string& title : titles) {
      ASSERT_EQ(index.Answer({title}, *files_), LookUpTitles(path, {title}).hits)
          << step.what << ": " << title;
    }
    const std::map<std::string, HistoryHit> expected = LookUpTitles(path, titles).hits;
    EXPECT_EQ(index.Answer(titles, *files_), expected) << step.what;
    EXPECT_EQ(expected.empty(), &step == &steps[std::size(steps) - 1]) << step.what;
  }
  EXPECT_LT(index.work().builds, 4) << "the index is kept up to date, not built at every change";
  sqlite3_close(browser);
}

TEST_F(HistoryDbTest, ALockedDatabaseIsReadWithoutLocksAndNeverCopied) {
  const std::vector<HistoryRow> rows = {{"https://a.example/", "A", 1}};
  const std::string path = Write(rows);
  // The browser holds its database locked while it runs.
  sqlite3* browser = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &browser), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  HistoryLookup locked = LookUpTitles(path, {"A"});
  EXPECT_EQ(locked.read, HistoryRead::kWithoutLocks);
  EXPECT_EQ(locked.hits.at("A").url, "https://a.example/");
  HistoryIndex index(path);
  EXPECT_EQ(index.Answer({"A"}, *files_).at("A").url, "https://a.example/");
  EXPECT_EQ(index.last_read(), HistoryRead::kWithoutLocks);
  // ...and its write was never kept waiting.
  EXPECT_EQ(sqlite3_exec(browser,
                         "INSERT INTO urls(url,title,last_visit_time) VALUES('x','X',2);"
                         "COMMIT;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(browser);

  EXPECT_EQ(LookUpTitles(dir_.File("missing"), {"A"}).read, HistoryRead::kFailed);
  // What SQLite cannot open in place is not read at all: never copied into
  // memory, whatever the shared reads would give.
  FakeSharedFiles copies;
  copies.Put("elsewhere", *files_->ReadShared(path, 1 << 20));
  HistoryIndex elsewhere("elsewhere");
  EXPECT_TRUE(elsewhere.Answer({"A", "X"}, copies).empty());
  EXPECT_EQ(elsewhere.last_read(), HistoryRead::kFailed);
  EXPECT_EQ(copies.ReadCount("elsewhere"), 0);
  // A name that needs escaping in an address.
  const std::string odd = dir_.File("dir %20#&=中");
  std::filesystem::create_directories(std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(odd.data()), odd.size())));
  ASSERT_TRUE(testing::WriteHistory(odd + "/History", {{"https://odd.example/", "Odd", 1}}));
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open((odd + "/History").c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  const HistoryLookup escaped = LookUpTitles(odd + "/History", {"Odd"});
  EXPECT_EQ(escaped.read, HistoryRead::kWithoutLocks);
  EXPECT_EQ(escaped.hits.size(), 1u);
  sqlite3_close(holder);
  const std::string not_db = dir_.File("not-a-db");
  std::ofstream(not_db) << std::string(4096, 'x');
  EXPECT_EQ(LookUpTitles(not_db, {"A"}).read, HistoryRead::kFailed);
}

// Files another program wrote, made to hurt: whatever they hold, a read ends
// (the time limit ends any statement), fails or answers only from real
// tables, and a failed read is not tried again before the file changes.
TEST_F(HistoryDbTest, CraftedHistoriesEndWithinTheLimitAndAreReadOncePerChange) {
  const std::string kVisits =
      "CREATE TABLE visits(id INTEGER PRIMARY KEY, url INTEGER, visit_time INTEGER);";
  const std::string kForever = "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) ";
  struct Case {
    const char* what;
    std::string schema;  // run on a fresh file; empty: a real History, see `damage`
    bool corrupt = false;
    bool cancelled = false;
    std::optional<std::map<std::string, HistoryHit>> hits = std::map<std::string, HistoryHit>();
    bool ended = false;  // a statement was ended by the limit or the cancel flag
  } cases[] = {
      {"urls a view that never ends",
       kVisits + "CREATE VIEW urls AS " + kForever +
           "SELECT n AS id, 'https://v/' AS url, 'T' AS title, n AS last_visit_time FROM r;"},
      {"urls a virtual table (of a module that need not be there)",
       kVisits +
           "PRAGMA writable_schema=ON; INSERT INTO sqlite_schema VALUES('table', 'urls', 'urls', "
           "0, 'CREATE VIRTUAL TABLE urls USING rtree(id, a, b)');"},
      {"visits a view that never ends, urls real",
       "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, last_visit_time INTEGER);"
       "INSERT INTO urls VALUES(1, 'https://u/', 'T', 5);"
       "CREATE VIEW visits AS " +
           kForever + "SELECT n AS id, 1 AS url, n AS visit_time FROM r;",
       false, false, std::map<std::string, HistoryHit>{{"T", HistoryHit{"https://u/", 5}}}},
      {"visits too many to sort within the limit",
       "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, last_visit_time INTEGER);"
       "INSERT INTO urls VALUES(1, 'https://u/', 'T', 5);" +
           kVisits +
           "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < 400000) "
           "INSERT INTO visits(url, visit_time) SELECT 1, (n * 7919) % 400000 FROM r;",
       false, false, std::map<std::string, HistoryHit>(), true},
      // Whatever of it can still be read.
      {"pages overwritten with garbage", "", true, false, std::nullopt},
      {"cancelled", "", false, true, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir_.File(std::string("crafted-") + std::to_string(&c - cases));
    if (c.schema.empty()) {
      std::vector<HistoryRow> rows;
      for (int i = 0; i < 2000; ++i)
        rows.push_back({"https://x.example/" + std::to_string(i), "T", i});
      ASSERT_TRUE(testing::WriteHistory(path, rows));
    } else {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
      Exec(db, c.schema);
      sqlite3_close(db);
    }
    if (c.corrupt) {
      // Pages 2 to 20 hold the rows of urls (the first page is the schema).
      std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
      file.seekp(4096 * 3);
      const std::string garbage(4096 * 8, '\x5A');
      file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    std::atomic<bool> cancel{c.cancelled};
    HistoryIndex index(path, HistoryLimits{.statement_ms = 5});
    const std::map<std::string, HistoryHit> hits = index.Answer({"T"}, *files_, &cancel);
    if (c.hits) {
      EXPECT_EQ(hits, *c.hits);
    }
    EXPECT_EQ(index.work().ended > 0, c.ended);
    const int opens = index.work().opens;
    index.Answer({"T"}, *files_, &cancel);
    EXPECT_EQ(index.work().opens, opens) << "read again without a change";
  }
}

}  // namespace
}  // namespace zd
