// The real file system of the machine the tests run on (POSIX natively,
// Win32 under Wine), in a temporary folder.
#include "platform/files.h"

#include <gtest/gtest.h>

#include "platform/temp_dir_for_tests.h"

namespace zd {
namespace {

constexpr WriteStep kAllSteps[] = {WriteStep::kCreateTemp,   WriteStep::kWriteHalf,
                                   WriteStep::kWriteRest,    WriteStep::kFlush,
                                   WriteStep::kMarkComplete, WriteStep::kReplace};

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

// A save stopped before each step, by a failure (it cleans up) or dead (a
// crash or a power cut: nothing cleans up), with and without a file before
// it. After the next start's recovery the file holds the old content or the
// new one, whole, and is missing only if it never existed; nothing else is
// left in the folder. Stopped after the mark, a first save's content comes
// back: it is the only copy there is.
TEST_F(SystemFilesTest, SaveCutShortAtEveryStepLeavesOldOrNewWhole) {
  const std::string old_content = "[default]\r\nCbRefresh=1\r\n";
  std::string new_content;
  for (int i = 0; i < 2000; ++i) new_content += "name" + std::to_string(i) + "=文档\r\n";
  for (const bool existed : {true, false}) {
    for (const StepAction action : {StepAction::kFail, StepAction::kDie}) {
      for (const WriteStep stop : kAllSteps) {
        SCOPED_TRACE(testing::Message()
                     << "existed " << existed << " action " << static_cast<int>(action) << " step "
                     << static_cast<int>(stop));
        const std::string path = dir.File("defualt.ini");
        files->RemoveFile(path);
        if (existed) {
          ASSERT_TRUE(files->WriteAtomic(path, old_content));
        }
        std::vector<WriteStep> seen;
        files->step_hook = [&](WriteStep step) {
          seen.push_back(step);
          return step == stop ? action : StepAction::kGo;
        };
        EXPECT_FALSE(files->WriteAtomic(path, new_content));
        files->step_hook = nullptr;
        EXPECT_EQ(seen.back(), stop);
        const Leftover leftover = RecoverInterruptedSave(*files, path);
        const bool whole_new_left = !existed && stop == WriteStep::kReplace;
        EXPECT_EQ(leftover == Leftover::kRecovered, whole_new_left);
        if (existed) {
          EXPECT_EQ(files->ReadAll(path).value_or("<missing>"), old_content);
        } else if (whole_new_left) {
          EXPECT_EQ(files->ReadAll(path).value_or("<missing>"), new_content);
        } else {
          EXPECT_FALSE(files->FileExists(path));
        }
        EXPECT_EQ(dir.Entries(), existed || whole_new_left ? std::vector<std::string>{"defualt.ini"}
                                                           : std::vector<std::string>{});
        // The next save goes through whatever was left.
        ASSERT_TRUE(files->WriteAtomic(path, "next"));
        EXPECT_EQ(files->ReadAll(path).value_or(""), "next");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"defualt.ini"});
      }
    }
  }
}

// What a save cut short leaves, found by the next save or start: an
// incomplete leftover goes; a complete one goes beside its target and is put
// in place without one (the state a replace that moves the old file away
// first leaves). Neither blocks the next save, and a complete leftover
// without its target is never lost to it.
TEST_F(SystemFilesTest, LeftoversAreSettledBeforeTheNextSave) {
  struct Case {
    const char* what;
    bool target;
    bool temp;
    bool complete;
    Leftover found;
    const char* content;  // after the recovery; nullptr: missing
  } const cases[] = {
      {"nothing left", true, false, false, Leftover::kNone, "target"},
      {"half a file beside the target", true, true, false, Leftover::kRemoved, "target"},
      {"half a file, no target", false, true, false, Leftover::kRemoved, nullptr},
      {"whole new file beside the target", true, false, true, Leftover::kRemoved, "target"},
      {"whole new file, no target", false, false, true, Leftover::kRecovered, "complete"},
      {"both, no target", false, true, true, Leftover::kRecovered, "complete"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const bool by_save : {false, true}) {
      const std::string path = dir.File("fav.dat");
      files->RemoveFile(path);
      if (c.target) {
        ASSERT_TRUE(files->WriteAtomic(path, "target"));
      }
      if (c.temp) {
        ASSERT_TRUE(files->WriteAtomic(TempPathFor(path), "half"));
      }
      if (c.complete) {
        ASSERT_TRUE(files->WriteAtomic(CompletePathFor(path), "complete"));
      }
      if (by_save) {
        // The save first puts a whole leftover in place, then replaces it.
        ASSERT_TRUE(files->WriteAtomic(path, "whole"));
        EXPECT_EQ(files->ReadAll(path).value_or(""), "whole");
      } else {
        EXPECT_EQ(RecoverInterruptedSave(*files, path), c.found);
        EXPECT_EQ(files->ReadAll(path),
                  c.content ? std::optional<std::string>(c.content) : std::nullopt);
      }
      EXPECT_EQ(dir.Entries(), c.content || by_save ? std::vector<std::string>{"fav.dat"}
                                                    : std::vector<std::string>{});
    }
  }
}

TEST_F(SystemFilesTest, CompletedReplaceGoesThroughEveryStepInOrder) {
  const std::string path = dir.File("rec.dat");
  ASSERT_TRUE(files->WriteAtomic(path, "old"));
  std::vector<WriteStep> seen;
  files->step_hook = [&](WriteStep step) {
    seen.push_back(step);
    return StepAction::kGo;
  };
  ASSERT_TRUE(files->WriteAtomic(path, "new content"));
  EXPECT_EQ(seen, std::vector<WriteStep>(std::begin(kAllSteps), std::end(kAllSteps)));
  EXPECT_EQ(files->ReadAll(path).value_or(""), "new content");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"rec.dat"});
}

}  // namespace
}  // namespace zd
