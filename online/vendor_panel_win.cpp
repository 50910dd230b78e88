#include "online/vendor_panel_win.h"

#include <commctrl.h>

#include "platform/resources_win.h"
#include "platform/window_class_win.h"

namespace zd {
namespace {

constexpr int kButton = 32;  // square buttons
constexpr int kGap = 3;
constexpr COLORREF kPanelColor = RGB(245, 250, 254);

HBRUSH PanelBrush() {
  static HBRUSH brush = CreateSolidBrush(kPanelColor);
  return brush;
}

}  // namespace

std::unique_ptr<TPnlVazOzod> TPnlVazOzod::Create(HINSTANCE instance, HWND parent, int x, int y,
                                                 Deps deps) {
  if (!RegisterWindowClassOnce(instance, kClassName, ObjectWindowProc<TPnlVazOzod>, PanelBrush())) {
    return nullptr;
  }
  std::unique_ptr<TPnlVazOzod> panel(new TPnlVazOzod(std::move(deps)));
  CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                  ScalePx(x, parent), ScalePx(y, parent), ScalePx(kButton, parent),
                  ScalePx(2 * kButton + kGap, parent), parent, nullptr, instance, panel.get());
  if (!panel->hwnd_) return nullptr;
  return panel;
}

TPnlVazOzod::~TPnlVazOzod() {
  if (tooltip_) DestroyWindow(tooltip_);
  if (hwnd_) DestroyWindow(hwnd_);
}

void TPnlVazOzod::FormCreate() {
  help_glyph_ = LoadBmpResource(L"BtnHelp");
  exit_glyph_ = LoadBmpResource(L"BtnExit");
  const int size = ScalePx(kButton);
  // Drawn as pictures; their hints are their names for screen readers and other programs.
  MakeControl(hwnd_, L"BUTTON", deps_.help_hint, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, 0, size,
              size, kBtnHelp, nullptr);
  MakeControl(hwnd_, L"BUTTON", deps_.exit_hint, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0,
              size + ScalePx(kGap), size, size, kBtnExit, nullptr);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  const std::pair<Control, const std::string*> hints[] = {{kBtnHelp, &deps_.help_hint},
                                                          {kBtnExit, &deps_.exit_hint}};
  for (const auto& [id, text] : hints) {
    std::wstring wide = Utf8ToWide(*text);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(button(id));
    ti.lpszText = wide.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

LRESULT TPnlVazOzod::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == kBtnHelp) BtnHelpClick();
      if (LOWORD(wp) == kBtnExit) BtnExitClick();
      return 0;
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
      return TRUE;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TPnlVazOzod::DrawButton(const DRAWITEMSTRUCT& item) {
  // Flat: the panel's colour, a frame only while pressed or focused.
  FillRect(item.hDC, &item.rcItem, PanelBrush());
  RECT frame = item.rcItem;
  if (item.itemState & ODS_SELECTED) {
    DrawEdge(item.hDC, &frame, BDR_SUNKENOUTER, BF_RECT);
  } else if (item.itemState & ODS_FOCUS) {
    DrawEdge(item.hDC, &frame, BDR_RAISEDINNER, BF_RECT);
  }
  HBITMAP glyph = item.CtlID == kBtnHelp ? help_glyph_.get() : exit_glyph_.get();
  if (!glyph) return;
  BITMAP bm{};
  GetObjectW(glyph, sizeof(bm), &bm);
  HDC mem = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(mem, glyph);
  const int w = ScalePx(bm.bmWidth, hwnd_), h = ScalePx(bm.bmHeight, hwnd_);
  const int x = (item.rcItem.right - item.rcItem.left - w) / 2;
  const int y = (item.rcItem.bottom - item.rcItem.top - h) / 2;
  StretchBlt(item.hDC, x, y, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  SelectObject(mem, old);
  DeleteDC(mem);
}

UniqueMenu TPnlVazOzod::MakeHelpMenu() const {
  UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, kMnDemo, Utf8ToWide(deps_.texts->HelpDemo).c_str());
  AppendMenuW(menu.get(), MF_STRING, kMnHome, Utf8ToWide(deps_.texts->HelpHome).c_str());
  AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.get(), MF_STRING, kMnAbout, Utf8ToWide(deps_.texts->HelpAbout).c_str());
  return menu;
}

void TPnlVazOzod::BtnHelpClick() {
  UniqueMenu menu = MakeHelpMenu();
  POINT at{};
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if our window is in front.
  SetForegroundWindow(GetAncestor(hwnd_, GA_ROOT));
  const UINT chosen =
      TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  if (chosen) RunHelpCommand(static_cast<Command>(chosen));
}

void TPnlVazOzod::RunHelpCommand(Command command) {
  const std::function<void()>* action = nullptr;
  switch (command) {
    case kMnDemo:
      action = &deps_.open_demo_notes;
      break;
    case kMnHome:
      action = &deps_.open_home_page;
      break;
    case kMnAbout:
      action = &deps_.show_about;
      break;
  }
  if (action && *action) (*action)();
}

void TPnlVazOzod::BtnExitClick() {
  if (deps_.close_main_window) deps_.close_main_window();
}

}  // namespace zd
