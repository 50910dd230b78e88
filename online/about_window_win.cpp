#include "online/about_window_win.h"

#include "lang/lang_tables.h"
#include "platform/window_class_win.h"

namespace zd {
namespace {

constexpr int kWidth = 360, kHeight = 210;

}  // namespace

std::unique_ptr<TFrmVersion> TFrmVersion::Create(HINSTANCE instance, HWND owner, Deps deps) {
  if (!RegisterWindowClassOnce(instance, kClassName, ObjectWindowProc<TFrmVersion>,
                               GetSysColorBrush(COLOR_WINDOW))) {
    return nullptr;
  }
  std::unique_ptr<TFrmVersion> form(new TFrmVersion(std::move(deps)));
  const int w = ScalePx(kWidth), h = ScalePx(kHeight);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName,
                  Utf8ToWide(form->deps_.caption).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  (work.left + work.right - w) / 2, (work.top + work.bottom - h) / 2, w, h, owner,
                  nullptr, instance, form.get());
  if (!form->hwnd_) return nullptr;
  return form;
}

TFrmVersion::~TFrmVersion() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void TFrmVersion::FormCreate() {
  font_ = MessageFont();
  LOGFONTW lf{};
  GetObjectW(font_.get(), sizeof(lf), &lf);
  lf.lfHeight = lf.lfHeight * 3 / 2;
  lf.lfWeight = FW_BOLD;
  title_font_.reset(CreateFontIndirectW(&lf));
  icon_.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, ScalePx(48), ScalePx(48), 0)));
  const lang::ServiceTexts& t = *deps_.texts;
  const int m = ScalePx(16), left = ScalePx(80), w = ScalePx(kWidth) - left - m, line = ScalePx(20);
  HWND image = MakeControl(hwnd_, L"STATIC", "", WS_VISIBLE | SS_ICON | SS_NOTIFY, m, m,
                           ScalePx(48), ScalePx(48), kImage1, nullptr);
  SendMessageW(image, STM_SETICON, reinterpret_cast<WPARAM>(icon_.get()), 0);
  const auto label = [&](Control id, const std::string& text, int top, HFONT font) {
    MakeControl(hwnd_, L"STATIC", text, WS_VISIBLE | SS_LEFT | SS_NOTIFY, left, top, w,
                font == title_font_.get() ? ScalePx(28) : line, id, font);
  };
  label(kLblProduct, deps_.product, m, title_font_.get());
  label(kLblVersion, deps_.version, m + ScalePx(30), font_.get());
  label(kLblDescription, t.AboutDescription, m + ScalePx(52), font_.get());
  label(kLblCopyright, t.AboutCopyright, m + ScalePx(74), font_.get());
  label(kLblHome, t.AboutHomeLink, m + ScalePx(96), font_.get());
  MakeControl(hwnd_, L"BUTTON", t.AboutOk, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
              ScalePx(kWidth) - m - ScalePx(88), ScalePx(130), ScalePx(80), ScalePx(26), kBtnOk,
              font_.get());
  if (deps_.test_build) {
    MakeControl(hwnd_, L"STATIC", t.AboutTestBuild, WS_VISIBLE | SS_LEFT, m, ScalePx(130),
                ScalePx(kWidth) - 2 * m - ScalePx(96), ScalePx(40), kLblTestBuild, font_.get());
  }
}

LRESULT TFrmVersion::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (id == kBtnOk || id == IDCANCEL) {
        ShowWindow(hwnd_, SW_HIDE);
      } else if (HIWORD(wp) == STN_CLICKED && id >= kImage1 && id <= kLblHome) {
        LabelClick();
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkMode(dc, TRANSPARENT);
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kLblHome) {
        SetTextColor(dc, RGB(0, 70, 180));
      } else if (GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kLblTestBuild) {
        SetTextColor(dc, RGB(200, 0, 0));
      }
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_SETCURSOR:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(wp)) >= kImage1 &&
          GetDlgCtrlID(reinterpret_cast<HWND>(wp)) <= kLblHome) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // Kept until the end of the run: closing only hides it.
      ShowWindow(hwnd_, SW_HIDE);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TFrmVersion::ShowAnimated() {
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (!IsWindowVisible(hwnd_)) AnimateWindow(hwnd_, 500, AW_BLEND | AW_ACTIVATE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void TFrmVersion::LabelClick() {
  if (deps_.open_home_page) deps_.open_home_page();
}

}  // namespace zd
