#include "platform/wow64_path.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(SysnativePath, MapsFilesAndTheFolderItselfUnderSystem32) {
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\notepad.exe", "C:\\Windows"),
            "C:\\Windows\\Sysnative\\notepad.exe");
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\drivers\\etc\\hosts", "C:\\Windows"),
            "C:\\Windows\\Sysnative\\drivers\\etc\\hosts");
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32", "C:\\Windows"), "C:\\Windows\\Sysnative");
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\", "C:\\Windows"), "C:\\Windows\\Sysnative\\");
  // UTF-8 names pass through untouched.
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\记事本.exe", "C:\\Windows"),
            "C:\\Windows\\Sysnative\\记事本.exe");
}

TEST(SysnativePath, IgnoresCaseAndSeparatorStyleButKeepsThePathsSpelling) {
  EXPECT_EQ(SysnativePath("c:\\windows\\SYSTEM32\\Cmd.exe", "C:\\WINDOWS"),
            "c:\\windows\\Sysnative\\Cmd.exe");
  EXPECT_EQ(SysnativePath("C:/Windows/System32/cmd.exe", "C:\\Windows"),
            "C:/Windows\\Sysnative/cmd.exe");
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\cmd.exe", "C:\\Windows\\"),
            "C:\\Windows\\Sysnative\\cmd.exe");
  EXPECT_EQ(SysnativePath("E:\\WINNT\\system32\\calc.exe", "e:\\winnt"),
            "E:\\WINNT\\Sysnative\\calc.exe");
}

TEST(SysnativePath, KeepsALongPathPrefix) {
  EXPECT_EQ(SysnativePath("\\\\?\\C:\\Windows\\System32\\cmd.exe", "C:\\Windows"),
            "\\\\?\\C:\\Windows\\Sysnative\\cmd.exe");
}

TEST(SysnativePath, LeavesEverythingElse) {
  EXPECT_EQ(SysnativePath("C:\\Windows\\SysWOW64\\cmd.exe", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32x\\a.exe", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("C:\\Windows\\System3", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("C:\\Windows\\notepad.exe", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("D:\\Windows\\System32\\cmd.exe", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("C:\\Program Files\\App\\app.exe", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("X:\\C:\\Windows\\System32\\a.exe", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("", "C:\\Windows"), std::nullopt);
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\cmd.exe", ""), std::nullopt);
  EXPECT_EQ(SysnativePath("C:\\Windows\\System32\\cmd.exe", "\\"), std::nullopt);
}

TEST(SysnativePath, OnlyProgramsAreStartedThroughSysnative) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Windows\\System32\\SnippingTool.exe", "C:\\Windows\\Sysnative\\SnippingTool.exe"},
      {"c:\\windows\\system32\\EDIT.COM", "c:\\windows\\Sysnative\\EDIT.COM"},
      {"C:\\Windows\\System32\\drivers\\etc\\hosts", nullptr},
      {"C:\\Windows\\System32\\notes.txt", nullptr},
      {"C:\\Windows\\System32\\", nullptr},
      {"C:\\Windows\\System32\\a.exe\\b", nullptr},
      {"C:\\Program Files\\App\\app.exe", nullptr},
  };
  for (const auto& [path, mapped] : cases) {
    const std::optional<std::string> got = SysnativeProgramPath(path, "C:\\Windows");
    EXPECT_EQ(got.has_value(), mapped != nullptr) << path;
    if (got && mapped) {
      EXPECT_EQ(*got, mapped) << path;
    }
  }
}

}  // namespace
}  // namespace zd
