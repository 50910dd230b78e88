// The test helper program that opens windows with chosen titles, started and
// always ended by the tests that need real windows of another process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace zd {

inline constexpr wchar_t kHelperClass[] = L"ZdWindowHelper";

inline std::wstring OwnExePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// A program built beside the test's own executable.
inline std::wstring BesideUs(const wchar_t* name) {
  const std::wstring self = OwnExePath();
  return self.substr(0, self.find_last_of(L"\\/") + 1) + name;
}

inline std::wstring HelperExePath() { return BesideUs(L"zd_window_helper.exe"); }

inline bool SamePath(const std::string& a, const std::wstring& b) {
  return CompareStringOrdinal(Utf8ToWide(a).c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

struct FindRequest {
  DWORD pid;
  const std::wstring* title;
  HWND found;
};

inline BOOL CALLBACK FindHelperWindow(HWND hwnd, LPARAM param) {
  auto& request = *reinterpret_cast<FindRequest*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[64] = {}, title[512] = {};
  GetClassNameW(hwnd, cls, 64);
  GetWindowTextW(hwnd, title, 512);
  if (pid == request.pid && *request.title == title && lstrcmpW(cls, kHelperClass) == 0) {
    request.found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The helper program with its windows; always closed at the end, so that no
// process outlives the test run.
class HelperProcess {
 public:
  // `exe`: a copy of the helper under another name (a browser's, say).
  explicit HelperProcess(const std::vector<std::wstring>& windows,
                         const std::wstring& exe = HelperExePath()) {
    std::wstring command = L"\"" + exe + L"\"";
    for (const std::wstring& w : windows) command += L" \"" + w + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &si, &pi_) != FALSE;
  }
  ~HelperProcess() {
    if (!started_) return;
    if (first_) PostMessageW(first_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  bool started() const { return started_; }
  // The helper's window with this title, waiting up to 20 s for it.
  HWND Window(const std::wstring& title) {
    for (int waited = 0; waited < 20000; waited += 50) {
      FindRequest request{pi_.dwProcessId, &title, nullptr};
      EnumWindows(FindHelperWindow, reinterpret_cast<LPARAM>(&request));
      if (request.found) {
        if (!first_) first_ = request.found;
        // Its main thread may still be making the other windows: a title read
        // by message would then time out. Wait until it serves messages.
        WaitForInputIdle(pi_.hProcess, 10000);
        return request.found;
      }
      if (WaitForSingleObject(pi_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  HWND first_ = nullptr;
};

// Another program holding a file open: the test helper, in a process of its
// own, with read sharing only (no FILE_SHARE_DELETE) or no sharing at all.
class FileHolder {
 public:
  FileHolder(const std::string& path, int hold_ms, const wchar_t* share = L"read") {
    static int counter = 0;
    const std::wstring event_name = L"Local\\ZdFileHeld" + std::to_wstring(GetCurrentProcessId()) +
                                    L"_" + std::to_wstring(counter++);
    UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, event_name.c_str()));
    std::wstring command = L"\"" + HelperExePath() + L"\" hold \"" + Utf8ToWide(path) + L"\" " +
                           std::to_wstring(hold_ms) + L" " + share + L" " + event_name;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi_)) {
      return;
    }
    started_ = true;
    HANDLE either[] = {held.get(), pi_.hProcess};
    holding_ = WaitForMultipleObjects(2, either, FALSE, 20000) == WAIT_OBJECT_0;
  }
  ~FileHolder() { Wait(); }
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

  bool holding() const { return holding_; }
  // Until the helper has let go and ended.
  void Wait() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    started_ = false;
  }

 private:
  PROCESS_INFORMATION pi_{};
  bool started_ = false;
  bool holding_ = false;
};

}  // namespace zd
