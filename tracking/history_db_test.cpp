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
      {"Same title"}, {"Same title", "Other", "Tie"}, {"中文标题", "Missing"}, {"No address"},
      {"Old 5"},      {"Old 2999", "Old 0"},          {"same title"}};
  for (const std::vector<std::string>& titles : questions) {
    HistoryLookup lookup = LookUpTitles(path, titles, *files_);
    EXPECT_EQ(lookup.read, HistoryRead::kDirect);
    std::map<std::string, HistoryHit> expected = Latest(rows, titles);
    std::erase_if(expected, [](const auto& hit) { return hit.second.url.empty(); });
    EXPECT_EQ(lookup.hits, expected) << titles.front();
  }
}

TEST_F(HistoryDbTest, AfterAChangeOnlyTheVisitsSinceTheLastLookupAreLookedAt) {
  std::vector<HistoryRow> rows;
  for (int i = 0; i < 3000; ++i) {
    rows.push_back(
        {"https://old.example/" + std::to_string(i), "Old " + std::to_string(i), 10 + i});
  }
  const std::string path = Write(rows);
  const std::vector<std::string> titles = {"Old 5", "Old 6", "Nowhere"};
  const HistoryLookup before = LookUpTitles(path, titles, *files_);
  ASSERT_EQ(before.latest_visit, 3009);
  EXPECT_FALSE(before.only_newer);
  EXPECT_EQ(before.hits, Latest(rows, titles));

  // A few visits later, "Old 5" was opened again at another address.
  const std::vector<HistoryRow> later = {{"https://new.example/5", "Old 5", 5000},
                                         {"https://new.example/x", "Something else", 5001}};
  ASSERT_TRUE(testing::WriteHistory(path, later));
  const HistoryLookup after = LookUpTitles(path, titles, *files_, before.latest_visit);
  EXPECT_TRUE(after.only_newer);
  EXPECT_EQ(after.latest_visit, 5001);
  const std::map<std::string, HistoryHit> newer = {{"Old 5", {"https://new.example/5", 5000}}};
  EXPECT_EQ(after.hits, newer);

  // More visits since than the recent window holds: the whole table again.
  std::vector<HistoryRow> many;
  for (int i = 0; i < 2100; ++i)
    many.push_back({"https://m.example/" + std::to_string(i), "M", 6000 + i});
  ASSERT_TRUE(testing::WriteHistory(path, many));
  const HistoryLookup full = LookUpTitles(path, titles, *files_, after.latest_visit);
  EXPECT_FALSE(full.only_newer);
  rows.insert(rows.end(), later.begin(), later.end());
  rows.insert(rows.end(), many.begin(), many.end());
  EXPECT_EQ(full.hits, Latest(rows, titles));
}

TEST_F(HistoryDbTest, ALockedDatabaseIsReadFromACopyAndAGoneOneFails) {
  const std::vector<HistoryRow> rows = {{"https://a.example/", "A", 1}};
  const std::string path = Write(rows);
  // The browser holds its database locked while it runs.
  sqlite3* browser = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &browser), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(browser, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  HistoryLookup locked = LookUpTitles(path, {"A"}, *files_);
  EXPECT_EQ(locked.read, HistoryRead::kWithoutLocks);
  EXPECT_EQ(locked.hits.at("A").url, "https://a.example/");
  // ...and its write was never kept waiting.
  EXPECT_EQ(sqlite3_exec(browser,
                         "INSERT INTO urls(url,title,last_visit_time) VALUES('x','X',2);"
                         "COMMIT;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(browser);

  EXPECT_EQ(LookUpTitles(dir_.File("missing"), {"A"}, *files_).read, HistoryRead::kFailed);
  // What SQLite cannot open in place is read as a copy (here one that only
  // the shared reads reach); a copy of something else fails.
  FakeSharedFiles copies;
  copies.Put("elsewhere", *files_->ReadShared(path));
  const HistoryLookup copy = LookUpTitles("elsewhere", {"A", "X"}, copies);
  EXPECT_EQ(copy.read, HistoryRead::kCopy);
  EXPECT_EQ(copy.hits.size(), 2u);
  copies.Put("elsewhere", std::string(4096, 'x'));
  EXPECT_EQ(LookUpTitles("elsewhere", {"A"}, copies).read, HistoryRead::kFailed);
  // A name that needs escaping in an address.
  const std::string odd = dir_.File("dir %20#&=中");
  std::filesystem::create_directories(
      std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(odd.data()), odd.size())));
  ASSERT_TRUE(testing::WriteHistory(odd + "/History", {{"https://odd.example/", "Odd", 1}}));
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open((odd + "/History").c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  const HistoryLookup escaped = LookUpTitles(odd + "/History", {"Odd"}, copies);
  EXPECT_EQ(escaped.read, HistoryRead::kWithoutLocks);
  EXPECT_EQ(escaped.hits.size(), 1u);
  sqlite3_close(holder);
  const std::string not_db = dir_.File("not-a-db");
  std::ofstream(not_db) << std::string(4096, 'x');
  EXPECT_EQ(LookUpTitles(not_db, {"A"}, *files_).read, HistoryRead::kFailed);
}

}  // namespace
}  // namespace zd
