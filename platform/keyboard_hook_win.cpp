#include "platform/keyboard_hook_win.h"

#include "platform/errors.h"
#include "platform/handles_win.h"

namespace zd {
namespace {

// A low-level hook has no data of its own; it runs on the thread that set it.
thread_local KeyboardHook* t_hook = nullptr;

}  // namespace

KeyboardHook::KeyboardHook(Handler handler, PointerHandler pointer)
    : handler_(std::move(handler)), pointer_(std::move(pointer)) {
  UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return;
  thread_ = std::thread([this, event = ready.get()] { Run(event); });
  WaitForSingleObject(ready.get(), INFINITE);
}

KeyboardHook::~KeyboardHook() {
  if (!thread_.joinable()) return;
  PostThreadMessageW(thread_id_, WM_QUIT, 0, 0);
  thread_.join();
}

void KeyboardHook::Run(HANDLE ready) {
  thread_id_ = GetCurrentThreadId();
  // The thread's message queue exists before anyone posts to it.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  t_hook = this;
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0);
  // Without the mouse's hook the keys still work; a click merely does not
  // break a double press then.
  HHOOK mouse = hook && pointer_
                    ? SetWindowsHookExW(WH_MOUSE_LL, MouseProc, GetModuleHandleW(nullptr), 0)
                    : nullptr;
  installed_ = hook != nullptr;
  SetEvent(ready);
  if (!hook) return;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  if (mouse) UnhookWindowsHookEx(mouse);
  UnhookWindowsHookEx(hook);
  t_hook = nullptr;
}

LRESULT CALLBACK KeyboardHook::HookProc(int code, WPARAM wp, LPARAM lp) {
  // The hook only watches: every key goes on to where it was going.
  // https://learn.microsoft.com/windows/win32/winmsg/lowlevelkeyboardproc
  if (code == HC_ACTION && t_hook && t_hook->handler_) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    const bool down = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
    try {
      t_hook->handler_(key.vkCode, down, key.time);
    } catch (...) {
      RecordCurrentException("KeyboardHook");
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyboardHook::MouseProc(int code, WPARAM wp, LPARAM lp) {
  // Watches only, as the keys' hook does.
  // https://learn.microsoft.com/windows/win32/winmsg/lowlevelmouseproc
  if (code == HC_ACTION && t_hook && t_hook->pointer_) {
    switch (wp) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_XBUTTONDOWN:
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL:
        try {
          t_hook->pointer_(reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->time);
        } catch (...) {
          RecordCurrentException("KeyboardHook");
        }
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

RegisteredHotkey::RegisteredHotkey(HWND window, int id, UINT modifiers, UINT vk)
    : window_(window),
      id_(id),
      registered_(RegisterHotKey(window, id, modifiers | MOD_NOREPEAT, vk) != 0) {}

RegisteredHotkey::~RegisteredHotkey() {
  if (registered_) UnregisterHotKey(window_, id_);
}

}  // namespace zd
