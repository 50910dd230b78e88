// A main window on fakes for the Windows tests: files, registry, desktop
// windows and shell windows in memory, message boxes answered by the test.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mainwin/main_window_win.h"
#include "platform/errors.h"
#include "platform/fake_files.h"
#include "platform/fake_shell_launcher.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "platform/win_util_win.h"
#include "store/AppParams.h"

namespace zd {

inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitAppParams();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    files_.AddDrive("C:\\", DriveKind::kFixed);
    files_.AddDrive("D:\\", DriveKind::kFixed);
    files_.AddDrive("E:\\", DriveKind::kCdRom);
    codec_ = MakeCodec(936);
  }
  void TearDown() override {
    form_.reset();
    Pump();
    // A success path catches nothing; a test that makes something fail says so.
    if (!expect_caught_) {
      EXPECT_EQ(CaughtFailureCount(), caught_at_start_) << LastCaughtFailure();
    }
  }

  // A new main window (the previous one, if any, is destroyed first).
  MainWindow& Open(int language = 0) {
    form_.reset();
    MainWindowDeps deps;
    deps.files = &files_;
    deps.codec = codec_.get();
    deps.registry = &registry_;
    deps.windows = use_real_windows_ ? nullptr : &windows_;
    deps.shell = &shell_;
    deps.launcher = &launcher_;
    deps.make_browser = make_browser_;
    deps.language_index = language;
    deps.exe_path = "C:\\Program Files\\Zapdock\\zapdock.exe";
    deps.post_quit_on_destroy = false;
    deps.add_tray_icon = add_tray_icon_;
    deps.message_box = [this](HWND, const std::string& text, const std::string& caption, UINT) {
      boxes_.push_back(caption + "|" + text);
      return answer_;
    };
    form_ = MainWindow::Create(deps);
    EXPECT_NE(form_, nullptr);
    Pump();
    return *form_;
  }
  // Opened and past its first load.
  MainWindow& OpenLoaded(int language = 0) {
    MainWindow& form = Open(language);
    form.TimerFirstRunTimer();
    return form;
  }
  // The title-bar close: the close request, then the window's end.
  void Close() {
    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    Pump();
  }
  // A click as the user makes it: a check box flips, then the window hears of it.
  void Click(const Control& control) {
    const LONG_PTR type = GetWindowLongPtrW(control.hwnd(), GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX) SetChecked(control.hwnd(), !IsChecked(control.hwnd()));
    SendMessageW(form_->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control.hwnd()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control.hwnd()));
  }
  // A menu entry chosen.
  void Choose(Ui entry) { SendMessageW(form_->hwnd(), WM_COMMAND, Menus::CommandOf(entry), 0); }

  std::string File(const std::string& name) {
    // The settings file is written by a thread of its own.
    if (form_ && form_->store().settings) form_->store().settings->WaitForWriterIdle();
    auto it = files_.files().find("D:\\MrxConfig\\" + name);
    return it == files_.files().end() ? std::string("<missing>") : it->second;
  }

  FakeFiles files_;
  FakeRegistry registry_;
  FakeWindowSystem windows_;
  FakeShellWindows shell_;
  FakeShellLauncher launcher_;
  bool use_real_windows_ = false;
  bool add_tray_icon_ = false;  // a real notification-area icon
  // Unset: the system's web browser control (without OLE in the tests, none).
  std::function<std::unique_ptr<BrowserControl>()> make_browser_;
  std::unique_ptr<AnsiCodec> codec_;
  std::unique_ptr<MainWindow> form_;
  std::vector<std::string> boxes_;
  int answer_ = IDYES;
  bool expect_caught_ = false;
  const uint64_t caught_at_start_ = CaughtFailureCount();
};

}  // namespace zd
