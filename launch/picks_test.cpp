#include "launch/picks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake_files.h"
#include "platform/text_codec.h"
#include "store/text_file.h"

namespace zd {
namespace {

constexpr int64_t kDay = 24 * 3600;
constexpr int64_t kStart = 1'700'000'000;  // any moment will do
const std::string kFile = "D:\\MrxConfig\\picks.dat";

class PickStoreTest : public ::testing::Test {
 protected:
  PickStoreTest() {
    files.AddDrive("D:\\", DriveKind::kFixed);
    files.AddDirectory("D:\\MrxConfig");
  }
  PickStore Reloaded() {
    PickStore again;
    again.Load(files, *codec, kFile);
    return again;
  }
  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
};

TEST(PickWeight, HalvesEveryTwoWeeks) {
  const std::pair<int64_t, double> cases[] = {
      {0, 1.0},         {14 * kDay, 0.5}, {28 * kDay, 0.25}, {7 * kDay, 0.70710678},
      {-5 * kDay, 1.0},  // a clock set back
  };
  for (const auto& [age, weight] : cases) EXPECT_NEAR(PickWeight(age), weight, 1e-6) << age;
}

TEST_F(PickStoreTest, ScoresAddPicksDecayedAndTheSameKeyCountsMost) {
  PickStore store;
  store.Load(files, *codec, kFile);
  store.AddPick("D:\\报告", "bg", kStart);
  store.AddPick("D:\\报告", "bao", kStart + 14 * kDay);
  store.AddPick("C:\\bg.exe", "bg", kStart + 28 * kDay);
  const auto scores = store.Scores("bg", kStart + 28 * kDay);
  ASSERT_EQ(scores.size(), 2u);
  EXPECT_NEAR(scores.at("D:\\报告"), 0.25 * kSameKeyPickWeight + 0.5, 1e-9);
  EXPECT_NEAR(scores.at("C:\\bg.exe"), kSameKeyPickWeight, 1e-9);
  // Read back from the file, the same.
  EXPECT_EQ(Reloaded().Scores("bg", kStart + 28 * kDay), scores);
}

TEST_F(PickStoreTest, PinsBelongToAKeyAndToggle) {
  PickStore store;
  store.Load(files, *codec, kFile);
  EXPECT_TRUE(store.TogglePin("D:\\a", "k", kStart));
  EXPECT_TRUE(store.TogglePin("D:\\b", "k", kStart + 1));
  EXPECT_TRUE(store.TogglePin("D:\\a", "other", kStart + 2));
  EXPECT_EQ(store.Pins("k"), (std::vector<std::string>{"D:\\b", "D:\\a"})) << "latest first";
  EXPECT_FALSE(store.TogglePin("D:\\b", "k", kStart + 3));
  EXPECT_EQ(store.Pins("k"), std::vector<std::string>{"D:\\a"});
  EXPECT_TRUE(store.IsPinned("D:\\a", "other"));
  EXPECT_EQ(Reloaded().Pins("k"), std::vector<std::string>{"D:\\a"});
  EXPECT_EQ(Reloaded().Paths().size(), 1u);
}

// A user's months: thousands of picks and pins, the file stays bounded and
// keeps the newest.
TEST_F(PickStoreTest, TheFileNeverGrowsWithoutBound) {
  std::string text;
  int64_t now = kStart;
  for (int i = 0; i < 5000; ++i, now += 600) {
    text += "pick\t" + std::to_string(now) + "\tk" + std::to_string(i % 7) + "\tC:\\doc" +
            std::to_string(i % 300) + ".txt\r\n";
  }
  for (int i = 0; i < 500; ++i) {
    text += "pin\t" + std::to_string(now + i) + "\tk\tC:\\pin" + std::to_string(i) + "\r\n";
  }
  files.PutFile(kFile, text);
  PickStore store;
  store.Load(files, *codec, kFile);
  ASSERT_EQ(store.picks().size(), 5000u);
  store.AddPick("C:\\new.txt", "k", now);
  EXPECT_EQ(store.picks().size(), kMaxPicks);
  EXPECT_EQ(store.pins().size(), kMaxPins);
  EXPECT_EQ(store.picks().back(), (Pick{now, "k", "C:\\new.txt"})) << "the newest stay";
  EXPECT_EQ(store.picks().front().when, now - 600 * static_cast<int64_t>(kMaxPicks - 1));
  EXPECT_EQ(store.pins().front().path, "C:\\pin" + std::to_string(500 - kMaxPins));
  const PickStore again = Reloaded();
  EXPECT_EQ(again.picks(), store.picks());
  EXPECT_EQ(again.pins(), store.pins());
  EXPECT_EQ(SplitLines(DecodeText(files.files().at(kFile), *codec)).size(), kMaxPicks + kMaxPins);
  // Picks too old to count for anything go at the next save.
  store.AddPick("C:\\newer.txt", "k", now + kForgottenAfterSeconds + kDay);
  EXPECT_EQ(store.picks().size(), 1u);
}

TEST_F(PickStoreTest, LinesThatAreNotPicksAreSkippedAndFieldsStayOnTheirLine) {
  files.PutFile(kFile,
                "pick\t100\tbg\tD:\\报告\r\n"
                "pick\tsoon\tbg\tD:\\x\r\n"  // no time
                "pick\t100\tbg\r\n"          // no path
                "junk\r\n"
                "pin\t200\t\tD:\\top\r\n");  // pinned to the empty key
  PickStore store;
  store.Load(files, *codec, kFile);
  ASSERT_EQ(store.picks().size(), 1u);
  EXPECT_EQ(store.picks()[0], (Pick{100, "bg", "D:\\报告"}));
  EXPECT_EQ(store.Pins(""), std::vector<std::string>{"D:\\top"});
  // A tab or a line break in a key would make other fields of it.
  store.AddPick("D:\\a\tb", "x\ny", 300);
  EXPECT_EQ(Reloaded().picks().back(), (Pick{300, "x y", "D:\\a b"}));
}

TEST_F(PickStoreTest, ASaveCutShortLeavesTheOldFileOrTheNewOne) {
  PickStore store;
  store.Load(files, *codec, kFile);
  store.AddPick("D:\\old", "k", kStart);
  const std::string old_content = files.files().at(kFile);
  for (const StepAction action : {StepAction::kFail, StepAction::kDie}) {
    for (const WriteStep stop :
         {WriteStep::kCreateTemp, WriteStep::kWriteHalf, WriteStep::kWriteRest, WriteStep::kFlush,
          WriteStep::kMarkComplete, WriteStep::kReplace}) {
      files.step_hook = [stop, action](WriteStep step) {
        return step == stop ? action : StepAction::kGo;
      };
      PickStore cut = Reloaded();
      EXPECT_FALSE(cut.AddPick("D:\\new", "k", kStart + 1)) << static_cast<int>(stop);
      files.step_hook = nullptr;
      // A restart settles what the cut save left, then reads the old picks, whole.
      RecoverInterruptedSave(files, kFile);
      EXPECT_EQ(files.files().at(kFile), old_content);
      EXPECT_EQ(Reloaded().picks(), (std::vector<Pick>{{kStart, "k", "D:\\old"}}));
    }
  }
}

TEST_F(PickStoreTest, AFileThatCannotBeReadIsNeverWrittenOver) {
  const std::string kept = "pick\t1\tk\tD:\\kept\r\n";
  files.PutFile(kFile, kept);
  files.FailReadsOf(kFile);
  PickStore store;
  store.Load(files, *codec, kFile);
  EXPECT_TRUE(store.picks().empty());
  EXPECT_FALSE(store.AddPick("D:\\new", "k", kStart));
  EXPECT_EQ(store.Scores("k", kStart).size(), 1u) << "the pick counts for this run";
  EXPECT_EQ(files.files().at(kFile), kept);
  EXPECT_EQ(files.WriteCount(kFile), 0);
}

}  // namespace
}  // namespace zd
