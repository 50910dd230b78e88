// The document trees of the real window under Wine, driven with the
// messages a user's mouse and keys produce: opening, the multiple selection,
// the Delete key, hints, the search box fed by the trees and the tree menu.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "mainwin/main_window_win.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

BOOL CALLBACK CollectStatic(HWND child, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (lstrcmpiW(cls, L"Static") == 0) reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
  return TRUE;
}

class DocTreesTest : public MainWindowFixture {
 protected:
  // Loaded, with a program, a folder and four pages of one site remembered
  // by a refresh, the groups expanded.
  MainWindow& OpenWithHistory() {
    windows_.AddWindow("Notes - Editor", "C:\\Tools\\editor.exe");
    shell_.AddWindow("file:///C:/Work/Proj");
    for (const char* page : {"A", "B", "C", "D"}) {
      shell_.AddWindow(std::string("http://example.com/") + page + ".html",
                       std::string("Page ") + page);
    }
    launcher_.AddFile("C:\\Tools\\editor.exe");
    launcher_.AddFolder("C:\\Tools");
    launcher_.AddFolder("C:\\Work\\Proj");
    MainWindow& form = OpenLoaded();
    Choose(Ui::MnRefresh);
    Pump();
    LauncherPage& l = form.launcher();
    for (TreeModel* tree : {&l.tv_doc, &l.tv_path, &l.tv_docs}) tree->ExpandAll();
    launcher_.ClearLog();
    return form;
  }
  HWND TreeOfPage(int page) { return ShownTree(page); }
  HTREEITEM Item(int page, const std::string& caption) {
    HTREEITEM item = FindItem(TreeOfPage(page), caption);
    EXPECT_NE(item, nullptr) << caption;
    return item;
  }
  void ClickNode(int page, const std::string& caption, WPARAM keys = 0) {
    LeftClick(TreeOfPage(page), LabelPoint(TreeOfPage(page), Item(page, caption)), keys);
  }
  // A right press on a node: it ends with its release, and the keys that
  // follow go to the menu it opens.
  void RightPress(int page, const std::string& caption, const std::vector<WPARAM>& keys) {
    const HWND tree = TreeOfPage(page);
    const POINT p = LabelPoint(tree, Item(page, caption));
    PostMessageW(tree, WM_RBUTTONUP, 0, At(p));
    for (WPARAM key : keys) PostMessageW(form_->hwnd(), WM_KEYDOWN, key, 1);
    SendMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, At(p));
    Pump();
  }
  std::vector<std::string> DocPaths() {
    std::vector<std::string> paths;
    for (const DocRecord& doc : form_->store().docs) paths.push_back(doc.path);
    return paths;
  }
};

TEST_F(DocTreesTest, DoubleClickEnterAndSpaceOpenTheNodesDocument) {
  enum How { kDoubleClick, kEnter, kSpace };
  struct Case {
    int page;
    std::string caption;
    How how;
    std::string call;
    std::string recorded;  // the recent list's new top line; empty: nothing recorded
  };
  const Case cases[] = {
      {1, "Notes - Editor", kDoubleClick,
       "execute verb=open file=C:\\Tools\\editor.exe params= show=1",
       "C:\\Tools\\editor.exe*|*Notes - Editor"},
      {1, "Notes - Editor", kSpace, "execute verb=open file=C:\\Tools\\editor.exe params= show=1",
       "C:\\Tools\\editor.exe*|*Notes - Editor"},
      {0, "Page B", kDoubleClick, "execute verb=open file=http://example.com/B.html params= show=1",
       "http://example.com/B.html*|*Page B"},
      {0, "Page C", kEnter, "execute verb=open file=http://example.com/C.html params= show=1",
       "http://example.com/C.html*|*Page C"},
      // Enter opens the folder record's path and records it...
      {2, "C:\\Work\\Proj", kEnter, "execute verb=open file=C:\\Work\\Proj\\ params= show=1",
       "C:\\Work\\Proj\\*|*C:\\Work\\Proj"},
      // ...a double-click opens the node's caption as a folder and records nothing.
      {2, "C:\\Work\\Proj", kDoubleClick, "execute verb=open file=C:\\Work\\Proj params= show=1",
       ""},
  };
  MainWindow& form = OpenWithHistory();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + " " + std::to_string(c.how));
    form.SetActivePage(c.page);
    // Nothing remembered as recent yet, so an opened document goes to the top.
    form.store().MyRecentList.Clear();
    launcher_.ClearLog();
    const HWND tree = TreeOfPage(c.page);
    const POINT p = LabelPoint(tree, Item(c.page, c.caption));
    if (c.how == kDoubleClick) {
      DoubleClick(tree, p);
    } else {
      LeftClick(tree, p);
      Key(tree, c.how == kEnter ? VK_RETURN : VK_SPACE);
    }
    EXPECT_EQ(launcher_.calls(), V{c.call});
    const DocList& recent = form.store().MyRecentList;
    if (c.recorded.empty()) {
      EXPECT_TRUE(recent.empty());
    } else {
      ASSERT_EQ(recent.size(), 1u);
      EXPECT_EQ(recent.Lines()[0], c.recorded);
      EXPECT_EQ(recent.RowText(0), c.caption);
    }
  }
  // A double-click beside the rows opens nothing, not even the selected node.
  launcher_.ClearLog();
  DoubleClick(TreeOfPage(2), POINT{5, 400});
  EXPECT_TRUE(launcher_.calls().empty());
  // A group opens its first record; the control folds it, and the model follows.
  form.SetActivePage(0);
  const HWND web = TreeOfPage(0);
  const HTREEITEM group = Item(0, "example.com");
  DoubleClick(web, LabelPoint(web, group));
  EXPECT_EQ(launcher_.calls(),
            V{"execute verb=open file=http://example.com/A.html params= show=1"});
  const bool folded = !(ItemState(web, group, TVIS_EXPANDED) & TVIS_EXPANDED);
  EXPECT_TRUE(folded);
  EXPECT_EQ(form.launcher().tv_doc.roots()[0]->expanded, !folded);
}

TEST_F(DocTreesTest, EnterThroughTheWindowsMessageLoopReachesTheTree) {
  MainWindow& form = OpenWithHistory();
  form.SetActivePage(1);
  ClickNode(1, "Notes - Editor");
  // The loop's dialog navigation would make Enter an IDOK of the window.
  MSG msg{TreeOfPage(1), WM_KEYDOWN, VK_RETURN, 1, 0, {}};
  EXPECT_TRUE(IsDialogMessageW(form.hwnd(), &msg));
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\Tools\\editor.exe params= show=1"});
  for (HWND control :
       {form.launcher().TVDoc.hwnd(), form.launcher().EdtSearch.hwnd(),
        form.launcher().LbSearchResult.hwnd(), form.launcher().favourites.LbMyLove.hwnd()}) {
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
      MSG m{control, WM_KEYDOWN, key, 1, 0, {}};
      EXPECT_TRUE(SendMessageW(control, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&m)) &
                  DLGC_WANTMESSAGE);
    }
  }
}

TEST_F(DocTreesTest, CtrlAndShiftSelectSeveralNodesAndDeleteRemovesOnlyTheirNodes) {
  struct Step {
    std::string caption;
    WPARAM keys;
    V selected;
  };
  const Step steps[] = {
      {"Page A", 0, {"Page A"}},
      {"Page C", MK_CONTROL, {"Page A", "Page C"}},
      {"Page D", MK_SHIFT, {"Page C", "Page D"}},  // from the last plain or Ctrl pick
      {"Page A", MK_CONTROL | MK_SHIFT, {"Page A", "Page B", "Page C", "Page D"}},
      {"Page B", MK_CONTROL, {"Page A", "Page C", "Page D"}},
  };
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  const HWND tree = l.TVDoc.hwnd();
  for (const Step& step : steps) {
    ClickNode(0, step.caption, step.keys);
    EXPECT_EQ(SelectedCaptions(tree), step.selected) << step.caption;
    V model;
    for (const TreeNode* node : l.tv_doc.SelectedNodes()) model.push_back(node->caption);
    EXPECT_EQ(model, step.selected) << step.caption;
    EXPECT_EQ(ItemCaption(tree, NextItem(tree, nullptr, TVGN_CARET)), step.caption);
  }
  const V paths = DocPaths();
  Key(tree, VK_DELETE);
  EXPECT_EQ(FindItem(tree, "Page A"), nullptr);
  EXPECT_EQ(FindItem(tree, "Page C"), nullptr);
  EXPECT_EQ(FindItem(tree, "Page D"), nullptr);
  EXPECT_NE(FindItem(tree, "Page B"), nullptr);
  EXPECT_EQ(l.tv_doc.CountNodes(), 2u);
  EXPECT_EQ(DocPaths(), paths) << "the Delete key removes nodes only";
  // The next rebuild (deleting another record) brings them back.
  form.SetActivePage(1);
  ClickNode(1, "Notes - Editor");
  Choose(Ui::MnDeleteSelected);
  EXPECT_NE(FindItem(tree, "Page A"), nullptr);
  EXPECT_NE(FindItem(tree, "Page D"), nullptr);
  EXPECT_EQ(form.store().docs.size(), paths.size() - 1);
}

TEST_F(DocTreesTest, TreeKeysAndClicksFillTheSearchBoxWithoutSearching) {
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  Type(l.EdtSearch.hwnd(), "page");
  ASSERT_TRUE(l.LbSearchResult.Visible());
  ClickNode(0, "Page A");
  EXPECT_EQ(l.EdtSearch.Text(), "Page A");
  EXPECT_FALSE(l.LbSearchResult.Visible()) << "a click hides the list and shows none";
  // A key copies the caption of the node selected as it arrived; the control
  // then moves its selection, and the model follows.
  Key(l.TVDoc.hwnd(), VK_DOWN);
  EXPECT_EQ(l.EdtSearch.Text(), "Page A");
  EXPECT_FALSE(l.LbSearchResult.Visible());
  ASSERT_NE(l.tv_doc.focused(), nullptr);
  EXPECT_EQ(l.tv_doc.focused()->caption, "Page B");
  Key(l.TVDoc.hwnd(), VK_UP);
  EXPECT_EQ(l.EdtSearch.Text(), "Page B");
  EXPECT_EQ(l.tv_doc.focused()->caption, "Page A");
  // Typing in the box searches again.
  Type(l.EdtSearch.hwnd(), "x");
  EXPECT_TRUE(l.LbSearchResult.Visible());
  // A click on empty space hides the list and leaves the box alone.
  LeftClick(l.TVDoc.hwnd(), POINT{5, 400});
  EXPECT_FALSE(l.LbSearchResult.Visible());
  EXPECT_EQ(l.EdtSearch.Text(), "xPage B") << "typed where the caret stood";
}

TEST_F(DocTreesTest, ThePointerShowsTheDocumentPathAsHintAndInTheHintBar) {
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  auto hint_of = [&](const TreeView& tree) {
    wchar_t text[512] = {};
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = GetParent(tree.hwnd());
    ti.uId = reinterpret_cast<UINT_PTR>(tree.hwnd());
    ti.lpszText = text;
    SendMessageW(form.Factory().tooltip(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&ti));
    return WideToUtf8(text);
  };
  auto move = [](HWND tree, POINT p) { SendMessageW(tree, WM_MOUSEMOVE, 0, At(p)); };
  EXPECT_EQ(hint_of(l.TVDoc), lang::HintOf(Ui::TVDoc, 0)) << "until the pointer rests on a node";

  struct Case {
    int page;
    std::string caption;
    std::string path;
  };
  const Case cases[] = {
      {0, "Page A", "http://example.com/A.html"},
      {2, "C:\\Work\\Proj", "C:\\Work\\Proj"},  // a folder's local path
      {1, "Notes - Editor", "C:\\Tools\\editor.exe"},
  };
  for (const Case& c : cases) {
    const HWND tree = TreeOfPage(c.page);
    move(tree, LabelPoint(tree, Item(c.page, c.caption)));
    EXPECT_EQ(l.LblHint.Text(), c.path);
    const TreeView& view = c.page == 0 ? l.TVDoc : c.page == 1 ? l.TVApp : l.TVPath;
    EXPECT_EQ(hint_of(view), c.path);
  }
  // The expand button of a group is not the group: nothing changes.
  const HWND tree = l.TVDoc.hwnd();
  const HTREEITEM group = Item(0, "example.com");
  const POINT label = LabelPoint(tree, group);
  POINT button{-1, label.y};
  for (int x = 0; x < label.x; ++x) {
    TVHITTESTINFO hit{{x, label.y}, 0, nullptr};
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags & TVHT_ONITEMBUTTON) button.x = x;
  }
  ASSERT_GE(button.x, 0);
  move(tree, button);
  EXPECT_EQ(l.LblHint.Text(), "C:\\Tools\\editor.exe");
  EXPECT_EQ(l.doc_trees().hint().hint_node(), l.tv_app.roots()[0].get());
}

// A right press selects the node under the pointer; the real menu opens,
// shows "打开所在的文件夹" only for a program, and is driven by its keys.
TEST_F(DocTreesTest, RightClickSelectsTheNodeAndTheMenuFollowsItsKind) {
  struct Case {
    int page;
    std::string caption;
    bool open_dir_shown;
  };
  const Case cases[] = {{1, "Notes - Editor", true}, {0, "Page B", false}, {2, "C:\\Work", false}};
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  l.doc_trees().PmDocTreePopup();
  EXPECT_FALSE(form.menus().Shown(Ui::MnOpenDIr)) << "no node selected";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    form.SetActivePage(c.page);
    ClickNode(0, "Page A");  // another node selected before
    RightPress(c.page, c.caption, {VK_ESCAPE});
    TreeModel* current = l.doc_trees().CurrentTree();
    ASSERT_NE(current, nullptr);
    ASSERT_NE(current->focused(), nullptr);
    EXPECT_EQ(current->focused()->caption, c.caption);
    EXPECT_EQ(form.menus().Shown(Ui::MnOpenDIr), c.open_dir_shown);
  }
  // Down and Enter choose the first entry: for a program, its folder.
  form.SetActivePage(1);
  launcher_.ClearLog();
  RightPress(1, "Notes - Editor", {VK_DOWN, VK_RETURN});
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\Tools\\ params= show=1"});
}

// A right press inside a multiple selection keeps it: the menu's entries act
// on all of it; one outside it takes its node alone. A group goes with all
// its records, after one question naming how many.
TEST_F(DocTreesTest, ARightPressKeepsTheSelectionItFallsIntoAndAGroupGoesWhole) {
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  const HWND tree = l.TVDoc.hwnd();
  // The menu that opens is closed at once.
  auto right_press = [&](const std::string& caption) { RightPress(0, caption, {VK_ESCAPE}); };
  form.SetActivePage(0);
  ClickNode(0, "Page A");
  ClickNode(0, "Page C", MK_CONTROL);
  right_press("Page C");
  EXPECT_EQ(SelectedCaptions(tree), V({"Page A", "Page C"}));
  Choose(Ui::MyMyLove);
  EXPECT_EQ(form.store().MyLoveList.Lines(),
            V({"http://example.com/A.html*|*Page A", "http://example.com/C.html*|*Page C"}));
  right_press("Page B");
  EXPECT_EQ(SelectedCaptions(tree), V{"Page B"});
  // Several nodes or a group: asked once, with the number of records.
  const lang::InterfaceTexts& texts = lang::Texts();
  ClickNode(0, "Page A");
  ClickNode(0, "Page C", MK_CONTROL);
  right_press("Page A");
  boxes_.clear();
  answer_ = IDYES;
  Choose(Ui::MnDeleteSelected);
  EXPECT_EQ(boxes_, V{texts.TipsCaption + "|" + lang::FormatText(texts.DeleteDocsQuestion, 2)});
  EXPECT_EQ(FindItem(tree, "Page A"), nullptr);
  EXPECT_EQ(FindItem(tree, "Page C"), nullptr);
  ClickNode(0, "example.com");
  boxes_.clear();
  answer_ = IDNO;
  Choose(Ui::MnDeleteSelected);
  EXPECT_EQ(boxes_, V{texts.TipsCaption + "|" + lang::FormatText(texts.DeleteDocsQuestion, 2)});
  EXPECT_EQ(DocPaths().size(), 4u) << "No keeps them";
  answer_ = IDYES;
  Choose(Ui::MnDeleteSelected);
  EXPECT_EQ(DocPaths(), V({"C:\\Tools\\editor.exe", "C:\\Work\\Proj"}));
}

// "删除并不再记录" on a page: after one question naming how many records go,
// every page of its host leaves the history and the rule keeps the host out
// of the next refresh (and the rules list shows it); No changes nothing.
TEST_F(DocTreesTest, ForgettingASiteDeletesItsPagesAndKeepsItOut) {
  MainWindow& form = OpenWithHistory();
  const lang::InterfaceTexts& texts = lang::Texts();
  for (const int answer : {IDNO, IDYES}) {
    ClickNode(0, "Page B");
    boxes_.clear();
    answer_ = answer;
    Choose(Ui::ForgetAndStopRecordingItem);
    EXPECT_EQ(boxes_, V{texts.TipsCaption + "|" + lang::FormatText(texts.ForgetQuestion, 4)});
  }
  EXPECT_EQ(DocPaths(), V({"C:\\Tools\\editor.exe", "C:\\Work\\Proj"}));
  ASSERT_EQ(form.Recorder()->rules().size(), 1u);
  EXPECT_NE(File("rules.dat").find("example"), std::string::npos) << File("rules.dat");
  Choose(Ui::MnRefresh);
  Pump();
  EXPECT_EQ(DocPaths(), V({"C:\\Tools\\editor.exe", "C:\\Work\\Proj"})) << "kept out";
}

// A press on another tab of the strip: the tab changes, then one refresh of
// the new tab; a press on the tab shown: one refresh of it.
TEST_F(DocTreesTest, APressOnTheTabStripSwitchesFirstAndRefreshesOnce) {
  MainWindow& form = OpenWithHistory();
  const HWND strip = form.launcher().InnerTabs.hwnd();
  std::vector<int> pages_scanned;
  windows_.on_enumerate = [&](FakeWindowSystem&) {
    pages_scanned.push_back(form.ActivePageIndex());
  };
  struct Case {
    int from_page;
    int pressed_tab;
    int programs, shells;  // the scans the press brought
  };
  const Case cases[] = {
      // to the programs: the change refreshes everything, once (the windows
      // are enumerated once: the programs' pass is the browsers' pages' too)
      {0, 1, 1, 1},
      {1, 1, 1, 0},  // the programs again: their scan only
      {1, 2, 1, 1},
      {2, 2, 0, 1},  // the folders: the shell's windows only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.from_page) + " to " + std::to_string(c.pressed_tab));
    form.SetActivePage(c.from_page);
    pages_scanned.clear();
    const int programs = windows_.enumerate_calls(), shells = shell_.scan_calls();
    RECT tab{};
    SendMessageW(strip, TCM_GETITEMRECT, c.pressed_tab, reinterpret_cast<LPARAM>(&tab));
    LeftClick(strip, POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    Pump();
    EXPECT_EQ(form.ActivePageIndex(), PageIndexOfTab(c.pressed_tab));
    EXPECT_EQ(windows_.enumerate_calls() - programs, c.programs);
    EXPECT_EQ(shell_.scan_calls() - shells, c.shells);
    for (int page : pages_scanned) EXPECT_EQ(page, PageIndexOfTab(c.pressed_tab));
  }
}

// "&" in a document's path is shown as it is in the hint bar, as the system
// draws a text without accelerators; so in every static text and hint.
TEST_F(DocTreesTest, AnAmpersandInAPathIsShownAsItIs) {
  MainWindow& form = OpenWithHistory();
  LauncherPage& l = form.launcher();
  auto drawn = [](HWND control) {
    RECT rc;
    GetClientRect(control, &rc);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < rc.bottom; ++y)
      for (int x = 0; x < rc.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
  };
  // The oracle: a static like the bar, without SS_NOPREFIX, showing "&&",
  // which the system draws as one "&".
  const HWND hint = l.LblHint.hwnd();
  RECT rc;
  GetClientRect(hint, &rc);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hint, GWL_STYLE) & ~SS_NOPREFIX);
  HWND oracle = CreateWindowExW(0, L"STATIC", L"C:\\Tom && Jerry\\a.txt", style, 0, 0, rc.right,
                                rc.bottom, GetParent(hint), nullptr, nullptr, nullptr);
  SendMessageW(oracle, WM_SETFONT, SendMessageW(hint, WM_GETFONT, 0, 0), FALSE);
  const std::vector<COLORREF> expected = drawn(oracle);
  DestroyWindow(oracle);
  form.store().docs[0].path = "C:\\Tom & Jerry\\a.txt";
  form.SetActivePage(1);
  SendMessageW(l.TVApp.hwnd(), WM_MOUSEMOVE, 0,
               At(LabelPoint(l.TVApp.hwnd(), Item(1, "Notes - Editor"))));
  ASSERT_EQ(l.LblHint.Text(), "C:\\Tom & Jerry\\a.txt");
  EXPECT_EQ(drawn(l.LblHint.hwnd()), expected);
  // Every static text of the window, and the hints, show "&" as it is (the
  // pages made when first shown among them).
  ShownSettings();
  form.SetActivePage(kSystemPageIndex);
  std::vector<HWND> statics;
  EnumChildWindows(form.hwnd(), CollectStatic, reinterpret_cast<LPARAM>(&statics));
  ASSERT_GT(statics.size(), 5u);
  for (HWND s : statics)
    EXPECT_TRUE(GetWindowLongPtrW(s, GWL_STYLE) & SS_NOPREFIX) << WindowTextUtf8(s);
  EXPECT_TRUE(GetWindowLongPtrW(form.Factory().tooltip(), GWL_STYLE) & TTS_NOPREFIX);
}

TEST_F(DocTreesTest, EveryEntryOfTheTreeMenuActsOnTheCurrentTree) {
  struct Case {
    Ui entry;
    std::function<void(MainWindow&)> check;
  };
  const V paths_before = {"C:\\Tools\\editor.exe",     "C:\\Work\\Proj",
                          "http://example.com/A.html", "http://example.com/B.html",
                          "http://example.com/C.html", "http://example.com/D.html"};
  const Case cases[] = {
      {Ui::MnOpenDIr,
       [&](MainWindow&) {
         EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\Tools\\ params= show=1"});
       }},
      {Ui::MnRefresh,
       [&](MainWindow& form) {
         EXPECT_NE(FindItem(form.launcher().TVApp.hwnd(), "Pictures - Viewer"), nullptr);
       }},
      {Ui::StopProgramItem, [&](MainWindow&) { EXPECT_EQ(DocPaths(), paths_before); }},
      {Ui::MnExpandAll,
       [&](MainWindow& form) {
         // The groups were expanded by hand; the first choice marks and expands.
         EXPECT_TRUE(form.menus().Checked(Ui::MnExpandAll));
         const HWND tree = form.launcher().TVDoc.hwnd();
         EXPECT_TRUE(ItemState(tree, Item(0, "example.com"), TVIS_EXPANDED) & TVIS_EXPANDED);
         Choose(Ui::MnExpandAll);
         EXPECT_FALSE(form.menus().Checked(Ui::MnExpandAll));
         EXPECT_FALSE(ItemState(tree, Item(0, "example.com"), TVIS_EXPANDED) & TVIS_EXPANDED);
       }},
      {Ui::CollapseAllItem,
       [&](MainWindow& form) {
         EXPECT_FALSE(form.menus().Checked(Ui::MnExpandAll));
         const HWND tree = form.launcher().TVPath.hwnd();
         EXPECT_FALSE(ItemState(tree, Item(2, "C:\\Work"), TVIS_EXPANDED) & TVIS_EXPANDED);
       }},
      {Ui::MnDeleteSelected,
       [&](MainWindow&) {
         V kept(paths_before.begin() + 1, paths_before.end());
         EXPECT_EQ(DocPaths(), kept);
       }},
      {Ui::MnDeleteAllDocs,
       [&](MainWindow& form) {
         EXPECT_TRUE(form.store().docs.empty());
         EXPECT_TRUE(form.store().MyRecentList.empty());
         EXPECT_EQ(form.launcher().tv_docs.CountNodes(), 0u);
         EXPECT_EQ(SendMessageW(form.launcher().TVApp.hwnd(), TVM_GETCOUNT, 0, 0), 0);
         const lang::InterfaceTexts& texts = lang::Texts();
         EXPECT_EQ(boxes_, V{texts.TipsCaption + "|" + texts.DeleteAllQuestion});
       }},
      {Ui::MyMyLove,
       [&](MainWindow& form) {
         EXPECT_EQ(form.store().MyLoveList.Lines(), V{"C:\\Tools\\editor.exe*|*Notes - Editor"});
       }},
      {Ui::MnAddToRunList,
       [&](MainWindow& form) {
         EXPECT_EQ(form.store().MyRunList.Lines(), V{"C:\\Tools\\editor.exe*|*Notes - Editor"});
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(UiName(c.entry)));
    windows_.ClearWindows();
    shell_.Clear();
    form_.reset();  // its exit save must not come back as the next one's history
    for (const char* file : {"defualt.ini", "fav.dat", "run.dat", "rec.dat"}) {
      files_.RemoveFile(std::string("D:\\MrxConfig\\") + file);
    }
    MainWindow& form = OpenWithHistory();
    form.SetActivePage(1);
    ClickNode(1, "Notes - Editor");
    ASSERT_EQ(DocPaths(), paths_before);
    windows_.AddWindow("Pictures - Viewer", "C:\\Tools\\viewer.exe");
    boxes_.clear();
    launcher_.ClearLog();
    Choose(c.entry);
    Pump();
    c.check(form);
  }
}

TEST_F(DocTreesTest, DeletingEverythingIsAskedFirstAndLeavesTheListsAlone) {
  MainWindow& form = OpenWithHistory();
  AddMyLove(form.store().MyLoveList, "C:\\fav", "fav");
  AddMyRun(form.store().MyRunList, "C:\\run", "run");
  const size_t docs = form.store().docs.size();
  answer_ = IDNO;
  Click(ShownSettings().BtnZDDeleteAllDocs);
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(form.store().docs.size(), docs);
  answer_ = IDYES;
  Click(ShownSettings().BtnZDDeleteAllDocs);
  EXPECT_TRUE(form.store().docs.empty());
  EXPECT_EQ(form.launcher().LbSearchResult.Count(), 0);
  EXPECT_EQ(form.store().MyLoveList.size(), 1u);
  EXPECT_EQ(form.store().MyRunList.size(), 1u);
  Close();
  EXPECT_EQ(File("defualt.ini").find("path0="), std::string::npos) << File("defualt.ini");
}

TEST_F(DocTreesTest, TheTreeCommandsDoNothingOnAPageWithoutATree) {
  MainWindow& form = OpenWithHistory();
  form.SetActivePage(1);
  ClickNode(1, "Notes - Editor");
  form.SetActivePage(kFavouritesPageIndex);
  const V paths = DocPaths();
  for (Ui entry : {Ui::MnOpenDIr, Ui::MnDeleteSelected, Ui::MyMyLove, Ui::MnAddToRunList}) {
    Choose(entry);
  }
  EXPECT_EQ(DocPaths(), paths);
  EXPECT_TRUE(form.store().MyLoveList.empty());
  EXPECT_TRUE(form.store().MyRunList.empty());
  EXPECT_TRUE(launcher_.calls().empty());
}

}  // namespace
}  // namespace zd
