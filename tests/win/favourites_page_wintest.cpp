// The favourites page of the real window under Wine: dropped files, the edit
// bar and its three holders, the keys, the mouse, the menu entries, and what
// reaches "fav.dat" at exit.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "launch/favourites.h"
#include "mainwin/main_window_win.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

// The drop handle the shell hands a window: a DROPFILES block in global
// memory, the paths after it. The receiver frees it (DragFinish).
HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  size_t chars = 1;
  for (const std::wstring& path : paths) chars += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
  for (const std::wstring& path : paths) {
    std::copy(path.begin(), path.end(), out);
    out += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

class FavouritesPageTest : public MainWindowFixture {
 protected:
  MainWindow& OpenWithFavourites(const std::string& fav_dat) {
    form_.reset();  // its exit save comes first
    files_.RemoveFile("D:\\MrxConfig\\run.dat");
    Store("fav.dat", fav_dat);
    MainWindow& form = OpenLoaded();
    ShowWindow(form.hwnd(), SW_SHOW);
    form.SetActivePage(kFavouritesPageIndex);
    return form;
  }
  FavouritesPage& Page() { return form_->launcher().favourites; }
  HWND List() { return Page().LbMyLove.hwnd(); }
  POINT RowPoint(int row) {
    RECT rc{};
    SendMessageW(List(), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rc));
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
  // Rows as the user selects them: a click, then Ctrl-clicks.
  void SelectRows(const std::vector<int>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
      LeftClick(List(), RowPoint(rows[i]), i == 0 ? 0 : MK_CONTROL);
    }
  }
  std::vector<int> SelectedRows() {
    std::vector<int> rows;
    for (int i = 0; i < Page().LbMyLove.Count(); ++i) {
      if (SendMessageW(List(), LB_GETSEL, i, 0) > 0) rows.push_back(i);
    }
    return rows;
  }
  V Lines() { return form_->store().MyLoveList.Lines().ToVector(); }
  V Rows() {
    V rows;
    for (int i = 0; i < Page().LbMyLove.Count(); ++i) rows.push_back(Page().LbMyLove.Row(i));
    return rows;
  }
};

constexpr char kThree[] = "C:\\a.txt*|*a\r\nC:\\b.txt*|*b\r\nC:\\c.txt*|*c\r\n";

TEST_F(FavouritesPageTest, DroppedFilesLandAtTheTopInReverseOrderAndReachFavDat) {
  OpenWithFavourites("C:\\old.txt*|*old\r\n");
  const HDROP drop = MakeDrop({L"C:\\one.txt", L"C:\\Two Folder", L"C:\\三.txt"});
  SendMessageW(List(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  EXPECT_EQ(Lines(), V({"C:\\三.txt*|*C:\\三.txt", "C:\\Two Folder*|*C:\\Two Folder",
                        "C:\\one.txt*|*C:\\one.txt", "C:\\old.txt*|*old"}));
  EXPECT_EQ(Rows(), V({"C:\\三.txt", "C:\\Two Folder", "C:\\one.txt", "old"}));
  EXPECT_TRUE(IsWindowVisible(List())) << "drawing again after the batch";
  Close();
  // The file is in the legacy code page.
  EXPECT_EQ(codec_->ToUtf8(File("fav.dat")),
            "C:\\三.txt*|*C:\\三.txt\r\nC:\\Two Folder*|*C:\\Two Folder\r\n"
            "C:\\one.txt*|*C:\\one.txt\r\nC:\\old.txt*|*old\r\n");
}

TEST_F(FavouritesPageTest, TheEditBarAddsAndUpdatesRowsThatReachFavDat) {
  OpenWithFavourites(kThree);
  FavouritesPage& f = Page();
  // A click on a row fills the fields from it.
  SelectRows({1});
  EXPECT_EQ(f.EdtNewFavDisplay.Text(), "b");
  EXPECT_EQ(f.EdtNewFavPath.Text(), "C:\\b.txt");
  f.EdtNewFavDisplay.SetText("  Bee ");
  f.EdtNewFavPath.SetText(" C:\\bee.txt");
  Click(f.BtnZDUpdateFav);
  EXPECT_EQ(Lines(), V({"C:\\a.txt*|*a", "C:\\bee.txt*|*Bee", "C:\\c.txt*|*c"}));
  EXPECT_EQ(SelectedRows(), std::vector<int>{1}) << "the updated row stays selected";
  f.EdtNewFavDisplay.SetText("New");
  f.EdtNewFavPath.SetText("D:\\new");
  Click(f.BtnZDAddToFav);
  EXPECT_EQ(Lines().front(), "D:\\new*|*New");
  EXPECT_EQ(Rows().front(), "New");
  EXPECT_EQ(f.EdtNewFavDisplay.Text(), "New") << "the fields keep their text";
  // No row selected: nothing to update, even with a focused row.
  SendMessageW(List(), LB_SETSEL, FALSE, -1);
  const V before = Lines();
  Click(f.BtnZDUpdateFav);
  EXPECT_EQ(Lines(), before);
  // Both fields empty: refused, nothing added.
  f.EdtNewFavDisplay.SetText(" ");
  f.EdtNewFavPath.SetText("");
  Click(f.BtnZDAddToFav);
  EXPECT_EQ(Lines(), before);
  Close();
  EXPECT_EQ(File("fav.dat"),
            "D:\\new*|*New\r\nC:\\a.txt*|*a\r\nC:\\bee.txt*|*Bee\r\nC:\\c.txt*|*c\r\n");
}

TEST_F(FavouritesPageTest, TheEditBarsThreeHoldersFollowTheBoxAndTheMenu) {
  struct Step {
    std::function<void()> act;
    FavEditBarState state;  // panel, menu mark, check box
    V fields;               // the two fields afterwards; empty: not looked at
  };
  MainWindow& form = OpenWithFavourites(kThree);
  FavouritesPage& f = Page();
  const Step steps[] = {
      {[] {}, {true, true, true}, {}},
      {[&] { Click(f.CbFavEdit); }, {false, false, false}, {}},
      {[&] { Choose(Ui::MnNewToFav); }, {true, true, false}, {"", ""}},
      {[&] { Choose(Ui::MnShowFavEdit); }, {false, false, false}, {}},
      {[&] { Choose(Ui::MnShowFavEdit); }, {true, true, true}, {}},
      {[&] { Click(f.CbFavEdit); }, {false, false, false}, {}},
      {[&] {
         SelectRows({2});
         Choose(Ui::MnUpdateFav);
       },
       {true, true, false},
       {"c", "C:\\c.txt"}},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    steps[i].act();
    const FavEditBarState shown{f.PnlNewFav.Visible(), form.menus().Checked(Ui::MnShowFavEdit),
                                f.CbFavEdit.Checked()};
    EXPECT_EQ(shown, steps[i].state);
    EXPECT_EQ(shown, f.edit_bar_state());
    if (!steps[i].fields.empty()) {
      EXPECT_EQ(V({f.EdtNewFavDisplay.Text(), f.EdtNewFavPath.Text()}), steps[i].fields);
    }
  }
  // The list makes room for the bar.
  EXPECT_GT(f.LbMyLove.RectInParent().top, f.PnlNewFav.RectInParent().bottom);
  Choose(Ui::MnShowFavEdit);
  Close();
  EXPECT_NE(File("defualt.ini").find("ShowFavEdit=0"), std::string::npos);
}

TEST_F(FavouritesPageTest, EveryEntryOfTheFavouritesMenuActs) {
  struct Case {
    Ui entry;
    std::vector<int> selected;
    V lines;      // the favourites afterwards
    V run_lines;  // the auto-run list afterwards
    V calls;      // what reached the shell
    int answer = IDYES;
    size_t questions = 0;
  };
  const std::string fav =
      "C:\\a.txt*|*a\r\nC:\\gone.txt*|*gone\r\nhttp://example.com/*|*web\r\n"
      "file:///C:/Work*|*work\r\nC:\\gone\\*|*folder gone\r\n";
  const V all = {"C:\\a.txt*|*a", "C:\\gone.txt*|*gone", "http://example.com/*|*web",
                 "file:///C:/Work*|*work", "C:\\gone\\*|*folder gone"};
  const Case cases[] = {
      {Ui::MnOpenMyFavDoc, {3}, all, {}, {"execute verb=open file=C:\\Work\\ params= show=1"}},
      {Ui::MyDeleteFav, {0, 2}, {all[1], all[3], all[4]}, {}, {}},
      {Ui::MnZDAddToRun, {3, 0}, all, {"C:\\a.txt*|*a", "C:/Work*|*work"}, {}},
      // Gone from a present fixed drive: removed after one question; a web
      // address and what exists stay. No changes nothing.
      {Ui::MnZDDeleteNotExistsDoc, {}, {all[0], all[2], all[3]}, {}, {}, IDYES, 1},
      {Ui::MnZDDeleteNotExistsDoc, {}, all, {}, {}, IDNO, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(UiName(c.entry)));
    launcher_.AddFile("C:\\a.txt");
    launcher_.AddFolder("C:\\Work");
    OpenWithFavourites(fav);
    SelectRows(c.selected);
    launcher_.ClearLog();
    boxes_.clear();
    answer_ = c.answer;
    Choose(c.entry);
    EXPECT_EQ(boxes_.size(), c.questions);
    EXPECT_EQ(Lines(), c.lines);
    EXPECT_EQ(Rows().size(), c.lines.size());
    EXPECT_EQ(form_->store().MyRunList.Lines(), c.run_lines);
    EXPECT_EQ(launcher_.calls(), c.calls);
  }
}

TEST_F(FavouritesPageTest, KeysAndTheMouseOnTheList) {
  launcher_.AddFile("C:\\b.txt");
  MainWindow& form = OpenWithFavourites(kThree);
  // Enter and a double-click open the current row and record it.
  SelectRows({1});
  Key(List(), VK_RETURN);
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\b.txt params= show=1"});
  EXPECT_EQ(form.store().MyRecentList.Lines().front(), "C:\\b.txt*|*b");
  launcher_.ClearLog();
  SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(RowPoint(1)));
  SendMessageW(List(), WM_LBUTTONUP, 0, At(RowPoint(1)));
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\b.txt params= show=1"});
  // A right press leaves only the row under the pointer selected, or none.
  SelectRows({0, 1});
  SendMessageW(List(), WM_RBUTTONDOWN, MK_RBUTTON, At(RowPoint(2)));
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  SendMessageW(List(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 300));
  EXPECT_TRUE(SelectedRows().empty());
  // The pointer over a row describes its favourite in the hint bar.
  SendMessageW(List(), WM_MOUSEMOVE, 0, At(RowPoint(2)));
  EXPECT_EQ(form.launcher().LblHint.Text(),
            *FavouriteHint(form.store().MyLoveList, 2, lang::Texts()));
  // Delete removes the selected rows.
  SelectRows({0, 2});
  Key(List(), VK_DELETE);
  EXPECT_EQ(Lines(), V{"C:\\b.txt*|*b"});
}

}  // namespace
}  // namespace zd
