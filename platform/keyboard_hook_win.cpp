#include "platform/keyboard_hook_win.h"

#include <algorithm>
#include <vector>

#include "platform/errors.h"

namespace zd {
namespace {

// A low-level hook has no data of its own: one hook serves every handler of
// the thread.
std::vector<KeyboardHook*>& Hooks() {
  static std::vector<KeyboardHook*> hooks;
  return hooks;
}
HHOOK g_hook = nullptr;

}  // namespace

KeyboardHook::KeyboardHook(Handler handler) : handler_(std::move(handler)) {
  if (!g_hook) {
    g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0);
  }
  if (g_hook) Hooks().push_back(this);
}

KeyboardHook::~KeyboardHook() {
  std::erase(Hooks(), this);
  if (Hooks().empty() && g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}

bool KeyboardHook::installed() const {
  return std::find(Hooks().begin(), Hooks().end(), this) != Hooks().end();
}

LRESULT CALLBACK KeyboardHook::HookProc(int code, WPARAM wp, LPARAM lp) {
  // The hook only watches: every key goes on to where it was going.
  // https://learn.microsoft.com/windows/win32/winmsg/lowlevelkeyboardproc
  if (code == HC_ACTION) {
    const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
    const bool down = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
    try {
      for (KeyboardHook* hook : std::vector<KeyboardHook*>(Hooks())) {
        if (hook->handler_) hook->handler_(key.vkCode, down, key.time);
      }
    } catch (...) {
      RecordCurrentException("KeyboardHook");
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

RegisteredHotkey::RegisteredHotkey(HWND window, int id, UINT modifiers, UINT vk)
    : window_(window), id_(id), registered_(RegisterHotKey(window, id, modifiers | MOD_NOREPEAT, vk) != 0) {}

RegisteredHotkey::~RegisteredHotkey() {
  if (registered_) UnregisterHotKey(window_, id_);
}

}  // namespace zd
