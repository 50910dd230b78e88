#include "launch/search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <random>
#include <system_error>
#include <thread>

#include "lang/lang_tables.h"
#include "launch/fake_search_view.h"
#include "platform/errors.h"
#include "platform/fake_browser_control.h"
#include "platform/fake_shell_launcher.h"
#include "platform/utf8.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

TEST(SearchRuleTest, KeyIsTrimmedAndOnlyAsciiLettersAreLowered) {
  const std::pair<std::string, std::string> keys[] = {
      {"EXE", "exe"},
      {"  C:\\Windows\t\r\n", "c:\\windows"},
      {"\x01Mixed Case\x1F", "mixed case"},
      {"ÄÖÜ Straße", "ÄÖÜ straße"},  // UTF-8 bytes above 0x7F stay
      {"\xB0\xA1\xC4\xE3"
       "ABC",
       "\xB0\xA1\xC4\xE3"
       "abc"},                   // GBK bytes stay too
      {"中文ＡＢ", "中文ＡＢ"},  // full-width letters are not ASCII
      {"   ", ""},
  };
  for (const auto& [text, key] : keys) EXPECT_EQ(SearchKey(text), key) << text;

  const DocRecord doc{"HOST", "http://HOST/Page.HTML", "新闻 News",
                      false,  DocKind::kWeb,           "2024-01-01"};
  const std::pair<const char*, bool> matches[] = {
      {"page.html", true}, {"host/page", true}, {"新闻", true},  {"news", true},
      {"闻 n", true},      {"", false},         {"Page", false},  // keys arrive lowered
      {"html新", false},   {"xyz", false},
  };
  for (const auto& [key, match] : matches) EXPECT_EQ(MatchesSearch(doc, key), match) << key;
}

// Records with mixed case, Chinese text and GBK-looking bytes, some sharing
// words, so that keys match many, few or none.
DocArray MixedRecords(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  const char* const paths[] = {"http://News.163.com/Article/%zu.html",
                               "C:\\Program Files\\工具%zu\\App.EXE", "D:\\工作\\项目 %zu",
                               "http://www.BAIDU.com/s?wd=%zu", "E:\\\xB0\xA1\\Data%zu.txt"};
  const char* const names[] = {"新闻中心 - 第%zu篇", "WPS Office %zu", "D:\\工作\\项目 %zu",
                               "百度一下 Search %zu", "数据 DATA %zu"};
  DocArray docs;
  char buffer[256];
  for (size_t i = 0; i < count; ++i) {
    const size_t k = rng() % 5;
    DocRecord doc;
    std::snprintf(buffer, sizeof buffer, paths[k], i);
    doc.path = buffer;
    std::snprintf(buffer, sizeof buffer, names[k], i * 7);
    doc.name = buffer;
    doc.doctype = DocKindOfStored(static_cast<int32_t>(k % 3 + 1));
    docs.push_back(doc);
  }
  return docs;
}

std::vector<size_t> ReferenceRows(const DocArray& docs, const std::string& text) {
  const std::string key = SearchKey(text);
  std::vector<size_t> rows;
  for (size_t i = 0; i < docs.size(); ++i) {
    if (MatchesSearch(docs[i], key)) rows.push_back(i);
  }
  return rows;
}

::testing::AssertionResult AgreesWithAWalk(const SearchModel& model, const DocStore& store,
                                           const std::string& text) {
  const std::vector<size_t> expected = ReferenceRows(store.docs, text);
  if (model.RowCount() != expected.size()) {
    return ::testing::AssertionFailure() << "\"" << text << "\": " << model.RowCount()
                                         << " rows, a walk finds " << expected.size();
  }
  for (size_t row = 0; row < expected.size(); ++row) {
    const DocRecord& doc = store.docs[expected[row]];
    if (model.RowRecord(row) != expected[row] || model.RowText(row) != LowerAscii(doc.path) ||
        model.RowPath(row) != doc.path) {
      return ::testing::AssertionFailure() << "\"" << text << "\": row " << row << " differs";
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(SearchModelTest, AgreesWithAWalkWhileTypingDeletingAndTheHistoryGrows) {
  for (const bool ahead : {false, true}) {
    SCOPED_TRACE(ahead ? "copies made ahead" : "copies made by the first search");
    DocStore store;
    store.docs = MixedRecords(3000, 7);
    SearchModel model;
    if (ahead) {
      model.PrepareAhead(store);
      // The history grows while they are made.
      const DocArray later = MixedRecords(40, 9);
      store.docs.insert(store.docs.end(), later.begin(), later.end());
    }
    // Typing letter by letter, deleting, retyping, other keys in between.
    const V typed = {"E",    "EX",       "EXE",    "EXE ",     "EX",     "x",          "",
                     "工",   "工作",     "工作\\", "工作\\项", "1",      "12",         "123",
                     "\xB0", "\xB0\xA1", "news",   "NEWS.1",   "s?wd=1", "百度一下 S", "zzz",
                     "zzzz", "a",        "第1",    "  .html ", "\t"};
    for (const std::string& text : typed) {
      model.Run(store, text);
      ASSERT_TRUE(AgreesWithAWalk(model, store, text));
    }
    // Records registered between two keystrokes are searched too.
    model.Run(store, "app");
    const DocArray more = MixedRecords(500, 8);
    store.docs.insert(store.docs.end(), more.begin(), more.end());
    model.Run(store, "app.");
    EXPECT_TRUE(AgreesWithAWalk(model, store, "app."));
    model.Run(store, "app.e");
    EXPECT_TRUE(AgreesWithAWalk(model, store, "app.e"));
  }
}

// The copies made ahead: a thread that cannot start leaves the first search
// to make its own, not waiting for ever; the model ends after its thread,
// which reads tables that end with the program.
TEST(SearchModelTest, TheCopiesMadeAheadNeverKeepASearchWaitingNorOutliveTheModel) {
  auto store = std::make_unique<DocStore>();
  store->docs = MixedRecords(20000, 5);
  const auto finished = std::make_shared<std::atomic<bool>>(false);  // may outlive the test
  const std::pair<bool, SearchModel::ThreadStarter> starters[] = {
      {false,
       [](auto) -> std::thread { throw std::system_error(EAGAIN, std::generic_category()); }},
      {true, [finished](std::function<void()> work) {
         return std::thread([finished, work = std::move(work)] { work(), *finished = true; });
       }}};
  for (const auto& [starts, starter] : starters) {
    auto model = std::make_unique<SearchModel>();
    model->SetThreadStarter(starter);
    try {
      model->PrepareAhead(*store);
    } catch (const std::system_error&) {
      EXPECT_FALSE(starts);  // told to the caller, which logs it
    }
    // The first keystroke on a thread of its own: a wait that never ends fails here.
    std::promise<bool> agrees;
    std::future<bool> result = agrees.get_future();
    std::thread keystroke([&] {
      model->Run(*store, "exe");
      agrees.set_value(AgreesWithAWalk(*model, *store, "exe"));
    });
    if (result.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
      keystroke.detach(), (void)model.release(), (void)store.release();  // what it waits on stays
      FAIL() << "the first search is still waiting";
    }
    keystroke.join();
    EXPECT_TRUE(result.get());
    if (!starts) continue;
    *finished = false;
    ++store->docs_generation;  // made again for a changed history; the model ends at once
    model->PrepareAhead(*store);
    model.reset();
    EXPECT_TRUE(*finished) << "the model ended before its thread";
  }
}

TEST(SearchModelTest, AgreesWithAWalkForPiecesCutFromTheRecordsAnywhere) {
  DocStore store;
  store.docs = MixedRecords(2000, 11);
  std::mt19937 rng(12);
  SearchModel model;
  for (int i = 0; i < 400; ++i) {
    const DocRecord& doc = store.docs[rng() % store.docs.size()];
    const std::string& field = rng() % 2 ? doc.path : doc.name;
    const size_t from = rng() % field.size();
    // Cut anywhere, through a Chinese character too; now and then upper-cased.
    std::string key = field.substr(from, 1 + rng() % 9);
    if (rng() % 4 == 0) key = UpperAscii(key);
    if (rng() % 5 == 0) key += static_cast<char>('a' + rng() % 26);  // may match nothing
    if (rng() % 3 == 0) model.Clear();
    model.Run(store, key);
    ASSERT_TRUE(AgreesWithAWalk(model, store, key));
  }
}

TEST(SearchModelTest, ARebuiltHistoryIsSearchedAfreshAndOldRowsGoStale) {
  DocStore store;
  store.docs = MixedRecords(200, 1);
  SearchModel model;
  // Copies made ahead of a history that is rebuilt before the first search
  // are not taken.
  model.PrepareAhead(store);
  store.docs = MixedRecords(220, 4);
  ++store.docs_generation;
  model.Run(store, "exe");
  EXPECT_TRUE(AgreesWithAWalk(model, store, "exe"));
  model.Run(store, "exe");
  ASSERT_GT(model.RowCount(), 0u);
  // A rebuild: fewer, other records at the same positions.
  store.docs = MixedRecords(150, 2);
  ++store.docs_generation;
  EXPECT_EQ(model.RowText(0), "");
  EXPECT_EQ(model.RowPath(0), std::nullopt);
  model.Run(store, "exe");
  EXPECT_TRUE(AgreesWithAWalk(model, store, "exe"));
  // The same number of records after a rebuild is no reason to trust the copies.
  store.docs = MixedRecords(150, 3);
  ++store.docs_generation;
  model.Run(store, "exe.");
  EXPECT_TRUE(AgreesWithAWalk(model, store, "exe."));
  EXPECT_EQ(model.RowText(model.RowCount()), "");
}

// ---- the presenter ----

class SearchPresenterTest : public ::testing::Test {
 protected:
  SearchPresenterTest() {
    lang::LoadLanguageTables(0, {}, lang::Texts());
    store.docs = {
        {"", "C:\\Tools\\Editor.EXE", "Editor", false, DocKind::kProgram, "2024-01-01"},
        {"HOST", "http://HOST/Read.php?ID=7", "Read me", false, DocKind::kWeb, "2024-01-01"},
        {"C:\\Windows", "C:\\Windows\\System32", "C:\\Windows\\System32", false, DocKind::kFolder,
         "2024-01-01"},
    };
    shell.AddFolder("C:\\Windows");
    shell.AddFolder("C:\\Windows\\System32");
    shell.AddFile("C:\\Tools\\Editor.EXE");
    shell.AddFolder("drivers");  // as in the current folder (System32, say)
    browser.ShowPage({"SearchNow"});
    view.presenter = &presenter;
  }
  void TearDown() override { EXPECT_EQ(CaughtFailureCount(), caught_at_start_); }

  // The user types `text` into the box.
  void Type(const std::string& text) {
    presenter.EdtSearchTyped();
    presenter.EdtSearchChange(text);
  }

  DocStore store;
  FakeShellLauncher shell;
  MemoryMirror recent_box;
  DocList recent{&recent_box};
  DocOpener opener{shell, recent, {}};
  FakeBrowserControl browser;
  WebSearcher web{&browser, shell, {}};
  FakeSearchView view;
  SearchPresenter presenter{store, opener, web, shell, view};

 private:
  uint64_t caught_at_start_ = CaughtFailureCount();
};

TEST_F(SearchPresenterTest, TypingListsMatchesAndAnEmptyBoxAnEmptyList) {
  Type("EXE");
  EXPECT_EQ(view.events, V({"show 1"}));
  EXPECT_EQ(presenter.results().RowText(0), "c:\\tools\\editor.exe");
  Type("");
  EXPECT_EQ(view.events.back(), "show 0") << "the list shows even when empty";
}

TEST_F(SearchPresenterTest, ARowOpensTheRecordsOwnPathNotItsLowerCaseText) {
  Type("read");
  ASSERT_EQ(presenter.results().RowText(0), "http://host/read.php?id=7");
  presenter.LbSearchResultMouseDown(0);
  EXPECT_EQ(shell.calls(), V({"execute verb=open file=http://HOST/Read.php?ID=7 params= show=1"}));
  EXPECT_EQ(view.events.back(), "hide");
  EXPECT_EQ(recent.Lines(), V({"http://HOST/Read.php?ID=7*|*Read me"}))
      << "an opened row is a recently used document";
}

TEST_F(SearchPresenterTest, EnterOpensAnExistingPathOrSearchesTheWeb) {
  struct Case {
    std::string text;
    std::optional<size_t> selected;
    V shell_calls;
    V browser_calls;
  };
  const Case cases[] = {
      {"C:\\Windows", std::nullopt, {"execute verb=open file=C:\\Windows\\ params= show=1"}, {}},
      {"C:\\Tools\\Editor.EXE",
       std::nullopt,
       {"execute verb=open file=C:\\Tools\\Editor.EXE params= show=1"},
       {}},
      {"say \"hi\"", std::nullopt, {}, {"call SearchNow(say  hi )"}},
      // With a row selected Enter in the box opens nothing: the row opens from the list.
      {"edit", 0, {}, {}},
      // A relative text is never a path, whatever the current folder holds.
      {"drivers", std::nullopt, {}, {"call SearchNow(drivers)"}},
  };
  for (const Case& c : cases) {
    shell.ClearLog();
    FakeBrowserControl fresh;
    fresh.ShowPage({"SearchNow"});
    WebSearcher fresh_web(&fresh, shell, {});
    SearchPresenter p(store, opener, fresh_web, shell, view);
    view.presenter = &p;
    p.EdtSearchTyped();
    p.EdtSearchChange(c.text);
    view.events.clear();
    p.EdtSearchKeyDown(kKeyEnter, c.text, c.selected);
    EXPECT_EQ(shell.calls(), c.shell_calls) << c.text;
    EXPECT_EQ(fresh.calls(), c.browser_calls) << c.text;
    EXPECT_EQ(view.events, V({"hide"})) << c.text;
  }
}

TEST_F(SearchPresenterTest, TheSearchButtonHidesTheListAndSearchesTheWebForTheText) {
  Type("exe");
  view.events.clear();
  presenter.BtnZDSearchClick("C:\\Windows");
  EXPECT_EQ(view.events, V({"hide"}));
  EXPECT_EQ(browser.calls(), V({"call SearchNow(C:\\Windows)"})) << "the button never opens a path";
  EXPECT_TRUE(shell.calls().empty());
}

// SuppressSearch through the key and mouse rules: which changes of the box
// start a search.
TEST_F(SearchPresenterTest, SuppressSearchStateMachine) {
  TreeNode node;
  node.caption = "C:\\Windows";
  struct Step {
    std::function<void()> act;
    bool suppressed_after;
    V events;
  };
  const std::vector<Step> steps = {
      {[&] { Type("e"); }, false, {"show 3"}},
      {[&] { presenter.EdtSearchKeyDown(kKeyDown, "e", std::nullopt); }, true, {"focus 0"}},
      // Arrows in the list copy the current row into the box without searching.
      {[&] { presenter.LbSearchResultKeyDown(kKeyDown, 0); }, true, {"text c:\\tools\\editor.exe"}},
      {[&] { presenter.LbSearchResultKeyDown(kKeyEscape, 1); }, false, {"hide"}},
      {[&] { Type("win"); }, false, {"show 1"}},
      // A left press on a tree node: its caption, no search, and typing resumes.
      {[&] { presenter.TreeLeftPress(&node); }, false, {"text C:\\Windows"}},
      {[&] { presenter.TreeLeftPress(nullptr); }, false, {}},
      // Other keys in a tree copy the caption and keep the box quiet ...
      {[&] { presenter.TreeKeyCaption(&node); }, true, {"text C:\\Windows"}},
      // ... until the box changes by the user's hand, however it came: an
      // IME's result, a paste or a drop sends no key the box could see.
      {[&] { presenter.EdtSearchChange("C:\\Windows报告"); }, false, {"show 0"}},
      {[&] { presenter.TreeKeyCaption(&node); }, true, {"text C:\\Windows"}},
      {[&] { presenter.EdtSearchChange("C:\\Windows"); }, false, {"show 1"}},
      {[&] { Type("tool"); }, false, {"show 1"}},
      {[&] { presenter.EdtSearchKeyDown(kKeyDown, "tool", std::nullopt); }, true, {"focus 0"}},
      {[&] { presenter.LbSearchResultKeyDown(kKeyEnter, 0); }, false, {"hide"}},
      // Down with the list hidden: nothing, and the box still searches.
      {[&] { presenter.EdtSearchKeyDown(kKeyDown, "tool", std::nullopt); }, false, {}},
      {[&] { presenter.EdtSearchKeyDown(kKeyDelete, "too", std::nullopt); }, false, {}},
      {[&] { presenter.LbSearchResultKeyDown('X', std::nullopt); }, true, {}},
      {[&] { presenter.LbSearchResultMouseDown(std::nullopt); }, true, {}},  // no row: stays
      {[&] { presenter.LbSearchResultMouseDown(0); }, false, {"hide"}},
      {[&] { presenter.EdtSearchKeyDown(kKeyEscape, "", std::nullopt); }, false, {"hide"}},
      {[&] { presenter.ClearResults(); }, false, {"clear"}},
      {[&] { presenter.HideResults(); }, false, {"hide"}},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    view.events.clear();
    steps[i].act();
    EXPECT_EQ(presenter.suppress_search(), steps[i].suppressed_after) << "step " << i;
    EXPECT_EQ(view.events, steps[i].events) << "step " << i;
  }
  EXPECT_EQ(presenter.results().RowCount(), 0u) << "the rows went with the tab";
}

}  // namespace
}  // namespace zd
