// What a global hotkey is made of: a low-level keyboard hook that sees every
// key of the session (for a key pressed twice, which no registered hotkey can
// express), and a hotkey registered with the system for the combinations.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <thread>

namespace zd {

// The hook lives on a thread of its own that does nothing else: every key of
// the session waits for it, so it must never wait for a window that is busy.
// It can watch the mouse's buttons and wheel too, on the same thread.
class KeyboardHook {
 public:
  // One key going down or up: its virtual-key code and the event's time
  // (the system's tick count). Runs on the hook's thread, inside the hook.
  using Handler = std::function<void(UINT vk, bool down, uint32_t time_ms)>;
  // A mouse button pressed or the wheel turned, at `time_ms`; moves are not
  // told. Runs on the hook's thread too, so never at once with Handler.
  using PointerHandler = std::function<void(uint32_t time_ms)>;

  explicit KeyboardHook(Handler handler, PointerHandler pointer = nullptr);
  ~KeyboardHook();
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  // False when the system refused the hook.
  bool installed() const { return installed_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp);
  void Run(HANDLE ready);

  Handler handler_;
  PointerHandler pointer_;
  bool installed_ = false;
  DWORD thread_id_ = 0;
  std::thread thread_;
};

// RegisterHotKey for a window, undone by the destructor.
class RegisteredHotkey {
 public:
  RegisteredHotkey(HWND window, int id, UINT modifiers, UINT vk);
  ~RegisteredHotkey();
  RegisteredHotkey(const RegisteredHotkey&) = delete;
  RegisteredHotkey& operator=(const RegisteredHotkey&) = delete;

  // False when another program holds the combination.
  bool registered() const { return registered_; }

 private:
  HWND window_;
  int id_;
  bool registered_;
};

}  // namespace zd
