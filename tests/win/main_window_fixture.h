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

#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "platform/errors.h"
#include "platform/fake_files.h"
#include "platform/fake_registry.h"
#include "platform/fake_shell_launcher.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/registry.h"
#include "platform/text_codec.h"
#include "platform/win_util_win.h"
#include "store/program_files.h"
#include "tests/win/helper_process.h"
#include "tests/win/ui_drive.h"
#include "tests/win/window_input.h"

namespace zd {

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    InitProgramValues();
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
    config_.reset();  // lets go of the folder: this start takes it again
    config_ = std::make_unique<ConfigDirChoice>(ChooseConfigDir(files_, &registry_));
    MainWindowDeps deps;
    deps.config = config_.get();
    deps.files = &files_;
    deps.codec = codec_.get();
    deps.registry = &registry_;
    deps.windows = use_real_windows_ ? nullptr : &windows_;
    deps.shell = &shell_;
    deps.user_folders = user_folders_;
    deps.launcher = launcher_in_use_ ? launcher_in_use_ : &launcher_;
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
    // The tests run the first load themselves (OpenLoaded, TimerFirstRunTimer),
    // at the moment they choose, not when the window's timer comes.
    if (form_ && !keep_first_run_timer_) KillTimer(form_->hwnd(), MainWindow::kTimerFirstRun);
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
  // Where the window's top edge stands on the screen (kMinimisedTop: out of sight).
  LONG Top() const {
    RECT r{};
    GetWindowRect(form_->hwnd(), &r);
    return r.top;
  }
  // A menu entry chosen.
  void Choose(Ui entry) { SendMessageW(form_->hwnd(), WM_COMMAND, Menus::CommandOf(entry), 0); }
  // The tab of a page chosen on the strip, as the control reports it.
  void ChooseTab(int page) {
    LauncherPage& l = form_->launcher();
    l.InnerTabs.Select(TabIndexOfPage(page));
    NMHDR change{l.InnerTabs.hwnd(), static_cast<UINT_PTR>(GetDlgCtrlID(l.InnerTabs.hwnd())),
                 static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(form_->hwnd(), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
  }
  // The tree of a page (0 web, 1 programs, 2 folders, 3 files) as the user finds it:
  // the page shown first, since a tree control holds its items from the first
  // time it is shown on.
  HWND ShownTree(int page) {
    LauncherPage& l = form_->launcher();
    l.ShowPage(page);
    return page == 1   ? l.TVApp.hwnd()
           : page == 2 ? l.TVPath.hwnd()
           : page == 3 ? l.TVFile.hwnd()
                       : l.TVDoc.hwnd();
  }
  // The settings page as the user finds it: shown first (its controls are
  // made the first time it is shown).
  SettingsPage& ShownSettings() {
    form_->SetActivePage(kSettingsPageIndex);
    return form_->launcher().settings;
  }
  // What the search list shows: the text each of its rows draws.
  std::vector<std::string> ListedRows() {
    LauncherPage& l = form_->launcher();
    std::vector<std::string> rows;
    for (int i = 0; i < l.LbSearchResult.Count(); ++i) {
      rows.push_back(l.search_row().search().results().RowText(static_cast<size_t>(i)));
    }
    return rows;
  }

  // The rows of a list box as another program reads them (a screen reader,
  // say): LB_GETCOUNT and LB_GETTEXT from a process of its own, while this
  // one serves its messages. One row a line; "<LB_ERR>" for a row without text.
  std::vector<std::string> RowsReadByAnotherProgram(HWND list) {
    return ReadByAnotherProgram(L"read-list", list);
  }
  // The items of a tree control as another program reads them: TVM_GETNEXTITEM
  // and TVM_GETITEMW into memory of this process. "<two spaces a level>caption|image".
  std::vector<std::string> TreeRowsReadByAnotherProgram(HWND tree) {
    return ReadByAnotherProgram(L"read-tree", tree);
  }
  std::vector<std::string> ReadByAnotherProgram(const wchar_t* mode, HWND list) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring out =
        std::wstring(temp) + L"zd_rows_" + std::to_wstring(GetCurrentProcessId());
    ChildProcess reader(HelperExePath(), std::wstring(mode) + L" " +
                                             std::to_wstring(reinterpret_cast<uintptr_t>(list)) +
                                             L" \"" + out + L"\"");
    if (!reader.started()) return {"<no reader>"};
    // Each row it reads is a message to serve here: wait by the clock.
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!reader.WaitForExit(0) && GetTickCount64() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      Pump();
    }
    DWORD code = 1;
    if (!reader.WaitForExit(0, &code) || code != 0) return {"<reader failed>"};
    std::string text;
    HANDLE file =
        CreateFileW(out.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char buffer[65536];
      DWORD read = 0;
      while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        text.append(buffer, read);
      }
      CloseHandle(file);
    }
    DeleteFileW(out.c_str());
    std::vector<std::string> rows;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
      rows.push_back(text.substr(start, end - start));
    }
    return rows;
  }

  // A file of the configuration folder as an earlier run left it.
  void Store(const std::string& name, std::string content) {
    files_.AddDirectory("D:\\MrxConfig\\");
    files_.PutFile("D:\\MrxConfig\\" + name, std::move(content));
  }
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
  ShellLauncher* launcher_in_use_ = nullptr;  // unset: launcher_
  bool use_real_windows_ = false;
  bool keep_first_run_timer_ = false;  // the window runs its first load by itself
  bool add_tray_icon_ = false;         // a real notification-area icon
  // Where the browsers' files are looked for; unset: the system's folders.
  std::optional<UserFolders> user_folders_;
  // Unset: the system's web browser control (without OLE in the tests, none).
  std::function<std::unique_ptr<BrowserControl>()> make_browser_;
  std::unique_ptr<AnsiCodec> codec_;
  std::unique_ptr<ConfigDirChoice> config_;  // outlives form_
  std::unique_ptr<MainWindow> form_;
  std::vector<std::string> boxes_;
  int answer_ = IDYES;
  bool expect_caught_ = false;
  const uint64_t caught_at_start_ = CaughtFailureCount();
};

}  // namespace zd
