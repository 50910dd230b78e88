// The notification-area icon. Deleted by the destructor, and added again when
// Explorer restarts (the shell broadcasts "TaskbarCreated"), since the icon is
// the user's only way back to a hidden window.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace zd {

inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;

class TrayIcon {
 public:
  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Added, then asked to speak NOTIFYICON_VERSION_4, so that the icon can be
  // used by keyboard (NIN_KEYSELECT, WM_CONTEXTMENU with the icon's place).
  bool Add(HWND owner, HICON icon, const std::wstring& tip);
  void Remove();
  bool added() const { return added_; }
  // The shell took NOTIFYICON_VERSION_4: the callback's lParam carries the
  // event in its low word, wParam the icon's place on the screen.
  bool version4() const { return added_ && version4_; }
  // True when `message` is the shell's "TaskbarCreated"; the icon is then re-added.
  bool HandleTaskbarCreated(UINT message);

 private:
  void SetVersion();

  NOTIFYICONDATAW data_{};
  bool added_ = false;
  bool version4_ = false;
  UINT taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
};

}  // namespace zd
