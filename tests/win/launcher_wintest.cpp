// The launcher in the real window under Wine: the global hotkey (keys sent
// through the system's input, seen by the keyboard hook), search results
// ranked by what was picked, and the last session reopened.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "mainwin/main_window_win.h"
#include "platform/wide_win.h"
#include "store/text_file.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

// Keys as the keyboard makes them: through the system's input queue, where
// the hook sees them whatever window has the focus.
void Press(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}

void Tap(WORD vk) {
  Press(vk, false);
  Press(vk, true);
}

// The mouse as the user moves it, through the same queue.
void Mouse(DWORD flags, DWORD data = 0) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  input.mi.mouseData = data;
  SendInput(1, &input, sizeof(input));
}

// The selection of an edit control: first and past-last character.
std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD first = 0, last = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  return {first, last};
}

class LauncherTest : public MainWindowFixture {
 protected:
  // Three folders whose names "bg" spells whole, remembered in this order.
  MainWindow& OpenWithFolders() {
    for (const char* folder : {"白鸽", "包裹", "报告"}) {
      shell_.AddWindow(std::string("file:///D:/资料/") + folder);
      launcher_.AddFolder(std::string("D:\\资料\\") + folder);
    }
    launcher_.AddFolder("D:\\资料");
    MainWindow& form = OpenLoaded();
    Choose(Ui::MnRefresh);
    Pump();
    launcher_.ClearLog();
    return form;
  }
};

TEST_F(LauncherTest, CtrlPressedTwiceShowsTheWindowWithTheBoxFocused) {
  MainWindow& form = OpenLoaded();
  ASSERT_EQ(form.hotkey(), HotkeyChoice::kDoubleCtrl) << "the default";
  const HWND box = form.launcher().EdtSearch.hwnd();
  form.launcher().EdtSearch.SetText("last words");
  ShowWindow(form.hwnd(), SW_HIDE);
  Pump();

  // Ctrl with another key, a click or the wheel, twice, is no double tap:
  // Ctrl+C, a multiple selection in Explorer, a zoom.
  SetCursorPos(0, 0);  // clicks land on no window of the test
  for (const auto& other : std::vector<std::function<void()>>{
           [] { Tap('C'); }, [] { Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP); },
           [] { Mouse(MOUSEEVENTF_WHEEL, WHEEL_DELTA); }}) {
    for (int twice = 0; twice < 2; ++twice)
      Press(VK_CONTROL, false), other(), Press(VK_CONTROL, true);
    EXPECT_FALSE(PumpFor(1500, [&] { return IsWindowVisible(form.hwnd()) != FALSE; }));
    ShowWindow(form.hwnd(), SW_HIDE);
  }

  Tap(VK_CONTROL);
  Tap(VK_CONTROL);
  ASSERT_TRUE(PumpFor(2000, [&] { return IsWindowVisible(form.hwnd()) != FALSE; }));
  EXPECT_EQ(GetFocus(), box);
  EXPECT_EQ(Selection(box), std::make_pair(DWORD{0}, DWORD{10})) << "the old text selected";
  EXPECT_TRUE(form.Summoned());
  // Escape sends it away again.
  Key(box, VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  EXPECT_FALSE(form.Summoned());

  // Switched off on the settings page: the keys go by, and the choice is kept.
  SettingsPage& s = ShownSettings();
  s.CmbHotkey.Select(static_cast<int>(HotkeyChoice::kOff));
  SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(s.CmbHotkey.hwnd()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(s.CmbHotkey.hwnd()));
  EXPECT_EQ(form.hotkey(), HotkeyChoice::kOff);
  Tap(VK_CONTROL);
  Tap(VK_CONTROL);
  EXPECT_FALSE(PumpFor(2000, [&] { return IsWindowVisible(form.hwnd()) != FALSE; }));
  EXPECT_NE(File("defualt.ini").find("Hotkey=0"), std::string::npos);
  Close();
  EXPECT_EQ(OpenLoaded().hotkey(), HotkeyChoice::kOff) << "after a restart";
  EXPECT_EQ(ShownSettings().CmbHotkey.Selected(), 0);
}

// A combination another program holds at start: named once, shown "off"
// (also after the first load, which reads the settings again), and the
// stored choice kept for a start when it is free.
TEST_F(LauncherTest, AHotkeyTakenAtStartIsNamedOnceAndShownOff) {
  Store("defualt.ini", "[default]\r\nHotkey=3\r\n");  // Alt+Space
  HWND other = CreateWindowW(L"STATIC", L"other program", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(other, 7, MOD_ALT, VK_SPACE));
  const lang::InterfaceTexts& t = lang::Texts();
  for (const bool taken : {true, false}) {
    boxes_.clear();
    const HotkeyChoice in_use = OpenLoaded().hotkey();
    EXPECT_EQ(in_use, taken ? HotkeyChoice::kOff : HotkeyChoice::kAltSpace);
    EXPECT_EQ(ShownSettings().CmbHotkey.Selected(), static_cast<int>(in_use));
    EXPECT_EQ(boxes_, taken ? V{"提示|" + lang::FormatText(t.HotkeyTaken, t.HotkeyAltSpace)} : V{});
    Close();
    EXPECT_NE(File("defualt.ini").find("Hotkey=3"), std::string::npos);
    UnregisterHotKey(other, 7);  // free again for the next start
  }
  DestroyWindow(other);
}

TEST_F(LauncherTest, BgListsTheReportFirstAfterItWasPickedTwice) {
  MainWindow& form = OpenWithFolders();
  LauncherPage& l = form.launcher();
  const HWND box = l.EdtSearch.hwnd(), list = l.LbSearchResult.hwnd();
  const std::string report = "d:\\资料\\报告";
  Type(box, "bg");
  ASSERT_EQ(ListedRows(), V({"d:\\资料\\白鸽", "d:\\资料\\包裹", report})) << "oldest first";
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0) << "the best row is selected";

  // Picked from the list by keys...
  Key(box, VK_DOWN);
  Key(list, VK_DOWN);
  Key(list, VK_DOWN);
  Key(list, VK_RETURN);
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=D:\\资料\\报告\\ params= show=1"});
  // ... the empty box shows it as the most used, and "bg" lists it first.
  l.EdtSearch.SetText("");
  EXPECT_EQ(ListedRows(), V{report});
  Type(box, "bg");
  ASSERT_EQ(ListedRows().front(), report);
  // Picked again with Enter in the box: the row selected opens.
  launcher_.ClearLog();
  Key(box, VK_RETURN);
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=D:\\资料\\报告\\ params= show=1"});
  EXPECT_NE(DecodeText(File("picks.dat"), *codec_).find("bg\tD:\\资料\\报告"), std::string::npos);

  // After a restart, in the picks' own file.
  Close();
  OpenLoaded();
  Type(form_->launcher().EdtSearch.hwnd(), "bg");
  EXPECT_EQ(ListedRows(), V({report, "d:\\资料\\白鸽", "d:\\资料\\包裹"}));
  // The history's order is a setting away.
  Click(ShownSettings().CbRankSearch);
  form_->launcher().EdtSearch.SetText("");
  Type(form_->launcher().EdtSearch.hwnd(), "bg");
  EXPECT_EQ(ListedRows(), V({"d:\\资料\\白鸽", "d:\\资料\\包裹", report}));
  EXPECT_NE(File("defualt.ini").find("RankSearch=0"), std::string::npos);
}

// The question answered from inside its modal loop, by a timer: `keys` in
// the list, then "打开" or "取消"; the rows it showed and their ticks kept.
struct SessionAnswer {
  MainWindow* form;
  std::vector<WPARAM> keys;
  bool open;
  std::vector<std::string> rows;
  std::string ticks;  // "1" ticked, "0" left out
} g_answer;
void CALLBACK AnswerSession(HWND, UINT, UINT_PTR id, DWORD) {
  LastSessionWindow* w = g_answer.form->last_session_window();
  if (!w || !IsWindowVisible(w->hwnd())) return;
  KillTimer(nullptr, id);
  for (const WPARAM key : g_answer.keys) Key(w->LbSessionDocs.hwnd(), key);
  for (int i = 0; i < w->LbSessionDocs.Count(); ++i) {
    g_answer.rows.push_back(w->LbSessionDocs.Row(i));
    g_answer.ticks += SendMessageW(w->LbSessionDocs.hwnd(), LB_GETSEL, i, 0) > 0 ? '1' : '0';
  }
  SendMessageW((g_answer.open ? w->BtnOpenSession : w->BtnCancelSession).hwnd(), BM_CLICK, 0, 0);
}

TEST_F(LauncherTest, TheSessionEntryReopensWhatLrDatHoldsAsTheUserTicksIt) {
  Store("lr.dat",
        "C:\\Tools\\Editor.exe\r\nfile:///C:/Work/Proj\r\nhttp://example.com/x\r\n"
        "c:\\tools\\editor.exe\r\nC:\\Gone\\a.exe\r\nC:\\Program Files\\Zapdock\\zapdock.exe\r\n"
        "C:\\Windows\\System32\\mmc.exe\r\n\\\\server\\share\\plan.doc\r\n");
  for (const char* file : {"C:\\Tools\\Editor.exe", "C:\\Program Files\\Zapdock\\zapdock.exe",
                           "C:\\Windows\\System32\\mmc.exe"}) {
    launcher_.AddFile(file);
  }
  launcher_.AddFolder("C:\\Work\\Proj");
  MainWindow& form = OpenLoaded();
  V opened;
  for (const char* file : {"C:\\Tools\\Editor.exe", "C:\\Work\\Proj\\", "http://example.com/x",
                           "\\\\server\\share\\plan.doc"}) {
    opened.push_back(std::string("execute verb=open file=") + file + " params= show=1");
  }
  // Every place offered ticked (not this program, not a host), from the tray
  // menu or the settings page; a tick taken off by keys leaves one out;
  // cancel opens nothing.
  struct Case {
    std::vector<WPARAM> keys;
    bool open;
    std::string ticks;
    V calls;
  } const cases[] = {{{}, true, "1111", opened},
                     {{VK_DOWN, VK_SPACE}, true, "1011", {opened[0], opened[2], opened[3]}},
                     {{}, false, "1111", {}}};
  for (const Case& c : cases) {
    launcher_.ClearLog();
    g_answer = {&form, c.keys, c.open, {}, {}};
    SetTimer(nullptr, 0, 20, AnswerSession);
    c.open ? Choose(Ui::MnRestoreLastSession) : Click(ShownSettings().BtnRestoreLastSession);
    EXPECT_EQ(g_answer.rows, V({"Editor.exe - C:\\Tools\\Editor.exe", "Proj - C:\\Work\\Proj",
                                "http://example.com/x", "plan.doc - \\\\server\\share\\plan.doc"}));
    EXPECT_EQ(g_answer.ticks, c.ticks);
    EXPECT_EQ(launcher_.calls(), c.calls);
  }
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(MenuText(form.menus().Get(Ui::popMenu), Menus::CommandOf(Ui::MnRestoreLastSession)),
            "恢复上次打开的文档");

  // Nothing was open: said so, nothing opened.
  files_.RemoveFile("D:\\MrxConfig\\lr.dat");
  boxes_.clear();
  launcher_.ClearLog();
  Close();
  OpenLoaded();
  Choose(Ui::MnRestoreLastSession);
  EXPECT_EQ(boxes_, V{"提示|" + lang::Texts().LastSessionEmpty});
  EXPECT_TRUE(launcher_.calls().empty());
}

TEST_F(LauncherTest, TheLauncherSpeaksEachLanguage) {
  MainWindow& form = Open(2);
  EXPECT_EQ(MenuText(form.menus().Get(Ui::popMenu), Menus::CommandOf(Ui::MnRestoreLastSession)),
            "Reopen the last session");
  SettingsPage& s = ShownSettings();
  EXPECT_EQ(s.BtnRestoreLastSession.Text(), "Reopen the last session");
  EXPECT_EQ(s.CmbHotkey.Count(), kHotkeyChoiceCount);
  EXPECT_EQ(s.CmbHotkey.ItemText(s.CmbHotkey.Selected()), "Ctrl pressed twice");
  Open(1);
  EXPECT_EQ(ShownSettings().CmbHotkey.ItemText(2), "連按兩次 Shift");
}

}  // namespace
}  // namespace zd
