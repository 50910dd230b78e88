// Helpers for the subclass procedures through which the pages see key and
// mouse messages before their controls do.
#pragma once

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include "platform/errors.h"

namespace zd {

// WM_GETDLGCODE of a control that takes Enter and Escape itself: without
// this the window's dialog navigation turns them into IDOK and IDCANCEL.
inline LRESULT WantEnterAndEscape(LRESULT code, LPARAM message) {
  const auto* msg = reinterpret_cast<const MSG*>(message);
  if (msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
      (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

// A handler run inside a subclass procedure, a C callback: a failure is
// recorded there and never unwinds further. False after a failure.
template <typename Handler>
bool RunGuarded(const char* where, Handler&& handler) noexcept {
  try {
    return handler();
  } catch (...) {
    RecordCurrentException(where);
    return false;
  }
}

// Takes a subclass procedure off a window that still exists: a destroyed
// window has dropped it already, and its handle may name another by now.
inline void RemoveSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
  if (window && IsWindow(window)) RemoveWindowSubclass(window, proc, id);
}

// The key state of a mouse message.
inline bool CtrlHeld(WPARAM mouse_keys) { return (mouse_keys & MK_CONTROL) != 0; }
inline bool ShiftHeld(WPARAM mouse_keys) { return (mouse_keys & MK_SHIFT) != 0; }

}  // namespace zd
