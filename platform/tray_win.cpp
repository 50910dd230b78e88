#include "platform/tray_win.h"

#include <shellapi.h>

namespace zd {

bool TrayIcon::Add(HWND owner, HICON icon, const std::wstring& tip) {
  Remove();
  data_ = {};
  data_.cbSize = sizeof(data_);
  data_.hWnd = owner;
  data_.uID = 0;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = kTrayCallbackMessage;
  data_.hIcon = icon;
  lstrcpynW(data_.szTip, tip.c_str(), ARRAYSIZE(data_.szTip));
  added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
  SetVersion();
  return added_;
}

void TrayIcon::SetVersion() {
  // Asked after every NIM_ADD: the shell forgets it with the icon.
  version4_ = false;
  if (!added_) return;
  NOTIFYICONDATAW version = data_;
  version.uVersion = NOTIFYICON_VERSION_4;
  version4_ = Shell_NotifyIconW(NIM_SETVERSION, &version) != FALSE;
}

void TrayIcon::Remove() {
  if (!added_) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
  version4_ = false;
}

bool TrayIcon::HandleTaskbarCreated(UINT message) {
  if (message != taskbar_created_ || taskbar_created_ == 0) return false;
  if (data_.hWnd) {
    added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    SetVersion();
  }
  return true;
}

}  // namespace zd
