#include "mainwin/main_window_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

#include "lang/captions.h"
#include "launch/autorun_selection.h"
#include "launch/autostart.h"
#include "launch/last_session.h"
#include "platform/errors.h"
#include "platform/recent_items.h"
#include "platform/resources_win.h"
#include "platform/wide_win.h"
#include "store/program_files.h"
#include "store/startup_load.h"
#include "tray/recent_menu.h"

namespace zd {
namespace {

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

}  // namespace

UINT MainWindow::ShowRequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"Zapdock.VAROV.ShowMainWindow");
  return message;
}

MainWindow::MainWindow(MainWindowDeps deps)
    : deps_(std::move(deps)), app_(std::make_unique<Application>(deps_.files, deps_.codec)) {
  set_message_box(deps_.message_box);
}

MainWindow::~MainWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::unique_ptr<MainWindow> MainWindow::Create(MainWindowDeps deps) {
  std::unique_ptr<MainWindow> form(new MainWindow(std::move(deps)));
  CreateArgs args;
  args.class_name = kClassName;
  args.caption = "MRXZapdock";
  args.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  args.ex_style = WS_EX_CONTROLPARENT;
  args.parent = form->deps_.owner;
  args.width = kDesignWidth;
  args.height = kDesignHeight;
  return Made(std::move(form), args);
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (tray_.HandleTaskbarCreated(msg)) return 0;
  if (msg == ShowRequestMessage()) {
    if (closing_ || destroyed_) return kClosingAnswer;
    summoned_ = false;
    ShowAtBottomRight();
    SetForegroundWindow(hwnd_);
    return 1;
  }
  switch (msg) {
    case kHotkeyMessage:
      ShowFromHotkey();
      return 0;
    case kRecentFilesMessage:
      if (!closing_ && !destroyed_ && app_->started()) app_->tracker().RecentFilesRead();
      return 0;
    case kBrowserPagesMessage:
      if (!closing_ && !destroyed_ && app_->started()) app_->tracker().BrowserPagesRead();
      return 0;
    case WM_HOTKEY:
      if (wp == kHotkeyId) ShowFromHotkey();
      return 0;
    case WM_SIZE:
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<const NMHDR*>(lp);
      if (header.hwndFrom == OuterTabs.hwnd() && header.code == TCN_SELCHANGE) {
        OuterTabsChange();
      } else {
        launcher_->OnNotify(header);
      }
      return 0;
    }
    case WM_DRAWITEM: {
      const DRAWITEMSTRUCT& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (ListBoxMirror::DrawRow(item)) return TRUE;
      if (item.hwndItem == OuterTabs.hwnd()) {
        OuterTabsDrawTab(item);
      } else {
        launcher_->OnDrawItem(item);
      }
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, kFormColor);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(FormBrush());
    }
    case WM_HSCROLL:
      // The interval bar, once the settings page has made it.
      if (lp && reinterpret_cast<HWND>(lp) == launcher_->settings.SbCheckTime.hwnd()) {
        launcher_->settings.OnScroll(LOWORD(wp));
      }
      return 0;
    case WM_CONTEXTMENU: {
      POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);
      launcher_->OnContextMenu(reinterpret_cast<HWND>(wp), pt);
      return 0;
    }
    case WM_TIMER:
      if (wp == kTimerFirstRun) TimerFirstRunTimer();
      if (wp == kTimerCheckDocs) TimerCheckDocsTimer();
      if (wp == kTimerAfterLoad) TimerAfterLoadTimer();
      if (wp == kTimerFadeIn) TimerFadeInTimer();
      return 0;
    case LauncherPage::kTabPressMessage:
      launcher_->TVControlMouseDown(wp);
      return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        MinimiseOutOfSight();
        return 0;
      }
      break;
    case kTrayCallbackMessage:
      TrayIconMessage(wp, lp);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Windows may end the process as soon as this returns: save now.
      if (wp) OnEndSession();
      return 0;
    case WM_CLOSE:
      if (app_->loading()) {
        // The load pumps messages; its controls must outlive it.
        close_after_load_ = true;
        return 0;
      }
      closing_ = true;
      FormCloseQuery();
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      FormDestroy();
      if (deps_.post_quit_on_destroy) PostQuitMessage(0);
      return 0;
  }
  return zd::Window::OnMessage(msg, wp, lp);
}

int MainWindow::ShowMessage(const std::string& text, const std::string& caption, UINT flags) {
  return zd::Window::ShowMessage(text, caption, flags);
}

void MainWindow::OnRescaled() {
  SendMessageW(launcher_->InnerTabs.hwnd(), TCM_SETITEMSIZE, 0,
               MAKELPARAM(factory_.Px(kTabWidth), factory_.Px(kTabHeight)));
  SendMessageW(OuterTabs.hwnd(), TCM_SETITEMSIZE, 0, MAKELPARAM(factory_.Px(96), factory_.Px(24)));
}

void MainWindow::FormCreate() {
  factory_.CreateTooltip(hwnd_);
  // The design: controls and menus exist before the creation steps run.
  const int lang = deps_.language_index;
  factory_.Make(OuterTabs, WC_TABCONTROLW, "",
                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_OWNERDRAWFIXED | TCS_FOCUSNEVER,
                hwnd_, 0, 0, 100, 100);
  OuterTabs.AddTab(lang::CaptionOf(Ui::LauncherSheet, lang));
  OuterTabs.AddTab(lang::CaptionOf(Ui::tbDemo, lang));
  SendMessageW(OuterTabs.hwnd(), TCM_SETITEMSIZE, 0, MAKELPARAM(factory_.Px(96), factory_.Px(24)));
  launcher_ = std::make_unique<LauncherPage>(*this);
  launcher_->Create(hwnd_);
  home_ = std::make_unique<HomePage>(*this);
  home_->Create(hwnd_);
  factory_.SendGroupBoxesToBottom();
  menus_.Build();
  menus_.SetChecked(Ui::MnShowFavEdit, true);
  CreateTracking();

  try {
    const ConfigDirChoice& config = *deps_.config;
    app_->store().ConfigDir = config.dir;
    config_writable_ = config.writable;
    lang::InterfaceTexts& texts = lang::Texts();
    std::string_view allneed;
    if (auto bytes = LoadResourceBytes(L"allneed", L"TXT")) allneed = *bytes;
    lang::LoadLanguageTables(lang, allneed, texts);
    if (!texts.ProductText.empty()) ProductName = texts.ProductText;
    ApplyInterfaceTexts();
    if (!config.writable) {
      // Said once: without a usable folder nothing of this run can be kept.
      ShowMessage(lang::FormatText(texts.ConfigNotWritable, config.dir), texts.TipsCaption,
                  MB_OK | MB_ICONWARNING);
    }
    if (!config.foreign.empty()) {
      // Said at the start that made the user's own folder: why it is empty.
      ShowMessage(lang::FormatText(texts.FolderOfYourOwn, config.dir), texts.TipsCaption,
                  MB_OK | MB_ICONINFORMATION);
    }
    if (!config.set_aside.empty()) {
      ShowMessage(lang::FileListMessage(texts.FilesSetAside, config.set_aside), texts.TipsCaption,
                  MB_OK | MB_ICONWARNING);
    }
    if (!config.recovered.empty()) {
      // Said once: these files come from the whole copy a save cut short left.
      ShowMessage(lang::FileListMessage(texts.FilesRecovered, config.recovered), texts.TipsCaption,
                  MB_OK | MB_ICONINFORMATION);
    }
    // The recent list is never shown as a list: it keeps no window rows at
    // all (its own mirror holds only which rows are selected).
    run_mirror_ =
        std::make_unique<ListBoxMirror>(launcher_->LbAutoRun.hwnd(), app_->store().MyRunList);
    app_->store().MyRunList.AttachMirror(run_mirror_.get());
    launcher_->SetTabStrip(LoadJpegResource(L"monitorbtn"));
    icon_ = UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON",
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), 0)));
    if (deps_.add_tray_icon) tray_.Add(hwnd_, icon_.get(), Utf8ToWide(deps_.application_title));
    if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) {
      ShowWindow(taskbar, SW_HIDE);
      ShowWindow(taskbar, SW_SHOWNA);
    }
  }
  ZD_CATCH_LOG("FormCreate")

  try {
    PlaceWindow(InitialWindowRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  factory_.scale()));
    const StartFiles start = app_->ReadStartFiles();
    // The hotkey works from the start, before the first load reads the rest.
    const int hotkey = start.hotkey;
    if (!SetHotkey(hotkey)) {
      // Another program holds the key: said once, and the page shows "off".
      // The stored choice stays, for a start when the key is free again.
      const lang::InterfaceTexts& texts = lang::Texts();
      ShowMessage(lang::FormatText(texts.HotkeyTaken, HotkeyText(HotkeyChoiceOf(hotkey), texts)),
                  texts.TipsCaption, MB_OK | MB_ICONWARNING);
    }
    launcher_->settings.ShowHotkey(static_cast<int>(hotkey_choice_));
    // A program that was moved registers its new place at its next start,
    // on the terms RefreshAutoStart states; nobody asked for that, so a
    // refusal is not shown.
    if (deps_.registry) {
      launcher_->CbAutoStart.SetChecked(RefreshAutoStart(
          *deps_.registry, ProductName, deps_.exe_path,
          [this](const std::string& path) { return deps_.files->FileExists(path); }));
    }
    if (start.note) launcher_->note.MmNote.SetText(*start.note);
    // The first load runs as soon as the window has been shown and painted (a
    // timer's message comes only when nothing else waits), not 1.5 s later:
    // the history is there before the user looks for it.
    SetTimer(hwnd_, kTimerFirstRun, USER_TIMER_MINIMUM, nullptr);
  }
  ZD_CATCH_LOG("FormCreate")
  LayoutControls();
}

void MainWindow::CreateTracking() {
  AppServices services;
  services.windows = deps_.windows;
  if (!services.windows) {
    own_windows_ = MakeSystemWindowSystem();
    services.windows = own_windows_.get();
  }
  services.shell = deps_.shell;
  if (!services.shell) {
    own_shell_ = MakeSystemShellWindows();
    services.shell = own_shell_.get();
  }
  services.shared_files = deps_.shared_files;
  if (!services.shared_files) {
    own_shared_files_ = MakeSystemSharedFiles();
    services.shared_files = own_shared_files_.get();
  }
  services.user_folders = deps_.user_folders ? *deps_.user_folders : SystemUserFolders();
  services.registry = deps_.registry;
  services.launcher = deps_.launcher;
  if (!services.launcher) {
    own_launcher_ = MakeSystemShellLauncher(reinterpret_cast<WindowId>(deps_.owner));
    services.launcher = own_launcher_.get();
  }
  AppHooks hooks;
  hooks.browser_pages_read = [hwnd = hwnd_] { PostMessageW(hwnd, kBrowserPagesMessage, 0, 0); };
  hooks.recent_files_read = [hwnd = hwnd_] { PostMessageW(hwnd, kRecentFilesMessage, 0, 0); };
  // Empty when the system cannot say where the user's folders are: nothing read.
  if (!services.user_folders.roaming.empty()) {
    const std::string recent = services.user_folders.roaming + "\\Microsoft\\Windows\\Recent";
    services.recent_items = [recent] { return MakeSystemRecentItems(recent); };
  }
  // Asked once a refresh: the line on the settings page follows Windows' setting too.
  hooks.before_browser_read = [this] { launcher_->settings.privacy.ShowState(); };
  hooks.pump = [this] { PumpNowAndThen(); };
  hooks.sleep_ms = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
  hooks.step_progress = [this] { launcher_->LoadProgress.Step(); };
  hooks.reset_progress = [this] { launcher_->LoadProgress.SetPosition(0); };
  hooks.today = Today;
  hooks.message = [this](const std::string& text) {
    ShowMessage(text, deps_.application_title, MB_OK);
  };
  hooks.show_hint = [this](const std::string& path) { launcher_->LblHint.SetText(path); };
  hooks.refresh_timer = [this](bool on) {
    const SettingsPage& s = launcher_->settings;
    SetRefreshTimer(on && s.RefreshOn() ? s.Interval() : 0);
  };
  hooks.bulk_update = [this](bool frozen) { launcher_->FreezeTrees(frozen); };
  hooks.forgotten = [this](const std::set<std::string>& paths, bool all) {
    launcher_->search_row().search().ForgetPicks(paths, all);
  };
  app_->StartServices(launcher_->Trees(), launcher_->tree_images(), std::move(services),
                      std::move(hooks));
}

void MainWindow::ApplyInterfaceTexts() {
  const lang::InterfaceTexts& texts = lang::Texts();
  caption_ = lang::WindowCaption(ProductName, ProductVersion);
  SetWindowTextUtf8(hwnd_, caption_);
  menus_.ApplyCaptions(texts);
  menus_.SetCaption(Ui::MnRestoreLastSession,
                    lang::CaptionOf(Ui::MnRestoreLastSession, deps_.language_index));
  ApplyControlTexts();
}

void MainWindow::ApplyControlTexts() {
  const lang::InterfaceTexts& texts = lang::Texts();
  // The copied captions of the window's own controls (those made so far).
  SettingsPage& s = launcher_->settings;
  FavouritesPage& f = launcher_->favourites;
  const std::pair<Ui, const Control*> controls[] = {
      {Ui::CbFavEdit, &f.CbFavEdit},
      {Ui::GbZDFavEdit, &f.GbZDFavEdit},
      {Ui::LblZDFavName, &f.LblZDFavName},
      {Ui::LblZDFavPath, &f.LblZDFavPath},
      {Ui::GbZDFavList, &f.GbZDFavList},
      {Ui::CbZDOnTop, &s.CbZDOnTop},
      {Ui::CbAutoStart, &launcher_->CbAutoStart},
      {Ui::GBZDNavSet, &s.GBZDNavSet},
      {Ui::CbZDRefresh, &s.CbZDRefresh},
      {Ui::LbZDCheckTime, &s.LblZDCheckTime},
      {Ui::GbZDAutoRundDoc, &s.GbZDAutoRundDoc},
      {Ui::CbQueryAutoRunDoc, &s.CbQueryAutoRunDoc},
      {Ui::CbAutoRunDocs, &s.CbAutoRunDocs},
      {Ui::RgAutorOpenType, &s.RgAutorOpenType},
      {Ui::RgAutorOpenType0, &s.RgAutorOpenTypeItems[0]},
      {Ui::RgAutorOpenType1, &s.RgAutorOpenTypeItems[1]},
      {Ui::RgAutorOpenType2, &s.RgAutorOpenTypeItems[2]},
  };
  for (const auto& [part, text] : texts.captions) {
    if (text.empty()) continue;
    for (const auto& [id, control] : controls)
      if (id == part) control->SetText(text);
  }
  // Button pictures: the bitmap resource named after each button.
  const std::pair<Ui, const Button*> buttons[] = {
      {Ui::BtnZDStart, &launcher_->BtnZDStart},
      {Ui::BtnZDPCStart, &s.BtnZDPCStart},
      {Ui::BtnZDSearch, &launcher_->BtnZDSearch},
      {Ui::BtnZDAddToFav, &f.BtnZDAddToFav},
      {Ui::BtnZDUpdateFav, &f.BtnZDUpdateFav},
      {Ui::BtnZDDeleteAllDocs, &s.BtnZDDeleteAllDocs},
      {Ui::BtnHelp, &s.BtnHelp},
      {Ui::BtnAbout, &s.BtnAbout},
  };
  for (Ui part : lang::ButtonImageParts()) {
    for (const auto& [id, button] : buttons) {
      if (id != part || !*button) continue;
      if (SendMessageW(button->hwnd(), BM_GETIMAGE, IMAGE_BITMAP, 0) != 0) continue;
      UniqueBitmap image = LoadBmpResource(Utf8ToWide(UiName(part)).c_str());
      if (!image) continue;
      button->SetImage(image.get());
      button_images_.push_back(std::move(image));
    }
  }
}

void MainWindow::AttachOnline(OnlineServices* online) {
  home_fill_pending_ = false;
  online_ = online;
  if (!online_) return;
  // An update offer waits for the end of the start-up load: accepted inside
  // it, the close for the setup would have to wait for the load below it.
  online_->HoldOffers(!app_->load_done() || app_->loading());
  online_->CreateVendorPanel(launcher_->PnlRight.hwnd(), 9, 100);
  // The content page (its web views, its server search a second later) is
  // made once the history is in the trees, or when its tab is chosen first.
  home_fill_pending_ = true;
  if (app_->load_done() && !app_->loading()) FillHomePage();
  LayoutControls();
}

void MainWindow::FillHomePage() {
  if (!home_fill_pending_) return;
  home_fill_pending_ = false;
  if (!online_) return;
  online_->FillHomePage(home_->sheet.hwnd());
  online_->ResizeDemoPage();
}

void MainWindow::LayoutControls() {
  if (!launcher_) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  OuterTabs.Place(0, 0, client.right, client.bottom);
  RECT display = {0, 0, client.right, client.bottom};
  SendMessageW(OuterTabs.hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int pw = display.right - display.left, ph = display.bottom - display.top;
  // Pages lie over their tab control.
  for (const Page* page :
       {static_cast<const Page*>(launcher_.get()), static_cast<const Page*>(home_.get())}) {
    page->sheet.Place(display.left, display.top, pw, ph);
    page->sheet.BringToTop();
  }
  launcher_->Layout(pw, ph);
  if (online_) online_->ResizeDemoPage();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::OnCommand(UINT id, UINT code, HWND control) {
  if (!control && id >= kFirstRecentCommand && id < kFirstRecentCommand + kRecentMenuEntries) {
    OpenRecentMenuItem(id - kFirstRecentCommand);
    return;
  }
  if (!control) {
    if (const std::optional<Ui> entry = Menus::EntryOf(id)) OnMenuCommand(*entry);
    return;
  }
  launcher_->OnControlCommand(control, code);
}

void MainWindow::OnMenuCommand(Ui entry) {
  switch (entry) {
    case Ui::MnZDExit:
      MnZDExitClick();
      return;
    case Ui::MnOpenZapdock:
      MnOpenZapdockClick();
      return;
    case Ui::MnRestoreLastSession:
      RestoreLastSession();
      return;
    case Ui::MnPauseRecording:
      MnPauseRecordingClick();
      return;
    default:
      launcher_->OnMenuCommand(entry);
  }
}

void MainWindow::OuterTabsDrawTab(const DRAWITEMSTRUCT& item) {
  const std::wstring text = Utf8ToWide(OuterTabs.TabText(static_cast<int>(item.itemID)));
  RECT rc = item.rcItem;
  FillRect(item.hDC, &rc, FormBrush());
  SelectGuard font(item.hDC, fonts_.Get(Fonts::kTab));
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  DrawTextW(item.hDC, text.c_str(), -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void MainWindow::OuterTabsChange() {
  const int tab = OuterTabs.Selected();
  if (tab == 1) FillHomePage();
  launcher_->sheet.Show(tab == 0);
  home_->sheet.Show(tab == 1);
}

void MainWindow::SetActivePage(int page_index) {
  launcher_->ShowPage(page_index >= 0 && page_index < kTVControlPageCount ? page_index : 0);
}

void MainWindow::SetRefreshTimer(int seconds) {
  if (seconds > 0) {
    SetTimer(hwnd_, kTimerCheckDocs, static_cast<UINT>(seconds) * 1000, nullptr);
  } else {
    KillTimer(hwnd_, kTimerCheckDocs);
  }
}

void MainWindow::TimerCheckDocsTimer() {
  try {
    if (launcher_->settings.RefreshOn()) app_->tracker().CheckAllDocs();
  } catch (...) {
    RecordCurrentException(__func__);
    KillTimer(hwnd_, kTimerCheckDocs);
  }
}

void MainWindow::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Not ours to swallow: the main loop must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (FormShortCut(msg)) continue;
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void MainWindow::PumpNowAndThen() {
  // Under Wine each look at the queue is a trip to the server and costs
  // more than registering a record.
  constexpr ULONGLONG kFrameMs = 15;
  if (GetTickCount64() - last_pump_ < kFrameMs) return;
  PumpMessages();
  last_pump_ = GetTickCount64();
}

bool MainWindow::FormShortCut(const MSG& msg) {
  // F5 refreshes whatever modifier is held: with Alt it arrives as a system key.
  if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || msg.wParam != VK_F5 ||
      !hwnd_) {
    return false;
  }
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  app_->tracker().CheckKindDocs(TreeKindOfPage(ActivePageIndex()));
  return true;
}

void MainWindow::TimerFirstRunTimer() {
  KillTimer(hwnd_, kTimerFirstRun);
  if (app_->load_done() || !hwnd_) return;
  const ProgressBar& progress = launcher_->LoadProgress;
  progress.Show(true);
  progress.SetStep(25);
  progress.Step();
  const FirstLoadResult loaded = app_->FirstLoad();
  try {
    menus_.SetChecked(Ui::MnPauseRecording, app_->recording().paused());
    if (loaded.stored) launcher_->favourites.ShowEditBar(loaded.stored->show_fav_edit);
    if (loaded.whole) {
      launcher_->settings.ApplyStored(*loaded.stored);
      SetActivePage(PageOfStored(loaded.stored->control_index));
    }
    launcher_->settings.privacy.ShowRules();
    launcher_->settings.privacy.ShowState();
  }
  ZD_CATCH_LOG("TimerFirstRunTimer")
  progress.SetPosition(0);
  progress.Show(false);
  if (loaded.ended) {
    // "退出" was chosen during the load: what was loaded is saved (the
    // window's end saves it), nothing is opened and no refresh runs.
    DestroyWindow(hwnd_);
    return;
  }
  // Files that exist but could not be read are never written back this run:
  // said once, naming them. The search's picks too.
  std::vector<std::string> unread = loaded.unread;
  try {
    if (launcher_->search_row().search().PicksUnreadable()) {
      unread.push_back(app_->store().ConfigDir + kPicksFileName);
    }
  }
  ZD_CATCH_LOG("TimerFirstRunTimer")
  if (!unread.empty()) {
    const lang::InterfaceTexts& texts = lang::Texts();
    ShowMessage(lang::FileListMessage(texts.FilesNotRead, unread), texts.TipsCaption,
                MB_OK | MB_ICONWARNING);
  }
  // The documents chosen for the start open (after one question when asked
  // for); then a refresh asked for during the load runs.
  const SettingsPage& s = launcher_->settings;
  app_->FinishStart(s.AutoRunDocs(), s.QueryAutoRunDoc(), [this](const std::string& question) {
    return ShowMessage(question, lang::Texts().TipsCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
  });
  // The first keystroke in the search box finds its copies made.
  try {
    launcher_->search_row().search().PrepareAhead();
  }
  ZD_CATCH_LOG("TimerFirstRunTimer")
  // The content page and the programs' pictures come when the queue is
  // empty: the window answers first.
  if (hwnd_) SetTimer(hwnd_, kTimerAfterLoad, USER_TIMER_MINIMUM, nullptr);
  if (online_) online_->HoldOffers(false);
  if (close_after_load_ && hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindow::TimerAfterLoadTimer() {
  if (home_fill_pending_) {
    try {
      FillHomePage();
    }
    ZD_CATCH_LOG("FillHomePage")
    return;
  }
  // A slice short enough that a key or a click waits no longer than a frame.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(8);
  bool done = true;
  try {
    done = app_->tracker().ResolvePendingImages(
        [until] { return std::chrono::steady_clock::now() < until; });
  }
  ZD_CATCH_LOG("TimerAfterLoadTimer")
  if (done) KillTimer(hwnd_, kTimerAfterLoad);
}

void MainWindow::MnPauseRecordingClick() {
  const bool paused = !menus_.Checked(Ui::MnPauseRecording);
  app_->recording().SetPaused(paused);
  menus_.SetChecked(Ui::MnPauseRecording, paused);
  launcher_->settings.privacy.ShowState();
}

WindowSettings MainWindow::CurrentWindowSettings() const {
  WindowSettings w;
  w.refresh = launcher_->settings.RefreshOn();
  w.control_index = StoredOfPage(launcher_->active_page());
  w.show_fav_edit = menus_.Checked(Ui::MnShowFavEdit);
  RECT r;
  if (GetWindowRect(hwnd_, &r)) {
    w.width = std::max<int>(0, r.right - r.left);
    w.height = std::max<int>(0, r.bottom - r.top);
  }
  if (launcher_->note.MmNote) w.note = launcher_->note.MmNote.Text();
  w.shows_stored_settings = app_->settings_applied();
  return w;
}

void MainWindow::ShowAnimated() {
  // Shown at once, and faded in by a timer: the start waits for nothing (a
  // blended animation would hold the interface thread for half a second).
  const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  fade_step_ = 0;
  if (SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, style | WS_EX_LAYERED) &&
      SetLayeredWindowAttributes(hwnd_, 0, 0, LWA_ALPHA)) {
    SetTimer(hwnd_, kTimerFadeIn, kFadeInStepMs, nullptr);
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void MainWindow::TimerFadeInTimer() {
  ++fade_step_;
  if (fade_step_ < kFadeInSteps) {
    SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(255 * fade_step_ / kFadeInSteps),
                               LWA_ALPHA);
    return;
  }
  KillTimer(hwnd_, kTimerFadeIn);
  // Opaque again, and no longer layered: it draws as any window does.
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & ~WS_EX_LAYERED);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::PlaceWindow(const WindowRect& wanted) {
  // The monitor the window would be on; its work area leaves out the taskbar.
  const RECT target = {wanted.left, wanted.top, wanted.left + wanted.width,
                       wanted.top + wanted.height};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  WindowRect placed = wanted;
  if (GetMonitorInfoW(MonitorFromRect(&target, MONITOR_DEFAULTTOPRIMARY), &info)) {
    const RECT& a = info.rcWork;
    placed = FitIntoWorkArea(wanted, WorkArea{a.left, a.top, a.right, a.bottom});
  }
  SetWindowPos(hwnd_, nullptr, placed.left, placed.top, placed.width, placed.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowAtBottomRight() {
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  RECT r;
  GetWindowRect(hwnd_, &r);
  PlaceWindow(BottomRightRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                              r.right - r.left, r.bottom - r.top, factory_.scale()));
  ShowWindow(hwnd_, SW_SHOW);
}

void MainWindow::MinimiseOutOfSight() {
  // Minimising moves the window out of sight; the tray icon brings it back.
  RECT r;
  GetWindowRect(hwnd_, &r);
  SetWindowPos(hwnd_, nullptr, r.left, kMinimisedTop, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MainWindowClose MainWindow::CloseForUpdate() {
  const HWND window = hwnd_;
  if (!window) return MainWindowClose::kClosed;
  SendMessageW(window, WM_CLOSE, 0, 0);
  if (!IsWindow(window)) return MainWindowClose::kClosed;
  return app_->loading() ? MainWindowClose::kAfterLoad : MainWindowClose::kRefused;
}

void MainWindow::MnZDExitClick() {
  const lang::InterfaceTexts& texts = lang::Texts();
  if (ShowMessage(texts.ExitQuestion, texts.TipsCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    // Ends at once, without the close request: no snapshot of open windows.
    closing_ = true;
    // The load pumps messages, and its controls must outlive it: it stops
    // at its next step and ends the window then.
    if (app_->ExitDuringLoad()) return;
    DestroyWindow(hwnd_);
  }
}

void MainWindow::TrayIconMessage(WPARAM wp, LPARAM lp) {
  const bool version4 = tray_.version4();
  const auto event = static_cast<uint32_t>(version4 ? LOWORD(lp) : lp);
  switch (ClassifyTrayMessage(event, version4)) {
    case TrayClick::kShowWindow:
      summoned_ = false;
      ShowWindow(hwnd_, SW_SHOW);
      SetForegroundWindow(hwnd_);
      ShowAtBottomRight();
      app_->tracker().CheckKindDocs(TreeKindOfPage(ActivePageIndex()));
      break;
    case TrayClick::kOpenMenu: {
      ShowWindow(hwnd_, SW_SHOW);
      MinimiseOutOfSight();
      ShowRecentDocInPopmenu();
      menus_.SetEnabled(Ui::MnRestoreLastSession, !app_->LastSessionDocs(deps_.exe_path).empty());
      // At the icon (a keyboard request has no pointer there), else at the pointer.
      POINT pt{GET_X_LPARAM(wp), GET_Y_LPARAM(wp)};
      if (!version4) GetCursorPos(&pt);
      PopupMenuAt(Ui::popMenu, pt);
      ShowWindow(hwnd_, SW_RESTORE);
      break;
    }
    case TrayClick::kNone:
      break;
  }
}

void MainWindow::ShowRecentDocInPopmenu() {
  HMENU menu = menus_.Submenu(Ui::PmRecent);
  if (!menu) return;
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  // Each entry keeps the document it shows: lines inserted while the menu is
  // open do not change what it opens.
  recent_entries_ =
      RecentMenuEntries(app_->store().MyRecentList.Lines().ToVector(kRecentMenuEntries));
  for (size_t i = 0; i < recent_entries_.size(); ++i) {
    AppendMenuW(menu, MF_STRING, kFirstRecentCommand + static_cast<UINT>(i),
                Utf8ToWide(recent_entries_[i].caption).c_str());
  }
}

void MainWindow::OpenRecentMenuItem(size_t index) {
  if (index >= recent_entries_.size()) return;
  // Reopened, the document moves to the top of the list the menu shows.
  const RecentMenuEntry& entry = recent_entries_[index];
  app_->opener().OpenRememberedDoc(entry.path, entry.name, true);
}

void MainWindow::PopupMenuAt(Ui menu_id, POINT screen) {
  HMENU menu = menus_.Get(menu_id);
  if (!menu) return;
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  UINT flags = TPM_RIGHTBUTTON;
  if (menu_id == Ui::popMenu) flags |= TPM_VERNEGANIMATION | TPM_BOTTOMALIGN;
  TrackPopupMenu(menu, flags, screen.x, screen.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void MainWindow::FormCloseQuery() {
  // What is open now is what the next start may reopen; never refuses the close.
  app_->CollectOpenDocs();
}

void MainWindow::OnEndSession() {
  // No message box here: Windows may end the process at any moment.
  app_->EndSession(CurrentWindowSettings());
  tray_.Remove();
}

void MainWindow::SaveAtExit(bool tell_failures) {
  const std::optional<ExitSaveResult> result = app_->SaveAtExit(CurrentWindowSettings());
  // A folder that could not be written was reported at start already.
  if (!result || !tell_failures || !config_writable_ || result->unsaved.empty()) return;
  const lang::InterfaceTexts& texts = lang::Texts();
  const std::string text = lang::FileListMessage(texts.FilesNotSaved, result->unsaved);
  // The window is going: the box has no owner.
  ShowMessageBox(deps_.message_box, nullptr, text, texts.TipsCaption, MB_OK | MB_ICONWARNING);
}

void MainWindow::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  KillTimer(hwnd_, kTimerFirstRun);
  KillTimer(hwnd_, kTimerCheckDocs);
  keyboard_hook_.reset();
  registered_hotkey_.reset();
  SaveAtExit(/*tell_failures=*/true);
  // Whatever happened to the saves, the icon must not outlive the program.
  tray_.Remove();
  // Saved: a setup that waited for that may run now.
  if (online_) online_->MainWindowClosed();
  app_->store().MyRunList.AttachMirror(nullptr);
}

}  // namespace zd
