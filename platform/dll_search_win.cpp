#include "platform/dll_search_win.h"

#include <string>

namespace zd {

bool RestrictDllSearchToSystemFolder() {
  // Looked up, not imported: a missing export would stop the program at its start.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto set_default = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set_default && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
  SetDllDirectoryW(L"");
  return false;
}

HMODULE LoadSystemLibrary(const wchar_t* file_name) {
  wchar_t folder[MAX_PATH] = {};
  const UINT got = GetSystemDirectoryW(folder, MAX_PATH);
  if (got == 0 || got >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, got) + L"\\" + file_name;
  // Its own imports are then looked for beside it first: in the system folder.
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace zd
