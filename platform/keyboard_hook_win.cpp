#include "platform/keyboard_hook_win.h"

#include "platform/errors.h"
#include "platform/handles_win.h"

namespace zd {
namespace {

// A low-level hook has no data of its own; it runs on the thread that set it.
thread_local KeyboardHook* t_hook = nullptr;

}  // namespace

KeyboardHook::KeyboardHook(Handler handler) : handler_(std::move(handler)) {
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
  installed_ = hook != nullptr;
  SetEvent(ready);
  if (!hook) return;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
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

RegisteredHotkey::RegisteredHotkey(HWND window, int id, UINT modifiers, UINT vk)
    : window_(window),
      id_(id),
      registered_(RegisterHotKey(window, id, modifiers | MOD_NOREPEAT, vk) != 0) {}

RegisteredHotkey::~RegisteredHotkey() {
  if (registered_) UnregisterHotKey(window_, id_);
}

}  // namespace zd
