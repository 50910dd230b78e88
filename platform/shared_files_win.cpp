// Shared reads of files that browsers hold open, and the users' data folders.
#include <windows.h>
// windows.h must come first
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "platform/drives_win.h"
#include "platform/handles_win.h"
#include "platform/path_probe.h"
#include "platform/shared_files.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

class WinSharedFiles : public SharedFiles {
 public:
  std::optional<FileStamp> Stamp(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return std::nullopt;
    }
    FileStamp stamp;
    stamp.modified =
        static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime);
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return stamp;
  }

  std::optional<std::string> ReadShared(const std::string& path, uint64_t max_bytes) override {
    // Every share mode: the browser that has the file open for writing must
    // be able to go on writing, renaming and deleting it.
    UniqueHandle file = FileHandle(
        CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > std::min<uint64_t>(max_bytes, 0x7FFFFFFFu)) {
      return std::nullopt;
    }
    std::string data;
    data.resize(static_cast<size_t>(size.QuadPart));
    size_t got = 0;
    // The file may shrink or grow while it is read: what was there is kept.
    while (got < data.size()) {
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(data.size() - got, 1 << 20));
      if (!ReadFile(file.get(), data.data() + got, want, &n, nullptr)) return std::nullopt;
      if (n == 0) break;
      got += n;
    }
    data.resize(got);
    return data;
  }

  bool OnNetwork(const std::string& path) override { return IsNetworkPath(path, Win32DriveKind); }
};

std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path) result = WideToUtf8(path);
  CoTaskMemFree(path);
  return result;
}

}  // namespace

std::unique_ptr<SharedFiles> MakeSystemSharedFiles() { return std::make_unique<WinSharedFiles>(); }

UserFolders SystemUserFolders() {
  return {KnownFolder(FOLDERID_RoamingAppData), KnownFolder(FOLDERID_LocalAppData)};
}

}  // namespace zd
