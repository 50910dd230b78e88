// Helpers for the subclass procedures through which the pages see key and
// mouse messages before their controls do.
#pragma once

#include <windows.h>

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

// The key state of a mouse message.
inline bool CtrlHeld(WPARAM mouse_keys) { return (mouse_keys & MK_CONTROL) != 0; }
inline bool ShiftHeld(WPARAM mouse_keys) { return (mouse_keys & MK_SHIFT) != 0; }

}  // namespace zd
