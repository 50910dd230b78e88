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

// The mouse as the user moves it, through the same queue: a button pressed
// and released, or the wheel turned one notch.
void Mouse(DWORD down, DWORD up, DWORD wheel = 0) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = down;
  input[0].mi.mouseData = wheel;
  input[1].mi.dwFlags = up;
  SendInput(up ? 2 : 1, input, sizeof(INPUT));
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
  const std::pair<const char*, std::function<void()>> others[] = {
      {"Ctrl+C", [] { Tap('C'); }},
      {"Ctrl+click", [] { Mouse(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }},
      {"Ctrl+right click", [] { Mouse(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }},
      {"Ctrl+wheel", [] { Mouse(MOUSEEVENTF_WHEEL, 0, WHEEL_DELTA); }},
  };
  SetCursorPos(0, 0);  // clicks land on no window of the test
  for (const auto& [what, other] : others) {
    for (int twice = 0; twice < 2; ++twice) {
      Press(VK_CONTROL, false);
      other();
      Press(VK_CONTROL, true);
    }
    EXPECT_FALSE(PumpFor(1500, [&] { return IsWindowVisible(form.hwnd()) != FALSE; })) << what;
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
  struct Case {
    HotkeyChoice choice;
    UINT modifiers, vk;
  };
  const Case cases[] = {{HotkeyChoice::kAltSpace, MOD_ALT, VK_SPACE},
                        {HotkeyChoice::kCtrlAltZ, MOD_CONTROL | MOD_ALT, 'Z'}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.choice));
    const std::string stored = "Hotkey=" + std::to_string(static_cast<int>(c.choice));
    Store("defualt.ini", "[default]\r\n" + stored + "\r\n");
    // The other program.
    HWND other = CreateWindowW(L"STATIC", L"other", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(RegisterHotKey(other, 7, c.modifiers, c.vk));
    boxes_.clear();
    MainWindow& form = OpenLoaded();
    const lang::InterfaceTexts& t = lang::Texts();
    EXPECT_EQ(boxes_, V{"提示|" + lang::FormatText(t.HotkeyTaken, HotkeyText(c.choice, t))});
    EXPECT_EQ(form.hotkey(), HotkeyChoice::kOff);
    EXPECT_EQ(ShownSettings().CmbHotkey.Selected(), static_cast<int>(HotkeyChoice::kOff));
    Close();
    EXPECT_NE(File("defualt.ini").find(stored), std::string::npos);
    // Free again: the next start takes it, silently.
    UnregisterHotKey(other, 7);
    DestroyWindow(other);
    boxes_.clear();
    EXPECT_EQ(OpenLoaded().hotkey(), c.choice);
    EXPECT_EQ(ShownSettings().CmbHotkey.Selected(), static_cast<int>(c.choice));
    EXPECT_TRUE(boxes_.empty());
    Close();
  }
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

// Answers a modal window from inside its loop: `step` runs on a timer of
// this thread until it says it has answered.
class AnswerInsideLoop {
 public:
  explicit AnswerInsideLoop(std::function<bool()> step) {
    step_ = std::move(step);
    id_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~AnswerInsideLoop() {
    KillTimer(nullptr, id_);
    step_ = nullptr;
  }
  AnswerInsideLoop(const AnswerInsideLoop&) = delete;
  AnswerInsideLoop& operator=(const AnswerInsideLoop&) = delete;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (step_ && step_()) step_ = nullptr;
  }
  static inline std::function<bool()> step_;
  UINT_PTR id_ = 0;
};

TEST_F(LauncherTest, TheSessionEntryReopensWhatLrDatHoldsAsTheUserTicksIt) {
  Store("lr.dat",
        "C:\\Tools\\Editor.exe\r\nfile:///C:/Work/Proj\r\nhttp://example.com/x\r\n"
        "c:\\tools\\editor.exe\r\nC:\\Gone\\a.exe\r\n"
        "C:\\Program Files\\Zapdock\\zapdock.exe\r\n"
        "C:\\Windows\\System32\\mmc.exe\r\nC:\\Windows\\System32\\rundll32.exe\r\n"
        "\\\\server\\share\\plan.doc\r\n");
  launcher_.AddFile("C:\\Tools\\Editor.exe");
  launcher_.AddFile("C:\\Program Files\\Zapdock\\zapdock.exe");
  launcher_.AddFile("C:\\Windows\\System32\\mmc.exe");
  launcher_.AddFile("C:\\Windows\\System32\\rundll32.exe");
  launcher_.AddFolder("C:\\Work\\Proj");
  MainWindow& form = OpenLoaded();
  const V rows = {"Editor.exe - C:\\Tools\\Editor.exe", "Proj - C:\\Work\\Proj",
                  "http://example.com/x", "plan.doc - \\\\server\\share\\plan.doc"};
  const V opened = {"execute verb=open file=C:\\Tools\\Editor.exe params= show=1",
                    "execute verb=open file=C:\\Work\\Proj\\ params= show=1",
                    "execute verb=open file=http://example.com/x params= show=1",
                    "execute verb=open file=\\\\server\\share\\plan.doc params= show=1"};
  // The rows as another program reads them, and which are ticked.
  struct Seen {
    V rows;
    std::vector<bool> ticked;
    std::string question;
  };
  auto look = [](LastSessionWindow& w) {
    Seen seen;
    const HWND list = w.LbSessionDocs.hwnd();
    for (int i = 0; i < w.LbSessionDocs.Count(); ++i) {
      seen.rows.push_back(w.LbSessionDocs.Row(i));
      seen.ticked.push_back(SendMessageW(list, LB_GETSEL, i, 0) > 0);
    }
    seen.question = w.LblSessionQuestion.Text();
    return seen;
  };
  // Answers with `keys` pressed in the list first, then `button`.
  auto answer = [&](Seen& seen, std::vector<WPARAM> keys, bool open) {
    return AnswerInsideLoop([&, keys, open] {
      LastSessionWindow* w = form.last_session_window();
      if (!w || !IsWindowVisible(w->hwnd())) return false;
      const HWND list = w->LbSessionDocs.hwnd();
      SetFocus(list);
      for (const WPARAM key : keys) Key(list, key);
      seen = look(*w);
      SendMessageW((open ? w->BtnOpenSession : w->BtnCancelSession).hwnd(), BM_CLICK, 0, 0);
      return true;
    });
  };

  // From the tray menu: every place offered and ticked, each opened once;
  // the hosts and this program are not offered.
  Seen seen;
  {
    auto answering = answer(seen, {}, true);
    Choose(Ui::MnRestoreLastSession);
  }
  EXPECT_EQ(seen.rows, rows);
  EXPECT_EQ(seen.ticked, std::vector<bool>(rows.size(), true));
  EXPECT_EQ(seen.question, "要打开上次关闭时打开的4个文档吗？");
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(launcher_.calls(), opened);
  // A tick taken off by keys leaves that one out.
  launcher_.ClearLog();
  {
    auto answering = answer(seen, {VK_DOWN, VK_SPACE}, true);
    Click(ShownSettings().BtnRestoreLastSession);
  }
  EXPECT_EQ(seen.ticked, std::vector<bool>({true, false, true, true}));
  EXPECT_EQ(seen.question, "要打开上次关闭时打开的3个文档吗？");
  EXPECT_EQ(launcher_.calls(), V({opened[0], opened[2], opened[3]}));
  // Cancelled: nothing.
  launcher_.ClearLog();
  {
    auto answering = answer(seen, {}, false);
    Choose(Ui::MnRestoreLastSession);
  }
  EXPECT_EQ(seen.ticked, std::vector<bool>(rows.size(), true)) << "asked afresh";
  EXPECT_TRUE(launcher_.calls().empty());
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
