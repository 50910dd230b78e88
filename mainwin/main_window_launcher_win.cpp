// The main window's launcher: the global hotkey that brings it forward with
// the search box ready, its going away again, and the last session reopened.
#include <windows.h>

#include <optional>

#include "launch/last_session.h"
#include "mainwin/main_window_win.h"
#include "platform/errors.h"

namespace zd {

bool MainWindow::SetHotkey(int stored) {
  const HotkeyChoice choice = HotkeyChoiceOf(stored);
  keyboard_hook_.reset();
  registered_hotkey_.reset();
  double_tap_ = DoubleTap();
  hotkey_choice_ = choice;
  if (!deps_.global_hotkey || choice == HotkeyChoice::kOff || !hwnd_) return true;
  bool ok = false;
  if (IsDoubleTap(choice)) {
    keyboard_hook_ = std::make_unique<KeyboardHook>(
        [this](UINT vk, bool down, uint32_t time_ms) { HotkeyKey(vk, down, time_ms); },
        // Ctrl+click (a multiple selection in Explorer) and Ctrl+wheel (a
        // zoom) are no double press: a button or the wheel breaks it.
        [this](uint32_t time_ms) { double_tap_.OnKey(DoubleTap::Key::kOther, true, time_ms); });
    ok = keyboard_hook_->installed();
  } else {
    const bool alt_space = choice == HotkeyChoice::kAltSpace;
    registered_hotkey_ = std::make_unique<RegisteredHotkey>(
        hwnd_, kHotkeyId, alt_space ? MOD_ALT : MOD_CONTROL | MOD_ALT, alt_space ? VK_SPACE : 'Z');
    ok = registered_hotkey_->registered();
  }
  if (!ok) {
    keyboard_hook_.reset();
    registered_hotkey_.reset();
    hotkey_choice_ = HotkeyChoice::kOff;
  }
  return ok;
}

void MainWindow::HotkeyKey(UINT vk, bool down, uint32_t time_ms) {
  const bool ctrl = vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL;
  const bool shift = vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT;
  const bool tapped = hotkey_choice_ == HotkeyChoice::kDoubleShift ? shift : ctrl;
  // Inside the hook: the window does the showing once the hook has returned.
  if (double_tap_.OnKey(tapped ? DoubleTap::Key::kTapped : DoubleTap::Key::kOther, down, time_ms)) {
    PostMessageW(hwnd_, kHotkeyMessage, 0, 0);
  }
}

void MainWindow::ShowFromHotkey() {
  if (!hwnd_ || !launcher_) return;
  ShowAtBottomRight();
  if (OuterTabs.Selected() != 0) {
    OuterTabs.Select(0);
    OuterTabsChange();
  }
  // A key pressed in another program's window gives this one no right to
  // the foreground: it borrows the input of the window that has it.
  // https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setforegroundwindow
  if (!SetForegroundWindow(hwnd_)) {
    const DWORD mine = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    if (theirs && theirs != mine && AttachThreadInput(mine, theirs, TRUE)) {
      SetForegroundWindow(hwnd_);
      BringWindowToTop(hwnd_);
      AttachThreadInput(mine, theirs, FALSE);
    }
  }
  const Edit& box = launcher_->EdtSearch;
  SetFocus(box.hwnd());
  SendMessageW(box.hwnd(), EM_SETSEL, 0, -1);
  summoned_ = true;
}

void MainWindow::Dismiss() {
  summoned_ = false;
  launcher_->search_row().HideResults();
  ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::SetSearchRanked(bool ranked) {
  launcher_->search_row().search().SetRanked(ranked);
}

void MainWindow::RestoreLastSession() {
  try {
    const std::vector<SessionDoc> docs = app_->LastSessionDocs(deps_.exe_path);
    const lang::InterfaceTexts& texts = lang::Texts();
    if (docs.empty()) {
      ShowMessage(texts.LastSessionEmpty, texts.TipsCaption, MB_OK | MB_ICONINFORMATION);
      return;
    }
    // The question names what will open, each with a tick that leaves it out.
    if (!last_session_window_) {
      last_session_window_ = LastSessionWindow::Create(hwnd_, deps_.language_index);
      if (!last_session_window_) return;
    }
    const std::optional<std::vector<std::string>> chosen = last_session_window_->Ask(docs);
    if (chosen) OpenLastSession(*chosen, app_->opener());
  }
  ZD_CATCH_LOG(__func__)
}

}  // namespace zd
