// Small helpers for building the main window from plain Win32 controls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zd {

// The window and panel colour: a very light blue-white.
inline constexpr COLORREF kFormColor = RGB(245, 250, 254);

// A plain container window. It paints the form colour and passes the
// notifications of its children (commands, notifications, owner drawing,
// colours, scrolling, context menus) up to the window object it lies in, so
// every handler lives in that window's procedure (window_win.cpp).
inline constexpr wchar_t kPanelClass[] = L"ZapdockPanel";
bool RegisterPanelClass(HINSTANCE instance);
// The brush of the form colour, made once for the process.
HBRUSH FormBrush();

// Text of a window as UTF-8.
std::string WindowTextUtf8(HWND hwnd);
void SetWindowTextUtf8(HWND hwnd, std::string_view text);

bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

}  // namespace zd
