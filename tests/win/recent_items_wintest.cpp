// The shell's Recent folder and a jump list, made here as the shell makes
// them (links through IShellLinkW, a compound file through structured
// storage), read back through the program's reader.
#include <windows.h>
// windows.h first
#include <gtest/gtest.h>

#include "platform/recent_items.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "tests/win/shell_recent_writer.h"

namespace zd {
namespace {

class RecentItemsTest : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }

  void AddLink(const std::string& name, const std::string& target, int64_t when) {
    shell_.AddLink(name, target, when);
  }
  void AddJumpList(const std::string& name, const std::vector<std::string>& targets,
                   const std::vector<testing::RawEntry>& listed) {
    shell_.AddJumpList(name, targets, listed);
  }

  TempDirForTests dir_;
  testing::ShellRecentWriter shell_{dir_.File("Recent")};
  const std::string& recent_ = shell_.folder();
};

// Links: their stored targets (a folder marked), the newest first, as many as
// asked; jump lists: each entry's path from the list, or from its link when
// the list names none, with its time and pin; the stamp follows the files.
TEST_F(RecentItemsTest, LinksAndJumpListsAsTheShellWroteThem) {
  const std::string docs = dir_.File("文档");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(docs).c_str(), nullptr));
  const std::string report = docs + "\\report.txt";
  HANDLE h =
      CreateFileW(Utf8ToWide(report).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
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

  // A folder the list names: whether it is one comes from its link's header.
  const std::string plain = dir_.File("plain");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(plain).c_str(), nullptr));
  AddJumpList(
      "5f7b5f1e01b83767.automaticDestinations-ms", {report, "\\\\server\\share\\plan.xlsx", plain},
      {{1, testing::FileTimeOf(1700000500), true, u""},
       {2, testing::FileTimeOf(1700000400), false, u"\\\\server\\share\\plan.xlsx"},
       {3, testing::FileTimeOf(1700000350), false, std::u16string(plain.begin(), plain.end())}});
  const std::vector<JumpListItem> listed = items->JumpListItems(10);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[2].target, plain);
  EXPECT_TRUE(listed[2].folder);
  EXPECT_EQ(listed[0], (JumpListItem{report, 1700000500, true, false,
                                     "5f7b5f1e01b83767.automaticDestinations-ms"}));
  EXPECT_EQ(listed[1].target, "\\\\server\\share\\plan.xlsx");
  EXPECT_EQ(listed[1].opened, 1700000400);
  EXPECT_FALSE(listed[1].pinned);
  EXPECT_NE(items->Stamp(), before) << "a new jump list changes the stamp";
  EXPECT_EQ(items->Stamp(), items->Stamp());
  const std::string with_list = items->Stamp();
  Sleep(20);  // the folder's time must be able to move on
  AddLink("later.lnk", report, 1700000600);
  EXPECT_NE(items->Stamp(), with_list) << "a new link changes the stamp";
}

// A file in the jump lists' folder that is no compound file, or holds no
// DestList, is passed over; the others are read.
TEST_F(RecentItemsTest, ADamagedJumpListIsPassedOver) {
  const std::wstring junk =
      Utf8ToWide(recent_ + "\\AutomaticDestinations\\0bad.automaticDestinations-ms");
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
