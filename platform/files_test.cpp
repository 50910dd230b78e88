// The real file system of the machine the tests run on (POSIX natively,
// Win32 under Wine), in a temporary folder.
#include "platform/files.h"

#include <gtest/gtest.h>

#include "platform/temp_dir_for_tests.h"

namespace zd {
namespace {

constexpr WriteStep kAllSteps[] = {WriteStep::kCreateTemp, WriteStep::kWriteHalf,
                                   WriteStep::kWriteRest, WriteStep::kFlush, WriteStep::kReplace};

class SystemFilesTest : public ::testing::Test {
 protected:
  std::unique_ptr<Files> files = MakeSystemFiles();
  TempDirForTests dir;
};

TEST_F(SystemFilesTest, WriteReadAndRemove) {
  const std::string path = dir.File("a.dat");
  EXPECT_FALSE(files->FileExists(path));
  EXPECT_FALSE(files->ReadAll(path));
  const std::string data("line 1\r\n\0binary\xFF\r\n", 18);
  ASSERT_TRUE(files->WriteAtomic(path, data));
  EXPECT_TRUE(files->FileExists(path));
  EXPECT_FALSE(files->DirectoryExists(path));
  EXPECT_EQ(files->ReadAll(path).value_or(""), data);
  ASSERT_TRUE(files->WriteAtomic(path, ""));
  EXPECT_EQ(files->ReadAll(path).value_or("x"), "");
  EXPECT_TRUE(files->RemoveFile(path));
  EXPECT_FALSE(files->FileExists(path));
  EXPECT_FALSE(files->RemoveFile(path));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

TEST_F(SystemFilesTest, WriteIntoAMissingFolderFailsCleanly) {
  EXPECT_FALSE(files->WriteAtomic(dir.File("no such folder") + dir.path().back() + "x.dat", "x"));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

TEST_F(SystemFilesTest, CreateDirectoriesMakesEveryParent) {
  const char sep = dir.path().back();
  const std::string deep = dir.File("a") + sep + "b" + sep + "配置";
  EXPECT_FALSE(files->DirectoryExists(deep));
  ASSERT_TRUE(files->CreateDirectories(deep + sep));
  EXPECT_TRUE(files->DirectoryExists(deep));
  EXPECT_TRUE(files->CreateDirectories(deep)) << "an existing folder is fine";
  EXPECT_TRUE(files->SetHiddenAttribute(deep + sep));
  EXPECT_TRUE(files->WriteAtomic(deep + sep + "文件.txt", "x"));
  EXPECT_TRUE(files->FileExists(deep + sep + "文件.txt"));
  // A file in the way cannot become a folder.
  ASSERT_TRUE(files->WriteAtomic(dir.File("f"), "x"));
  EXPECT_FALSE(files->CreateDirectories(dir.File("f") + sep + "sub"));
}

// Stopping an atomic replace at any step, as a failure or a power cut would,
// leaves the old content (or no file) and no temporary file.
TEST_F(SystemFilesTest, InterruptedReplaceLeavesTheOldFileAndNoStrayTemp) {
  const std::string path = dir.File("defualt.ini");
  const std::string old_content = "[default]\r\nCbRefresh=1\r\n";
  std::string new_content;
  for (int i = 0; i < 2000; ++i) new_content += "name" + std::to_string(i) + "=文档\r\n";
  for (const WriteStep stop : kAllSteps) {
    ASSERT_TRUE(files->WriteAtomic(path, old_content));
    std::vector<WriteStep> seen;
    files->step_hook = [&](WriteStep step) {
      seen.push_back(step);
      return step != stop;
    };
    EXPECT_FALSE(files->WriteAtomic(path, new_content)) << static_cast<int>(stop);
    files->step_hook = nullptr;
    EXPECT_EQ(seen.back(), stop);
    EXPECT_EQ(files->ReadAll(path).value_or(""), old_content) << static_cast<int>(stop);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"defualt.ini"}) << static_cast<int>(stop);
  }
}

TEST_F(SystemFilesTest, InterruptedFirstWriteLeavesNoFile) {
  const std::string path = dir.File("fav.dat");
  for (const WriteStep stop : kAllSteps) {
    files->step_hook = [&](WriteStep step) { return step != stop; };
    EXPECT_FALSE(files->WriteAtomic(path, "C:\\a*|*A\r\n"));
    files->step_hook = nullptr;
    EXPECT_FALSE(files->FileExists(path)) << static_cast<int>(stop);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{}) << static_cast<int>(stop);
  }
}

TEST_F(SystemFilesTest, CompletedReplaceGoesThroughEveryStepInOrder) {
  const std::string path = dir.File("rec.dat");
  ASSERT_TRUE(files->WriteAtomic(path, "old"));
  std::vector<WriteStep> seen;
  files->step_hook = [&](WriteStep step) {
    seen.push_back(step);
    return true;
  };
  ASSERT_TRUE(files->WriteAtomic(path, "new content"));
  EXPECT_EQ(seen, std::vector<WriteStep>(std::begin(kAllSteps), std::end(kAllSteps)));
  EXPECT_EQ(files->ReadAll(path).value_or(""), "new content");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"rec.dat"});
}

TEST_F(SystemFilesTest, LeftoverTempFromACrashDoesNotBlockTheNextWrite) {
  const std::string path = dir.File("run.dat");
  ASSERT_TRUE(files->WriteAtomic(path + ".tmp", "half a file from a crash"));
  ASSERT_TRUE(files->WriteAtomic(path, "whole"));
  EXPECT_EQ(files->ReadAll(path).value_or(""), "whole");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"run.dat"});
}

}  // namespace
}  // namespace zd
