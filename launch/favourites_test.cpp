#include "launch/favourites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "platform/errors.h"
#include "platform/fake_shell_launcher.h"
#include "store/doc.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

// A list box that also notes its batches.
class BatchMirror : public MemoryMirror {
 public:
  void BeginUpdate() override { events.push_back("begin " + std::to_string(RowCount())); }
  void EndUpdate() override { events.push_back("end " + std::to_string(RowCount())); }
  V events;
};

class FavouritesTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(CaughtFailureCount(), caught_at_start_); }
  BatchMirror box;
  DocList favourites{&box};
  // What the box's rows show, asked of the list as the box asks.
  V Shown() const {
    V rows;
    for (size_t i = 0; i < box.RowCount(); ++i) rows.push_back(favourites.RowText(i));
    return rows;
  }

 private:
  uint64_t caught_at_start_ = CaughtFailureCount();
};

TEST_F(FavouritesTest, EditBarKeepsItsThreeHoldersAsTheyShouldStand) {
  // "c0"/"c1": CbFavEdit clicked to that tick; "m": MnShowFavEdit; "n":
  // MnNewToFav; "u": MnUpdateFav; "l0"/"l1": loaded from "ShowFavEdit".
  // Expected: panel, mark, box as three digits.
  struct Case {
    const char* steps;
    const char* state;
  };
  const Case cases[] = {
      {"", "111"},     {"c0", "000"},   {"c0 m", "111"},   {"m", "000"},        {"m m", "111"},
      {"c0 n", "110"}, {"c0 u", "110"}, {"c0 n m", "000"}, {"c0 n c1", "111"},  {"c0 n c0", "000"},
      {"l0", "000"},   {"l0 n", "110"}, {"l1", "111"},     {"c0 u m m", "111"},
  };
  for (const Case& c : cases) {
    FavEditBar bar;
    std::istringstream in(c.steps);
    for (std::string step; in >> step;) {
      if (step == "m") bar.MnShowFavEditClick();
      if (step == "n") {
        EXPECT_EQ(bar.MnNewToFavClick(), FavFields{});
      }
      if (step == "u") bar.MnUpdateFavClick(favourites, std::nullopt);
      if (step[0] == 'c') bar.CbFavEditClick(step[1] == '1');
      if (step[0] == 'l') bar.Load(step[1] == '1');
    }
    const FavEditBarState& s = bar.state();
    const std::string state = std::string(s.panel_visible ? "1" : "0") +
                              (s.menu_marked ? "1" : "0") + (s.check_box ? "1" : "0");
    EXPECT_EQ(state, c.state) << c.steps;
    EXPECT_EQ(bar.show_fav_edit(), s.menu_marked) << c.steps;
  }
}

TEST_F(FavouritesTest, FieldsComeFromTheRowAndItsLine) {
  favourites.ReplaceAll({"C:\\a.txt*|*A", "file:///C:/x*|*x*|*more", "no separator"});
  const std::pair<std::optional<size_t>, std::optional<FavFields>> cases[] = {
      {0, FavFields{"A", "C:\\a.txt"}},   {1, FavFields{"x*|*more", "file:///C:/x"}},
      {2, FavFields{"no separator", ""}}, {3, std::nullopt},
      {std::nullopt, std::nullopt},
  };
  for (const auto& [row, fields] : cases) {
    EXPECT_EQ(FavFieldsOfRow(favourites, row), fields) << row.value_or(99);
  }
  FavEditBar bar;
  EXPECT_EQ(bar.MnUpdateFavClick(favourites, 0), (FavFields{"A", "C:\\a.txt"}));
}

TEST_F(FavouritesTest, AddPutsTrimmedFieldsOnTopAndRefusesOnlyTwoEmptyFields) {
  const std::pair<FavFields, bool> cases[] = {
      {{"", ""}, false},
      {{" \t", "  "}, false},
      {{" 名称 ", " C:\\a b.txt\t"}, true},
      {{"名称", "C:\\a b.txt"}, true},  // the same one again
      {{"桌面", ""}, true},             // a name alone opens a special place
      {{"", "C:\\x"}, true},
  };
  for (const auto& [fields, added] : cases) {
    EXPECT_EQ(AddFavourite(favourites, fields), added) << fields.name << "|" << fields.path;
  }
  EXPECT_EQ(favourites.Lines(),
            V({"C:\\x*|*", "*|*桌面", "C:\\a b.txt*|*名称", "C:\\a b.txt*|*名称"}));
  EXPECT_EQ(Shown(), V({"", "桌面", "名称", "名称"}));
  // Nor does an update empty a favourite.
  EXPECT_FALSE(UpdateFavourite(favourites, 0, {0}, {" ", ""}));
  EXPECT_EQ(favourites.Lines()[0], "C:\\x*|*");
}

TEST_F(FavouritesTest, UpdateReplacesOnlyASelectedRow) {
  struct Case {
    std::optional<size_t> caret;
    std::vector<size_t> selected;
    std::optional<size_t> replaced;
  };
  const Case cases[] = {
      {std::nullopt, {}, std::nullopt},
      {2, {}, std::nullopt},  // the caret of a list without selection is not current
      {2, {2}, 2},
      {2, {0, 2, 3}, 2},
      {1, {3, 0}, 3},  // the caret row is not selected: the first selected one
      {std::nullopt, {1}, 1},
      {1, {9}, std::nullopt},  // a stale row
  };
  for (const Case& c : cases) {
    const V before = {"a*|*A", "b*|*B", "c*|*C", "d*|*D"};
    favourites.ReplaceAll(before);
    V expected = before;
    if (c.replaced) expected[*c.replaced] = "C:\\new*|*新";
    EXPECT_EQ(UpdateFavourite(favourites, c.caret, c.selected, {" 新 ", "C:\\new "}),
              c.replaced.has_value());
    EXPECT_EQ(favourites.Lines(), expected);
    EXPECT_EQ(box.RowCount(), 4u);
    if (c.replaced) {
      EXPECT_EQ(favourites.RowText(*c.replaced), "新");
    }
  }
}

TEST_F(FavouritesTest, HintShowsPathAndNameWithoutTheFilePrefix) {
  favourites.ReplaceAll({"file:///C:/x*|*x", "C:\\a.txt*|*a", "http://h/*|*H*|*t"});
  lang::InterfaceTexts zh, en;
  lang::LoadLanguageTables(0, {}, zh);
  lang::LoadLanguageTables(2, {}, en);
  EXPECT_EQ(FavouriteHint(favourites, 0, zh), "所在路径『C:/x』 文档名称『x』");
  EXPECT_EQ(FavouriteHint(favourites, 1, zh), "所在路径『C:\\a.txt』 文档名称『a』");
  EXPECT_EQ(FavouriteHint(favourites, 2, zh), "所在路径『http://h/』 文档名称『H』 文档名称『t』");
  EXPECT_EQ(FavouriteHint(favourites, 1, en), "Current Path『C:\\a.txt 』『 document namea』");
  EXPECT_EQ(FavouriteHint(favourites, 3, zh), std::nullopt);
  EXPECT_EQ(FavouriteHint(favourites, std::nullopt, zh), std::nullopt);
}

TEST_F(FavouritesTest, KeysOfTheList) {
  const std::pair<int, FavKeyAction> cases[] = {
      {kKeyEnter, FavKeyAction::kOpen},    {kKeySpace, FavKeyAction::kOpen},
      {kKeyDelete, FavKeyAction::kDelete}, {kKeyEscape, FavKeyAction::kNone},
      {'A', FavKeyAction::kNone},
  };
  for (const auto& [key, action] : cases) EXPECT_EQ(LbMyLoveKeyDown(key), action) << key;
}

class FavouritePathTest : public FavouritesTest {
 protected:
  FavouritePathTest() {
    shell.AddDrive("D:\\", DriveKind::kRemovable);
    shell.AddDrive("E:\\", DriveKind::kRemovable);
    shell.SetNotReady("E:\\");
    shell.AddDrive("F:\\", DriveKind::kRemote);
    shell.AddDrive("G:\\", DriveKind::kCdRom);
    shell.AddDrive("H:\\", DriveKind::kUnknown);
    shell.AddDrive("R:\\", DriveKind::kRamDisk);
    shell.AddUsbDrive("U:\\");
    shell.AddFile("U:\\here.txt");
    shell.AddFile("C:\\here.txt");
    shell.AddFolder("C:\\Work");
    shell.AddFile("F:\\share\\x.txt");
  }
  FakeShellLauncher shell;
};

TEST_F(FavouritePathTest, OnlyAPresentDriveThatAnswersNotFoundCondemnsAFavourite) {
  const std::pair<const char*, FavPathCheck> cases[] = {
      {"C:\\here.txt", FavPathCheck::kPresent},
      {"C:\\Work", FavPathCheck::kPresent},
      {"C:\\Work\\", FavPathCheck::kPresent},
      {"c:\\gone.txt", FavPathCheck::kGone},
      {" C:\\gone.txt ", FavPathCheck::kGone},
      {"file:///C:/gone", FavPathCheck::kGone},
      {"file:///C:/Work", FavPathCheck::kPresent},
      // A removable drive or a disc that is in may not be the one the
      // favourite was made on: another stick or disc can hold the letter.
      {"D:\\gone", FavPathCheck::kKept},
      {"G:\\gone", FavPathCheck::kKept},
      {"R:\\gone", FavPathCheck::kKept},  // a RAM disk
      // A USB disk reports itself fixed; another one can take its letter.
      {"U:\\gone", FavPathCheck::kKept},
      {"U:\\here.txt", FavPathCheck::kKept},
      {"C:", FavPathCheck::kPresent},
      {"E:\\gone", FavPathCheck::kKept},          // not ready: no card in the reader
      {"F:\\gone", FavPathCheck::kKept},          // a network drive is never asked
      {"X:\\stick\\a.txt", FavPathCheck::kKept},  // the stick is out
      {"H:\\x", FavPathCheck::kKept},
      {"\\\\server\\share\\a.txt", FavPathCheck::kKept},
      {"//server/share/a.txt", FavPathCheck::kKept},
      {"http://host/gone.html", FavPathCheck::kKept},
      {"www.example.com", FavPathCheck::kKept},
      {"res://ieframe.dll/x", FavPathCheck::kKept},
      {"relative\\a.txt", FavPathCheck::kKept},
      {"", FavPathCheck::kKept},
      {"1:\\x", FavPathCheck::kKept},
  };
  for (const auto& [path, check] : cases) {
    EXPECT_EQ(CheckFavouritePath(path, shell), check) << path;
  }
  for (const std::string& asked : shell.queries()) {
    EXPECT_NE(asked.substr(0, 2), "F:") << "a network path was asked: " << asked;
    EXPECT_NE(asked.substr(0, 2), "\\\\") << asked;
  }
}

TEST_F(FavouritePathTest, PruningAsksOnceNamingTheFavouritesAndRemovesThemInOneBatch) {
  lang::InterfaceTexts zh;
  lang::LoadLanguageTables(0, {}, zh);
  const V lines = {"C:\\here.txt*|*here", "C:\\gone1*|*g1",  "C:\\gone2*|*g2",  "C:\\gone3*|*g3",
                   "http://host/*|*web",  "X:\\out*|*stick", "C:\\Work*|*work", "\\\\srv\\x*|*unc",
                   "D:\\gone*|*d",        "U:\\gone*|*usb",  "no separator"};
  struct Case {
    bool answer;
    size_t removed;
  };
  for (const Case c : {Case{false, 0}, Case{true, 3}}) {
    favourites.ReplaceAll(lines);
    box.events.clear();
    V questions;
    auto confirm = [&](const std::string& question) {
      questions.push_back(question);
      return c.answer;
    };
    EXPECT_EQ(DeleteMissingFavourites(favourites, shell, confirm, zh), c.removed);
    EXPECT_EQ(questions, V{"以下3个收藏的文档在本机已不存在，要删除它们吗？\n\ng1\ng2\ng3"});
    if (!c.answer) {
      EXPECT_EQ(favourites.Lines(), lines) << "No changes nothing";
      continue;
    }
    EXPECT_EQ(favourites.Lines(),
              V({"C:\\here.txt*|*here", "http://host/*|*web", "X:\\out*|*stick", "C:\\Work*|*work",
                 "\\\\srv\\x*|*unc", "D:\\gone*|*d", "U:\\gone*|*usb", "no separator"}));
    EXPECT_EQ(Shown(), V({"here", "web", "stick", "work", "unc", "d", "usb", "no separator"}));
    EXPECT_EQ(box.events, V({"begin 11", "end 8"}));
  }
  // Nothing gone: nothing asked. Many gone: the first five names and "…".
  favourites.ReplaceAll({"C:\\here.txt*|*here"});
  EXPECT_EQ(DeleteMissingFavourites(
                favourites, shell, [](const std::string&) -> bool { throw 1; }, zh),
            0u);
  V many;
  for (int i = 0; i < 7; ++i)
    many.push_back("C:\\g" + std::to_string(i) + "*|*n" + std::to_string(i));
  favourites.ReplaceAll(many);
  const std::vector<size_t> rows = MissingFavouriteRows(favourites, shell);
  EXPECT_EQ(rows.size(), 7u);
  EXPECT_EQ(DeleteMissingQuestion(favourites, rows, zh),
            "以下7个收藏的文档在本机已不存在，要删除它们吗？\n\nn0\nn1\nn2\nn3\nn4\n\xE2\x80\xA6");
}

TEST_F(FavouritesTest, DroppedFilesStandOnTopInReverseOrderInOneBatch) {
  favourites.ReplaceAll({"C:\\old.txt*|*old"});
  box.events.clear();
  EXPECT_EQ(
      AddDroppedFiles(favourites, {"C:\\d\\one.txt", " C:\\d\\two.txt ", " ", "C:\\d\\three.txt"}),
      3u);
  EXPECT_EQ(favourites.Lines(),
            V({"C:\\d\\three.txt*|*C:\\d\\three.txt", "C:\\d\\two.txt*|*C:\\d\\two.txt",
               "C:\\d\\one.txt*|*C:\\d\\one.txt", "C:\\old.txt*|*old"}));
  EXPECT_EQ(box.events, V({"begin 1", "end 4"}));
}

TEST_F(FavouritesTest, ChosenFavouritesGoToTheRunListInTheirOrder) {
  favourites.ReplaceAll(
      {"C:\\a.exe*|*A", "file:///C:/b*|*B", "C:\\c.exe*|*C", "no separator", "C:\\e.exe*|*E"});
  MemoryMirror run_box;
  DocList run_list(&run_box);
  AddMyRun(run_list, "C:\\before.exe", "before");
  EXPECT_EQ(AddFavouritesToRunList(favourites, {2, 0, 1, 3, 2, 17}, run_list), 3u);
  EXPECT_EQ(run_list.Lines(),
            V({"C:\\a.exe*|*A", "C:/b*|*B", "C:\\c.exe*|*C", "C:\\before.exe*|*before"}));
  EXPECT_EQ(AddFavouritesToRunList(favourites, {}, run_list), 0u);
}

}  // namespace
}  // namespace zd
