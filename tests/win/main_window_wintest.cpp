// The main window under Wine: its controls, pages, menus and texts, the
// configuration folder, the first load and the files written at exit.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "platform/fake_files.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/text_codec.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"
#include "store/program_files.h"
#include "tests/win/main_window_fixture.h"
#include "tracking/doc_kinds.h"
#include "zd_version.h"

namespace zd {
namespace {

// The control's own visibility, whether or not the window is on screen yet.
bool Shown(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// Shown on the window once it is: the control and every container up to the window.
bool ShownOnWindow(HWND hwnd, HWND window) {
  for (; hwnd && hwnd != window; hwnd = GetParent(hwnd)) {
    if (!Shown(hwnd)) return false;
  }
  return hwnd == window;
}

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, ShowsTheControlsOfItsDesignOnTheirPages) {
  MainWindow& form = Open();
  LauncherPage& l = form.launcher();
  EXPECT_EQ(form.caption(), "MRXZapdock" ZD_VERSION_TEXT);
  EXPECT_EQ(WindowTextUtf8(form.hwnd()), "MRXZapdock" ZD_VERSION_TEXT);
  const Control* shown[] = {&form.OuterTabs, &l.sheet,       &l.SearchRowPanel, &l.EdtSearch,
                            &l.BtnZDSearch,  &l.CbAutoStart, &l.InnerTabs,      &l.PnlRight,
                            &l.LblHint,      &l.TVDoc,       &l.WebSheet};
  for (const Control* c : shown) {
    EXPECT_TRUE(ShownOnWindow(c->hwnd(), form.hwnd())) << GetDlgCtrlID(c->hwnd());
  }
  const Control* hidden[] = {&l.WindowList,
                             &l.LbAutoRun,
                             &l.LbSearchResult,
                             &l.AllDocsGroup,
                             &l.TVDocs,
                             &l.LoadProgress,
                             &l.PnlNote,
                             &l.AdvancedPanel,
                             &l.CbAdvSet,
                             &l.PnlRelate,
                             &l.LbRelation,
                             &l.BtnZDStart,
                             &l.BtnAddToQuickLaunch,
                             &l.BtnUnusedA,
                             &l.BtnUnusedB,
                             &l.BtnTimedShutdown,
                             &l.BtnSendMail,
                             &ShownSettings().BtnFilter,
                             &l.settings.BtnDocDisplay,
                             &l.settings.RgAutorOpenType,
                             &form.home().sheet};
  form.SetActivePage(0);
  for (const Control* c : hidden) {
    ASSERT_NE(c->hwnd(), nullptr);
    EXPECT_FALSE(ShownOnWindow(c->hwnd(), form.hwnd())) << GetDlgCtrlID(c->hwnd());
  }
  EXPECT_EQ(WindowTextUtf8(l.settings.CbZDOnTop.hwnd()), "窗体总在最上方");
  EXPECT_EQ(WindowTextUtf8(l.CbAutoStart.hwnd()), "开机时启动");
  EXPECT_EQ(WindowTextUtf8(l.favourites.CbFavEdit.hwnd()), "显示收藏夹编辑栏");
  // Eight tabs for ten pages: the note and "all" pages have none.
  EXPECT_EQ(l.InnerTabs.Count(), 8);
  EXPECT_EQ(form.OuterTabs.Count(), 2);
  // The browser waits out of sight until the first load.
  EXPECT_EQ(l.browser.BrowserFrame.RectInParent().top, kMinimisedTop);
}

TEST_F(MainWindowTest, PagesFollowTheTabs) {
  MainWindow& form = Open();
  LauncherPage& l = form.launcher();
  EXPECT_EQ(form.ActivePageIndex(), 0);
  form.SetActivePage(kSettingsPageIndex);
  EXPECT_EQ(l.InnerTabs.Selected(), 7);
  EXPECT_TRUE(l.settings.sheet.Visible());
  EXPECT_FALSE(l.WebSheet.Visible());
  form.SetActivePage(kNotePageIndex);  // the note page has no tab but can be shown
  EXPECT_TRUE(l.note.sheet.Visible());
  form.SetActivePage(42);
  EXPECT_EQ(form.ActivePageIndex(), 0);
  // Choosing a tab shows its page.
  ChooseTab(kFavouritesPageIndex);
  EXPECT_EQ(form.ActivePageIndex(), kFavouritesPageIndex);
  EXPECT_TRUE(l.favourites.sheet.Visible());
}

// What a person sees of a page: no control covers another, a group box holds
// a control whole or not at all, and all of it lies inside the page.
TEST_F(MainWindowTest, NoControlOfAPageCoversAnother) {
  MainWindow& form = Open();
  LauncherPage& l = form.launcher();
  const Page* pages[] = {&l.system, &l.favourites, &l.settings, &l.note};
  // Group boxes and the picture the system page's buttons stand on hold others.
  auto is_holder = [](HWND w) {
    wchar_t name[16] = {};
    GetClassNameW(w, name, 16);
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    return (lstrcmpiW(name, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) ||
           (lstrcmpiW(name, L"Static") == 0 && (style & SS_TYPEMASK) == SS_OWNERDRAW);
  };
  int checked_pages = 0;
  for (int index = 0; index < 9; ++index) {
    form.SetActivePage(index);
    for (const Page* page : pages) {
      const HWND sheet = page->sheet.hwnd();
      if (!page->sheet.Visible()) continue;
      ++checked_pages;
      SCOPED_TRACE("page " + std::to_string(index));
      RECT inside{};
      GetClientRect(sheet, &inside);
      std::vector<std::pair<HWND, RECT>> shown;
      for (HWND c = GetWindow(sheet, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(c, GWL_STYLE) & WS_VISIBLE)) continue;
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= inside.right &&
                    r.bottom <= inside.bottom)
            << WindowTextUtf8(c) << " reaches " << r.right << "," << r.bottom << " of "
            << inside.right << "," << inside.bottom;
        shown.push_back({c, r});
      }
      for (size_t a = 0; a < shown.size(); ++a) {
        for (size_t b = a + 1; b < shown.size(); ++b) {
          RECT both{};
          if (!IntersectRect(&both, &shown[a].second, &shown[b].second)) continue;
          const bool a_group = is_holder(shown[a].first), b_group = is_holder(shown[b].first);
          // A holder may hold the other whole; nothing else may touch.
          const bool held = (a_group && EqualRect(&both, &shown[b].second)) ||
                            (b_group && EqualRect(&both, &shown[a].second));
          EXPECT_TRUE(held) << WindowTextUtf8(shown[a].first) << " and "
                            << WindowTextUtf8(shown[b].first);
        }
      }
    }
  }
  EXPECT_GE(checked_pages, 4);
}

TEST_F(MainWindowTest, MenusShowTheirVisibleEntriesWithDesignCaptions) {
  MainWindow& form = Open();
  for (const PopupMenu& popup : form.menus().model()) {
    HMENU menu = form.menus().Get(popup.id);
    ASSERT_NE(menu, nullptr) << popup.name();
    int shown = 0;
    for (const MenuItem& item : popup.items) {
      if (!item.visible) {
        if (item.id != kUnnamed) {
          EXPECT_EQ(MenuText(menu, Menus::CommandOf(item.id)), "") << item.name();
        }
        continue;
      }
      ++shown;
      if (!item.IsSeparator() && !item.IsSubmenu()) {
        EXPECT_EQ(MenuText(menu, Menus::CommandOf(item.id)), item.caption) << item.name();
      }
    }
    EXPECT_EQ(GetMenuItemCount(menu), shown) << popup.name();
  }
  HMENU tray = form.menus().Get(Ui::popMenu);
  EXPECT_EQ(MenuText(tray, Menus::CommandOf(Ui::MnZDExit)), "退出(&E)");
  EXPECT_EQ(MenuText(tray, Menus::CommandOf(Ui::MnOpenZapdock)), "打开Zapdock(&S)");
}

TEST_F(MainWindowTest, EnglishBuildTexts) {
  MainWindow& form = Open(2);
  EXPECT_EQ(form.caption(), "MRX Zapdock" ZD_VERSION_TEXT);
  EXPECT_EQ(MenuText(form.menus().Get(Ui::popMenu), Menus::CommandOf(Ui::MnZDExit)), "exit (&E)");
  EXPECT_EQ(WindowTextUtf8(ShownSettings().CbZDOnTop.hwnd()), "Form always on top");
  EXPECT_EQ(MenuText(form.menus().Get(Ui::PmDocTree), Menus::CommandOf(Ui::CollapseAllItem)),
            "折叠全部");  // not in the tables
  form.TimerFirstRunTimer();
  EXPECT_EQ(ShownSettings().LblZDCheckTime.Text(), "refresh once every 120 seconds");
  answer_ = IDNO;
  form.MnZDExitClick();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "tips|Confirm to exit system?");
}

TEST_F(MainWindowTest, TraditionalBuildReadsTheSharedTextsFromTheResource) {
  MainWindow& form = Open(1);
  answer_ = IDNO;
  form.MnZDExitClick();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("要退出系統嗎"), std::string::npos) << boxes_[0];
  EXPECT_EQ(form.launcher().CbAutoStart.Text(), "開機時自動啟動");
}

TEST_F(MainWindowTest, ConfigurationFolderOnTheLastFixedDrive) {
  Open();
  EXPECT_EQ(form_->store().ConfigDir, "D:\\MrxConfig\\");
  EXPECT_TRUE(files_.DirectoryExists("D:\\MrxConfig\\"));
  EXPECT_TRUE(files_.IsHidden("D:\\MrxConfig\\"));
  EXPECT_TRUE(boxes_.empty());
}

// Weeks of starts: a history of 1,000 records (stored by an older version
// with "needremoveurl"), one more registered by a refresh, a new fixed drive
// E: after the first close, two more starts: every record is back each time,
// from the same folder, in the trees too.
TEST_F(MainWindowTest, AHistoryPastAThousandStaysWhereItIsThroughRestartsAndANewDrive) {
  std::string ini = "[default]\r\nneedremoveurl=1\r\n[docs]\r\n";
  for (int i = 0; i < 1000; ++i) {
    const std::string n = std::to_string(i);
    ini += "name" + n + "=page " + n + "\r\ndate" + n + "=2024-01-01\r\nRootPath" + n +
           "=h.example\r\ndoctype" + n + "=1\r\npath" + n + "=http://h.example/" + n +
           "\r\nselected" + n + "=0\r\n";
  }
  Store("defualt.ini", ini);
  MainWindow& first = OpenLoaded();
  ASSERT_EQ(first.store().docs.size(), 1000u);
  shell_.AddWindow("http://new.example/", "New");
  first.Tracker().CheckAllDocs();
  ASSERT_EQ(first.store().docs.size(), 1001u);
  Close();
  files_.RemoveDrive("E:\\");
  files_.AddDrive("E:\\", DriveKind::kFixed);
  for (int start = 1; start <= 2; ++start) {
    SCOPED_TRACE(start);
    MainWindow& form = OpenLoaded();
    EXPECT_EQ(form.store().ConfigDir, "D:\\MrxConfig\\");
    EXPECT_FALSE(files_.DirectoryExists("E:\\MrxConfig\\"));
    ASSERT_EQ(form.store().docs.size(), 1001u);
    EXPECT_EQ(form.store().docs.back().path, "http://new.example/");
    // Two groups with every page below them.
    EXPECT_EQ(form.launcher().tv_docs.CountNodes(), 2u + 1001u);
    Close();
  }
  EXPECT_TRUE(boxes_.empty());
}

// A save cut short after its new content was complete, where the old file
// was already gone: the start puts the new content in place, says so once,
// and loads it.
TEST_F(MainWindowTest, AWholeLeftoverWithoutItsFileIsPutBackAndNamedOnce) {
  Store("fav.dat.new", "C:\\a*|*A\r\nC:\\b*|*B\r\n");
  Store("rec.dat.tmp", "C:\\ha");
  MainWindow& form = OpenLoaded();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("D:\\MrxConfig\\fav.dat"), std::string::npos) << boxes_[0];
  EXPECT_EQ(boxes_[0].find("rec.dat"), std::string::npos) << boxes_[0];
  EXPECT_EQ(form.launcher().favourites.LbMyLove.Count(), 2);
  Close();
  EXPECT_EQ(File("fav.dat"), "C:\\a*|*A\r\nC:\\b*|*B\r\n");
  EXPECT_EQ(File("fav.dat.new"), "<missing>");
  EXPECT_EQ(File("rec.dat.tmp"), "<missing>");
  Open();
  EXPECT_EQ(boxes_.size(), 1u) << "said once";
}

BOOL CALLBACK NoListBoxOfTheRecentList(HWND child, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  if (lstrcmpiW(cls, L"ListBox") == 0) {
    EXPECT_NE(SendMessageW(child, LB_GETCOUNT, 0, 0), 250) << "a window row per recent line";
  }
  return TRUE;
}

// The lists hold no rows of their own: the favourites and the run list
// answer every row from the store's lines, to another program too (as a
// screen reader reads them), and the recent list has no window rows at all.
TEST_F(MainWindowTest, ListsShowTheStoresLinesWithoutCopiesAndOtherProgramsReadThem) {
  const auto list_file = [](const std::string& prefix, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
      text += prefix + std::to_string(i) + ".txt*|*文档 " + prefix.substr(3) + std::to_string(i) +
              " & more\r\n";
    }
    return *MakeCodec(936)->FromUtf8(text);
  };
  Store("fav.dat", list_file("C:\\Fav", 300));
  Store("run.dat", list_file("C:\\Run", 200));
  Store("rec.dat", list_file("C:\\Rec", 250));
  MainWindow& form = OpenLoaded();
  const struct {
    const char* what;
    HWND list;
    const DocList& lines;
  } lists[] = {
      {"favourites", form.launcher().favourites.LbMyLove.hwnd(), form.store().MyLoveList},
      {"run list", form.launcher().LbAutoRun.hwnd(), form.store().MyRunList},
  };
  for (const auto& l : lists) {
    SCOPED_TRACE(l.what);
    ASSERT_GT(l.lines.size(), 0u);
    EXPECT_NE(GetWindowLongPtrW(l.list, GWL_STYLE) & LBS_NODATA, 0) << "no rows of its own";
    std::vector<std::string> expected;
    for (size_t i = 0; i < l.lines.size(); ++i) expected.push_back(l.lines.RowText(i));
    EXPECT_EQ(RowsReadByAnotherProgram(l.list), expected);
    EXPECT_EQ(SendMessageW(l.list, LB_GETTEXTLEN, l.lines.size(), 0), LB_ERR) << "past the end";
  }
  ASSERT_EQ(form.store().MyRecentList.size(), 250u);
  EnumChildWindows(form.hwnd(), NoListBoxOfTheRecentList, 0);
  // A change of the list shows at once, read the same way.
  AddMyLove(form.store().MyLoveList, "C:\\new.txt", "新的");
  EXPECT_EQ(RowsReadByAnotherProgram(lists[0].list).front(), "新的");
}

// Left to itself the window loads the history as soon as it has been shown:
// nothing but its own messages is needed.
TEST_F(MainWindowTest, TheFirstLoadComesByItselfOnceTheWindowIsShown) {
  Store("fav.dat", "C:\\a*|*A\r\n");
  keep_first_run_timer_ = true;
  MainWindow& form = Open();
  ShowWindow(form.hwnd(), SW_SHOW);
  for (int i = 0; i < 500 && !form.first_load_done(); ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  EXPECT_TRUE(form.first_load_done());
  EXPECT_EQ(form.launcher().favourites.LbMyLove.Count(), 1);
}

// The load shows every program with the plain program picture and asks
// nothing of the disk; the programs' files are asked about, and their icons
// read, once the window has nothing else to do.
TEST_F(MainWindowTest, ProgramsGetTheirPicturesWhenTheWindowIsIdleAfterTheLoad) {
  windows_.AddExistingPath("C:\\windows\\notepad.exe");
  Store("defualt.ini",
        "[docs]\r\nname0=Notepad\r\ndoctype0=2\r\npath0=C:\\windows\\notepad.exe\r\n"
        "name1=Gone\r\ndoctype1=2\r\npath1=C:\\Gone\\gone.exe\r\n");
  OpenLoaded();
  const HWND tree = ShownTree(1);
  // Image of each top-level item, newest first.
  const auto images = [tree] {
    std::vector<int> found;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
         item; item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                               reinterpret_cast<LPARAM>(item)))) {
      TVITEMW tv{};
      tv.mask = TVIF_HANDLE | TVIF_IMAGE;
      tv.hItem = item;
      SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
      found.push_back(tv.iImage);
    }
    return found;
  };
  EXPECT_EQ(images(), std::vector<int>({kImageProgram, kImageProgram}));
  EXPECT_EQ(windows_.path_questions(), 0);
  for (int i = 0; i < 300 && images()[0] == kImageProgram; ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    Pump();
  }
  EXPECT_EQ(images(), std::vector<int>({kImageMissingProgram, 11})) << "its own icon, first";
}

TEST_F(MainWindowTest, UnwritableFolderIsReportedOnceByName) {
  files_.set_fail_create_directories(true);
  Open();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("D:\\MrxConfig\\"), std::string::npos) << boxes_[0];
  Close();
  EXPECT_EQ(boxes_.size(), 1u);
}

TEST_F(MainWindowTest, FirstLoadAppliesTheSettings) {
  Store("defualt.ini",
        "[default]\r\nShowFavEdit=0\r\nCbRefresh=1\r\nControlIndex=4\r\n"
        "CheckDocInterval=30\r\nRunSelectDoc=1\r\n");
  Store("fav.dat", "C:\\a*|*A\r\n\r\nC:\\b*|*B\r\n");
  MainWindow& form = Open();
  EXPECT_FALSE(form.first_load_done());
  form.TimerFirstRunTimer();
  EXPECT_TRUE(form.first_load_done());
  const FavouritesPage& f = form.launcher().favourites;
  EXPECT_FALSE(f.PnlNewFav.Visible());
  EXPECT_FALSE(f.CbFavEdit.Checked());
  EXPECT_EQ(form.ActivePageIndex(), kFavouritesPageIndex) << "the stored number names its page";
  // The settings page holds the values before it has controls, and shows
  // them when it is first shown.
  const SettingsPage& held = form.launcher().settings;
  EXPECT_FALSE(held.made());
  EXPECT_TRUE(held.RefreshOn());
  EXPECT_EQ(held.Interval(), 60);
  const SettingsPage& s = ShownSettings();
  EXPECT_TRUE(s.CbZDRefresh.Checked());
  EXPECT_TRUE(s.CbAutoRunDocs.Checked());
  EXPECT_FALSE(s.CbQueryAutoRunDoc.Checked());
  EXPECT_EQ(s.SbCheckTime.Position(), 60);
  EXPECT_EQ(s.LblZDCheckTime.Text(), "每60秒刷新一次");
  // The list box mirrors the list, blank line dropped from both.
  EXPECT_EQ(form.store().MyLoveList.size(), 2u);
  EXPECT_EQ(f.LbMyLove.Count(), 2);
  EXPECT_EQ(f.LbMyLove.Row(1), "B");
}

TEST_F(MainWindowTest, ControlsWriteTheirKeysAtOnce) {
  MainWindow& form = OpenLoaded();
  const SettingsPage& s = ShownSettings();
  Click(s.CbAutoRunDocs);
  EXPECT_NE(File("defualt.ini").find("RunSelectDoc=1"), std::string::npos) << File("defualt.ini");
  Click(s.CbQueryAutoRunDoc);
  EXPECT_NE(File("defualt.ini").find("QueryAutoRunDoc=1"), std::string::npos);
  Click(s.CbZDRefresh);
  EXPECT_NE(File("defualt.ini").find("CbRefresh=1"), std::string::npos);
  // The interval bar moves by line and by page, within 60..600, and writes at once.
  for (const auto& [code, expected] :
       {std::pair{SB_LINERIGHT, 121}, {SB_PAGERIGHT, 131}, {SB_LEFT, 60}, {SB_LINELEFT, 60}}) {
    SendMessageW(form.hwnd(), WM_HSCROLL, MAKEWPARAM(code, 0),
                 reinterpret_cast<LPARAM>(s.SbCheckTime.hwnd()));
    EXPECT_EQ(s.SbCheckTime.Position(), expected) << code;
  }
  EXPECT_NE(File("defualt.ini").find("CheckDocInterval=60"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingWritesEveryFile) {
  Store("lr.dat", "C:\\x.exe\r\n");
  MainWindow& form = OpenLoaded();
  AddMyLove(form.store().MyLoveList, "file:///C:/My Docs/a.txt", "file:///C:/My Docs/a.txt");
  AddMyRecent(form.store().MyRecentList, "C:\\r", "最近");
  form.launcher().note.MmNote.SetText("note 笔记");
  EXPECT_EQ(form.launcher().favourites.LbMyLove.Count(), 1);
  Close();
  EXPECT_EQ(File("fav.dat"), "C:\\My Docs\\a.txt*|*C:\\My Docs\\a.txt\r\n");
  EXPECT_NE(File("rec.dat").find("C:\\r*|*"), std::string::npos);
  EXPECT_EQ(File("run.dat"), "");
  // Closing replaces the last run with what is open now: here nothing.
  EXPECT_EQ(File("lr.dat"), "");
  EXPECT_NE(File("defualt.ini").find("ShowFavEdit=1"), std::string::npos);
  EXPECT_NE(File("defualt.ini").find("width=1000"), std::string::npos) << File("defualt.ini");
  EXPECT_NE(File("note.txt").find("note"), std::string::npos);
}

TEST_F(MainWindowTest, AFailingFavouritesFileDoesNotCostTheOthers) {
  files_.AddDirectory("D:\\MrxConfig\\");
  files_.FailWritesTo("D:\\MrxConfig\\fav.dat");
  MainWindow& form = OpenLoaded();
  AddMyRecent(form.store().MyRecentList, "C:\\r", "r");
  Close();
  EXPECT_EQ(File("fav.dat"), "<missing>");
  EXPECT_EQ(File("rec.dat"), "C:\\r*|*r\r\n");
  EXPECT_NE(File("defualt.ini"), "<missing>");
}

TEST_F(MainWindowTest, ExitBeforeTheFirstLoadKeepsTheListFiles) {
  Store("rec.dat", "C:\\keep*|*keep\r\n");
  Store("run.dat", "C:\\run*|*run\r\n");
  Open();
  Close();
  EXPECT_EQ(File("rec.dat"), "C:\\keep*|*keep\r\n");
  EXPECT_EQ(File("run.dat"), "C:\\run*|*run\r\n");
}

TEST_F(MainWindowTest, ExitCommandAsksFirst) {
  Store("lr.dat", "C:\\a.exe\r\nfile:///C:/Work\r\n");
  MainWindow& form = Open();
  answer_ = IDNO;
  form.MnZDExitClick();
  EXPECT_NE(form.hwnd(), nullptr);
  EXPECT_EQ(boxes_.back(), "提示|要退出系统吗?");
  answer_ = IDYES;
  form.MnZDExitClick();
  Pump();
  EXPECT_EQ(form.hwnd(), nullptr);
  EXPECT_EQ(File("lr.dat"), "C:\\a.exe\r\nfile:///C:/Work\r\n");
}

TEST_F(MainWindowTest, PlacementMinimiseAndBack) {
  MainWindow& form = Open();
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, sw - 1005);
  EXPECT_EQ(r.top, sh - 645);
  EXPECT_EQ(r.right - r.left, 1000);
  EXPECT_EQ(r.bottom - r.top, 600);
  form.ShowAnimated();
  EXPECT_TRUE(IsWindowVisible(form.hwnd())) << "shown at once, faded in afterwards";
  for (int step = 0; step < MainWindow::kFadeInSteps; ++step) form.TimerFadeInTimer();
  EXPECT_FALSE(GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED)
      << "opaque at the end, and drawn as any window";
  SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(Top(), kMinimisedTop);
  EXPECT_FALSE(IsIconic(form.hwnd()));
  Choose(Ui::MnOpenZapdock);
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, sw - 1000 - 20);
  EXPECT_EQ(r.top, sh - 600 - 50);
  EXPECT_TRUE(Shown(form.hwnd()));
}

// Wine 8 does not reflect HWND_TOPMOST in the extended style, so only the
// part that is ours is checked here: the choice is not kept across starts.
TEST_F(MainWindowTest, StayOnTopIsNotKept) {
  MainWindow& form = Open();
  Click(ShownSettings().CbZDOnTop);
  EXPECT_TRUE(form.launcher().settings.CbZDOnTop.Checked());
  Close();
  EXPECT_EQ(File("defualt.ini").find("OnTop"), std::string::npos);
  Open();
  EXPECT_FALSE(ShownSettings().CbZDOnTop.Checked());
}

TEST_F(MainWindowTest, LogOnEntryIsTickedAndRefreshed) {
  registry_.WriteString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock", "C:\\old\\zapdock.exe");
  MainWindow& form = Open();
  EXPECT_TRUE(form.launcher().CbAutoStart.Checked());
  EXPECT_EQ(registry_.ReadString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock"),
            "\"C:\\Program Files\\Zapdock\\zapdock.exe\"");
  Click(form.launcher().CbAutoStart);
  EXPECT_EQ(registry_.ReadString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock"), std::nullopt);

  // A standard user's start: the machine's key refuses, nothing is said, the
  // user's key carries the new path and the box stays ticked.
  registry_.WriteString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock", "C:\\old\\zapdock.exe");
  registry_.read_only_root = RegRoot::kLocalMachine;
  MainWindow& standard = Open();
  EXPECT_EQ(boxes_, std::vector<std::string>{});
  EXPECT_TRUE(standard.launcher().CbAutoStart.Checked());
  EXPECT_EQ(registry_.ReadString(RegRoot::kCurrentUser, kRunKey, "MRXZapdock"),
            "\"C:\\Program Files\\Zapdock\\zapdock.exe\"");
  // The user's own untick that cannot be done is explained.
  Click(standard.launcher().CbAutoStart);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], lang::Texts().TipsCaption + "|" + lang::Texts().AutoStartFailed);
  EXPECT_TRUE(standard.launcher().CbAutoStart.Checked());

  // Switched off in Windows' startup apps list: the box shows it unticked.
  registry_.read_only_root.reset();
  registry_.DeleteValue(RegRoot::kCurrentUser, kRunKey, "MRXZapdock");
  registry_.WriteValue(
      RegRoot::kLocalMachine,
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32",
      RegView::k64, {"MRXZapdock", RegType::kBinary, {}, std::string("\x03\0\0\0", 4)});
  EXPECT_FALSE(Open().launcher().CbAutoStart.Checked());

  // The program the value names is still there: a copy started elsewhere
  // leaves the value to it.
  files_.PutFile("C:\\old\\zapdock.exe", "MZ");
  registry_.WriteString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock", "C:\\old\\zapdock.exe");
  Open();
  EXPECT_EQ(registry_.ReadString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock"),
            "C:\\old\\zapdock.exe");
}

TEST_F(MainWindowTest, FavouritesEditBarFollowsCheckBoxAndMenu) {
  MainWindow& form = OpenLoaded();
  const FavouritesPage& f = form.launcher().favourites;
  EXPECT_TRUE(f.CbFavEdit.Checked());
  Choose(Ui::MnShowFavEdit);
  EXPECT_FALSE(f.CbFavEdit.Checked());
  EXPECT_FALSE(f.PnlNewFav.Visible());
  Click(f.CbFavEdit);
  EXPECT_TRUE(form.menus().Checked(Ui::MnShowFavEdit));
  EXPECT_TRUE(f.PnlNewFav.Visible());
  Close();
  EXPECT_NE(File("defualt.ini").find("ShowFavEdit=1"), std::string::npos);
}

TEST_F(MainWindowTest, SessionEndSavesWhatACloseSavesAndOnlyOnce) {
  files_.AddDirectory("D:\\MrxConfig\\");
  windows_.AddWindow("Editor", "C:\\Tools\\editor.exe");
  MainWindow& form = OpenLoaded();
  AddMyRecent(form.store().MyRecentList, "C:\\r", "recent");
  form.launcher().note.MmNote.SetText("note");
  EXPECT_TRUE(SendMessageW(form.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
  SendMessageW(form.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(File("rec.dat"), "C:\\r*|*recent\r\n");
  EXPECT_EQ(File("lr.dat"), "C:\\Tools\\editor.exe\r\n") << "the close-time snapshot";
  EXPECT_NE(File("note.txt").find("note"), std::string::npos);
  EXPECT_NE(File("defualt.ini").find("width="), std::string::npos);
  // The window's later close saves nothing over it.
  const int writes = files_.WriteCount("D:\\MrxConfig\\rec.dat");
  windows_.ClearWindows();
  AddMyRecent(form.store().MyRecentList, "C:\\later", "later");
  Close();
  EXPECT_EQ(files_.WriteCount("D:\\MrxConfig\\rec.dat"), writes);
  EXPECT_EQ(File("lr.dat"), "C:\\Tools\\editor.exe\r\n");
}

// What the recording may not keep reaches no file: paused, the program
// window open at the close is not in lr.dat; a private browser window on a
// new history is neither recorded nor made a program's name; and "删除所有"
// empties picks.dat and lr.dat on disk at once, not at the exit.
TEST_F(MainWindowTest, PausedOrPrivateNothingIsKeptAndDeleteAllForgetsAtOnce) {
  windows_.AddWindow("Editor", "C:\\Tools\\editor.exe");
  Store("lr.dat", "C:\\old.exe\r\n");
  OpenLoaded();
  Choose(Ui::MnPauseRecording);
  Close();
  EXPECT_EQ(File("lr.dat"), "") << "the paused close keeps nothing it saw";

  windows_.ClearWindows();
  windows_.AddWindow("体检报告结果 - Google Chrome (Incognito)",
                     "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe");
  Store("defualt.ini", "");
  MainWindow& next = OpenLoaded();
  next.tracker().CheckKindDocs(TreeKindOfPage(1));  // F5 on 软件
  EXPECT_TRUE(next.store().docs.empty());
  Close();
  for (const char* file : {"defualt.ini", "rec.dat", "lr.dat"}) {
    EXPECT_EQ(File(file).find("Incognito"), std::string::npos) << file << ": " << File(file);
    EXPECT_EQ(File(file).find("chrome"), std::string::npos) << file << ": " << File(file);
  }

  windows_.ClearWindows();
  Store("defualt.ini",
        "[docs]\r\nname0=a\r\ndate0=2026-01-01\r\nRootPath0=\r\ndoctype0=2\r\n"
        "path0=C:\\a.exe\r\nselected0=0\r\n");
  Store("picks.dat", "pick\t1700000000\ta\tC:\\a.exe\r\npin\t1700000000\ta\tC:\\a.exe\r\n");
  Store("lr.dat", "C:\\a.exe\r\n");
  Store("rec.dat", "C:\\a.exe*|*a\r\n");
  MainWindow& third = OpenLoaded();
  ASSERT_EQ(third.store().docs.size(), 1u);
  answer_ = IDYES;
  Choose(Ui::MnDeleteAllDocs);
  EXPECT_TRUE(third.store().docs.empty());
  for (const char* file : {"picks.dat", "lr.dat", "rec.dat"}) EXPECT_EQ(File(file), "") << file;
}

TEST_F(MainWindowTest, AnEarlyCloseKeepsTheStoredSettings) {
  const std::string stored =
      "[default]\r\nCbRefresh=1\r\nCheckDocInterval=300\r\nControlIndex=4\r\nShowFavEdit=0\r\n"
      "[docs]\r\nname0=a\r\ndate0=2026-01-01\r\nRootPath0=\r\ndoctype0=2\r\n"
      "path0=C:\\a.exe\r\nselected0=0\r\n";
  Store("defualt.ini", stored);
  // Closed before the first load: the controls never showed the stored keys.
  Open();
  Close();
  for (const char* key :
       {"CbRefresh=1", "CheckDocInterval=300", "ControlIndex=4", "ShowFavEdit=0"}) {
    EXPECT_NE(File("defualt.ini").find(key), std::string::npos) << key << "\n"
                                                                << File("defualt.ini");
  }
  // Closed while the load pumps messages: the close waits for the load's end.
  MainWindow& form = Open();
  PostMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  form.TimerFirstRunTimer();
  EXPECT_NE(form.hwnd(), nullptr) << "closed in the middle of the load";
  Pump();
  EXPECT_EQ(form.hwnd(), nullptr);
  for (const char* key : {"CbRefresh=1", "ControlIndex=4", "ShowFavEdit=0", "path0=C:\\a.exe"}) {
    EXPECT_NE(File("defualt.ini").find(key), std::string::npos) << key;
  }
}

// "退出" chosen from the tray while the load pumps messages: the load stops
// at its next record, nothing is opened at start, the refresh asked for
// meanwhile never runs, what was loaded is saved and the window is gone.
void CALLBACK ExitFromTheTray(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  SendMessageW(window, WM_COMMAND, Menus::CommandOf(Ui::MnZDExit), 0);
}

TEST_F(MainWindowTest, TheTrayExitDuringTheLoadEndsItThere) {
  constexpr size_t kRecords = 10000;
  std::string stored = "[default]\r\nRunSelectDoc=1\r\n[docs]\r\n";
  for (size_t i = 0; i < kRecords; ++i) {
    const std::string n = std::to_string(i);
    stored += "name" + n + "=p\r\ndoctype" + n + "=1\r\npath" + n + "=http://h.example/" + n +
              "\r\nselected" + n + "=" + (i % 100 ? "0" : "1") + "\r\n";
  }
  Store("defualt.ini", stored);
  windows_.AddWindow("New - Tool", "C:\\Tools\\new.exe");
  MainWindow& form = Open();
  launcher_.ClearLog();
  // A refresh asked for before the load waits for its end; the exit comes
  // with the load's first look at the queue.
  PostMessageW(form.hwnd(), WM_COMMAND, Menus::CommandOf(Ui::MnRefresh), 0);
  SetTimer(form.hwnd(), 77, USER_TIMER_MINIMUM, ExitFromTheTray);
  Sleep(USER_TIMER_MINIMUM * 2);
  form.TimerFirstRunTimer();
  EXPECT_EQ(form.hwnd(), nullptr) << "the window is gone when the load returns";
  EXPECT_EQ(boxes_, std::vector<std::string>{"提示|要退出系统吗?"});
  EXPECT_LT(form.store().docs.size(), kRecords) << "the load went on after the exit";
  EXPECT_TRUE(launcher_.calls().empty()) << "opened at start after the exit";
  // The next start has every record (not the refresh's), and their choices.
  MainWindow& again = OpenLoaded();
  ASSERT_EQ(again.store().docs.size(), kRecords);
  EXPECT_TRUE(again.store().docs[kRecords - 100].selected);
}

TEST_F(MainWindowTest, FilesThatCannotBeReadOrSavedAreNamedOnce) {
  Store("fav.dat", "C:\\keep*|*keep\r\n");
  files_.FailReadsOf("D:\\MrxConfig\\fav.dat");
  MainWindow& form = OpenLoaded();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("D:\\MrxConfig\\fav.dat"), std::string::npos) << boxes_[0];
  // A file held by another program for longer than the save waits.
  AddMyRecent(form.store().MyRecentList, "C:\\r", "r");
  files_.FailWritesTo("D:\\MrxConfig\\rec.dat");
  Close();
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_NE(boxes_[1].find("D:\\MrxConfig\\rec.dat"), std::string::npos) << boxes_[1];
  EXPECT_EQ(boxes_[1].find("fav.dat"), std::string::npos) << "the unread file was not saved over";
  EXPECT_EQ(File("fav.dat"), "C:\\keep*|*keep\r\n");
}

// Closes whatever menu is open a moment after it opens.
void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(MainWindowTest, TrayMenuShowsTheRecentDocumentsAndOpensWhatItShowed) {
  files_.AddDirectory("D:\\MrxConfig\\");
  MainWindow& form = OpenLoaded();
  launcher_.AddFile("C:\\a.txt");
  launcher_.AddFile("C:\\b&c.txt");
  AddMyRecent(form.store().MyRecentList, "C:\\a.txt", "a");
  AddMyRecent(form.store().MyRecentList, "C:\\b&c.txt", "b&c");
  // A right click on the icon: the window goes out of sight and the menu opens.
  form.ShowAtBottomRight();
  SetTimer(nullptr, 0, 300, EndMenuSoon);
  SendMessageW(form.hwnd(), kTrayCallbackMessage, 0, WM_RBUTTONDOWN);
  EXPECT_EQ(Top(), kMinimisedTop);
  HMENU recent = form.menus().Submenu(Ui::PmRecent);
  ASSERT_EQ(GetMenuItemCount(recent), 2);
  EXPECT_EQ(MenuText(recent, MainWindow::kFirstRecentCommand), "（&2） a");
  EXPECT_EQ(MenuText(recent, MainWindow::kFirstRecentCommand + 1), "（&1） b&&c");
  // A refresh adds a line while the menu is open: the entry still opens its document.
  AddMyRecent(form.store().MyRecentList, "C:\\new.txt", "new");
  launcher_.ClearLog();
  SendMessageW(form.hwnd(), WM_COMMAND, MainWindow::kFirstRecentCommand, 0);
  ASSERT_FALSE(launcher_.calls().empty());
  EXPECT_NE(launcher_.calls().back().find("file=C:\\a.txt"), std::string::npos)
      << launcher_.calls().back();
  // Reopened, it stands at the top of the list the menu shows, once.
  EXPECT_EQ(form.store().MyRecentList.Lines(),
            (std::vector<std::string>{"C:\\a.txt*|*a", "C:\\new.txt*|*new", "C:\\b&c.txt*|*b&c"}));
  // Releases and double clicks do nothing; a left click brings the window back.
  SendMessageW(form.hwnd(), kTrayCallbackMessage, 0, WM_RBUTTONUP);
  SendMessageW(form.hwnd(), kTrayCallbackMessage, 0, WM_LBUTTONDBLCLK);
  EXPECT_EQ(Top(), kMinimisedTop);
  SendMessageW(form.hwnd(), kTrayCallbackMessage, 0, WM_LBUTTONDOWN);
  EXPECT_EQ(Top(), GetSystemMetrics(SM_CYSCREEN) - 600 - 50);
}

struct OpenMenu {
  RECT rect{};
  bool seen = false;
  int looks = 0;  // how many times the timer looked for it
};
OpenMenu g_open_menu;

BOOL CALLBACK NoteOpenMenu(HWND hwnd, LPARAM) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (lstrcmpW(cls, L"#32768") != 0 || !IsWindowVisible(hwnd)) return TRUE;
  GetWindowRect(hwnd, &g_open_menu.rect);
  g_open_menu.seen = true;
  return FALSE;
}

// Looks for the menu that is open and notes where it stands, then chooses
// its first entry by keyboard, as a user would. Gives up after two seconds.
void CALLBACK NoteMenuAndChooseFirst(HWND, UINT, UINT_PTR id, DWORD) {
  ++g_open_menu.looks;
  EnumThreadWindows(GetCurrentThreadId(), NoteOpenMenu, 0);
  if (!g_open_menu.seen && g_open_menu.looks < 40) return;
  KillTimer(nullptr, id);
  if (!g_open_menu.seen) return;
  keybd_event(VK_DOWN, 0, 0, 0);
  keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_RETURN, 0, 0, 0);
  keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
}

// The icon by keyboard: Enter on it (NIN_KEYSELECT) brings the window back;
// the menu key or Shift+F10 (WM_CONTEXTMENU) opens the menu at the icon, with
// the keys working at once.
TEST_F(MainWindowTest, TheTrayIconWorksByKeyboard) {
  add_tray_icon_ = true;
  MainWindow& form = OpenLoaded();
  const int bottom_right_top = GetSystemMetrics(SM_CYSCREEN) - 600 - 50;
  auto icon_event = [&](UINT event, POINT icon) {
    SendMessageW(form.hwnd(), kTrayCallbackMessage, MAKEWPARAM(icon.x, icon.y),
                 MAKELPARAM(event, 0));
  };
  SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_EQ(Top(), kMinimisedTop);
  // The raw presses come before the selection the shell reports: alone they do nothing.
  icon_event(WM_LBUTTONDOWN, {900, 740});
  EXPECT_EQ(Top(), kMinimisedTop);
  icon_event(NIN_KEYSELECT, {900, 740});
  EXPECT_EQ(Top(), bottom_right_top);
  SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  icon_event(NIN_SELECT, {900, 740});
  EXPECT_EQ(Top(), bottom_right_top);
  // The menu at the icon; Down and Enter choose "打开Zapdock(&S)".
  SetCursorPos(10, 10);
  // Under a busy X server Wine's menu loop is sometimes cancelled before it
  // shows anything; a person would press the key again.
  for (int attempt = 0; attempt < 3 && !g_open_menu.seen; ++attempt) {
    g_open_menu = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, NoteMenuAndChooseFirst);
    icon_event(WM_CONTEXTMENU, {700, 500});
    Pump();
    KillTimer(nullptr, timer);  // when no menu was there to close it
  }
  ASSERT_TRUE(g_open_menu.seen) << "looked " << g_open_menu.looks << " times";
  EXPECT_EQ(g_open_menu.rect.left, 700);
  EXPECT_EQ(g_open_menu.rect.bottom, 500);
  EXPECT_EQ(Top(), bottom_right_top) << "the first entry brought the window back";
}

TEST_F(MainWindowTest, SystemButtonsAndMenusOpenTheirPlaces) {
  MainWindow& form = OpenLoaded();
  const SystemPage& page = form.launcher().system;
  EXPECT_EQ(page.buttons[0].button.hwnd(), nullptr) << "made when the page is first shown";
  form.SetActivePage(kSystemPageIndex);
  // The picture's buttons are named, for screen readers and other programs,
  // by the label or hint of the spot they cover.
  for (const SystemPage::SpeedButton& b : page.buttons) {
    const std::string name = WindowTextUtf8(b.button.hwnd());
    EXPECT_FALSE(name.empty()) << UiName(b.id);
    const std::string_view label = lang::CaptionOf(b.id, 0);
    EXPECT_EQ(name, label.empty() ? lang::HintOf(b.id, 0) : label) << UiName(b.id);
  }
  launcher_.ClearLog();
  Click(page.Find(Ui::RecycleBinButton));
  Choose(Ui::AllUsersDesktopItem);
  Choose(Ui::MnMyDesk);
  Choose(Ui::MnZDTask);
  EXPECT_EQ(launcher_.calls(),
            (std::vector<std::string>{
                "special 10", "special 25", "special 0",
                "execute verb=open file=C:\\Windows\\system32\\taskmgr.exe params= show=1"}));
  EXPECT_TRUE(form.store().MyRecentList.empty()) << "nothing recorded";
}

TEST_F(MainWindowTest, ChosenDocumentsOpenAtStartAfterOneQuestion) {
  const std::string stored =
      "[default]\r\nRunSelectDoc=1\r\nQueryAutoRunDoc=1\r\n"
      "[docs]\r\nname0=a\r\ndate0=2026-01-01\r\nRootPath0=\r\ndoctype0=2\r\n"
      "path0=C:\\a.exe\r\nselected0=1\r\n"
      "name1=b\r\ndate1=2026-01-01\r\nRootPath1=\r\ndoctype1=2\r\npath1=C:\\b.exe\r\nselected1="
      "0\r\n";
  Store("run.dat", "D:\\notes.txt*|*notes\r\nD:\\gone.txt*|*gone\r\n");
  launcher_.AddFile("C:\\a.exe");
  launcher_.AddFile("C:\\b.exe");
  launcher_.AddDrive("D:\\", DriveKind::kFixed);
  launcher_.AddFile("D:\\notes.txt");
  for (const int answer : {IDNO, IDYES}) {
    Store("defualt.ini", stored);
    answer_ = answer;
    boxes_.clear();
    Open();
    launcher_.ClearLog();
    form_->TimerFirstRunTimer();
    ASSERT_EQ(boxes_.size(), 1u) << "one question";
    // It names what it would open by full path, not by the names alone.
    for (const char* path : {"C:\\a.exe", "D:\\notes.txt"}) {
      EXPECT_NE(boxes_[0].find(path), std::string::npos) << boxes_[0];
    }
    std::string opened;
    for (const std::string& call : launcher_.calls()) opened += call + "\n";
    if (answer == IDNO) {
      EXPECT_EQ(opened, "");
    } else {
      EXPECT_NE(opened.find("file=C:\\a.exe"), std::string::npos) << opened;
      EXPECT_NE(opened.find("file=D:\\notes.txt"), std::string::npos) << opened;
      EXPECT_EQ(opened.find("b.exe"), std::string::npos) << "not chosen";
      EXPECT_EQ(opened.find("gone"), std::string::npos) << "missing: skipped silently";
    }
  }
}

// What the user does in the document selection window once it is up: picks
// rows 0 and 2, ticks "不再跳出此提示框", then presses OK (or cancel).
bool g_confirm = true;
void CALLBACK PickInSelectionWindow(HWND, UINT, UINT_PTR id, DWORD) {
  HWND window = FindWindowW(L"ZapdockAutorunDocuments", nullptr);
  if (!window || !IsWindowVisible(window)) return;  // not up yet
  KillTimer(nullptr, id);
  HWND list = FindWindowExW(window, nullptr, L"LISTBOX", nullptr);
  SendMessageW(list, LB_SETSEL, TRUE, 0);
  SendMessageW(list, LB_SETSEL, TRUE, 2);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  HWND not_query = FindWindowExW(window, nullptr, L"BUTTON", L"不再跳出此提示框");
  SendMessageW(not_query, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(not_query), BN_CLICKED),
               reinterpret_cast<LPARAM>(not_query));
  HWND button = FindWindowExW(window, nullptr, L"BUTTON", g_confirm ? L"确定" : L"取消");
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

TEST_F(MainWindowTest, TheSelectionWindowKeepsItsChoiceInTheHistory) {
  files_.AddDirectory("D:\\MrxConfig\\");
  MainWindow& form = OpenLoaded();
  for (const char* path : {"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"})
    form.tracker().AddMyDoc(FoundDoc{path, path, path, DocKind::kProgram}, "2026-01-01");
  const SettingsPage& s = ShownSettings();
  Click(s.CbQueryAutoRunDoc);
  ASSERT_TRUE(s.CbQueryAutoRunDoc.Checked());
  // Cancel changes nothing.
  g_confirm = false;
  SetTimer(nullptr, 0, 100, PickInSelectionWindow);
  Click(s.BtnZDAutoRunSet);
  EXPECT_FALSE(form.store().docs[0].selected);
  EXPECT_TRUE(s.CbQueryAutoRunDoc.Checked());
  // OK keeps the rows and turns the question off.
  g_confirm = true;
  SetTimer(nullptr, 0, 100, PickInSelectionWindow);
  Click(s.BtnZDAutoRunSet);
  const DocArray& docs = form.store().docs;
  EXPECT_TRUE(docs[0].selected && !docs[1].selected && docs[2].selected);
  EXPECT_FALSE(s.CbQueryAutoRunDoc.Checked());
  // The choice outlives the run.
  Close();
  MainWindow& again = OpenLoaded();
  ASSERT_EQ(again.store().docs.size(), 3u);
  EXPECT_TRUE(again.store().docs[0].selected && !again.store().docs[1].selected &&
              again.store().docs[2].selected);
}

}  // namespace
}  // namespace zd
