#include "platform/path_probe_win.h"

#include <windows.h>

#include "platform/drives_win.h"
#include "platform/wow64_path_win.h"

namespace zd {
namespace {

// While it lives, a drive without a medium answers ERROR_NOT_READY instead of
// showing the system's "insert a disk" box (which would stop our thread).
// https://learn.microsoft.com/windows/win32/api/errhandlingapi/nf-errhandlingapi-setthreaderrormode
class QuietDriveErrors {
 public:
  QuietDriveErrors() {
    using SetThreadErrorModeFn = BOOL(WINAPI*)(DWORD, LPDWORD);
    static const auto set_mode = reinterpret_cast<SetThreadErrorModeFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetThreadErrorMode")));
    set_mode_ = set_mode;
    if (set_mode_) {
      set_mode_(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_);
    } else {
      old_ = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    }
  }
  ~QuietDriveErrors() {
    if (set_mode_) {
      set_mode_(old_, nullptr);
    } else {
      SetErrorMode(old_);
    }
  }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  BOOL(WINAPI* set_mode_)(DWORD, LPDWORD) = nullptr;
  DWORD old_ = 0;
};

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

PathAnswer ProbePath(const std::string& path) {
  if (path.empty()) return PathAnswer::kNotFound;
  if (IsNetworkPath(path, Win32DriveKind)) return PathAnswer::kNotAsked;
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  DWORD error = ERROR_SUCCESS;
  {
    QuietDriveErrors quiet;
    attributes = GetFileAttributesW(RealFileSystemPath(WithoutTrailingBackslash(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) error = GetLastError();
  }
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathAnswer::kFolder : PathAnswer::kFile;
  }
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return PathAnswer::kNotFound;
    case ERROR_NOT_READY:
      return PathAnswer::kNotReady;
    default:
      return PathAnswer::kOtherError;
  }
}

}  // namespace zd
