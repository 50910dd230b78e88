// What every page of the main window shares: the services of the window that
// hosts it (PageHost), and the base of the page classes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "lang/ui.h"
#include "launch/open_docs.h"
#include "online/online_services_win.h"
#include "platform/browser_control.h"
#include "platform/controls_win.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shared_files.h"
#include "platform/shell_launcher.h"
#include "platform/shell_windows.h"
#include "platform/text_codec.h"
#include "platform/win_util_win.h"
#include "platform/window_system.h"
#include "store/config.h"
#include "tracking/history_edit.h"
#include "tracking/recording.h"
#include "tracking/tracker.h"

namespace zd {

// What the main window is built on; tests give fakes.
struct MainWindowDeps {
  // The configuration folder chosen for this run (ChooseConfigDir), with its
  // lock; it outlives the window, whose exit save writes into it.
  const ConfigDirChoice* config = nullptr;
  Files* files = nullptr;
  const AnsiCodec* codec = nullptr;
  Registry* registry = nullptr;
  // Shows a message box and returns the button pressed (IDYES, ...). Tests
  // answer without a window.
  std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT flags)>
      message_box;
  int language_index = lang::LanguageIndex;
  std::string exe_path;  // written into the log-on entry
  std::string application_title = "MRXZapdock";
  HWND owner = nullptr;  // hidden owner window: no taskbar button
  bool post_quit_on_destroy = true;
  bool add_tray_icon = true;
  // What the refreshes look at: the desktop's windows and the shell's windows.
  WindowSystem* windows = nullptr;
  ShellWindows* shell = nullptr;
  // The browsers' files and where they keep them; unset: the system's.
  SharedFiles* shared_files = nullptr;
  std::optional<UserFolders> user_folders;
  // What the open operations hand documents to: the Windows shell.
  ShellLauncher* launcher = nullptr;
  // Makes the embedded web browser the first time it is needed; unset: the
  // system's web browser control (tests give a fake).
  std::function<std::unique_ptr<BrowserControl>()> make_browser;
  // The global hotkey may be installed (a keyboard hook for the session).
  bool global_hotkey = true;
  // Seconds since 1970, for the search's picks; unset: the system clock.
  std::function<int64_t()> now_seconds;
};

class PageHost {
 public:
  virtual HWND Window() const = 0;
  virtual const MainWindowDeps& Deps() const = 0;
  virtual ControlFactory& Factory() = 0;
  virtual DocStore& Store() = 0;
  virtual DocTracker& Tracker() = 0;
  virtual int ShowMessage(const std::string& text, const std::string& caption, UINT flags) = 0;
  virtual void PopupMenuAt(Ui menu, POINT screen) = 0;
  virtual bool MenuChecked(Ui entry) const = 0;
  virtual void SetMenuChecked(Ui entry, bool checked) = 0;
  virtual void SetMenuVisible(Ui entry, bool visible) = 0;
  // Serves the window messages that are waiting (a long operation lets the
  // window stay responsive).
  virtual void Pump() = 0;
  // Places every control again (a part was shown or hidden).
  virtual void Relayout() = 0;
  // A page made its controls late (when first shown): they get the
  // language's captions and pictures the window gave the others.
  virtual void ControlsMade() = 0;
  // Starts TimerCheckDocs with an interval in seconds; 0 stops it.
  virtual void SetRefreshTimer(int seconds) = 0;
  // Opens a path as the open operations do, without a message when it is missing.
  virtual void OpenPath(const std::string& path) = 0;
  // The open operations and the history's deletions, shared by every page.
  virtual DocOpener& Opener() = 0;
  virtual ShellLauncher& Shell() = 0;
  virtual HistoryEditor& History() = 0;
  // The vendor's services (about box, help, update check); null when none
  // are attached (tests).
  virtual OnlineServices* Online() = 0;
  // The launcher: its hotkey (a HotkeyChoice; false when the system refused
  // it), search results ranked or oldest first, the last session reopened.
  virtual bool SetHotkey(int choice) = 0;
  virtual void SetSearchRanked(bool ranked) = 0;
  virtual void RestoreLastSession() = 0;
  // The window came by the hotkey: Escape, or a document opened from the
  // search, sends it away again (Dismiss).
  virtual bool Summoned() const = 0;
  virtual void Dismiss() = 0;
  // The pause switch, the privacy rules and the browsers' pages.
  virtual Recording* Recorder() = 0;

 protected:
  ~PageHost() = default;
};

class Page {
 public:
  explicit Page(PageHost& host) : host_(host) {}
  virtual ~Page() = default;
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  // The page's own panel.
  Panel sheet;

  // A notification (WM_COMMAND) from a control of this page; true when
  // handled. The page's table (Notify, OnClick) answers first.
  virtual bool OnControlCommand(HWND control, UINT code) {
    for (const Notification& n : notifications_) {
      if (n.code != code || control != n.control->hwnd()) continue;
      // A copy: the handler may change the table.
      const std::function<void()> handler = n.handler;
      handler();
      return true;
    }
    return false;
  }
  virtual bool OnMenuCommand(Ui /*entry*/) { return false; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual bool OnContextMenu(HWND /*target*/, POINT /*screen*/) { return false; }
  // Places the page's controls in a sheet of this size (pixels).
  virtual void Layout(int /*width*/, int /*height*/) {}

 protected:
  // `handler` runs when `control` sends `code`; a click is BN_CLICKED.
  void Notify(const Control& control, UINT code, std::function<void()> handler) {
    notifications_.push_back(Notification{&control, code, std::move(handler)});
  }
  void OnClick(const Control& control, std::function<void()> handler) {
    Notify(control, BN_CLICKED, std::move(handler));
  }

  PageHost& host_;
  int Px(int design_pixels) const { return host_.Factory().Px(design_pixels); }

 private:
  struct Notification {
    const Control* control;
    UINT code;
    std::function<void()> handler;
  };
  std::vector<Notification> notifications_;
};

}  // namespace zd
