#include "online/about_window_win.h"

namespace zd {
namespace {

constexpr int kWidth = 360, kHeight = 210;
constexpr COLORREF kLinkColor = RGB(0, 70, 180);
constexpr COLORREF kWarningColor = RGB(200, 0, 0);

}  // namespace

std::unique_ptr<AboutWindow> AboutWindow::Create(HWND owner, Deps deps) {
  std::unique_ptr<AboutWindow> window(new AboutWindow(std::move(deps)));
  CreateArgs args =
      CreateArgs::Dialog(L"ZapdockAboutWindow", window->deps_.caption, owner, kWidth, kHeight);
  args.background = GetSysColorBrush(COLOR_WINDOW);
  return Made(std::move(window), args);
}

AboutWindow::~AboutWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void AboutWindow::OnCreate() {
  const lang::ServiceTexts& t = *deps_.texts;
  constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
  constexpr DWORD kText = kShown | SS_LEFT | SS_NOTIFY;
  constexpr int m = 16, left = 80, w = kWidth - left - m, line = 20;
  ControlFactory& f = factory_;
  f.Make(Picture, L"STATIC", "", kShown | SS_ICON | SS_NOTIFY, hwnd_, m, m, 48, 48);
  f.Make(LblProduct, L"STATIC", deps_.product, kText, hwnd_, left, m, w, 28, 0, Fonts::kTitle);
  f.Make(LblVersion, L"STATIC", deps_.version, kText, hwnd_, left, m + 30, w, line, 0,
         Fonts::kMessage);
  f.Make(LblDescription, L"STATIC", t.AboutDescription, kText, hwnd_, left, m + 52, w, line, 0,
         Fonts::kMessage);
  f.Make(LblCopyright, L"STATIC", t.AboutCopyright, kText, hwnd_, left, m + 74, w, line, 0,
         Fonts::kMessage);
  f.Make(LblHome, L"STATIC", t.AboutHomeLink, kText, hwnd_, left, m + 96, w, line, 0,
         Fonts::kMessage);
  f.Make(BtnOk, L"BUTTON", t.AboutOk, kShown | WS_TABSTOP | BS_DEFPUSHBUTTON, hwnd_,
         kWidth - m - 88, 130, 80, 26, 0, Fonts::kMessage);
  if (deps_.test_build) {
    f.Make(LblTestBuild, L"STATIC", t.AboutTestBuild, kShown | SS_LEFT, hwnd_, m, 130,
           kWidth - 2 * m - 96, 40, 0, Fonts::kMessage);
  }
  OnRescaled();
  OnClick(BtnOk, [this] { ShowWindow(hwnd_, SW_HIDE); });
  for (const Label* link :
       {&Picture, &LblProduct, &LblVersion, &LblDescription, &LblCopyright, &LblHome}) {
    OnClick(*link, [this] { LabelClick(); });
  }
}

void AboutWindow::OnRescaled() {
  icon_.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, Px(48), Px(48), 0)));
  SendMessageW(Picture.hwnd(), STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
}

bool AboutWindow::IsLink(HWND control) const {
  for (const Label* link :
       {&Picture, &LblProduct, &LblVersion, &LblDescription, &LblCopyright, &LblHome}) {
    if (control && control == link->hwnd()) return true;
  }
  return false;
}

LRESULT AboutWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) ShowWindow(hwnd_, SW_HIDE);
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      const HWND control = reinterpret_cast<HWND>(lp);
      SetBkMode(dc, TRANSPARENT);
      if (control == LblHome.hwnd()) {
        SetTextColor(dc, kLinkColor);
      } else if (control == LblTestBuild.hwnd()) {
        SetTextColor(dc, kWarningColor);
      }
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_SETCURSOR:
      if (IsLink(reinterpret_cast<HWND>(wp))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // Kept until the end of the run: closing only hides it.
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

void AboutWindow::ShowAnimated() {
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (!IsWindowVisible(hwnd_)) AnimateWindow(hwnd_, 500, AW_BLEND | AW_ACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void AboutWindow::LabelClick() {
  if (deps_.open_home_page) deps_.open_home_page();
}

}  // namespace zd
