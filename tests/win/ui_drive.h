// Driving another process's windows as a person would: start a program, wait
// for its window or message box, read the box's text, press its buttons.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/wide_win.h"

namespace zd {

// Presses the button of `window` (another process's) that shows `caption`:
// the window hears of it as it hears of a user's click.
inline bool PressButton(HWND window, const std::string& caption) {
  const HWND button = FindWindowExW(window, nullptr, L"Button", Utf8ToWide(caption).c_str());
  return button && PostMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                                reinterpret_cast<LPARAM>(button));
}

// A program started for a test; ended (after a grace period) when the test
// is done with it, so that none outlives the run.
class ChildProcess {
 public:
  ChildProcess(const std::wstring& exe, const std::wstring& arguments,
               const std::wstring& directory = L"") {
    std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    started_ = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              directory.empty() ? nullptr : directory.c_str(), &si, &pi_) != FALSE;
  }
  ~ChildProcess() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 2000) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return started_; }
  DWORD pid() const { return pi_.dwProcessId; }
  // Ends it at once, as a crash, a power cut or a forced log-off would.
  void Kill() const {
    if (!started_) return;
    TerminateProcess(pi_.hProcess, 9);
    WaitForSingleObject(pi_.hProcess, 10000);
  }
  // True when the process ended within the time; its exit code in `code`.
  bool WaitForExit(DWORD ms, DWORD* code = nullptr) const {
    if (!started_ || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
    if (code) GetExitCodeProcess(pi_.hProcess, code);
    return true;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
};

struct WindowQuery {
  DWORD pid;  // 0: any process
  const wchar_t* cls;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto& q = *reinterpret_cast<WindowQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[128] = {};
  GetClassNameW(hwnd, cls, 128);
  if ((q.pid == 0 || pid == q.pid) && lstrcmpW(cls, q.cls) == 0 && IsWindowVisible(hwnd)) {
    q.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the class (of the process), waiting for it.
inline HWND WaitForWindow(DWORD pid, const wchar_t* cls, DWORD ms) {
  for (DWORD waited = 0;; waited += 50) {
    WindowQuery q{pid, cls};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&q));
    if (q.found || waited >= ms) return q.found;
    Sleep(50);
  }
}

// A message box of the process (class "#32770").
inline HWND WaitForMessageBox(DWORD pid, DWORD ms) { return WaitForWindow(pid, L"#32770", ms); }

inline std::string WindowTextOf(HWND hwnd) {
  wchar_t text[2048] = {};
  GetWindowTextW(hwnd, text, 2048);
  return WideToUtf8(text);
}

// The text of a message box (its static control 0xFFFF).
inline std::string MessageBoxText(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? WindowTextOf(text) : std::string();
}

// Presses a button of a dialog or message box (IDOK, IDYES, ...).
inline void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The most rows of any tree and of any list box among a window's children
// (with `shown_only`, of those shown).
struct RowCounts {
  LRESULT tree = 0;
  LRESULT list = 0;
  bool shown_only = false;
};

inline BOOL CALLBACK CountChildRows(HWND hwnd, LPARAM param) {
  auto& most = *reinterpret_cast<RowCounts*>(param);
  if (most.shown_only && !IsWindowVisible(hwnd)) return TRUE;
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  if (lstrcmpiW(cls, L"SysTreeView32") == 0) {
    most.tree = std::max(most.tree, SendMessageW(hwnd, 0x1105 /* TVM_GETCOUNT */, 0, 0));
  } else if (lstrcmpiW(cls, L"ListBox") == 0) {
    most.list = std::max(most.list, SendMessageW(hwnd, LB_GETCOUNT, 0, 0));
  }
  return TRUE;
}

inline RowCounts RowsOf(HWND window, bool shown_only = false) {
  RowCounts most;
  most.shown_only = shown_only;
  EnumChildWindows(window, CountChildRows, reinterpret_cast<LPARAM>(&most));
  return most;
}

// Waits until a tree of the window shows at least `tree_rows` rows and a list
// box at least `list_rows`, and the window answers; message boxes of the
// process met meanwhile are answered with OK and counted in `boxes`. False
// when the process ended or the time ran out. With `shown_only`, only the
// trees and lists on show count.
inline bool WaitForRows(const ChildProcess& program, HWND window, LRESULT tree_rows,
                        LRESULT list_rows, DWORD ms, int* boxes = nullptr,
                        bool shown_only = false) {
  for (DWORD waited = 0; waited < ms; waited += 5) {
    if (HWND box = WaitForMessageBox(program.pid(), 0)) {
      PressButton(box, IDOK);
      if (boxes) ++*boxes;
    }
    const RowCounts rows = RowsOf(window, shown_only);
    DWORD_PTR answer = 0;
    if (rows.tree >= tree_rows && rows.list >= list_rows &&
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer)) {
      return true;
    }
    if (program.WaitForExit(5)) return false;
  }
  return false;
}

inline bool PathExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Waits until the path is gone; true when it went.
inline bool WaitUntilGone(const std::wstring& path, DWORD ms) {
  for (DWORD waited = 0; waited <= ms; waited += 100) {
    if (!PathExists(path)) return true;
    Sleep(100);
  }
  return false;
}

}  // namespace zd
