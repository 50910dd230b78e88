// Loads what the program loads at run time, the way it does: the DLL search
// limited as at the program's entry, then WinHTTP through a request and PSAPI
// through a window's process path. Prints where each came from; exit code 0
// when both came from the system folder.
#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/dll_search_win.h"
#include "platform/http_client.h"
#include "platform/window_system.h"

namespace {

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// Whether the module of that name is loaded from the system folder.
bool FromSystemFolder(const wchar_t* name) {
  HMODULE module = GetModuleHandleW(name);
  wchar_t path[MAX_PATH] = {}, system[MAX_PATH] = {};
  if (!module || !GetModuleFileNameW(module, path, MAX_PATH) ||
      !GetSystemDirectoryW(system, MAX_PATH)) {
    std::fwprintf(stdout, L"%ls: not loaded\n", name);
    return false;
  }
  std::fwprintf(stdout, L"%ls: %ls\n", name, path);
  return _wcsicmp(Folder(path).c_str(), system) == 0;
}

}  // namespace

int wmain() {
  zd::RestrictDllSearchToSystemFolder();
  // Nobody listens on the discard port: the request fails at once.
  zd::MakeSystemHttpClient()->Get("http://127.0.0.1:9/", 2000, 16, nullptr);
  zd::MakeSystemWindowSystem()->ProcessImagePath(
      reinterpret_cast<zd::WindowId>(GetDesktopWindow()));
  const bool http = FromSystemFolder(L"winhttp.dll");
  const bool psapi = FromSystemFolder(L"psapi.dll");
  return http && psapi ? 0 : 1;
}
