#include "platform/window_win.h"

#include "platform/errors.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"

namespace zd {

int ShowMessageBox(const MessageBoxFn& hook, HWND owner, const std::string& text,
                   const std::string& caption, UINT flags) {
  if (hook) return hook(owner, text, caption, flags);
  return MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), flags);
}

bool RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                             HBRUSH background, UINT style) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.hIcon = LoadIconW(instance, L"MAINICON");
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int WindowDpi(HWND hwnd) {
  // GetDpiForWindow exists from Windows 10 1607 on; older systems have one DPI.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && get_dpi) {
    if (const UINT dpi = get_dpi(hwnd)) return static_cast<int>(dpi);
  }
  WindowDC screen;
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : 96;
}

int ScalePx(int design_pixels, HWND hwnd) { return MulDiv(design_pixels, WindowDpi(hwnd), 96); }

POINT CentreInWorkArea(int width, int height, POINT offset) {
  RECT work{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return {(work.left + work.right - width) / 2 + offset.x,
          (work.top + work.bottom - height) / 2 + offset.y};
}

void RunModal(HWND window, HWND owner) {
  const bool owner_was_enabled = owner && IsWindowEnabled(owner);
  if (owner_was_enabled) EnableWindow(owner, FALSE);
  MSG msg;
  while (IsWindow(window) && IsWindowVisible(window)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (owner_was_enabled && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
}

namespace {

constexpr wchar_t kObjectProperty[] = L"ZapdockWindow";

bool IsWindowObject(HWND hwnd) { return GetPropW(hwnd, kObjectProperty) != nullptr; }

// A plain container: it paints the form colour and hands its children's
// notifications to the window object it belongs to, where the handlers are.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CONTEXTMENU: {
      HWND target = GetParent(hwnd);
      while (target && !IsWindowObject(target)) target = GetParent(target);
      if (!target) target = GetAncestor(hwnd, GA_ROOT);
      if (target && target != hwnd) return SendMessageW(target, msg, wp, lp);
      break;
    }
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wp), &rc, FormBrush());
      return 1;
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

BOOL CALLBACK TellOfDpi(HWND child, LPARAM dpi) {
  if (IsWindowObject(child)) SendMessageW(child, WM_DPICHANGED_AFTERPARENT, dpi, 0);
  return TRUE;
}

}  // namespace

bool RegisterPanelClass(HINSTANCE instance) {
  return RegisterWindowClassOnce(instance, kPanelClass, PanelProc, FormBrush());
}

Window::CreateArgs Window::CreateArgs::Dialog(const wchar_t* class_name, std::string caption,
                                              HWND owner, int width, int height, bool sizeable) {
  CreateArgs args;
  args.class_name = class_name;
  args.background = GetSysColorBrush(COLOR_BTNFACE);
  args.caption = std::move(caption);
  args.style = WS_CAPTION | WS_SYSMENU | (sizeable ? WS_THICKFRAME : WS_POPUP);
  args.ex_style = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  args.parent = owner;
  args.place = Place::kCentred;
  args.width = width;
  args.height = height;
  return args;
}

Window::CreateArgs Window::CreateArgs::Child(const wchar_t* class_name, HWND parent, Place place) {
  CreateArgs args;
  args.class_name = class_name;
  args.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
  args.ex_style = WS_EX_CONTROLPARENT;
  args.parent = parent;
  args.place = place;
  return args;
}

Window::Window() : factory_(GetModuleHandleW(nullptr), fonts_) {}

Window::~Window() {
  if (!hwnd_) return;
  // The derived part is gone: the last messages get the default handling.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  RemovePropW(hwnd_, kObjectProperty);
  DestroyWindow(hwnd_);
}

bool Window::Create(const CreateArgs& args) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterWindowClassOnce(instance, args.class_name, &Window::Proc,
                               args.background ? args.background : FormBrush()) ||
      !RegisterPanelClass(instance)) {
    return false;
  }
  place_ = args.place;
  design_ = {args.x, args.y, args.x + args.width, args.y + args.height};
  SetScale(WindowDpi(args.parent));
  int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
  int w = Px(args.width), h = Px(args.height);
  switch (args.place) {
    case Place::kDefault:
      break;
    case Place::kCentred: {
      const POINT at = CentreInWorkArea(w, h, args.centre_offset);
      x = at.x;
      y = at.y;
      break;
    }
    case Place::kAt:
      x = Px(args.x);
      y = Px(args.y);
      break;
    case Place::kFillParent: {
      RECT rc{};
      GetClientRect(args.parent, &rc);
      x = y = 0;
      w = rc.right;
      h = rc.bottom;
      break;
    }
  }
  CreateWindowExW(args.ex_style, args.class_name, Utf8ToWide(args.caption).c_str(), args.style, x,
                  y, w, h, args.parent, nullptr, instance, this);
  return hwnd_ != nullptr;
}

void Window::SetScale(int dpi) {
  dpi_ = dpi;
  factory_.set_scale(dpi / 96.0);
  fonts_.Make(dpi / 96.0);
}

std::pair<int, int> Window::ClientSize() const {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  return {rc.right, rc.bottom};
}

void Window::OnClick(const Control& control, std::function<void()> handler) {
  if (control) clicks_.emplace_back(control.hwnd(), std::move(handler));
}

int Window::ShowMessage(const std::string& text, const std::string& caption, UINT flags) const {
  return ShowMessageBox(message_box_, hwnd_, text, caption, flags);
}

void Window::Rescale(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  // Controls hold the old fonts until they get the new ones.
  Fonts old = std::move(fonts_);
  SetScale(dpi);
  if (place_ == Place::kAt) {
    MoveWindow(hwnd_, Px(design_.left), Px(design_.top), Px(design_.right - design_.left),
               Px(design_.bottom - design_.top), TRUE);
  }
  factory_.Rescale(dpi / 96.0);
  OnRescaled();
  Layout();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::TellChildWindows(int dpi) {
  // Windows tells only some child windows of a new DPI, and not on every
  // version: each window object inside hears it from its top-level window.
  EnumChildWindows(hwnd_, TellOfDpi, dpi);
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT Window::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      OnCreate();
      factory_.SendGroupBoxesToBottom();
      Layout();
      return 0;
    case WM_SIZE:
      Layout();
      return OnMessage(msg, wp, lp);
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lp);
      Rescale(HIWORD(wp));
      SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      TellChildWindows(HIWORD(wp));
      return 0;
    }
    case WM_DPICHANGED_AFTERPARENT:
      Rescale(wp ? static_cast<int>(wp) : WindowDpi(hwnd_));
      return 0;
    case WM_COMMAND: {
      const HWND control = reinterpret_cast<HWND>(lp);
      const UINT code = HIWORD(wp);
      if (control && (code == BN_CLICKED || code == STN_CLICKED)) {
        for (const auto& [clicked, handler] : clicks_) {
          if (clicked != control) continue;
          if (handler) handler();
          return 0;
        }
      }
      break;
    }
  }
  return OnMessage(msg, wp, lp);
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetPropW(hwnd, kObjectProperty, reinterpret_cast<HANDLE>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    RemovePropW(hwnd, kObjectProperty);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  // A failure inside a handler must never unwind through the window procedure.
  try {
    return self->Handle(msg, wp, lp);
  } catch (...) {
    RecordCurrentException("window procedure");
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace zd
