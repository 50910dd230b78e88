// The main window under Wine: its controls, pages, menus and texts, the
// configuration folder, the first load and the files written at exit.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "mainwin/win_util_win.h"
#include "platform/fake_files.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/text_codec.h"
#include "platform/wide_win.h"
#include "store/AppParams.h"
#include "tests/win/main_window_fixture.h"

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

std::string MenuText(HMENU menu, UINT id) {
  wchar_t text[256] = {};
  if (GetMenuStringW(menu, id, text, 256, MF_BYCOMMAND) <= 0) return {};
  return WideToUtf8(text);
}

using MainWindowTest = MainWindowFixture;

TEST_F(MainWindowTest, HasEveryControlOfItsDesign) {
  TFrmMain& form = Open();
  EXPECT_EQ(form.caption(), "MRXZapdock3.5");
  EXPECT_EQ(WindowTextUtf8(form.hwnd()), "MRXZapdock3.5");
  const char* visible[] = {"PageControl1", "TabSheet8",   "ScrollBox5", "EdtSearch",
                           "BtnZDSearch",  "MnZDAutoRun", "TVControl",  "PnlRight",
                           "PnlHint",      "TVDoc",       "TabSheet7"};
  for (const char* name : visible) {
    ASSERT_NE(form.Control(name), nullptr) << name;
    EXPECT_TRUE(ShownOnWindow(form.Control(name), form.hwnd())) << name;
  }
  const char* hidden[] = {
      "ListBox1",        "LbAutoRun",  "LbSearchResult",      "GroupBox1", "TVDocs",
      "ProgressBar1",    "SbNote",     "ScrollBox8",          "CbAdvSet",  "SbRelate",
      "LbRelation",      "BtnZDStart", "BtnAddToQuickLaunch", "Button1",   "Button3",
      "Button4",         "Button5",    "LbMyRecent",          "BtnFilter", "BtnDocDisplay",
      "RgAutorOpenType", "tbDemo"};
  for (const char* name : hidden) {
    ASSERT_NE(form.Control(name), nullptr) << name;
    EXPECT_FALSE(ShownOnWindow(form.Control(name), form.hwnd())) << name;
  }
  for (const char* name : {"TVApp",           "TVPath",
                           "ImgZDPCControl",  "SpeedButton5",
                           "BtnMoreSpecDir",  "LbMyLove",
                           "PnlNewFav",       "EdtNewFavDisplay",
                           "EdtNewFavPath",   "BtnZDAddToFav",
                           "BtnZDUpdateFav",  "CbFavEdit",
                           "WebBrowser1",     "MmNote",
                           "CbZDOnTop",       "CbZDRefresh",
                           "SbCheckTime",     "LbZDCheckTime",
                           "BtnZDAutoRunSet", "CbQueryAutoRunDoc",
                           "CbAutoRunDocs",   "BtnZDDeleteAllDocs",
                           "BtnZDPCStart",    "BtnAbout",
                           "BtnHelp"}) {
    EXPECT_NE(form.Control(name), nullptr) << name;
  }
  EXPECT_EQ(WindowTextUtf8(form.Control("CbZDOnTop")), "窗体总在最上方");
  EXPECT_EQ(WindowTextUtf8(form.Control("MnZDAutoRun")), "开机时启动");
  EXPECT_EQ(WindowTextUtf8(form.Control("CbFavEdit")), "显示收藏夹编辑栏");
  // Seven tabs for nine pages: the note and "all" pages have none.
  EXPECT_EQ(SendMessageW(form.Control("TVControl"), TCM_GETITEMCOUNT, 0, 0), 7);
  EXPECT_EQ(SendMessageW(form.Control("PageControl1"), TCM_GETITEMCOUNT, 0, 0), 2);
  // The browser waits out of sight until the first load.
  RECT browser;
  GetWindowRect(form.Control("WebBrowser1"), &browser);
  MapWindowPoints(nullptr, form.Control("TabSheet2"), reinterpret_cast<POINT*>(&browser), 2);
  EXPECT_EQ(browser.top, kMinimisedTop);
}

TEST_F(MainWindowTest, PagesFollowTheTabs) {
  TFrmMain& form = Open();
  EXPECT_EQ(form.ActivePageIndex(), 0);
  form.SetActivePage(7);
  EXPECT_EQ(SendMessageW(form.Control("TVControl"), TCM_GETCURSEL, 0, 0), 6);
  EXPECT_TRUE(Shown(form.Control("TabSheet6")));
  EXPECT_FALSE(Shown(form.Control("TabSheet7")));
  form.SetActivePage(6);  // the note page has no tab but can be shown
  EXPECT_TRUE(Shown(form.Control("TabSheet3")));
  form.SetActivePage(42);
  EXPECT_EQ(form.ActivePageIndex(), 0);
}

TEST_F(MainWindowTest, MenusShowTheirVisibleEntriesWithDesignCaptions) {
  TFrmMain& form = Open();
  for (const PopupMenu& popup : form.menus()) {
    HMENU menu = form.Menu(popup.name);
    ASSERT_NE(menu, nullptr) << popup.name;
    int shown = 0;
    for (const MenuItem& item : popup.items) {
      if (!item.visible) {
        if (!item.name.empty()) {
          EXPECT_EQ(MenuText(menu, form.MenuCommand(item.name)), "") << item.name;
        }
        continue;
      }
      ++shown;
      if (!item.IsSeparator() && !item.IsSubmenu()) {
        EXPECT_EQ(MenuText(menu, form.MenuCommand(item.name)), item.caption) << item.name;
      }
    }
    EXPECT_EQ(GetMenuItemCount(menu), shown) << popup.name;
  }
  HMENU tray = form.Menu("popMenu");
  EXPECT_EQ(MenuText(tray, form.MenuCommand("MnZDExit")), "退出(&E)");
  EXPECT_EQ(MenuText(tray, form.MenuCommand("MnOpenZapdock")), "打开Zapdock(&S)");
  EXPECT_EQ(MenuText(form.Menu("PmDocTree"), form.MenuCommand("N23")), "折叠全部");
}

TEST_F(MainWindowTest, EnglishBuildTexts) {
  TFrmMain& form = Open(2);
  EXPECT_EQ(form.caption(), "MRX Zapdock3.5");
  EXPECT_EQ(MenuText(form.Menu("popMenu"), form.MenuCommand("MnZDExit")), "exit (&E)");
  EXPECT_EQ(WindowTextUtf8(form.Control("CbZDOnTop")), "Form always on top");
  EXPECT_EQ(MenuText(form.Menu("PmDocTree"), form.MenuCommand("N23")),
            "折叠全部");  // not in the tables
  form.TimerFirstRunTimer();
  EXPECT_EQ(WindowTextUtf8(form.Control("LbZDCheckTime")), "refresh once every 120 seconds");
  answer_ = IDNO;
  form.MnZDExitClick();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], "tips|Confirm to exit system?");
}

TEST_F(MainWindowTest, TraditionalBuildReadsTheSharedTextsFromTheResource) {
  TFrmMain& form = Open(1);
  answer_ = IDNO;
  form.MnZDExitClick();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("要退出系統嗎"), std::string::npos) << boxes_[0];
  EXPECT_EQ(WindowTextUtf8(form.Control("MnZDAutoRun")), "開機時自動啟動");
}

TEST_F(MainWindowTest, ConfigurationFolderOnTheLastFixedDrive) {
  Open();
  EXPECT_EQ(form_->store().ConfigDir, "D:\\MrxConfig\\");
  EXPECT_TRUE(files_.DirectoryExists("D:\\MrxConfig\\"));
  EXPECT_TRUE(files_.IsHidden("D:\\MrxConfig\\"));
  EXPECT_TRUE(boxes_.empty());
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
  files_.AddDirectory("D:\\MrxConfig\\");
  files_.PutFile("D:\\MrxConfig\\defualt.ini",
                 "[default]\r\nShowFavEdit=0\r\nCbRefresh=1\r\nControlIndex=4\r\n"
                 "CheckDocInterval=30\r\nRunSelectDoc=1\r\n");
  files_.PutFile("D:\\MrxConfig\\fav.dat", "C:\\a*|*A\r\n\r\nC:\\b*|*B\r\n");
  TFrmMain& form = Open();
  EXPECT_FALSE(form.first_load_done());
  form.TimerFirstRunTimer();
  EXPECT_TRUE(form.first_load_done());
  EXPECT_FALSE(Shown(form.Control("PnlNewFav")));
  EXPECT_FALSE(IsChecked(form.Control("CbFavEdit")));
  EXPECT_TRUE(IsChecked(form.Control("CbZDRefresh")));
  EXPECT_TRUE(IsChecked(form.Control("CbAutoRunDocs")));
  EXPECT_FALSE(IsChecked(form.Control("CbQueryAutoRunDoc")));
  EXPECT_EQ(form.ActivePageIndex(), 4);
  EXPECT_EQ(GetScrollPos(form.Control("SbCheckTime"), SB_CTL), 60);
  EXPECT_EQ(WindowTextUtf8(form.Control("LbZDCheckTime")), "每60秒刷新一次");
  // The list box mirrors the list, blank line dropped from both.
  EXPECT_EQ(form.store().MyLoveList.size(), 2u);
  EXPECT_EQ(SendMessageW(form.Control("LbMyLove"), LB_GETCOUNT, 0, 0), 2);
  wchar_t row[16] = {};
  SendMessageW(form.Control("LbMyLove"), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(row));
  EXPECT_STREQ(row, L"B");
}

TEST_F(MainWindowTest, ControlsWriteTheirKeysAtOnce) {
  TFrmMain& form = Open();
  form.TimerFirstRunTimer();
  form.Click("CbAutoRunDocs");
  EXPECT_NE(File("defualt.ini").find("RunSelectDoc=1"), std::string::npos) << File("defualt.ini");
  form.Click("CbQueryAutoRunDoc");
  EXPECT_NE(File("defualt.ini").find("QueryAutoRunDoc=1"), std::string::npos);
  form.Click("CbZDRefresh");
  EXPECT_NE(File("defualt.ini").find("CbRefresh=1"), std::string::npos);
}

TEST_F(MainWindowTest, ClosingWritesEveryFile) {
  files_.AddDirectory("D:\\MrxConfig\\");
  files_.PutFile("D:\\MrxConfig\\lr.dat", "C:\\x.exe\r\n");
  TFrmMain& form = Open();
  form.TimerFirstRunTimer();
  AddMyLove(form.store().MyLoveList, "file:///C:/My Docs/a.txt", "file:///C:/My Docs/a.txt");
  AddMyRecent(form.store().MyRecentList, "C:\\r", "最近");
  SetWindowTextUtf8(form.Control("MmNote"), "note 笔记");
  EXPECT_EQ(SendMessageW(form.Control("LbMyLove"), LB_GETCOUNT, 0, 0), 1);
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
  TFrmMain& form = Open();
  form.TimerFirstRunTimer();
  AddMyRecent(form.store().MyRecentList, "C:\\r", "r");
  Close();
  EXPECT_EQ(File("fav.dat"), "<missing>");
  EXPECT_EQ(File("rec.dat"), "C:\\r*|*r\r\n");
  EXPECT_NE(File("defualt.ini"), "<missing>");
}

TEST_F(MainWindowTest, ExitBeforeTheFirstLoadKeepsTheListFiles) {
  files_.AddDirectory("D:\\MrxConfig\\");
  files_.PutFile("D:\\MrxConfig\\rec.dat", "C:\\keep*|*keep\r\n");
  files_.PutFile("D:\\MrxConfig\\run.dat", "C:\\run*|*run\r\n");
  Open();
  Close();
  EXPECT_EQ(File("rec.dat"), "C:\\keep*|*keep\r\n");
  EXPECT_EQ(File("run.dat"), "C:\\run*|*run\r\n");
}

TEST_F(MainWindowTest, ExitCommandAsksFirst) {
  files_.AddDirectory("D:\\MrxConfig\\");
  files_.PutFile("D:\\MrxConfig\\lr.dat", "C:\\a.exe\r\nfile:///C:/Work\r\n");
  TFrmMain& form = Open();
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
  TFrmMain& form = Open();
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, sw - 1005);
  EXPECT_EQ(r.top, sh - 645);
  EXPECT_EQ(r.right - r.left, 1000);
  EXPECT_EQ(r.bottom - r.top, 600);
  form.ShowAnimated();
  SendMessageW(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.top, kMinimisedTop);
  EXPECT_FALSE(IsIconic(form.hwnd()));
  form.Click("MnOpenZapdock");
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, sw - 1000 - 20);
  EXPECT_EQ(r.top, sh - 600 - 50);
  EXPECT_TRUE(Shown(form.hwnd()));
}

// Wine 8 does not reflect HWND_TOPMOST in the extended style, so only the
// part that is ours is checked here: the choice is not kept across starts.
TEST_F(MainWindowTest, StayOnTopIsNotKept) {
  TFrmMain& form = Open();
  form.Click("CbZDOnTop");
  EXPECT_TRUE(IsChecked(form.Control("CbZDOnTop")));
  Close();
  EXPECT_EQ(File("defualt.ini").find("OnTop"), std::string::npos);
  TFrmMain& again = Open();
  EXPECT_FALSE(IsChecked(again.Control("CbZDOnTop")));
}

TEST_F(MainWindowTest, LogOnEntryIsTickedAndRefreshed) {
  registry_.WriteString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock", "C:\\old\\zapdock.exe");
  TFrmMain& form = Open();
  EXPECT_TRUE(IsChecked(form.Control("MnZDAutoRun")));
  EXPECT_EQ(registry_.ReadString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock"),
            "\"C:\\Program Files\\Zapdock\\zapdock.exe\"");
  form.Click("MnZDAutoRun");
  EXPECT_EQ(registry_.ReadString(RegRoot::kLocalMachine, kRunKey, "MRXZapdock"), std::nullopt);
}

TEST_F(MainWindowTest, FavouritesEditBarFollowsCheckBoxAndMenu) {
  TFrmMain& form = Open();
  form.TimerFirstRunTimer();
  EXPECT_TRUE(IsChecked(form.Control("CbFavEdit")));
  form.Click("MnShowFavEdit");
  EXPECT_FALSE(IsChecked(form.Control("CbFavEdit")));
  EXPECT_FALSE(Shown(form.Control("PnlNewFav")));
  form.Click("CbFavEdit");
  EXPECT_TRUE(GetMenuState(form.Menu("PmMyFav"), form.MenuCommand("MnShowFavEdit"), MF_BYCOMMAND) &
              MF_CHECKED);
  Close();
  EXPECT_NE(File("defualt.ini").find("ShowFavEdit=1"), std::string::npos);
}

}  // namespace
}  // namespace zd
