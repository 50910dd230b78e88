// Files and drives through the Win32 API; paths are UTF-8 Windows paths.
#include <windows.h>

#include <winioctl.h>

#include <cstddef>

#include "platform/drives_win.h"
#include "platform/files.h"
#include "platform/handles_win.h"
#include "platform/security_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

bool WriteAllBytes(HANDLE h, std::string_view data) {
  while (!data.empty()) {
    const DWORD chunk = data.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(data.size());
    DWORD written = 0;
    if (!WriteFile(h, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Utf8ToWide(path).c_str()); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:\a\b\" -> "C:\a\b"; a drive root keeps its backslash.
std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back())) {
    if (path.size() == 3 && path[1] == ':') break;
    path.pop_back();
  }
  return path;
}

class HeldLock : public FileLock {
 public:
  explicit HeldLock(UniqueHandle handle) : handle_(std::move(handle)) {}

 private:
  UniqueHandle handle_;
};

class WinFiles : public Files {
 public:
  std::optional<std::string> ReadAll(const std::string& path) override {
    std::optional<std::string> data;
    RetryWhileBusy([&] { return ReadOnce(path, data); }, Pause);
    return data;
  }

  bool FileExists(const std::string& path) override {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool DirectoryExists(const std::string& path) override {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool CreateDirectories(const std::string& path) override {
    const std::string dir = WithoutTrailingSeparators(path);
    if (dir.empty()) return false;
    if (DirectoryExists(dir)) return true;
    const size_t sep = dir.find_last_of("\\/");
    if (sep != std::string::npos && sep > 0) {
      const std::string parent = dir.substr(0, sep);
      // Stop at "C:" and at the "\\server" part of a UNC path.
      const bool is_drive = parent.size() == 2 && parent[1] == ':';
      if (!is_drive && parent.find_first_not_of("\\/") != std::string::npos &&
          !CreateDirectories(parent)) {
        return false;
      }
    }
    if (CreateDirectoryW(Utf8ToWide(dir).c_str(), nullptr)) return true;
    return DirectoryExists(dir);  // created meanwhile, or it was there all along
  }

  bool SetHiddenAttribute(const std::string& path) override {
    return SetFileAttributesW(Utf8ToWide(WithoutTrailingSeparators(path)).c_str(),
                              FILE_ATTRIBUTE_HIDDEN) != FALSE;
  }

  bool WriteAtomic(const std::string& path, std::string_view data) override {
    WinSave save;
    return WriteAtomicWith(*this, save, path, data, [this](WriteStep s) { return Step(s); });
  }

  bool RenameReplacing(const std::string& from, const std::string& to) override {
    return MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }

  bool RemoveFile(const std::string& path) override {
    return DeleteFileW(Utf8ToWide(path).c_str()) != FALSE;
  }

  std::vector<std::string> LogicalDrives() override {
    const DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return {};
    std::wstring buffer(needed + 1, L'\0');
    const DWORD n = GetLogicalDriveStringsW(needed, buffer.data());
    if (n == 0 || n > needed) return {};
    std::vector<std::string> roots;
    for (size_t pos = 0; pos < n;) {
      const size_t end = buffer.find(L'\0', pos);
      if (end == pos || end == std::wstring::npos) break;
      roots.push_back(WideToUtf8(std::wstring_view(buffer).substr(pos, end - pos)));
      pos = end + 1;
    }
    return roots;
  }

  DriveKind DriveType(const std::string& root) override { return Win32DriveKind(root); }

  bool UsbAttached(const std::string& root) override { return Win32UsbAttached(root); }

  Security QuerySecurity(const std::string& path) override {
    return QueryPathSecurity(Utf8ToWide(WithoutTrailingSeparators(path)));
  }

  bool CreatePrivateDirectory(const std::string& path) override {
    const std::string dir = WithoutTrailingSeparators(path);
    const size_t sep = dir.find_last_of("\\/");
    if (dir.empty() || DirectoryExists(dir)) return false;
    if (sep != std::string::npos && sep > 2 && !CreateDirectories(dir.substr(0, sep))) return false;
    return CreatePrivateFolder(Utf8ToWide(dir));
  }

  bool MakePrivate(const std::string& path, bool take_ownership) override {
    return MakePathPrivate(Utf8ToWide(WithoutTrailingSeparators(path)), take_ownership);
  }

  std::string AccountName() override { return CurrentAccountName(); }

  // Shared with nobody, and deleted when the last handle goes (with the
  // process, if it ends without letting go).
  std::unique_ptr<FileLock> HoldLockFile(const std::string& path) override {
    UniqueHandle h = FileHandle(
        CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!h) return nullptr;
    return std::make_unique<HeldLock>(std::move(h));
  }

  std::string SystemDirectory() override {
    wchar_t buffer[MAX_PATH + 1];
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return WithoutTrailingSeparators(WideToUtf8(std::wstring_view(buffer, n)));
  }

 private:
  static void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

  // A save's steps through the Win32 API.
  class WinSave : public SavePrimitives {
   public:
    bool CreateTemp(const std::string& temp, const std::string& target) override {
      handle_ = FileHandle(CreateFileW(Utf8ToWide(temp).c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, KeptAttributes(Utf8ToWide(target)), nullptr));
      return static_cast<bool>(handle_);
    }
    bool AppendTemp(std::string_view bytes) override { return WriteAllBytes(handle_.get(), bytes); }
    bool FlushTemp() override { return FlushFileBuffers(handle_.get()) != FALSE; }
    bool CloseTemp() override { return CloseNow(handle_); }
    bool Rename(const std::string& from, const std::string& to) override {
      return MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }
    bool PutInPlace(const std::string& complete, const std::string& target) override {
      const std::wstring from = Utf8ToWide(complete);
      const std::wstring to = Utf8ToWide(target);
      return RetryWhileBusy([&] { return WinFiles::PutInPlace(from, to); }, Pause);
    }
    void Remove(const std::string& path) override { DeleteFileW(Utf8ToWide(path).c_str()); }

   private:
    UniqueHandle handle_;
  };

  static Attempt ReadOnce(const std::string& path, std::optional<std::string>& data) {
    data.reset();
    UniqueHandle h =
        FileHandle(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return ReadOutcome(GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h.get(), &size) || size.QuadPart > (1LL << 30)) return Attempt::kFailed;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
      DWORD n = 0;
      if (!ReadFile(h.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n,
                    nullptr)) {
        return ReadOutcome(GetLastError());  // a locked range, for one
      }
      if (n == 0) break;  // the file shrank meanwhile
      got += n;
    }
    bytes.resize(got);
    data = std::move(bytes);
    return Attempt::kDone;
  }

  // One rename that replaces the target in a single step, so the target is
  // never missing (ReplaceFileW moves the old file away first: under Wine
  // always, on Windows when it fails with ERROR_UNABLE_TO_MOVE_REPLACEMENT).
  // MOVEFILE_WRITE_THROUGH returns only once the rename is on disk.
  // https://learn.microsoft.com/windows/win32/api/winbase/nf-winbase-movefileexw
  static Attempt PutInPlace(const std::wstring& complete, const std::wstring& target) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      // Whether another program holds the file without delete sharing, asked
      // first: Wine renames over such a file where Windows refuses.
      UniqueHandle probe = FileHandle(CreateFileW(
          target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!probe) return Outcome(GetLastError());
      probe.reset();
      // The target's hidden and system attributes, as they are now.
      SetFileAttributesW(complete.c_str(), KeptAttributes(target));
    }
    if (MoveFileExW(complete.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Attempt::kDone;
    }
    return Outcome(GetLastError());
  }

  // Errors that another program's open handle causes, and that go away
  // once it lets go.
  static Attempt Outcome(DWORD error) {
    switch (error) {
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
      case ERROR_ACCESS_DENIED:  // also a file whose deletion is pending
      case ERROR_DELETE_PENDING:
      case ERROR_USER_MAPPED_FILE:
        return Attempt::kBusy;
      default:
        return Attempt::kFailed;
    }
  }

  // Reading waits only for a handle that shares nothing or a locked range;
  // a denied access is kept for the whole run.
  static Attempt ReadOutcome(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? Attempt::kBusy
                                                                             : Attempt::kFailed;
  }

  // The new file takes the hidden and system attributes of the file it
  // replaces, so they survive the rename.
  static DWORD KeptAttributes(const std::wstring& target) {
    const DWORD current = GetFileAttributesW(target.c_str());
    if (current == INVALID_FILE_ATTRIBUTES || (current & FILE_ATTRIBUTE_DIRECTORY)) {
      return FILE_ATTRIBUTE_NORMAL;
    }
    const DWORD kept = current & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    return kept ? kept : FILE_ATTRIBUTE_NORMAL;
  }
};

}  // namespace

std::unique_ptr<Files> MakeSystemFiles() { return std::make_unique<WinFiles>(); }

}  // namespace zd
