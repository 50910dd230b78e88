#include "platform/wow64_path_win.h"

#include <windows.h>

#include "platform/wide_win.h"
#include "platform/wow64_path.h"

namespace zd {
namespace {

// Looked up by name: the call is missing from the first releases of XP.
bool RunningUnderWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return false;
  auto is_wow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
  BOOL wow64 = FALSE;
  return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
}

std::string& SimulatedWindowsDir() {
  static std::string dir;
  return dir;
}

// %windir% under WOW64, empty when not redirected.
const std::string& RedirectedWindowsDir() {
  if (!SimulatedWindowsDir().empty()) return SimulatedWindowsDir();
  static const std::string dir = [] {
    if (!RunningUnderWow64()) return std::string();
    // The system's folder, not the per-user one a terminal server may give.
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    return WideToUtf8(std::wstring_view(buffer, n));
  }();
  return dir;
}

}  // namespace

std::wstring RealFileSystemPath(const std::string& path) {
  const std::string& windows_dir = RedirectedWindowsDir();
  if (!windows_dir.empty()) {
    if (std::optional<std::string> mapped = SysnativePath(path, windows_dir)) {
      return Utf8ToWide(*mapped);
    }
  }
  return Utf8ToWide(path);
}

std::wstring RealProgramPath(const std::string& path) {
  const std::string& windows_dir = RedirectedWindowsDir();
  if (!windows_dir.empty()) {
    if (std::optional<std::string> mapped = SysnativeProgramPath(path, windows_dir)) {
      return Utf8ToWide(*mapped);
    }
  }
  return Utf8ToWide(path);
}

void SimulateWow64ForTests(const std::string& windows_dir) { SimulatedWindowsDir() = windows_dir; }

}  // namespace zd
