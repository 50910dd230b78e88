// TFrmMain: the main window. It owns the document store for the whole run;
// its handlers are thin and call store and core operations.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/lang_tables.h"
#include "mainwin/list_box_mirror_win.h"
#include "mainwin/menu_model.h"
#include "tracking/tree_model.h"
#include "mainwin/tree_view_mirror_win.h"
#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/image_list_win.h"
#include "platform/registry.h"
#include "platform/shell_windows.h"
#include "platform/text_codec.h"
#include "platform/tray_win.h"
#include "platform/window_system.h"
#include "store/config.h"
#include "tracking/tracker.h"

namespace zd {

struct MainWindowDeps {
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
};

class TFrmMain {
 public:
  static constexpr wchar_t kClassName[] = L"ZapdockMainWindow";
  static constexpr UINT_PTR kTimerCheckDocs = 1;
  static constexpr UINT_PTR kTimerFirstRun = 2;
  static constexpr UINT kTabPressMessage = WM_APP + 7;

  static bool RegisterWindowClass(HINSTANCE instance);
  // Creates the window (running FormCreate); the window is not shown yet.
  static std::unique_ptr<TFrmMain> Create(HINSTANCE instance, MainWindowDeps deps);
  // The message another start of the program posts to bring this window forward.
  static UINT ShowRequestMessage();

  ~TFrmMain();
  TFrmMain(const TFrmMain&) = delete;
  TFrmMain& operator=(const TFrmMain&) = delete;

  HWND hwnd() const { return hwnd_; }
  void ShowAnimated();
  void ShowAtBottomRight();

  // Lookups by control name, for the handlers and for tests.
  HWND Control(std::string_view name) const;
  UINT MenuCommand(std::string_view name) const;  // 0 when unknown or hidden
  HMENU Menu(std::string_view name) const;
  const std::vector<PopupMenu>& menus() const { return menus_; }
  DocStore& store() { return store_; }
  const std::string& caption() const { return caption_; }

  int ActivePageIndex() const;
  void SetActivePage(int page_index);
  bool first_load_done() const { return first_load_done_; }
  // Runs the handler of a control or menu entry as a click would.
  void Click(std::string_view name);
  // The first load, normally run by TimerFirstRun 1.5 s after creation.
  void TimerFirstRunTimer();
  // The exit command of the tray menu.
  void MnZDExitClick();
  // What SaveSettings writes, read from the controls.
  WindowSettings CurrentWindowSettings() const;
  // The window's shortcut handler: sees keys before the focused control.
  bool FormShortCut(const MSG& msg);
  DocTracker& tracker() { return *tracker_; }
  TreeModel& tree(std::string_view name);
  // Tab index of TVControl (visible tabs), -1 for a page without a tab.
  int ActiveTabIndex() const;

 private:
  explicit TFrmMain(MainWindowDeps deps);
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

  // Creation, in main_window_win.cpp and main_layout_win.cpp.
  void FormCreate();
  void CreateControls();
  void CreateLauncherPage(HWND page);
  void CreateTreePages();
  void CreateSystemPage(HWND page);
  void CreateFavouritesPage(HWND page);
  void CreateSettingsPage(HWND page);
  void CreateHiddenControls(HWND page);
  void CreateMenus();
  void ApplyInterfaceTexts();
  void LayoutControls();
  HWND Make(const char* name, const wchar_t* cls, std::string_view text, DWORD style, HWND parent,
            int x, int y, int w, int h, DWORD ex_style = 0);
  void AddHint(HWND control, std::string_view hint);
  int Px(int design_pixels) const;
  void CreateFonts();
  // Per-monitor DPI: a move to a monitor of another DPI rescales everything.
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  // Handlers.
  void FormResize();
  void FormCloseQuery();
  void FormDestroy();
  void OnCommand(UINT id, UINT code, HWND control);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void PageControl1DrawTab(const DRAWITEMSTRUCT& item);
  void TVAllDocsDrawTab(const DRAWITEMSTRUCT& item);
  void PageControl1Change();
  void TVControlChange();
  void TVControlMouseDown();
  void TimerCheckDocsTimer();
  void CreateTracking();
  void PumpMessages();
  void ShowPageOfTVControl(int page_index);
  void TrayIconMessage(LPARAM mouse_message);
  void PopupAt(const char* menu_name, POINT screen);
  void CbZDOnTopClick();
  void CbZDRefreshClick();
  void SbCheckTimeChange(int position);
  void CbAutoRunDocsClick();
  void CbQueryAutoRunDocClick();
  void CbFavEditClick();
  void MnShowFavEditClick();
  void MnZDAutoRunClick();
  void SetFavEditVisible(bool visible);
  void UpdateIntervalLabel(int seconds);
  void LbMyLoveDropFiles(HDROP drop);
  int MessageBoxUtf8(const std::string& text, const std::string& caption, UINT flags);

  MainWindowDeps deps_;
  HWND hwnd_ = nullptr;
  double scale_ = 1.0;
  std::string caption_;
  DocStore store_;
  std::map<std::string, HWND, std::less<>> controls_;
  std::map<UINT, std::string> control_ids_;
  std::map<std::string, RECT, std::less<>> design_rects_;  // at 96 DPI
  std::map<std::string, std::function<void()>, std::less<>> clicks_;
  UINT next_control_id_ = 100;

  std::vector<PopupMenu> menus_;
  std::map<std::string, UniqueMenu, std::less<>> popup_menus_;
  std::map<UINT, std::string> menu_ids_;
  std::map<std::string, UINT, std::less<>> menu_commands_;

  std::unique_ptr<ListBoxMirror> recent_mirror_, love_mirror_, run_mirror_;
  UniqueBitmap tab_strip_;       // "monitorbtn"
  UniqueBitmap system_picture_;  // "ImgZDPCControl"
  std::vector<UniqueBitmap> button_images_;
  UniqueFont font_, fav_edit_font_, small_font_, tab_font_;
  UniqueIcon icon_;
  TrayIcon tray_;
  TreeModel tv_docs_{"TVDocs"}, tv_doc_{"TVDoc"}, tv_app_{"TVApp"}, tv_path_{"TVPath"};
  std::vector<std::unique_ptr<TreeViewMirror>> tree_mirrors_;
  std::unique_ptr<TreeImageList> tree_images_;
  std::unique_ptr<DocTracker> tracker_;
  std::unique_ptr<WindowSystem> own_windows_;  // when the caller gave none
  std::unique_ptr<ShellWindows> own_shell_;
  HWND tooltip_ = nullptr;
  int active_page_ = 0;
  bool first_load_done_ = false;
  bool destroyed_ = false;
};

}  // namespace zd
