// The desktop's top-level windows and their processes through the Win32 API.
#include <windows.h>

#include <cwchar>
#include <exception>
#include <set>
#include <vector>

#include "platform/dll_search_win.h"
#include "platform/handles_win.h"
#include "platform/path_probe_win.h"
#include "platform/wide_win.h"
#include "platform/window_system.h"

namespace zd {
namespace {

// A busy program answers WM_GETTEXT late or never; waiting longer than this
// would freeze our interface thread.
constexpr UINT kTitleTimeoutMs = 200;
constexpr int kTitleChars = 128;
// Room for the longest path the system can report.
constexpr DWORD kPathChars = 32768;

template <typename Fn>
Fn ProcAddress(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The process-status library, loaded on first use and kept for the run. When
// it cannot be loaded, the module route reports failure for every window.
struct Psapi {
  using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
  using GetModuleFileNameExWFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
  EnumProcessModulesFn enum_process_modules = nullptr;
  GetModuleFileNameExWFn get_module_file_name_ex = nullptr;

  static const Psapi& Get() {
    static const Psapi psapi = [] {
      Psapi p;
      // By its full path: a PSAPI.dll beside the program is never loaded.
      HMODULE module = LoadSystemLibrary(L"psapi.dll");
      if (!module) return p;
      p.enum_process_modules = ProcAddress<EnumProcessModulesFn>(module, "EnumProcessModules");
      p.get_module_file_name_ex =
          ProcAddress<GetModuleFileNameExWFn>(module, "GetModuleFileNameExW");
      return p;
    }();
    return psapi;
  }
  bool ok() const { return enum_process_modules && get_module_file_name_ex; }
};

// Vista and later; looked up so that the program still starts without it.
using QueryFullProcessImageNameWFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
QueryFullProcessImageNameWFn QueryFullProcessImageName() {
  static const QueryFullProcessImageNameWFn fn = [] {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? ProcAddress<QueryFullProcessImageNameWFn>(kernel, "QueryFullProcessImageNameW")
                  : nullptr;
  }();
  return fn;
}

// The path of the process's first module, which is its main executable.
std::optional<std::string> PathFromFirstModule(DWORD pid) {
  const Psapi& psapi = Psapi::Get();
  if (!psapi.ok()) return std::nullopt;
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) return std::nullopt;
  HMODULE first = nullptr;
  DWORD needed = 0;
  if (!psapi.enum_process_modules(process.get(), &first, sizeof(first), &needed) || !first) {
    return std::nullopt;
  }
  std::vector<wchar_t> path(kPathChars);
  const DWORD n = psapi.get_module_file_name_ex(process.get(), first, path.data(), kPathChars);
  if (n == 0 || n >= kPathChars) return std::nullopt;
  return WideToUtf8(std::wstring_view(path.data(), n));
}

// Works where the module list cannot be read: processes of higher integrity
// and, from a WOW64 process, 64-bit ones.
std::optional<std::string> PathFromImageName(DWORD pid) {
  QueryFullProcessImageNameWFn query = QueryFullProcessImageName();
  if (!query) return std::nullopt;
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return std::nullopt;
  std::vector<wchar_t> path(kPathChars);
  DWORD n = kPathChars;
  if (!query(process.get(), 0, path.data(), &n) || n == 0 || n >= kPathChars) {
    return std::nullopt;
  }
  return WideToUtf8(std::wstring_view(path.data(), n));
}

struct Enumeration {
  std::vector<TopWindow> rows;
  // Threads that did not answer in time: their other windows are not asked.
  std::set<DWORD> silent_threads;
  // Raised inside the callback; thrown again once the system call is left.
  std::exception_ptr failure;
};

// Only windows that a scan can list are asked for their title: every message
// to another program's thread may cost the timeout.
std::string ReadTitle(HWND hwnd, Enumeration& e) {
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(hwnd, &pid);
  wchar_t buffer[kTitleChars + 1] = {};
  if (pid == GetCurrentProcessId() && thread != GetCurrentThreadId()) {
    // Another thread of ours: a timed-out message would still be answered
    // later, into this buffer long gone. The stored text needs no message.
    const int n = InternalGetWindowText(hwnd, buffer, kTitleChars + 1);
    return WideToUtf8(std::wstring_view(buffer, n > 0 ? static_cast<size_t>(n) : 0));
  }
  if (e.silent_threads.count(thread)) return {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, kTitleChars + 1, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG | SMTO_NORMAL, kTitleTimeoutMs, &copied)) {
    e.silent_threads.insert(thread);
    return {};
  }
  buffer[kTitleChars] = L'\0';
  return WideToUtf8(std::wstring_view(buffer, wcsnlen(buffer, kTitleChars)));
}

void AddRow(HWND hwnd, Enumeration& e) {
  TopWindow row;
  row.id = reinterpret_cast<WindowId>(hwnd);
  row.visible = IsWindowVisible(hwnd) != FALSE;
  const auto owner = reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd, GWLP_HWNDPARENT));
  row.owned = owner != nullptr && owner != GetDesktopWindow();
  row.tool_window = (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
  if (row.visible && !row.owned && !row.tool_window) row.title = ReadTitle(hwnd, e);
  e.rows.push_back(std::move(row));
}

// Asks for every window. An exception must not cross the system's call: it
// ends the enumeration and is thrown again after it.
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
  auto& e = *reinterpret_cast<Enumeration*>(param);
  try {
    AddRow(hwnd, e);
  } catch (...) {
    e.failure = std::current_exception();
    return FALSE;
  }
  return TRUE;
}

class SystemWindowSystem : public WindowSystem {
 public:
  std::vector<TopWindow> EnumerateTopWindows() override {
    Enumeration e;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&e));
    if (e.failure) std::rethrow_exception(e.failure);
    return std::move(e.rows);
  }

  std::optional<std::string> ProcessImagePath(WindowId window) override {
    DWORD pid = 0;
    const auto hwnd = reinterpret_cast<HWND>(window);
    if (!hwnd || !GetWindowThreadProcessId(hwnd, &pid) || pid == 0) return std::nullopt;
    if (std::optional<std::string> path = PathFromFirstModule(pid)) return path;
    return PathFromImageName(pid);
  }

  bool PathExists(const std::string& path) override {
    const PathAnswer answer = QueryPath(path);
    return answer == PathAnswer::kFile || answer == PathAnswer::kFolder ||
           answer == PathAnswer::kNotAsked;
  }

  PathAnswer QueryPath(const std::string& path) override { return ProbePath(path); }
};

}  // namespace

std::unique_ptr<WindowSystem> MakeSystemWindowSystem() {
  return std::make_unique<SystemWindowSystem>();
}

}  // namespace zd
