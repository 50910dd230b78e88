#include <windows.h>

#include <shlobj.h>

#include "platform/shell_folders.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

class Win32ShellFolders : public ShellFolders {
 public:
  std::optional<std::string> Folder(UserFolder kind) override {
    int csidl = CSIDL_DESKTOPDIRECTORY;
    switch (kind) {
      case UserFolder::kDesktop:
        csidl = CSIDL_DESKTOPDIRECTORY;
        break;
      case UserFolder::kStartMenu:
        csidl = CSIDL_STARTMENU;
        break;
      case UserFolder::kPrograms:
        csidl = CSIDL_PROGRAMS;
        break;
      case UserFolder::kStartup:
        csidl = CSIDL_STARTUP;
        break;
    }
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
      return std::nullopt;
    }
    std::wstring out = path;
    while (out.size() > 3 && out.back() == L'\\') out.pop_back();
    return WideToUtf8(out);
  }

  std::string TempFolder() override {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD got = GetTempPathW(MAX_PATH + 1, path);
    if (got == 0 || got > MAX_PATH) return {};
    std::wstring out(path, got);
    if (out.back() != L'\\') out += L'\\';
    return WideToUtf8(out);
  }

  std::string SystemTempFolder() override {
    wchar_t path[MAX_PATH] = {};
    const UINT got = GetSystemWindowsDirectoryW(path, MAX_PATH);
    if (got == 0 || got >= MAX_PATH) return {};
    std::wstring out(path, got);
    if (out.back() != L'\\') out += L'\\';
    return WideToUtf8(out + L"Temp\\");
  }

  std::optional<std::string> NewTempFile(const std::string& in,
                                         const std::string& prefix) override {
    const std::wstring folder = Utf8ToWide(in);
    if (folder.empty()) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    if (GetTempFileNameW(folder.c_str(), Utf8ToWide(prefix).c_str(), 0, path) == 0) {
      return std::nullopt;
    }
    return WideToUtf8(path);
  }
};

}  // namespace

std::unique_ptr<ShellFolders> MakeSystemShellFolders() {
  return std::make_unique<Win32ShellFolders>();
}

}  // namespace zd
