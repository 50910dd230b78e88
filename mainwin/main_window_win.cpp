// The main window's lifecycle: creation, messages, showing, ending.
#include "mainwin/main_window_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>

#include "mainwin/form_model.h"
#include "mainwin/win_util_win.h"
#include "platform/errors.h"
#include "platform/resources_win.h"
#include "platform/wide_win.h"
#include "store/AppParams.h"

namespace zd {

bool TFrmMain::RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = StaticWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(kFormColor);
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.lpszClassName = kClassName;
  bool ok = RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return ok && RegisterPanelClass(instance);
}

UINT TFrmMain::ShowRequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"Zapdock.VAROV.ShowMainWindow");
  return message;
}

TFrmMain::TFrmMain(MainWindowDeps deps) : deps_(std::move(deps)) {
  store_.files = deps_.files;
  store_.codec = deps_.codec;
}

TFrmMain::~TFrmMain() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::unique_ptr<TFrmMain> TFrmMain::Create(HINSTANCE instance, MainWindowDeps deps) {
  if (!RegisterWindowClass(instance)) return nullptr;
  std::unique_ptr<TFrmMain> form(new TFrmMain(std::move(deps)));
  HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"MRXZapdock",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                              1000, 600, form->deps_.owner, nullptr, instance, form.get());
  if (!hwnd) return nullptr;
  return form;
}

LRESULT CALLBACK TFrmMain::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TFrmMain* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<TFrmMain*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TFrmMain*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  // A failure inside a handler must never unwind through the window procedure.
  try {
    return self->WndProc(msg, wp, lp);
  } catch (...) {
    RecordCurrentException(__func__);
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

LRESULT TFrmMain::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (tray_.HandleTaskbarCreated(msg)) return 0;
  if (msg == ShowRequestMessage()) {
    ShowAtBottomRight();
    SetForegroundWindow(hwnd_);
    return 0;
  }
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_SIZE:
      LayoutControls();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->code == TCN_SELCHANGE) {
        if (hdr->hwndFrom == Control("TVControl")) TVControlChange();
        if (hdr->hwndFrom == Control("PageControl1")) PageControl1Change();
      }
      return 0;
    }
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      static HBRUSH brush = CreateSolidBrush(kFormColor);
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, kFormColor);
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(brush);
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) == Control("SbCheckTime")) {
        HWND bar = Control("SbCheckTime");
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        GetScrollInfo(bar, SB_CTL, &si);
        int pos = si.nPos;
        switch (LOWORD(wp)) {
          case SB_LINELEFT:
            pos -= 1;
            break;
          case SB_LINERIGHT:
            pos += 1;
            break;
          case SB_PAGELEFT:
            pos -= 10;
            break;
          case SB_PAGERIGHT:
            pos += 10;
            break;
          case SB_THUMBTRACK:
          case SB_THUMBPOSITION:
            pos = si.nTrackPos;
            break;
          case SB_LEFT:
            pos = si.nMin;
            break;
          case SB_RIGHT:
            pos = si.nMax;
            break;
          default:
            return 0;
        }
        pos = std::clamp(pos, si.nMin, si.nMax);
        if (pos != si.nPos) {
          SetScrollPos(bar, SB_CTL, pos, TRUE);
          SbCheckTimeChange(pos);
        }
      }
      return 0;
    case WM_CONTEXTMENU: {
      HWND target = reinterpret_cast<HWND>(wp);
      POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (pt.x == -1 && pt.y == -1) GetCursorPos(&pt);
      if (target == Control("TVDoc") || target == Control("TVApp") || target == Control("TVPath")) {
        PopupAt("PmDocTree", pt);
      } else if (target == Control("LbMyLove")) {
        PopupAt("PmMyFav", pt);
      } else if (target == Control("LbAutoRun")) {
        PopupAt("PmAutoRunList", pt);
      }
      return 0;
    }
    case WM_TIMER:
      if (wp == kTimerFirstRun) TimerFirstRunTimer();
      if (wp == kTimerCheckDocs) TimerCheckDocsTimer();
      return 0;
    case kTabPressMessage:
      TVControlMouseDown();
      return 0;
    case WM_SYSCOMMAND:
      // Minimising moves the window out of sight; the tray icon brings it back.
      if ((wp & 0xFFF0) == SC_MINIMIZE) {
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(hwnd_, &r);
        SetWindowPos(hwnd_, nullptr, r.left, kMinimisedTop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
      }
      break;
    case WM_DROPFILES:
      LbMyLoveDropFiles(reinterpret_cast<HDROP>(wp));
      return 0;
    case kTrayCallbackMessage:
      TrayIconMessage(lp);
      return 0;
    case WM_CLOSE:
      FormCloseQuery();
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      FormDestroy();
      if (deps_.post_quit_on_destroy) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

HWND TFrmMain::Control(std::string_view name) const {
  auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

UINT TFrmMain::MenuCommand(std::string_view name) const {
  auto it = menu_commands_.find(name);
  return it == menu_commands_.end() ? 0 : it->second;
}

HMENU TFrmMain::Menu(std::string_view name) const {
  auto it = popup_menus_.find(name);
  return it == popup_menus_.end() ? nullptr : it->second.get();
}

int TFrmMain::MessageBoxUtf8(const std::string& text, const std::string& caption, UINT flags) {
  if (deps_.message_box) return deps_.message_box(hwnd_, text, caption, flags);
  return MessageBoxW(hwnd_, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), flags);
}

namespace {

// GetDpiForWindow exists from Windows 10 1607 on; older systems have one DPI.
UINT WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi) {
    if (UINT dpi = get_dpi(hwnd)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

void TFrmMain::CreateFonts() {
  auto make_font = [&](int height) {
    return UniqueFont(CreateFontW(-Px(height), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                  GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  CLEARTYPE_QUALITY, DEFAULT_PITCH, L"宋体"));
  };
  font_ = make_font(13);
  fav_edit_font_ = make_font(15);
  small_font_ = make_font(12);
  // The outer tabs' captions: 10 points.
  tab_font_ = make_font(MulDiv(10, 96, 72));
}

void TFrmMain::OnDpiChanged(UINT dpi, const RECT& suggested) {
  scale_ = dpi / 96.0;
  // Controls hold the old fonts until they get the new ones.
  UniqueFont old_font = std::move(font_), old_edit = std::move(fav_edit_font_),
             old_small = std::move(small_font_), old_tab = std::move(tab_font_);
  CreateFonts();
  for (const auto& [name, rect] : design_rects_) {
    HWND control = Control(name);
    if (!control) continue;
    MoveWindow(control, Px(rect.left), Px(rect.top), Px(rect.right - rect.left),
               Px(rect.bottom - rect.top), FALSE);
    HFONT font = font_.get();
    if (name == "EdtNewFavDisplay" || name == "EdtNewFavPath") font = fav_edit_font_.get();
    if (name == "CbFavEdit") font = small_font_.get();
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  SendMessageW(Control("TVControl"), TCM_SETITEMSIZE, 0, MAKELPARAM(Px(84), Px(26)));
  SendMessageW(Control("PageControl1"), TCM_SETITEMSIZE, 0, MAKELPARAM(Px(96), Px(24)));
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayoutControls();
}

void TFrmMain::FormCreate() {
  scale_ = WindowDpi(hwnd_) / 96.0;
  CreateFonts();
  // The design: controls and menus exist before the creation steps run.
  CreateControls();
  CreateMenus();
  CreateTracking();

  try {
    ConfigDirChoice config = ChooseConfigDir(*deps_.files);
    store_.ConfigDir = config.dir;
    auto& texts = lang::Texts();
    std::string_view allneed;
    if (auto bytes = LoadResourceBytes(L"allneed", L"TXT")) allneed = *bytes;
    lang::LoadLanguageTables(deps_.language_index, allneed, texts);
    if (!texts.ProductText.empty()) ProductName = texts.ProductText;
    ApplyInterfaceTexts();
    if (!config.writable) {
      // Said once: without a usable folder nothing of this run can be kept.
      MessageBoxUtf8(lang::FormatText(texts.ConfigNotWritable, config.dir), texts.TipsCaption,
                     MB_OK | MB_ICONWARNING);
    }
    HWND recent = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10,
                                  hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
    controls_["LbMyRecent"] = recent;
    recent_mirror_ = std::make_unique<ListBoxMirror>(recent);
    love_mirror_ = std::make_unique<ListBoxMirror>(Control("LbMyLove"));
    run_mirror_ = std::make_unique<ListBoxMirror>(Control("LbAutoRun"));
    store_.MyRecentList.AttachMirror(recent_mirror_.get());
    store_.MyLoveList.AttachMirror(love_mirror_.get());
    store_.MyRunList.AttachMirror(run_mirror_.get());
    tab_strip_ = LoadJpegResource(L"monitorbtn");
    DragAcceptFiles(Control("LbMyLove"), TRUE);
    icon_ = UniqueIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON",
                                                     IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                     GetSystemMetrics(SM_CYSMICON), 0)));
    if (deps_.add_tray_icon) tray_.Add(hwnd_, icon_.get(), Utf8ToWide(deps_.application_title));
    SetWindowPos(Control("WebBrowser1"), nullptr, 0, kMinimisedTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr)) {
      ShowWindow(taskbar, SW_HIDE);
      ShowWindow(taskbar, SW_SHOWNA);
    }
  }
  ZD_CATCH_LOG(__func__)

  try {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    WindowRect r = InitialWindowRect(sw, sh, scale_);
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    OpenSettingsFile(store_);
    if (deps_.registry) {
      auto entry = deps_.registry->ReadString(RegRoot::kLocalMachine, kRunKey, ProductName);
      if (entry && !Trim(*entry).empty()) {
        SetChecked(Control("MnZDAutoRun"), true);
        MnZDAutoRunClick();
      }
    }
    LoadLastRunList(store_);
    if (auto note = LoadNote(store_)) SetWindowTextUtf8(Control("MmNote"), *note);
    SetTimer(hwnd_, kTimerFirstRun, 1500, nullptr);
  }
  ZD_CATCH_LOG(__func__)
  LayoutControls();
  ShowPageOfTVControl(0);
}

void TFrmMain::ApplyInterfaceTexts() {
  const lang::InterfaceTexts& texts = lang::Texts();
  caption_ = lang::WindowCaption(ProductName, ProductVersion);
  SetWindowTextUtf8(hwnd_, caption_);
  ApplyMenuCaptions(menus_, texts);
  for (const auto& [name, caption] : texts.captions) {
    if (HWND control = Control(name)) {
      SetWindowTextUtf8(control, caption);
    } else if (UINT id = MenuCommand(name)) {
      for (const auto& [menu_name, menu] : popup_menus_) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_STRING;
        std::wstring text = Utf8ToWide(caption);
        mii.dwTypeData = text.data();
        if (SetMenuItemInfoW(menu.get(), id, FALSE, &mii)) break;
      }
    }
  }
  for (const std::string& name : lang::ButtonImageNames()) {
    UniqueBitmap image = LoadBmpResource(Utf8ToWide(name).c_str());
    HWND button = Control(name);
    if (!image || !button) continue;
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image.get()));
    button_images_.push_back(std::move(image));
  }
  system_picture_ = LoadJpegResource(L"ImgZDPCControl");
}

void TFrmMain::ShowAnimated() {
  SetForegroundWindow(hwnd_);
  AnimateWindow(hwnd_, 500, AW_BLEND);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void TFrmMain::ShowAtBottomRight() {
  if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  RECT r;
  GetWindowRect(hwnd_, &r);
  WindowRect place = BottomRightRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     r.right - r.left, r.bottom - r.top, scale_);
  SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
}

void TFrmMain::FormCloseQuery() {
  // What is open now is what the next start may reopen; never refuses the close.
  try {
    tracker_->CollectOpenDocs();
  }
  ZD_CATCH_LOG(__func__)
}

WindowSettings TFrmMain::CurrentWindowSettings() const {
  WindowSettings w;
  w.refresh = IsChecked(Control("CbZDRefresh"));
  w.control_index = active_page_;
  if (HMENU menu = Menu("PmMyFav")) {
    w.show_fav_edit =
        (GetMenuState(menu, MenuCommand("MnShowFavEdit"), MF_BYCOMMAND) & MF_CHECKED) != 0;
  }
  RECT r;
  if (GetWindowRect(hwnd_, &r)) {
    w.width = std::max<int>(0, r.right - r.left);
    w.height = std::max<int>(0, r.bottom - r.top);
  }
  if (HWND note = Control("MmNote")) w.note = WindowTextUtf8(note);
  return w;
}

void TFrmMain::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  KillTimer(hwnd_, kTimerFirstRun);
  KillTimer(hwnd_, kTimerCheckDocs);
  try {
    RunExitSequence(store_, CurrentWindowSettings());
  }
  ZD_CATCH_LOG(__func__)
  // Whatever happened to the saves, the icon must not outlive the program.
  tray_.Remove();
  for (TreeModel* t : {&tv_docs_, &tv_doc_, &tv_app_, &tv_path_}) t->SetMirror(nullptr);
  store_.MyRecentList.AttachMirror(nullptr);
  store_.MyLoveList.AttachMirror(nullptr);
  store_.MyRunList.AttachMirror(nullptr);
}

void TFrmMain::MnZDExitClick() {
  const lang::InterfaceTexts& texts = lang::Texts();
  if (MessageBoxUtf8(texts.ExitQuestion, texts.TipsCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    // Ends at once, without the close request: no snapshot of open windows.
    DestroyWindow(hwnd_);
  }
}

void TFrmMain::TrayIconMessage(LPARAM mouse_message) {
  switch (mouse_message) {
    case WM_LBUTTONDOWN:
      ShowWindow(hwnd_, SW_SHOW);
      SetForegroundWindow(hwnd_);
      ShowAtBottomRight();
      tracker_->CheckKindDocs(TreeKindOfPage(active_page_));
      break;
    case WM_RBUTTONDOWN: {
      POINT pt;
      GetCursorPos(&pt);
      PopupAt("popMenu", pt);
      break;
    }
  }
}

void TFrmMain::PopupAt(const char* menu_name, POINT screen) {
  HMENU menu = Menu(menu_name);
  if (!menu) return;
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(hwnd_);
  UINT flags = TPM_RIGHTBUTTON;
  if (std::string_view(menu_name) == "popMenu") flags |= TPM_VERNEGANIMATION | TPM_BOTTOMALIGN;
  TrackPopupMenu(menu, flags, screen.x, screen.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
}

}  // namespace zd
