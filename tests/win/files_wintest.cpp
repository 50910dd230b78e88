// The Win32 side of Files and of the UTF-8 / UTF-16 helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

TEST(WideTest, RoundTripsAndReplacesBadInput) {
  const std::string text = "C:\\文档\\Año 😀";
  EXPECT_EQ(Utf8ToWide(text), L"C:\\\x6587\x6863\\A\xF1o \xD83D\xDE00");
  EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(Utf8ToWide("a\xFF"
                       "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(WideToUtf8(std::wstring(1, L'\xD800')), "\xEF\xBF\xBD");
}

TEST(WinFilesTest, DrivesAndTheSystemFolder) {
  const auto files = MakeSystemFiles();
  const std::vector<std::string> drives = files->LogicalDrives();
  ASSERT_FALSE(drives.empty());
  EXPECT_NE(std::find(drives.begin(), drives.end(), "C:\\"), drives.end());
  for (const std::string& root : drives) {
    EXPECT_EQ(root.size(), 3u) << root;
    EXPECT_EQ(root.substr(1), ":\\") << root;
  }
  EXPECT_EQ(files->DriveType("C:\\"), DriveKind::kFixed);
  EXPECT_EQ(files->DriveType("Q:\\"), DriveKind::kNoRoot);
  const std::string system = files->SystemDirectory();
  EXPECT_TRUE(files->DirectoryExists(system)) << system;
  EXPECT_NE(system.back(), '\\');
}

TEST(WinFilesTest, CreatedFolderCanBeHidden) {
  const auto files = MakeSystemFiles();
  TempDirForTests dir;
  const std::string folder = dir.File("Mrx") + "\\配置\\";
  ASSERT_TRUE(files->CreateDirectories(folder));
  ASSERT_TRUE(files->SetHiddenAttribute(folder));
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(dir.File("Mrx") + "\\配置").c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(files->SetHiddenAttribute(dir.File("none")));
}

TEST(WinFilesTest, LockedTargetFailsTheSaveAndLeavesNoTemp) {
  // Another program holding the file without sharing: the replace fails, the
  // old content stays and our temporary file goes.
  const auto files = MakeSystemFiles();
  TempDirForTests dir;
  const std::string path = dir.File("rec.dat");
  ASSERT_TRUE(files->WriteAtomic(path, "old"));
  HANDLE holder = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(files->WriteAtomic(path, "new"));
  CloseHandle(holder);
  EXPECT_EQ(files->ReadAll(path).value_or(""), "old");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"rec.dat"});
}

}  // namespace
}  // namespace zd
