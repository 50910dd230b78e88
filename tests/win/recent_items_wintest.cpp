// The shell's Recent folder and a jump list, made here as the shell makes
// them (links through IShellLinkW, a compound file through structured
// storage), read back through the program's reader.
#include <windows.h>
// windows.h first
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/com_ptr_win.h"
#include "platform/dest_list_for_tests.h"
#include "platform/recent_items.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

class RecentItemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    recent_ = dir_.File("Recent");
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(recent_).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(recent_ + "\\AutomaticDestinations").c_str(), nullptr));
  }
  void TearDown() override { CoUninitialize(); }

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
    const uint64_t ticks = testing::FileTimeOf(when);
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(h, nullptr, nullptr, &time);
    CloseHandle(h);
  }
  // A program's jump list: a stream of a shell link for each target, and the
  // DestList naming them (`listed`: with its path, as Windows writes it).
  void AddJumpList(const std::string& name, const std::vector<std::string>& targets,
                   const std::vector<testing::RawEntry>& listed) {
    const std::wstring path = Utf8ToWide(recent_ + "\\AutomaticDestinations\\" + name);
    ComPtr<IStorage> storage;
    ASSERT_TRUE(SUCCEEDED(StgCreateStorageEx(path.c_str(),
                                             STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                             STGFMT_STORAGE, 0, nullptr, nullptr, IID_IStorage,
                                             storage.PutVoid())));
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
    const std::string bytes = testing::DestListBytes(3, listed);
    ComPtr<IStream> dest;
    ASSERT_TRUE(SUCCEEDED(storage->CreateStream(L"DestList",
                                                STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE,
                                                0, 0, dest.Put())));
    ULONG written = 0;
    ASSERT_TRUE(SUCCEEDED(dest->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)));
    ASSERT_TRUE(SUCCEEDED(storage->Commit(STGC_DEFAULT)));
  }

  TempDirForTests dir_;
  std::string recent_;
};

// Links: their stored targets (a folder marked), the newest first, as many as
// asked; jump lists: each entry's path from the list, or from its link when
// the list names none, with its time and pin; the stamp follows the files.
TEST_F(RecentItemsTest, LinksAndJumpListsAsTheShellWroteThem) {
  const std::string docs = dir_.File("文档");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(docs).c_str(), nullptr));
  const std::string report = docs + "\\report.txt";
  HANDLE h = CreateFileW(Utf8ToWide(report).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  AddLink("report.txt.lnk", report, 1700000300);
  AddLink("文档.lnk", docs, 1700000200);
  AddLink("gone.lnk", "C:\\nowhere\\gone.docx", 1700000100);
  const auto items = MakeSystemRecentItems(recent_);
  const std::string before = items->Stamp();
  const std::vector<RecentLink> links = items->RecentLinks(10);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0], (RecentLink{report, 1700000300, false}));
  EXPECT_EQ(links[1], (RecentLink{docs, 1700000200, true}));
  EXPECT_EQ(links[2].target, "C:\\nowhere\\gone.docx");
  EXPECT_EQ(items->RecentLinks(2).size(), 2u);

  AddJumpList("5f7b5f1e01b83767.automaticDestinations-ms", {report, "\\\\server\\share\\plan.xlsx"},
              {{1, testing::FileTimeOf(1700000500), true, u""},
               {2, testing::FileTimeOf(1700000400), false, u"\\\\server\\share\\plan.xlsx"}});
  const std::vector<JumpListItem> listed = items->JumpListItems(10);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0],
            (JumpListItem{report, 1700000500, true, false, "5f7b5f1e01b83767.automaticDestinations-ms"}));
  EXPECT_EQ(listed[1].target, "\\\\server\\share\\plan.xlsx");
  EXPECT_EQ(listed[1].opened, 1700000400);
  EXPECT_FALSE(listed[1].pinned);
  EXPECT_NE(items->Stamp(), before) << "a new jump list changes the stamp";
  EXPECT_EQ(items->Stamp(), items->Stamp());
}

// A file in the jump lists' folder that is no compound file, or holds no
// DestList, is passed over; the others are read.
TEST_F(RecentItemsTest, ADamagedJumpListIsPassedOver) {
  const std::wstring junk = Utf8ToWide(recent_ + "\\AutomaticDestinations\\0bad.automaticDestinations-ms");
  HANDLE h = CreateFileW(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, "not a compound file", 19, &written, nullptr);
  CloseHandle(h);
  AddJumpList("1good.automaticDestinations-ms", {"C:\\a.txt"},
              {{1, testing::FileTimeOf(1700000000), false, u"C:\\a.txt"}});
  const auto items = MakeSystemRecentItems(recent_);
  const std::vector<JumpListItem> listed = items->JumpListItems(10);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].target, "C:\\a.txt");
}

}  // namespace
}  // namespace zd
