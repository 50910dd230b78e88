// The launcher's search: rows ranked by match quality, picks and pins, and
// the keys of the search row that go with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "lang/lang_tables.h"
#include "launch/fake_search_view.h"
#include "launch/han_reference_for_tests.h"
#include "launch/search.h"
#include "platform/errors.h"
#include "platform/fake_browser_control.h"
#include "platform/fake_files.h"
#include "platform/fake_shell_launcher.h"
#include "platform/utf8.h"
#include "tracking/doc_kinds.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;
constexpr int64_t kDay = 24 * 3600;
constexpr int64_t kToday = 1'750'000'000;

DocRecord Doc(const std::string& path, const std::string& name) {
  return {
      "",          path, name, false, path.starts_with("http") ? DocKind::kWeb : DocKind::kProgram,
      "2024-01-01"};
}

// "bg" finds each of these, as a whole name, a prefix, a word start or
// inside a word, records in history order.
DocArray BgRecords() {
  return {
      Doc("D:\\资料\\白鸽", "D:\\资料\\白鸽"),      // 0 whole (bai ge)
      Doc("D:\\bg-notes.txt", "bg notes"),          // 1 prefix
      Doc("D:\\资料\\包裹", "D:\\资料\\包裹"),      // 2 whole (bao guo)
      Doc("C:\\Tools\\ebg.exe", "ebg"),             // 3 inside a word
      Doc("D:\\资料\\报告", "D:\\资料\\報告"),      // 4 whole (bao gao)
      Doc("D:\\2026报告.doc", "2026报告.doc"),      // 5 word start
      Doc("C:\\Tools\\xbg.exe", "xbg"),             // 6 inside a word
      Doc("http://example.com/news", "新闻 Page"),  // no match
  };
}

std::vector<size_t> Rows(const SearchModel& model) {
  std::vector<size_t> rows;
  for (size_t i = 0; i < model.RowCount(); ++i) rows.push_back(*model.RowRecord(i));
  return rows;
}

class RankingTest : public ::testing::Test {
 protected:
  RankingTest() {
    store.docs = BgRecords();
    SearchOptions options;
    options.ranked = true;
    options.picks = &picks;
    options.now = [this] { return now; };
    model.SetOptions(options);
  }
  void Pick(size_t record, const std::string& key, int64_t when) {
    picks.AddPick(store.docs[record].path, key, when);
  }
  std::vector<size_t> Search(const std::string& text) {
    model.Clear();
    model.Run(store, text);
    return Rows(model);
  }

  DocStore store;
  PickStore picks;
  int64_t now = kToday;
  SearchModel model;
};

TEST_F(RankingTest, QualityFirstThenPicksThenOldestFirst) {
  struct Case {
    const char* what;
    std::vector<std::pair<size_t, int>> picks;  // record, picks made for "bg" today
    std::vector<size_t> rows;
  };
  const Case cases[] = {
      {"ties stay in history order", {}, {0, 2, 4, 1, 5, 3, 6}},
      {"picked twice, first among the whole names", {{4, 2}}, {4, 0, 2, 1, 5, 3, 6}},
      {"more picks, higher", {{4, 2}, {2, 3}}, {2, 4, 0, 1, 5, 3, 6}},
      {"picks never lift a row above a better match", {{6, 9}}, {0, 2, 4, 1, 5, 6, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    picks = PickStore();
    for (const auto& [record, count] : c.picks) {
      for (int i = 0; i < count; ++i) Pick(record, "bg", kToday);
    }
    EXPECT_EQ(Search("bg"), c.rows);
    EXPECT_EQ(Search("BG"), c.rows) << "letter case";
  }
  // The qualities the rows were ranked by.
  picks = PickStore();
  Search("bg");
  const MatchQuality expected[] = {MatchQuality::kWhole,     MatchQuality::kWhole,
                                   MatchQuality::kWhole,     MatchQuality::kPrefix,
                                   MatchQuality::kWordStart, MatchQuality::kSubstring,
                                   MatchQuality::kSubstring};
  for (size_t row = 0; row < std::size(expected); ++row) {
    EXPECT_EQ(model.RowQuality(row), expected[row]) << row;
  }
}

TEST_F(RankingTest, PicksFadeAcrossDaysAndTheSameKeyCountsMost) {
  struct Case {
    int older_days_ago;  // 白鸽 (0) picked three times that many days ago for `older_key`
    const char* older_key;
    int newer_days_ago;  // 包裹 (2) picked once then, for "bg"
    size_t first;
  };
  const Case cases[] = {
      {0, "bg", 0, 0},      // three picks beat one
      {14, "bg", 0, 0},     // a fortnight halves them: 1.5 to 1
      {28, "bg", 0, 2},     // four weeks quarter them: 0.75 to 1
      {60, "bg", 30, 2},    // the gap is what counts, not the age
      {50, "bg", 40, 0},    // ten days apart: 3 x 0.61 to 1
      {0, "baig", 0, 2},    // picks for another key count for less
      {0, "baig", 200, 0},  // ... but they count
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.older_days_ago) + " " + c.older_key);
    picks = PickStore();
    for (int i = 0; i < 3; ++i) Pick(0, c.older_key, kToday - c.older_days_ago * kDay);
    Pick(2, "bg", kToday - c.newer_days_ago * kDay);
    for (const int later : {0, 15, 100}) {
      now = kToday + later * kDay;  // the order does not change as days pass
      ASSERT_FALSE(Search("bg").empty());
      EXPECT_EQ(Search("bg").front(), c.first) << later;
    }
  }
}

TEST_F(RankingTest, PinsComeFirstForTheirKeyOnly) {
  ASSERT_TRUE(picks.TogglePin(store.docs[3].path, "bg", kToday));
  ASSERT_TRUE(picks.TogglePin(store.docs[6].path, "bg", kToday + 1));
  ASSERT_TRUE(picks.TogglePin(store.docs[5].path, "b", kToday + 2));
  EXPECT_EQ(Search("bg"), (std::vector<size_t>{6, 3, 0, 2, 4, 1, 5}));
  EXPECT_TRUE(model.RowPinned(0) && model.RowPinned(1) && !model.RowPinned(2));
  // Another key ranks as ever; a pin to a key the record no longer matches shows nothing.
  EXPECT_EQ(Search("bg n"), (std::vector<size_t>{1}));
  EXPECT_EQ(Search("bg-"), (std::vector<size_t>{1}));
  picks.TogglePin(store.docs[6].path, "bg", kToday + 3);
  EXPECT_EQ(Search("bg"), (std::vector<size_t>{3, 0, 2, 4, 1, 5, 6}));
}

TEST_F(RankingTest, AnEmptyBoxListsTheMostPickedDocuments) {
  EXPECT_TRUE(Search("").empty()) << "nothing picked yet";
  Pick(3, "ebg", kToday - 30 * kDay);
  Pick(7, "news", kToday);
  Pick(7, "xw", kToday);
  Pick(1, "", kToday);
  picks.TogglePin(store.docs[5].path, "", kToday);
  // The pin, then by score: picked with the empty box counts most.
  EXPECT_EQ(Search(""), (std::vector<size_t>{5, 1, 7, 3}));
  EXPECT_EQ(Search("   "), (std::vector<size_t>{5, 1, 7, 3}));
  // Never more than a screenful, however much was picked.
  for (int i = 0; i < 100; ++i) store.docs.push_back(Doc("C:\\many\\" + std::to_string(i), "m"));
  for (size_t i = 8; i < store.docs.size(); ++i) Pick(i, "m", kToday);
  EXPECT_EQ(Search("").size(), kMostPickedRows + 1);
  // In history order an empty box lists nothing.
  SearchOptions history = model.options();
  history.ranked = false;
  model.SetOptions(history);
  EXPECT_TRUE(Search("").empty());
}

TEST_F(RankingTest, RecordsRegisteredLaterAndAHistoryRebuiltAreRankedToo) {
  Pick(4, "bg", kToday);
  model.Run(store, "b");
  store.docs.push_back(Doc("E:\\备稿", "备稿"));  // bei gao: registered between two keys
  model.Run(store, "bg");
  EXPECT_EQ(Rows(model), (std::vector<size_t>{4, 0, 2, 8, 1, 5, 3, 6}));
  // A rebuilt history: the picks find their records at their new places.
  store.docs.erase(store.docs.begin(), store.docs.begin() + 4);
  ++store.docs_generation;
  model.Run(store, "bg");
  EXPECT_EQ(Rows(model), (std::vector<size_t>{0, 4, 1, 2}));
}

// Random histories, picks, pins and keys against a plain sort of the
// reference's matches.
TEST_F(RankingTest, AgreesWithAPlainSortOfEveryMatch) {
  std::mt19937 rng(150);
  const char* const words[] = {"报告",  "報告", "周度", "行长", "重庆", "绿色", "白鸽", "bg",
                               "Notes", "2026", "App",  " - ",  "\\",   ".exe", "资料", "b"};
  auto text = [&] {
    std::string t;
    for (size_t n = 1 + rng() % 5; n > 0; --n) t += words[rng() % std::size(words)];
    return t;
  };
  store.docs.clear();
  for (int i = 0; i < 400; ++i) store.docs.push_back(Doc("D:\\" + text(), text()));
  for (int i = 0; i < 150; ++i) {
    Pick(rng() % store.docs.size(), rng() % 2 ? "bg" : "x", kToday - (rng() % 90) * kDay);
  }
  for (int i = 0; i < 10; ++i) picks.TogglePin(store.docs[rng() % store.docs.size()].path, "bg", i);
  SearchModel history;
  SearchOptions han_only;
  han_only.han = true;
  history.SetOptions(han_only);
  // Both with their folded copies made ahead on a thread of their own, the
  // history growing after that.
  model.PrepareAhead(store);
  history.PrepareAhead(store);
  for (int i = 0; i < 50; ++i) store.docs.push_back(Doc("D:\\" + text(), text()));
  const V typed = {"b",     "bg",   "bgb",  "报",  "报告", "報g",   "hz",
                   "xingc", "cq",   "lvs",  "lus", "bgn",  "notes", "n",
                   "2026b", "d:\\", "app.", "zd",  "z",    "",      "-"};
  for (const std::string& key_text : typed) {
    model.Run(store, key_text);  // typed on, narrowing where it can
    const std::string key = FoldForSearch(Trim(key_text));
    if (key.empty()) continue;
    const auto scores = picks.Scores(key, now);
    const auto pins = picks.Pins(key);
    struct Row {
      size_t record;
      MatchQuality quality;
      double score;
      long pin;
    };
    std::vector<Row> expected;
    for (size_t r = 0; r < store.docs.size(); ++r) {
      const MatchQuality q = reference::RecordQuality(FoldForSearch(store.docs[r].path),
                                                      FoldForSearch(store.docs[r].name), key);
      if (q == MatchQuality::kNone) continue;
      const auto s = scores.find(store.docs[r].path);
      const auto p = std::find(pins.begin(), pins.end(), store.docs[r].path);
      expected.push_back({r, q, s == scores.end() ? 0.0 : s->second,
                          p == pins.end() ? -1 : static_cast<long>(p - pins.begin())});
    }
    std::sort(expected.begin(), expected.end(), [](const Row& a, const Row& b) {
      if ((a.pin >= 0) != (b.pin >= 0)) return a.pin >= 0;
      if (a.pin != b.pin) return a.pin < b.pin;
      if (a.quality != b.quality) return a.quality > b.quality;
      if (a.score != b.score) return a.score > b.score;
      return a.record < b.record;
    });
    std::vector<size_t> rows;
    for (const Row& row : expected) rows.push_back(row.record);
    ASSERT_EQ(Rows(model), rows) << key_text;
    // In history order, the same matches oldest first.
    history.Run(store, key_text);
    std::sort(rows.begin(), rows.end());
    ASSERT_EQ(Rows(history), rows) << key_text;
  }
}

// The launcher's rows: the record's name (a folder's own name, not its
// path), "-", the path as stored, with the bytes the key matched where it
// matched best in [ ], pinyin marking the characters it spelled; and the
// picture of the kind (a program's own icon).
TEST_F(RankingTest, RowsShowTheNameAndTheStoredPathWithWhatTheKeyMatched) {
  store.docs = {{"", "D:\\工作\\季度报告", "D:\\工作\\季度报告", false, DocKind::kFolder, ""},
                {"", "D:\\资料\\年度報告", "D:\\资料\\年度報告", false, DocKind::kFolder, ""},
                {"", "C:\\Tools\\Report.EXE", "Monthly Report", false, DocKind::kProgram, "", 14},
                {"", "http://Example.com/News", "新闻 Page", false, DocKind::kWeb, ""}};
  ++store.docs_generation;
  const std::pair<std::string, std::string> cases[] = {
      {"bg", "季度[报告] - D:\\工作\\季度[报告]"},
      {"bg", "年度[報告] - D:\\资料\\年度[報告]"},
      {"jdbg", "[季度报告] - D:\\工作\\[季度报告]"},
      {"rep", "Monthly [Rep]ort - C:\\Tools\\[Rep]ort.EXE"},
      {"tools\\rep", "Monthly Report - C:\\[Tools\\Rep]ort.EXE"},
      {"xw", "[新闻] Page - http://Example.com/News"},
      {"news", "新闻 Page - http://Example.com/[News]"}};
  const auto marked = [](std::string text, const auto& span) {
    if (span) text.insert(span->second, "]").insert(span->first, "[");
    return text;
  };
  std::vector<int> images(store.docs.size(), -1);
  for (const auto& [key, expected] : cases) {
    model.Clear();
    model.Run(store, key);
    V rows;
    for (size_t row = 0; row < model.RowCount(); ++row) {
      const std::string name = model.RowName(row), path = *model.RowPath(row);
      EXPECT_EQ(model.RowLabel(row), name + " - " + path) << "what other programs read";
      const SearchModel::RowMarks marks = model.RowMatches(row);
      rows.push_back(marked(name, marks.name) + " - " + marked(path, marks.path));
      images[*model.RowRecord(row)] = model.RowImage(row);
    }
    EXPECT_NE(std::find(rows.begin(), rows.end(), expected), rows.end())
        << testing::PrintToString(rows);
  }
  EXPECT_EQ(images, (std::vector<int>{kImageFolder, kImageFolder, 14, kImageWeb}));
}

// ---- the search row's keys with the launcher's search ----

class LauncherKeysTest : public ::testing::Test {
 protected:
  LauncherKeysTest() {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    store.docs = BgRecords();
    store.files = &files;
    store.codec = codec.get();
    store.ConfigDir = "D:\\MrxConfig\\";
    files.AddDrive("D:\\", DriveKind::kFixed);
    files.AddDirectory("D:\\MrxConfig");
    browser.ShowPage({"SearchNow"});
    shell.AddFolder("D:\\资料");
    for (const DocRecord& doc : store.docs) {
      if (doc.path.find('.') == std::string::npos) {
        shell.AddFolder(doc.path);
      } else {
        shell.AddFile(doc.path);
      }
    }
    presenter.EnableLauncher(true, [this] { return now; });
  }
  void TearDown() override { EXPECT_EQ(CaughtFailureCount(), caught_at_start_); }
  void Type(const std::string& text) {
    presenter.EdtSearchTyped();
    presenter.EdtSearchChange(text);
  }

  DocStore store;
  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  FakeShellLauncher shell;
  MemoryMirror recent_box;
  DocList recent{&recent_box};
  DocOpener opener{shell, recent, {}};
  FakeBrowserControl browser;
  WebSearcher web{&browser, shell, {}};
  FakeSearchView view;
  SearchPresenter presenter{store, opener, web, shell, view};
  int64_t now = kToday;

 private:
  uint64_t caught_at_start_ = CaughtFailureCount();
};

TEST_F(LauncherKeysTest, EnterOpensTheBestRowAndThePickIsKept) {
  Type("bg");
  EXPECT_EQ(view.events, V({"show 7", "select 0"})) << "the best row is selected";
  presenter.EdtSearchKeyDown(kKeyEnter, "bg", 0);
  EXPECT_EQ(shell.calls(), V({"execute verb=open file=D:\\资料\\白鸽\\ params= show=1"}));
  presenter.EdtSearchKeyDown(kKeyEnter, "bg", 2);
  ASSERT_EQ(presenter.picks().picks().size(), 2u);
  EXPECT_EQ(presenter.picks().picks()[1], (Pick{kToday, "bg", "D:\\资料\\报告"}));
  EXPECT_TRUE(files.files().count("D:\\MrxConfig\\picks.dat")) << "saved at once";
  // The text names a folder: that folder, not the row.
  shell.ClearLog();
  Type("D:\\资料");
  presenter.EdtSearchKeyDown(kKeyEnter, "D:\\资料", 0);
  EXPECT_EQ(shell.calls(), V({"execute verb=open file=D:\\资料\\ params= show=1"}));
  // No row: the web.
  Type("qqq");
  presenter.EdtSearchKeyDown(kKeyEnter, "qqq", std::nullopt);
  EXPECT_EQ(shell.calls().size(), 1u) << "nothing opened";
  EXPECT_EQ(browser.calls(), V({"call SearchNow(qqq)"})) << "searched on the web";
}

TEST_F(LauncherKeysTest, CtrlEnterOpensTheContainingFolder) {
  struct Case {
    std::string key;
    size_t row;
    bool in_list;
    V calls;
  };
  const Case cases[] = {
      {"ebg", 0, false, {"execute verb=open file=C:\\Tools\\ params= show=1"}},
      {"ebg", 0, true, {"execute verb=open file=C:\\Tools\\ params= show=1"}},
      {"报告", 0, true, {"execute verb=open file=D:\\资料\\ params= show=1"}},
      {"news", 0, false, {}},  // a web page has no folder
  };
  shell.AddFolder("C:\\Tools");
  for (const Case& c : cases) {
    shell.ClearLog();
    Type(c.key);
    if (c.in_list) {
      presenter.LbSearchResultKeyDown(kKeyEnter, c.row, /*ctrl=*/true);
    } else {
      presenter.EdtSearchKeyDown(kKeyEnter, c.key, c.row, /*ctrl=*/true);
    }
    EXPECT_EQ(shell.calls(), c.calls) << c.key;
    EXPECT_FALSE(view.visible);
  }
  EXPECT_EQ(presenter.picks().picks().size(), 4u) << "each counts as a pick";
}

TEST_F(LauncherKeysTest, CtrlPPinsTheRowAndKeepsItSelected) {
  Type("bg");
  view.events.clear();
  presenter.EdtSearchKeyDown(kKeyPin, "bg", 5, /*ctrl=*/true);
  EXPECT_EQ(view.events, V({"show 7", "select 0"}));
  EXPECT_TRUE(presenter.results().RowPinned(0));
  EXPECT_EQ(presenter.results().RowPath(0), "C:\\Tools\\ebg.exe");
  // In the list: unpinned, it goes back to its place and the list keeps the focus.
  view.events.clear();
  presenter.LbSearchResultKeyDown(kKeyPin, 0, /*ctrl=*/true);
  EXPECT_EQ(view.events, V({"show 7", "focus 5"}));
  EXPECT_TRUE(presenter.picks().pins().empty());
  // Without Ctrl it is a letter, and in the list the row's text goes into the box.
  view.events.clear();
  presenter.EdtSearchKeyDown(kKeyPin, "bg", 0);
  EXPECT_TRUE(view.events.empty());
}

// Records deleted from the history take their picks and pins along, in any
// letter case of their path, on disk at once; "删除所有" takes them all.
TEST_F(LauncherKeysTest, DeletedRecordsLoseTheirPicksAndPins) {
  Type("bg");
  presenter.EdtSearchKeyDown(kKeyEnter, "bg", 0);  // 白鸽
  presenter.EdtSearchKeyDown(kKeyEnter, "bg", 2);  // 报告
  presenter.EdtSearchKeyDown(kKeyPin, "bg", 3, /*ctrl=*/true);
  const std::string pinned = presenter.picks().pins().at(0).path;
  const auto on_disk = [this] {
    PickStore read;
    read.Load(files, *codec, "D:\\MrxConfig\\picks.dat");
    std::set<std::string> paths;
    for (const Pick& pick : read.picks()) paths.insert(pick.path);
    for (const Pick& pin : read.pins()) paths.insert(pin.path);
    return paths;
  };
  ASSERT_EQ(on_disk(), (std::set<std::string>{"D:\\资料\\白鸽", "D:\\资料\\报告", pinned}));
  presenter.ForgetPicks({"d:\\资料\\白鸽", LowerAscii(pinned)}, false);
  EXPECT_EQ(on_disk(), std::set<std::string>{"D:\\资料\\报告"});
  presenter.ForgetPicks({}, true);
  EXPECT_TRUE(on_disk().empty());
  EXPECT_TRUE(files.files().count("D:\\MrxConfig\\picks.dat"));
}

TEST_F(LauncherKeysTest, HistoryOrderKeepsEnterForTheList) {
  presenter.SetRanked(false);
  Type("bg");
  EXPECT_EQ(view.events, V({"show 7"})) << "nothing selected";
  EXPECT_EQ(presenter.results().RowRecord(0), 0u);
  presenter.EdtSearchKeyDown(kKeyEnter, "bg", 0);
  EXPECT_TRUE(shell.calls().empty()) << "a selected row opens from the list";
  presenter.LbSearchResultKeyDown(kKeyEnter, 4);
  EXPECT_EQ(shell.calls(), V({"execute verb=open file=D:\\资料\\报告\\ params= show=1"}));
  EXPECT_EQ(presenter.picks().picks().size(), 1u) << "picks are kept for the ranked order";
}

}  // namespace
}  // namespace zd
