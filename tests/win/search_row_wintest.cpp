// The search row of the real window under Wine: typing lists the matching
// paths in a list that holds no rows of its own, the keys and clicks of the
// box and the list, the web search and the "常用" tab with and without an
// HTML engine.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "launch/web_search.h"
#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "platform/fake_browser_control.h"
#include "platform/shell_launcher.h"
#include "platform/wide_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/ui_drive.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

// The search rule written out plainly: ASCII letters lowered, every other
// byte as it is, the key found in the path or in the name.
std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

V ExpectedRows(const DocArray& docs, const std::string& typed) {
  const std::string key = LowerAscii(typed);
  V rows;
  if (key.empty()) return rows;
  for (const DocRecord& doc : docs) {
    if (LowerAscii(doc.path).find(key) != std::string::npos ||
        LowerAscii(doc.name).find(key) != std::string::npos) {
      rows.push_back(LowerAscii(doc.path));
    }
  }
  return rows;
}

class SearchRowTest : public MainWindowFixture {
 protected:
  MainWindow& OpenWithHistory() {
    windows_.AddWindow("Notes - Editor", "C:\\Tools\\Editor.EXE");
    windows_.AddWindow("记事本 - 笔记.txt", "C:\\Windows\\notepad.exe");
    shell_.AddWindow("file:///C:/Work/Proj");
    shell_.AddWindow("http://Example.com/Read.php?ID=7", "Read me");
    shell_.AddWindow("http://example.com/news.html", "新闻 Page");
    launcher_.AddFolder("C:\\Work");
    launcher_.AddFolder("C:\\Work\\Proj");
    MainWindow& form = OpenLoaded();
    // These rules are the history's order: results oldest first, none selected.
    Click(ShownSettings().CbRankSearch);
    Choose(Ui::MnRefresh);
    Pump();
    launcher_.ClearLog();
    return form;
  }
  void ClearBox() { form_->launcher().EdtSearch.SetText(""); }
  // The browser the window makes: a page with SearchNow, or none at all.
  FakeBrowserControl* UseFakeBrowser(bool engine) {
    auto browser = std::make_unique<FakeBrowserControl>();
    browser->set_engine(engine);
    browser->ShowPage({kSearchFunction});
    browser->set_html_functions({kSearchFunction});
    FakeBrowserControl* raw = browser.get();
    auto holder = std::make_shared<std::unique_ptr<FakeBrowserControl>>(std::move(browser));
    make_browser_ = [holder]() -> std::unique_ptr<BrowserControl> { return std::move(*holder); };
    return raw;
  }
};

TEST_F(SearchRowTest, TypingListsTheMatchingPathsInLowerCase) {
  const std::string typed[] = {"EXE", "example", "笔记", "新闻", "read.PHP", "zzz", "c:\\"};
  MainWindow& form = OpenWithHistory();
  ShowWindow(form.hwnd(), SW_SHOW);
  LauncherPage& l = form.launcher();
  for (const std::string& text : typed) {
    SCOPED_TRACE(text);
    ClearBox();
    Type(l.EdtSearch.hwnd(), text);
    EXPECT_EQ(l.EdtSearch.Text(), text);
    EXPECT_TRUE(l.LbSearchResult.Visible()) << "shown even when empty";
    EXPECT_EQ(ListedRows(), ExpectedRows(form.store().docs, text));
  }
  // The box lies above its frame, which would otherwise hide what is typed.
  HWND above = GetWindow(l.EdtSearch.hwnd(), GW_HWNDPREV);
  for (; above; above = GetWindow(above, GW_HWNDPREV)) EXPECT_NE(above, l.ShapeSearch.hwnd());
  // Below the search frame, over everything else on the page.
  const RECT list = l.LbSearchResult.RectInParent();
  EXPECT_GT(list.top, l.ShapeSearch.RectInParent().bottom);
  EXPECT_EQ(GetWindow(l.sheet.hwnd(), GW_CHILD), l.LbSearchResult.hwnd());
  ClearBox();
  EXPECT_EQ(l.LbSearchResult.Count(), 0) << "an empty box matches nothing";
}

// A change of the box that the program did not make resumes searching, by
// whatever way it came: after a tree key the box is quiet until then.
TEST_F(SearchRowTest, AnyChangeOfTheBoxByTheUserSearchesAgain) {
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  const HWND box = l.EdtSearch.hwnd(), tree = l.TVDoc.hwnd();
  // Quieted by an arrow in a tree (the node's caption is copied into the
  // box), or by Down in the box (the focus goes to the list).
  auto tree_arrow = [&] {
    form.SetActivePage(0);
    LeftClick(tree, LabelPoint(tree, FindItem(tree, "example.com")));
    Key(tree, VK_DOWN);
  };
  auto box_down = [&] {
    SetFocus(box);
    Key(box, VK_DOWN);
  };
  struct Case {
    const char* how;
    std::function<void()> quiet;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"IME character", tree_arrow, [&] { SendMessageW(box, WM_IME_CHAR, L'新', 1); }},
      {"dropped or pasted text", tree_arrow,
       [&] { SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"新闻")); }},
      {"undo", box_down, [&] { SendMessageW(box, EM_UNDO, 0, 0); }},
      {"typed", tree_arrow, [&] { Type(box, "x"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    ClearBox();
    Type(box, "exampl");
    Type(box, "e");  // something to undo
    c.quiet();
    ASSERT_TRUE(l.search_row().search().suppress_search());
    const std::string before = l.EdtSearch.Text();
    c.change();
    Pump();  // the system may pass an IME's character on as a posted WM_CHAR
    EXPECT_NE(l.EdtSearch.Text(), before);
    EXPECT_TRUE(l.LbSearchResult.Visible());
    EXPECT_FALSE(l.search_row().search().suppress_search());
    EXPECT_EQ(ListedRows(), ExpectedRows(form.store().docs, l.EdtSearch.Text()));
  }
}

// The rows are read by other programs as screen readers read them, with
// LB_GETTEXT from a process of their own: in the history's order the path
// in lower case; ranked, as the row shows, the name (a folder's own) and the
// stored path.
TEST_F(SearchRowTest, AnotherProgramReadsTheRowsOfTheResultList) {
  for (const bool ranked : {false, true}) {
    MainWindow& form = OpenWithHistory();
    LauncherPage& l = form.launcher();
    if (ShownSettings().CbRankSearch.Checked() != ranked) Click(ShownSettings().CbRankSearch);
    Type(l.EdtSearch.hwnd(), "e");
    V expected = ListedRows();
    ASSERT_GE(expected.size(), 3u);
    for (size_t i = 0; ranked && i < expected.size(); ++i) {
      const DocRecord& doc = form.store().docs[*l.search_row().search().results().RowRecord(i)];
      const size_t name =
          doc.doctype == DocKind::kFolder ? doc.path.rfind('\\') + 1 : std::string::npos;
      expected[i] =
          (name == std::string::npos ? doc.name : doc.path.substr(name)) + " - " + doc.path;
    }
    EXPECT_EQ(RowsReadByAnotherProgram(l.LbSearchResult.hwnd()), expected) << ranked;
  }
}

TEST_F(SearchRowTest, ArrowKeysWalkTheListCopyingRowsWithoutSearching) {
  MainWindow& form = OpenWithHistory();
  ShowWindow(form.hwnd(), SW_SHOW);
  LauncherPage& l = form.launcher();
  const HWND box = l.EdtSearch.hwnd(), list = l.LbSearchResult.hwnd();
  SetFocus(box);
  Type(box, "example");
  const V rows = ListedRows();
  ASSERT_EQ(rows.size(), 2u);
  Key(box, VK_DOWN);
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  // Each key first copies the row it found current; the list moves after.
  Key(list, VK_DOWN);
  EXPECT_EQ(l.EdtSearch.Text(), rows[0]);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(ListedRows(), rows) << "no new search";
  Key(list, VK_UP);
  EXPECT_EQ(l.EdtSearch.Text(), rows[1]);
  Key(list, VK_ESCAPE);
  EXPECT_FALSE(l.LbSearchResult.Visible());
  EXPECT_EQ(GetFocus(), box);
  EXPECT_TRUE(launcher_.calls().empty());
  // Typing searches again.
  Type(box, "x");
  EXPECT_TRUE(l.LbSearchResult.Visible());
  // The focus leaving the box and the list hides the list, wherever it goes.
  const std::pair<const char*, HWND> elsewhere[] = {
      {"a tree", l.TVDoc.hwnd()},
      {"the search button", l.BtnZDSearch.hwnd()},
      {"the log-on check box", l.CbAutoStart.hwnd()},
      {"the favourites", l.favourites.LbMyLove.hwnd()},
      {"the window itself", form.hwnd()},
      {"no window", nullptr},
  };
  for (const auto& [what, to] : elsewhere) {
    SetFocus(box);
    Type(box, "e");
    Key(box, VK_DOWN);  // the list has the focus: still shown
    ASSERT_EQ(GetFocus(), list) << what;
    SetFocus(box);
    ASSERT_TRUE(l.LbSearchResult.Visible()) << what << ": between the box and the list";
    SetFocus(to);
    EXPECT_FALSE(l.LbSearchResult.Visible()) << what;
  }
}

TEST_F(SearchRowTest, ARowOpensTheRecordsOwnPathByKeyOrMouse) {
  MainWindow& form = OpenWithHistory();
  ShowWindow(form.hwnd(), SW_SHOW);
  LauncherPage& l = form.launcher();
  const HWND list = l.LbSearchResult.hwnd();
  Type(l.EdtSearch.hwnd(), "read");
  ASSERT_EQ(ListedRows(), V{"http://example.com/read.php?id=7"});
  Key(l.EdtSearch.hwnd(), VK_DOWN);
  Key(list, VK_RETURN);
  EXPECT_EQ(launcher_.calls(),
            V{"execute verb=open file=http://Example.com/Read.php?ID=7 params= show=1"});
  EXPECT_FALSE(l.LbSearchResult.Visible());

  launcher_.ClearLog();
  ClearBox();
  Type(l.EdtSearch.hwnd(), "c:\\");
  const V rows = ListedRows();
  ASSERT_EQ(rows.size(), 3u);
  RECT row{};
  SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  LeftClick(list, POINT{(row.left + row.right) / 2, (row.top + row.bottom) / 2});
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\Work\\Proj\\ params= show=1"})
      << rows[2];
  EXPECT_FALSE(l.LbSearchResult.Visible());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SearchRowTest, EnterInTheBoxOpensAnExistingPathOrSearchesTheWeb) {
  struct Case {
    std::string text;
    bool engine;
    V shell_calls;
    V browser_calls;
  };
  const Case cases[] = {
      {"C:\\Work", true, {"execute verb=open file=C:\\Work\\ params= show=1"}, {}},
      {"say \"hi\"", true, {}, {"call SearchNow(say  hi )"}},
      {"say \"hi\" & more",
       false,
       {"execute verb=open file=" + SearchResultUrl("say \"hi\" & more") + " params= show=1"},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FakeBrowserControl* browser = UseFakeBrowser(c.engine);
    windows_.ClearWindows();
    shell_.Clear();
    MainWindow& form = OpenWithHistory();
    LauncherPage& l = form.launcher();
    Type(l.EdtSearch.hwnd(), c.text);
    Key(l.EdtSearch.hwnd(), VK_RETURN);
    EXPECT_EQ(launcher_.calls(), c.shell_calls);
    EXPECT_EQ(browser->calls(), c.browser_calls);
    EXPECT_FALSE(l.LbSearchResult.Visible());
    EXPECT_EQ(l.EdtSearch.Text(), c.text) << "Enter types nothing";
  }
  // The search button searches the web for the text, whatever it names.
  FakeBrowserControl* browser = UseFakeBrowser(true);
  MainWindow& form = OpenWithHistory();
  Type(form.launcher().EdtSearch.hwnd(), "C:\\Work");
  Click(form.launcher().BtnZDSearch);
  EXPECT_EQ(browser->calls(), V{"call SearchNow(C:\\Work)"});
  EXPECT_FALSE(form.launcher().LbSearchResult.Visible());
}

// Started from the Run key the current folder is System32, which holds
// "drivers", "config" and "tasks": typing one of them and Enter opens the
// selected row, never that folder as a bare address; the real file system
// answers, from a current folder that holds "drivers".
TEST_F(SearchRowTest, EnterOpensTheSelectedRowWhateverTheCurrentFolderHolds) {
  struct RealPaths : FakeShellLauncher {
    PathAnswer QueryPath(const std::string& path) override { return system->QueryPath(path); }
    std::string ExpandEnvironment(const std::string& t) override {
      return system->ExpandEnvironment(t);
    }
    std::unique_ptr<ShellLauncher> system = MakeSystemShellLauncher(0);
  } real;
  launcher_in_use_ = &real;
  wchar_t temp[MAX_PATH] = {}, before[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  GetCurrentDirectoryW(MAX_PATH, before);
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring drivers = std::wstring(temp) + L"zd_cwd\\drivers";
  CreateDirectoryW(drivers.substr(0, drivers.size() - 8).c_str(), nullptr);
  CreateDirectoryW(drivers.c_str(), nullptr);
  ASSERT_TRUE(SetCurrentDirectoryW(drivers.substr(0, drivers.size() - 8).c_str()));
  Store("defualt.ini",
        "[docs]\r\nname0=drivers.txt\r\ndoctype0=1\r\npath0=http://intranet/d.txt\r\n");
  // What is typed, and what Enter opens: the row, or a variable's absolute path.
  const std::pair<std::string, std::string> cases[] = {
      {"drivers", "http://intranet/d.txt"}, {"%SystemRoot%", WideToUtf8(windows) + "\\"}};
  for (const auto& [typed, opened] : cases) {
    LauncherPage& l = OpenLoaded().launcher();
    real.ClearLog();
    Type(l.EdtSearch.hwnd(), typed);
    Key(l.EdtSearch.hwnd(), VK_RETURN);
    EXPECT_EQ(real.calls(), V{"execute verb=open file=" + opened + " params= show=1"}) << typed;
  }
  EXPECT_TRUE(boxes_.empty()) << boxes_.front();
  form_.reset();
  launcher_in_use_ = nullptr;
  SetCurrentDirectoryW(before);
}

TEST_F(SearchRowTest, TabsClearTheResultsAndTheHintBar) {
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  Type(l.EdtSearch.hwnd(), "example");
  l.LblHint.SetText("C:\\x");
  ChooseTab(4);
  EXPECT_EQ(l.LbSearchResult.Count(), 0);
  EXPECT_EQ(l.LblHint.Text(), "");
  ClearBox();
  Type(l.EdtSearch.hwnd(), "e");
  ASSERT_GT(l.LbSearchResult.Count(), 0);
  l.LblHint.SetText("C:\\x");
  // A press on the tab strip, before the tab changes.
  SendMessageW(l.InnerTabs.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(l.InnerTabs.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(l.LbSearchResult.Count(), 0);
  EXPECT_FALSE(l.LbSearchResult.Visible()) << "the press enters the page control";
  EXPECT_EQ(l.LblHint.Text(), "");
}

TEST_F(SearchRowTest, TheBrowserTabShowsOurSearchPageOrSaysThereIsNoEngine) {
  // With an engine: our search page, loaded once.
  FakeBrowserControl* browser = UseFakeBrowser(true);
  MainWindow& form = OpenWithHistory();
  BrowserPage& page = form.launcher().browser;
  EXPECT_LT(page.BrowserFrame.RectInParent().top, 0) << "out of sight until first shown";
  ChooseTab(kWebPageIndex);
  EXPECT_EQ(page.BrowserFrame.RectInParent().top, 0);
  EXPECT_FALSE(page.LblNoEngine.Visible());
  EXPECT_EQ(browser->calls(), V({"navigate about:blank", "load-html"}));
  EXPECT_EQ(browser->last_html(), BuiltInSearchPage());
  ChooseTab(0);
  ChooseTab(kWebPageIndex);
  EXPECT_EQ(browser->calls().size(), 2u);

  // A load that did not finish is tried again the next time the tab shows.
  FakeBrowserControl* failing = UseFakeBrowser(true);
  failing->set_failing_loads(1);
  OpenWithHistory();
  ChooseTab(kWebPageIndex);
  ChooseTab(0);
  ChooseTab(kWebPageIndex);
  ChooseTab(0);
  ChooseTab(kWebPageIndex);
  EXPECT_EQ(failing->calls(),
            V({"navigate about:blank", "load-html", "navigate about:blank", "load-html"}));

  // The system's control where there is none to be had (no OLE in this
  // test): one line says so, and a web search goes to the default browser.
  make_browser_ = nullptr;
  MainWindow& plain = OpenWithHistory();
  BrowserPage& none = plain.launcher().browser;
  ChooseTab(kWebPageIndex);
  EXPECT_TRUE(none.LblNoEngine.Visible());
  EXPECT_EQ(none.LblNoEngine.Text(), lang::Texts().NoHtmlEngine);
  Type(plain.launcher().EdtSearch.hwnd(), "words");
  Key(plain.launcher().EdtSearch.hwnd(), VK_RETURN);
  EXPECT_EQ(launcher_.calls(),
            V{"execute verb=open file=" + SearchResultUrl("words") + " params= show=1"});
}

}  // namespace
}  // namespace zd
