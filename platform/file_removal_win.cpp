#include <windows.h>

#include "platform/file_removal.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

bool Missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

class Win32FileRemoval : public FileRemoval {
 public:
  Removal RemoveFile(const std::string& path) override {
    const std::wstring wide = Utf8ToWide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      return Missing(GetLastError()) ? Removal::kAbsent : Removal::kFailed;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Removal::kFailed;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) {
      SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (DeleteFileW(wide.c_str())) return Removal::kRemoved;
    return Missing(GetLastError()) ? Removal::kAbsent : Removal::kFailed;
  }

  Removal RemoveEmptyFolder(const std::string& path) override {
    std::wstring wide = Utf8ToWide(path);
    while (wide.size() > 3 && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
    if (RemoveDirectoryW(wide.c_str())) return Removal::kRemoved;
    const DWORD error = GetLastError();
    if (Missing(error)) return Removal::kAbsent;
    return error == ERROR_DIR_NOT_EMPTY ? Removal::kNotEmpty : Removal::kFailed;
  }

  bool CanWriteIn(const std::string& folder) override {
    std::wstring dir = Utf8ToWide(folder);
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    // A probe file that nobody else can open and that goes when closed.
    for (int i = 0; i < 8; ++i) {
      const std::wstring probe = dir + L"~zd-write-probe-" +
                                 std::to_wstring(GetCurrentProcessId()) + L"-" +
                                 std::to_wstring(i) + L".tmp";
      HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        UniqueHandle owned(file);
        return true;
      }
      if (GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
  }

  std::string ShortPath(const std::string& path) override {
    const std::wstring wide = Utf8ToWide(path);
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return path;
    std::wstring out(needed, L'\0');
    const DWORD got = GetShortPathNameW(wide.c_str(), out.data(), needed);
    if (got == 0 || got >= needed) return path;
    out.resize(got);
    return WideToUtf8(out);
  }

  bool MakeDeletable(const std::string& path) override {
    return SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
  }
};

}  // namespace

std::unique_ptr<FileRemoval> MakeSystemFileRemoval() {
  return std::make_unique<Win32FileRemoval>();
}

}  // namespace zd
