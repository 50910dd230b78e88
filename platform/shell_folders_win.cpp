#include <windows.h>

#include <ntsecapi.h>
#include <shlobj.h>

#include "platform/handles_win.h"
#include "platform/security_win.h"
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

  std::optional<std::string> NewPrivateFolder(const std::string& in,
                                              const std::string& prefix) override {
    std::wstring parent = Utf8ToWide(in);
    if (parent.empty()) return std::nullopt;
    if (parent.back() != L'\\') parent += L'\\';
    // Making a folder fails on a name that stands already, so a folder
    // another account made first (guessing the name) is never used.
    for (int attempt = 0; attempt < 16; ++attempt) {
      unsigned long long random = 0;
      if (!RtlGenRandom(&random, sizeof(random))) return std::nullopt;
      wchar_t hex[17];
      swprintf(hex, 17, L"%016llX", random);
      const std::wstring folder = parent + Utf8ToWide(prefix) + hex;
      if (CreatePrivateFolder(folder)) return WideToUtf8(folder + L"\\");
      if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    }
    return std::nullopt;
  }

  bool WriteNewFile(const std::string& path, std::string_view bytes) override {
    const std::wstring wide = Utf8ToWide(path);
    UniqueHandle file = FileHandle(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool whole =
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.get());
    if (CloseNow(file) && whole) return true;
    DeleteFileW(wide.c_str());
    return false;
  }
};

}  // namespace

std::unique_ptr<ShellFolders> MakeSystemShellFolders() {
  return std::make_unique<Win32ShellFolders>();
}

}  // namespace zd
