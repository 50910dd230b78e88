// A Recent folder as the shell writes one, for the tests: links saved through
// IShellLinkW with their file times, and programs' jump lists made with the
// structured-storage API (a stream of a shell link for each entry, and a
// DestList naming them). The calling thread has COM.
#pragma once

#include <windows.h>
// windows.h first
#include <gtest/gtest.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/com_ptr_win.h"
#include "platform/dest_list.h"
#include "platform/dest_list_for_tests.h"
#include "platform/wide_win.h"

namespace zd::testing {

class ShellRecentWriter {
 public:
  // `recent`: the Recent folder, made here with its AutomaticDestinations.
  explicit ShellRecentWriter(std::string recent) : recent_(std::move(recent)) {
    CreateDirectoryW(Utf8ToWide(recent_).c_str(), nullptr);
    CreateDirectoryW(Utf8ToWide(recent_ + "\\AutomaticDestinations").c_str(), nullptr);
  }
  const std::string& folder() const { return recent_; }

  static ComPtr<IShellLinkW> LinkTo(const std::string& target) {
    ComPtr<IShellLinkW> link;
    EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IShellLinkW, link.PutVoid())));
    if (link) link->SetPath(Utf8ToWide(target).c_str());
    return link;
  }
  // A link in the Recent folder, written at `when` (seconds since 1970).
  void AddLink(const std::string& name, const std::string& target, int64_t when) {
    ComPtr<IShellLinkW> link = LinkTo(target);
    ASSERT_TRUE(link);
    ComPtr<IPersistFile> file;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid())));
    const std::wstring path = Utf8ToWide(recent_ + "\\" + name);
    ASSERT_TRUE(SUCCEEDED(file->Save(path.c_str(), TRUE)));
    SetTime(path, when);
  }
  static void SetTime(const std::wstring& path, int64_t when) {
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const uint64_t ticks = FileTimeOf(when);
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(h, nullptr, nullptr, &time);
    CloseHandle(h);
  }
  // A program's jump list: a stream of a shell link for each target, and the
  // DestList naming them (`listed`: with its path, as Windows writes it).
  void AddJumpList(const std::string& name, const std::vector<std::string>& targets,
                   const std::vector<RawEntry>& listed) {
    const std::wstring path = Utf8ToWide(recent_ + "\\AutomaticDestinations\\" + name);
    ComPtr<IStorage> storage;
    ASSERT_TRUE(SUCCEEDED(
        StgCreateStorageEx(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                           STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage, storage.PutVoid())));
    for (size_t i = 0; i < targets.size(); ++i) {
      ComPtr<IStream> stream;
      const std::wstring stream_name = Utf8ToWide(DestListStreamName(listed[i].stream));
      ASSERT_TRUE(SUCCEEDED(storage->CreateStream(stream_name.c_str(),
                                                  STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE,
                                                  0, 0, stream.Put())));
      ComPtr<IPersistStream> persist;
      ComPtr<IShellLinkW> link = LinkTo(targets[i]);
      ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistStream, persist.PutVoid())));
      ASSERT_TRUE(SUCCEEDED(persist->Save(stream.get(), TRUE)));
    }
    const std::string bytes = DestListBytes(3, listed);
    ComPtr<IStream> dest;
    ASSERT_TRUE(SUCCEEDED(storage->CreateStream(
        L"DestList", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, dest.Put())));
    ULONG written = 0;
    ASSERT_TRUE(SUCCEEDED(dest->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)));
    ASSERT_TRUE(SUCCEEDED(storage->Commit(STGC_DEFAULT)));
  }

 private:
  std::string recent_;
};

}  // namespace zd::testing
