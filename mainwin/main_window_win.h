// The main window. It owns the document store for the whole run,
// keeps the lifecycle (creation, first load, session end, exit), routes the
// messages to its pages, and hosts the outer pages: "我的启动" (the launcher
// page) and "我的主页".
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "launch/hotkey.h"
#include "launch/last_session_window_win.h"
#include "mainwin/form_model.h"
#include "mainwin/home_page_win.h"
#include "mainwin/launcher_page_win.h"
#include "mainwin/list_box_mirror_win.h"
#include "mainwin/menus_win.h"
#include "mainwin/page_win.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/keyboard_hook_win.h"
#include "platform/tray_win.h"
#include "platform/window_win.h"
#include "tracking/tracker.h"
#include "tray/recent_menu.h"

namespace zd {

// PageHost::Window() names the window's handle: inside this class the base is zd::Window.
class MainWindow : public zd::Window, public PageHost {
 public:
  static constexpr wchar_t kClassName[] = L"ZapdockMainWindow";
  static constexpr UINT_PTR kTimerCheckDocs = 1;
  static constexpr UINT_PTR kTimerFirstRun = 2;
  static constexpr UINT_PTR kTimerAfterLoad = 3;
  static constexpr UINT_PTR kTimerFadeIn = 4;
  // The fade-in: so many steps, so far apart (a quarter of a second in all).
  static constexpr int kFadeInSteps = 16;
  static constexpr UINT kFadeInStepMs = 16;
  // Posted by the keyboard hook when the hotkey was pressed.
  static constexpr UINT kHotkeyMessage = WM_APP + 8;
  // Posted by the browsers' reader when a read of their files has finished.
  static constexpr UINT kBrowserPagesMessage = WM_APP + 9;
  // Posted by the reader of the shell's Recent items when a read has finished.
  static constexpr UINT kRecentFilesMessage = WM_APP + 10;
  static constexpr int kHotkeyId = 1;

  // Creates the window (running FormCreate); the window is not shown yet.
  static std::unique_ptr<MainWindow> Create(MainWindowDeps deps);
  // The message another start of the program posts to bring this window forward.
  static UINT ShowRequestMessage();
  // What the window answers to it while it is closing (it does not show).
  static constexpr LRESULT kClosingAnswer = 2;

  ~MainWindow() override;

  // Shows the window at once and fades it in without waiting (TimerFadeInTimer).
  void ShowAnimated();
  void TimerFadeInTimer();
  void ShowAtBottomRight();

  TabControl OuterTabs;
  LauncherPage& launcher() { return *launcher_; }
  HomePage& home() { return *home_; }
  Menus& menus() { return menus_; }
  Application& app() { return *app_; }
  DocStore& store() { return app_->store(); }
  DocTracker& tracker() { return app_->tracker(); }
  const std::string& caption() const { return caption_; }

  int ActivePageIndex() const { return launcher_->active_page(); }
  void SetActivePage(int page_index);
  bool first_load_done() const { return app_->load_done(); }
  bool loading() const { return app_->loading(); }
  // Saves and closes as a close does, for an update's setup; during the
  // start-up load the close comes at its end.
  MainWindowClose CloseForUpdate();
  // The first load, normally run by TimerFirstRun once the window is shown.
  void TimerFirstRunTimer();
  // The tray menu's entries of this window.
  void MnZDExitClick();
  void MnOpenZapdockClick() { ShowAtBottomRight(); }
  // What SaveSettings writes, read from the controls.
  WindowSettings CurrentWindowSettings() const;
  // The window's shortcut handler: sees keys before the focused control.
  bool FormShortCut(const MSG& msg);
  // The tray's recent-documents submenu, rebuilt at every right click; a
  // chosen entry opens the document it showed.
  void ShowRecentDocInPopmenu();
  void OpenRecentMenuItem(size_t index);
  // The hotkey: the window shown near the bottom-right corner with the
  // search box focused and its text selected.
  void ShowFromHotkey();
  HotkeyChoice hotkey() const { return hotkey_choice_; }
  static constexpr UINT kFirstRecentCommand = 900;

  // PageHost.
  HWND Window() const override { return hwnd_; }
  const MainWindowDeps& Deps() const override { return deps_; }
  ControlFactory& Factory() override { return factory_; }
  DocStore& Store() override { return app_->store(); }
  DocTracker& Tracker() override { return app_->tracker(); }
  int ShowMessage(const std::string& text, const std::string& caption, UINT flags) override;
  void PopupMenuAt(Ui menu, POINT screen) override;
  bool MenuChecked(Ui entry) const override { return menus_.Checked(entry); }
  void SetMenuChecked(Ui entry, bool checked) override { menus_.SetChecked(entry, checked); }
  void SetMenuVisible(Ui entry, bool visible) override { menus_.SetVisible(entry, visible); }
  void Pump() override { PumpMessages(); }
  void Relayout() override { LayoutControls(); }
  void ControlsMade() override { ApplyControlTexts(); }
  void SetRefreshTimer(int seconds) override;
  void OpenPath(const std::string& path) override { app_->opener().OpenDocPath(path, false); }
  DocOpener& Opener() override { return app_->opener(); }
  ShellLauncher& Shell() override { return app_->launcher(); }
  HistoryEditor& History() override { return app_->history(); }
  OnlineServices* Online() override { return online_; }
  bool SetHotkey(int choice) override;
  void SetSearchRanked(bool ranked) override;
  // "恢复上次打开的文档": one question listing what will open, each with a
  // tick to leave it out, then each ticked one opened once.
  void RestoreLastSession() override;
  // The question, once it has been asked.
  LastSessionWindow* last_session_window() { return last_session_window_.get(); }
  bool Summoned() const override { return summoned_; }
  void Dismiss() override;
  Recording* Recorder() override { return app_->started() ? &app_->recording() : nullptr; }
  // The tray menu's pause switch: nothing new is recorded while it is ticked.
  void MnPauseRecordingClick();
  // The vendor's services move in: their button panel goes into PnlRight,
  // their content page onto "我的主页" (which starts the server search):
  // at once after the first load, else when the queue is first empty after
  // it, or when that tab is chosen earlier. They must outlive the window's
  // use of them (the caller destroys them after the window).
  void AttachOnline(OnlineServices* online);

 private:
  explicit MainWindow(MainWindowDeps deps);
  void OnCreate() override { FormCreate(); }
  void Layout() override { LayoutControls(); }
  // Per-monitor DPI: the tab strips' item sizes follow the new scale.
  void OnRescaled() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

  void FormCreate();
  void CreateTracking();
  void ApplyInterfaceTexts();
  // The captions and pictures of the controls made so far (a page made
  // later gets its own when it is made).
  void ApplyControlTexts();
  void LayoutControls();
  void OnCommand(UINT id, UINT code, HWND control);
  void OnMenuCommand(Ui entry);
  void OuterTabsDrawTab(const DRAWITEMSTRUCT& item);
  void OuterTabsChange();
  void TimerCheckDocsTimer();
  // After the first load, while the queue is empty: the content page made,
  // then the programs' files asked about and their icons read, a few
  // milliseconds at a time.
  void TimerAfterLoadTimer();
  void FillHomePage();
  void PumpMessages();
  // The tracker's pump, after each record of a load or refresh: the queue
  // is looked at once a frame, not once a record.
  void PumpNowAndThen();
  // The icon's callback: an event in lParam (its low word under
  // NOTIFYICON_VERSION_4, with the icon's place in wParam).
  void TrayIconMessage(WPARAM wp, LPARAM lp);
  // The keyboard hook's view of a key, for the double tap.
  void HotkeyKey(UINT vk, bool down, uint32_t time_ms);
  void MinimiseOutOfSight();
  // The placement rule of the monitor the window is on: kept in its work area.
  void PlaceWindow(const WindowRect& wanted);

  // Ending: the close request, the session's end, the window's destruction.
  void FormCloseQuery();
  void OnEndSession();
  void FormDestroy();
  // The exit save (lists, "lr.dat", settings, note), once per run; files
  // that could not be saved are named in one message when `tell_failures`.
  void SaveAtExit(bool tell_failures);

  MainWindowDeps deps_;
  // The system's parts the caller gave none of; they outlive the application.
  std::unique_ptr<SharedFiles> own_shared_files_;
  std::unique_ptr<WindowSystem> own_windows_;
  std::unique_ptr<ShellWindows> own_shell_;
  std::unique_ptr<ShellLauncher> own_launcher_;
  std::string caption_;
  std::unique_ptr<Application> app_;
  Menus menus_;
  std::unique_ptr<LauncherPage> launcher_;
  std::unique_ptr<HomePage> home_;
  std::unique_ptr<ListBoxMirror> run_mirror_;
  std::vector<UniqueBitmap> button_images_;  // alive as long as the buttons show them
  UniqueIcon icon_;
  TrayIcon tray_;
  std::vector<RecentMenuEntry> recent_entries_;
  OnlineServices* online_ = nullptr;
  bool home_fill_pending_ = false;  // the content page waits for the first load
  ULONGLONG last_pump_ = 0;         // GetTickCount64 at the end of the last one
  bool close_after_load_ = false;   // a close asked for during the load
  bool destroyed_ = false;
  bool closing_ = false;
  int fade_step_ = 0;  // the close has begun: a new start must not hand over
  bool config_writable_ = true;
  HotkeyChoice hotkey_choice_ = HotkeyChoice::kOff;
  std::unique_ptr<KeyboardHook> keyboard_hook_;
  std::unique_ptr<RegisteredHotkey> registered_hotkey_;
  std::unique_ptr<LastSessionWindow> last_session_window_;
  DoubleTap double_tap_;
  bool summoned_ = false;  // shown by the hotkey, not since hidden or shown otherwise
};

}  // namespace zd
