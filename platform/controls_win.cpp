#include "platform/controls_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include "platform/wide_win.h"
#include "platform/win_util_win.h"

namespace zd {

bool Control::Visible() const {
  return hwnd_ && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::Show(bool shown) const {
  if (hwnd_) ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
}

std::string Control::Text() const { return hwnd_ ? WindowTextUtf8(hwnd_) : std::string(); }

void Control::SetText(std::string_view text) const {
  if (hwnd_) SetWindowTextUtf8(hwnd_, text);
}

void Control::Place(int x, int y, int width, int height) const {
  if (hwnd_) MoveWindow(hwnd_, x, y, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
}

RECT Control::RectInParent() const {
  RECT r{};
  if (!hwnd_) return r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Control::BringToTop() const {
  if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Control::SendToBottom() const {
  if (hwnd_) {
    SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Control::PostClick() const {
  if (!hwnd_) return;
  PostMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
               reinterpret_cast<LPARAM>(hwnd_));
}

void Button::SetImage(HBITMAP image) const {
  SendMessageW(hwnd(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
}

bool CheckBox::Checked() const { return IsChecked(hwnd()); }
void CheckBox::SetChecked(bool checked) const { zd::SetChecked(hwnd(), checked); }

int ListBox::Count() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0)); }

std::string ListBox::Row(int index) const {
  const LRESULT length = SendMessageW(hwnd(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return WideToUtf8(text);
}

int ComboBox::Count() const { return static_cast<int>(SendMessageW(hwnd(), CB_GETCOUNT, 0, 0)); }

void ComboBox::AddItem(std::string_view text) const {
  SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

int ComboBox::Selected() const {
  return static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
}

void ComboBox::Select(int index) const { SendMessageW(hwnd(), CB_SETCURSEL, index, 0); }

std::string ComboBox::ItemText(int index) const {
  const LRESULT length = SendMessageW(hwnd(), CB_GETLBTEXTLEN, index, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return WideToUtf8(text);
}

int TabControl::Selected() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
}
void TabControl::Select(int index) const { SendMessageW(hwnd(), TCM_SETCURSEL, index, 0); }
int TabControl::Count() const {
  return static_cast<int>(SendMessageW(hwnd(), TCM_GETITEMCOUNT, 0, 0));
}

void TabControl::AddTab(std::string_view caption) const { InsertTab(Count(), caption); }

void TabControl::InsertTab(int index, std::string_view caption) const {
  std::wstring text = Utf8ToWide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(hwnd(), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
}

void TabControl::DeleteTab(int index) const { SendMessageW(hwnd(), TCM_DELETEITEM, index, 0); }

void TabControl::SetTabText(int index, std::string_view caption) const {
  std::wstring text = Utf8ToWide(caption);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text.data();
  SendMessageW(hwnd(), TCM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
}

std::string TabControl::TabText(int index) const {
  wchar_t text[128] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = ARRAYSIZE(text);
  SendMessageW(hwnd(), TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
  return WideToUtf8(text);
}

void ScrollBar::SetRange(int minimum, int maximum, int position) const {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = minimum;
  si.nMax = maximum;
  si.nPage = 1;
  si.nPos = position;
  SetScrollInfo(hwnd(), SB_CTL, &si, FALSE);
}

SCROLLINFO ScrollBar::Info() const {
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd(), SB_CTL, &si);
  return si;
}

int ScrollBar::Position() const { return GetScrollPos(hwnd(), SB_CTL); }
void ScrollBar::SetPosition(int position) const { SetScrollPos(hwnd(), SB_CTL, position, TRUE); }

void ProgressBar::SetStep(int step) const { SendMessageW(hwnd(), PBM_SETSTEP, step, 0); }
void ProgressBar::Step() const { SendMessageW(hwnd(), PBM_STEPIT, 0, 0); }
void ProgressBar::SetPosition(int position) const { SendMessageW(hwnd(), PBM_SETPOS, position, 0); }

void Fonts::Make(double scale) {
  auto make = [scale](int height) {
    const int pixels = static_cast<int>(height * scale + 0.5);
    return UniqueFont(CreateFontW(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                  DEFAULT_PITCH, L"宋体"));
  };
  normal = make(13);
  fav_edit = make(15);
  small = make(12);
  tab = make(MulDiv(10, 96, 72));  // the outer tabs' captions: 10 points
  // The message font comes at the system's DPI.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  LOGFONTW lf = metrics.lfMessageFont;
  WindowDC screen;
  const int system_dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  lf.lfHeight =
      MulDiv(lf.lfHeight, static_cast<int>(scale * 96 + 0.5), system_dpi > 0 ? system_dpi : 96);
  message = UniqueFont(CreateFontIndirectW(&lf));
  LOGFONTW big = lf;
  big.lfHeight = lf.lfHeight * 3 / 2;
  big.lfWeight = FW_BOLD;
  title = UniqueFont(CreateFontIndirectW(&big));
  LOGFONTW underlined = lf;
  underlined.lfUnderline = TRUE;
  link = UniqueFont(CreateFontIndirectW(&underlined));
}

HFONT Fonts::Get(Role role) const {
  switch (role) {
    case kFavEdit:
      return fav_edit.get();
    case kSmall:
      return small.get();
    case kTab:
      return tab.get();
    case kMessage:
      return message.get();
    case kTitle:
      return title.get();
    case kLink:
      return link.get();
    case kNormal:
      break;
  }
  return normal.get();
}

int ControlFactory::Px(int design_pixels) const {
  return static_cast<int>(design_pixels * scale_ + (design_pixels >= 0 ? 0.5 : -0.5));
}

bool ControlFactory::Make(Control& control, const wchar_t* window_class, std::string_view text,
                          DWORD style, HWND parent, int x, int y, int width, int height,
                          DWORD ex_style, Fonts::Role font) {
  const UINT id = next_id_++;
  // Static texts show "&" as it is: a document's name or path is no caption
  // with an accelerator.
  if (lstrcmpiW(window_class, L"STATIC") == 0) style |= SS_NOPREFIX;
  HWND hwnd = CreateWindowExW(
      ex_style, window_class, Utf8ToWide(text).c_str(), style, Px(x), Px(y), Px(width), Px(height),
      parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), instance_, nullptr);
  control.hwnd_ = hwnd;
  if (!hwnd) return false;
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(font)), FALSE);
  if (lstrcmpiW(window_class, L"BUTTON") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX) {
    group_boxes_.push_back(hwnd);
  }
  made_.push_back({hwnd, RECT{x, y, x + width, y + height}, font});
  return true;
}

void ControlFactory::SendGroupBoxesToBottom() {
  for (HWND box : group_boxes_) {
    SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void ControlFactory::CreateTooltip(HWND owner) {
  // TTS_NOPREFIX: a hint that is a document's path shows its "&" as it is.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance_, nullptr);
}

void ControlFactory::AddHint(const Control& control, std::string_view hint) {
  if (!tooltip_ || !control || hint.empty()) return;
  std::wstring text = Utf8ToWide(hint);
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(control.hwnd());
  ti.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
  ti.lpszText = text.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlFactory::SetHint(const Control& control, std::string_view hint) {
  if (!tooltip_ || !control) return;
  std::wstring text = Utf8ToWide(hint);
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = GetParent(control.hwnd());
  ti.uId = reinterpret_cast<UINT_PTR>(control.hwnd());
  if (!SendMessageW(tooltip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) {
    AddHint(control, hint);
    return;
  }
  ti.lpszText = text.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlFactory::CancelHint() {
  if (tooltip_) SendMessageW(tooltip_, TTM_POP, 0, 0);
}

void ControlFactory::Rescale(double scale) {
  scale_ = scale;
  for (const Made& made : made_) {
    if (!IsWindow(made.hwnd)) continue;
    const RECT& r = made.design;
    MoveWindow(made.hwnd, Px(r.left), Px(r.top), Px(r.right - r.left), Px(r.bottom - r.top), FALSE);
    SendMessageW(made.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(made.font)), FALSE);
  }
}

}  // namespace zd
