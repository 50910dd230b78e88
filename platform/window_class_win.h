// The plumbing every window class of ours shares: registering a class once,
// a window procedure that reaches the C++ object and catches at the boundary,
// the message font, and text in UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/errors.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace zd {

// Registers a class whose windows carry a pointer to a T (given as the
// creation parameter). T has `HWND hwnd_` and `LRESULT WndProc(UINT, WPARAM,
// LPARAM)`; WM_NCDESTROY clears the pointer, after which T may go.
template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  T* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  // A failure inside a handler must never unwind through the window procedure.
  try {
    return self->WndProc(msg, wp, lp);
  } catch (...) {
    RecordCurrentException("window procedure");
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

// Sizes a window and places it in the middle of the screen.
inline void CenterOnScreen(HWND hwnd, int width, int height) {
  SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// Registers the class once per process; true when it is registered.
inline bool RegisterWindowClassOnce(HINSTANCE instance, const wchar_t* name, WNDPROC proc,
                                    HBRUSH background, UINT style = 0) {
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

// The font Windows uses in message boxes, at the system's DPI.
inline UniqueFont MessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    return UniqueFont(nullptr);
  }
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The DPI a window is shown at (its monitor's), or the system's without one.
// GetDpiForWindow exists from Windows 10 1607 on; older systems have one DPI.
inline int WindowDpi(HWND hwnd) {
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

// Design pixels (at 96 DPI) at the DPI of `hwnd` (the system's by default).
inline int ScalePx(int design_pixels, HWND hwnd = nullptr) {
  return MulDiv(design_pixels, WindowDpi(hwnd), 96);
}

inline void SetTextUtf8(HWND hwnd, std::string_view text) {
  SetWindowTextW(hwnd, Utf8ToWide(text).c_str());
}

inline std::string TextUtf8(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? got : 0);
  return WideToUtf8(text);
}

// A child control with the given font.
inline HWND MakeControl(HWND parent, const wchar_t* cls, std::string_view text, DWORD style, int x,
                        int y, int w, int h, int id, HFONT font, DWORD ex_style = 0) {
  // Static texts show "&" as it is (names, paths, addresses).
  if (lstrcmpiW(cls, L"STATIC") == 0) style |= SS_NOPREFIX;
  HWND hwnd = CreateWindowExW(ex_style, cls, Utf8ToWide(text).c_str(), WS_CHILD | style, x, y, w, h,
                              parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              GetModuleHandleW(nullptr), nullptr);
  if (hwnd && font) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

// Runs a modal loop until `window` is gone: its owner is disabled meanwhile.
// A WM_QUIT that arrives ends the loop and is posted again for the main loop.
inline void RunModal(HWND window, HWND owner) {
  const bool owner_was_enabled = owner && IsWindowEnabled(owner);
  if (owner_was_enabled) EnableWindow(owner, FALSE);
  MSG msg;
  while (IsWindow(window)) {
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

}  // namespace zd
