// The uninstall mode's window. Its start button closes a
// running Zapdock, gets an administrator's rights when the removal needs
// them, removes what the setup made, and leaves the executable and its folder
// to a script that runs after the process has ended.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lang/service_texts.h"
#include "platform/controls_win.h"
#include "platform/file_removal.h"
#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/processes.h"
#include "platform/registry_keys.h"
#include "platform/shell_folders.h"
#include "platform/window_win.h"
#include "uninstall/removal.h"

namespace zd {

struct UninstallDeps {
  RegistryKeys* registry = nullptr;
  FileRemoval* removal = nullptr;
  ShellFolders* folders = nullptr;
  Files* files = nullptr;
  Processes* processes = nullptr;
  UninstallContext context;
  int language_index = 0;
  // The running program's main window class: that window is closed first.
  std::wstring main_window_class;
  // How long the window waits for it to go (it keeps answering meanwhile).
  int close_wait_ms = 15000;
  // Started elevated by the uninstall itself (HonoursElevatedStart).
  bool elevated_start = false;
  int oem_code_page = 0;               // 0: the system's
  MessageBoxFn message_box;            // empty: a message box at the mouse cursor
  std::function<void()> exit_process;  // empty: ExitProcess
  std::string home_page;
};

class UninstallWindow : public Window {
 public:
  static constexpr wchar_t kClassName[] = L"ZapdockUninstallWindow";
  enum class Outcome {
    kNone,
    kWaitingForClose,  // a running copy was asked to close
    kRemoved,
    kIncomplete,
    kRelaunched,
    kStillRunning,
    kNoScript
  };

  static std::unique_ptr<UninstallWindow> Create(UninstallDeps deps);
  ~UninstallWindow() override;

  Label Picture;
  Label LblAdvice;
  Label LblLatest;  // the link to the vendor's latest programs
  Button BtnStartUnstall, BtnClose;
  Label LblStatus;  // what the window is waiting for, while it waits

  Outcome outcome() const { return outcome_; }
  const RemovalReport& report() const { return report_; }
  // The window's place for a screen of this size (the form's rule).
  static POINT Placement(int screen_w, int screen_h, int window_w, int window_h);

  void BtnStartUnstallClick();
  void BtnCloseClick();
  void Label2MouseDown();

 private:
  explicit UninstallWindow(UninstallDeps deps);
  void OnCreate() override;
  void Layout() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // The running copy's main window (not ours), or null.
  HWND RunningProgram() const;
  // Asks a running copy to close; true when there was one to wait for.
  bool AskRunningProgramToClose();
  void TimerCloseWaitTimer();
  void Remove();
  void SetBusy(bool busy);
  int Message(const std::string& text, UINT flags);
  void Exit();

  static constexpr UINT_PTR kTimerCloseWait = 1;
  static constexpr UINT kCloseWaitTickMs = 100;

  UninstallDeps deps_;
  const lang::ServiceTexts& texts_;
  Outcome outcome_ = Outcome::kNone;
  RemovalReport report_;
  bool busy_ = false;
  UniqueHandle waited_process_;  // the running copy being waited for
  ULONGLONG wait_started_ = 0;
};

// The uninstall mode on the real system: the window and its message loop
// until it closes. `args` are the command-line arguments ("uninstall" first;
// kElevatedOption second when the mode relaunched itself elevated).
int RunUninstallMode(const std::vector<std::string>& args, const std::string& exe_path,
                     const std::wstring& main_window_class);

// A message box whose top-left corner is at the mouse cursor.
int MessageBoxAtCursor(HWND owner, const std::string& text, const std::string& caption, UINT flags);

}  // namespace zd
