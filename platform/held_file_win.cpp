#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/handles_win.h"
#include "platform/held_file.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

class Win32HeldFile : public HeldFile {
 public:
  Win32HeldFile(std::string path, HANDLE handle) : path_(std::move(path)), handle_(handle) {}
  const std::string& path() const override { return path_; }

  bool Write(std::string_view data) override {
    if (!handle_ || sealed_) return false;
    while (!data.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 20));
      DWORD written = 0;
      if (!WriteFile(handle_.get(), data.data(), chunk, &written, nullptr) || written == 0) {
        return false;
      }
      data.remove_prefix(written);
    }
    return true;
  }

  bool Seal() override {
    if (!handle_) return false;
    if (sealed_) return true;
    if (!FlushFileBuffers(handle_.get())) return false;
    // Opened again for reading only, still refusing writers and deletion. A
    // program can be started from it then: the loader asks only to read and
    // execute. Whoever changed the file in between made it fail its check,
    // which reads through this opening; whoever holds it open for writing
    // makes this opening fail.
    handle_.reset();
    HANDLE reader = CreateFileW(Utf8ToWide(path_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (reader == INVALID_HANDLE_VALUE) return false;
    handle_.reset(reader);
    sealed_ = true;
    return true;
  }

  bool ReadFromStart(const std::function<bool(std::string_view)>& take) override {
    if (!handle_) return false;
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(handle_.get(), zero, nullptr, FILE_BEGIN)) return false;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(handle_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got,
                    nullptr)) {
        return false;
      }
      if (got == 0) return true;
      if (!take(std::string_view(buffer.data(), got))) return false;
    }
  }

  bool Discard() override {
    handle_.reset();
    return DeleteFileW(Utf8ToWide(path_).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
  }

 private:
  std::string path_;
  UniqueHandle handle_;
  bool sealed_ = false;
};

class Win32HeldFiles : public HeldFiles {
 public:
  std::unique_ptr<HeldFile> Create(const std::string& path) override {
    HANDLE handle =
        CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32HeldFile>(path, handle);
  }
};

}  // namespace

std::unique_ptr<HeldFiles> MakeSystemHeldFiles() { return std::make_unique<Win32HeldFiles>(); }

}  // namespace zd
