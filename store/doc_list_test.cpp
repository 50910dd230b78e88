#include "store/doc_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <stdexcept>
#include <tuple>

#include "platform/fake_files.h"
#include "store/doc.h"
#include "store/program_files.h"
#include "store/text_file.h"

namespace zd {
namespace {

// What the mirror's rows show: as many rows as the list has lines, row i
// asked of the list.
std::vector<std::string> Shown(const DocList& list, const ListMirror& mirror) {
  std::vector<std::string> rows;
  for (size_t i = 0; i < mirror.RowCount(); ++i) rows.push_back(list.RowText(i));
  return rows;
}

// Row i of the mirror must show the text after the first "*|*" of line i.
::testing::AssertionResult Mirrored(const DocList& list, const MemoryMirror& mirror) {
  if (mirror.RowCount() != list.size()) {
    return ::testing::AssertionFailure()
           << list.size() << " lines but " << mirror.RowCount() << " rows";
  }
  for (size_t i = 0; i < list.size(); ++i) {
    if (list.RowText(i) != LineRowText(list.Lines()[i])) {
      return ::testing::AssertionFailure() << "row " << i << " shows \"" << list.RowText(i)
                                           << "\" for line \"" << list.Lines()[i] << "\"";
    }
  }
  return ::testing::AssertionSuccess();
}

class DocListTest : public ::testing::Test {
 protected:
  MemoryMirror box;
  DocList list{&box};
};

TEST_F(DocListTest, AddMyLoveStripsTheFilePrefixAndTurnsSlashes) {
  AddMyLove(list, "file:///C:/My Docs/a.txt", "file:///C:/My Docs/a.txt");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.Lines()[0], "C:\\My Docs\\a.txt*|*C:\\My Docs\\a.txt");
  EXPECT_EQ(list.RowText(0), "C:\\My Docs\\a.txt");
}

TEST_F(DocListTest, AddMyLoveTreatsPathAndNameIndependently) {
  AddMyLove(list, "file:///C:/x/y", "a/b title");
  EXPECT_EQ(list.Lines()[0], "C:\\x\\y*|*a/b title")
      << "a name without the prefix keeps its slashes";
  AddMyLove(list, "http://host/p", "file:///D:/z");
  EXPECT_EQ(list.Lines()[0], "http://host/p*|*D:\\z");
  EXPECT_TRUE(Mirrored(list, box));
}

// Favourites and the auto-run list take a document as often as it comes,
// each time at the top.
TEST_F(DocListTest, AddMyLoveAndAddMyRunHaveNoDuplicateTestAndAddAtTheTop) {
  AddMyLove(list, "C:\\a.exe", "A");
  AddMyLove(list, "C:\\b.exe", "B");
  AddMyLove(list, "C:\\a.exe", "A");
  EXPECT_EQ(list.Lines(),
            (std::vector<std::string>{"C:\\a.exe*|*A", "C:\\b.exe*|*B", "C:\\a.exe*|*A"}));
  EXPECT_TRUE(Mirrored(list, box));
  list.Clear();
  AddMyRun(list, "file:///C:/Tools/t.exe", "Tool");
  AddMyRun(list, "file:///C:/Tools/t.exe", "Tool");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>(2, "C:/Tools/t.exe*|*Tool")));
  EXPECT_TRUE(Mirrored(list, box));
}

TEST_F(DocListTest, AddMyRecentKeepsSlashesAndRefusesAKnownPath) {
  AddMyRecent(list, "file:///C:/x", "file:///C:/x");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.Lines()[0], "C:/x*|*C:/x");
  AddMyRecent(list, "C:/x", "other name");
  AddMyRecent(list, "file:///C:/x", "again");
  EXPECT_EQ(list.size(), 1u) << "the path compared is the stripped one";
  AddMyRecent(list, "c:\\X\\", "other case");
  AddMyRecent(list, "http://H/x", "web");
  AddMyRecent(list, "http://h/x", "web in other case");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"http://h/x*|*web in other case",
                                                    "http://H/x*|*web", "C:/x*|*C:/x"}))
      << "a local path in another case is the same document, a web address is not";
  EXPECT_TRUE(Mirrored(list, box));
}

// A load's recent lines go in at once: the list ends as AddMyRecent of each
// document in turn leaves it (the oracle), rows, marks and index included,
// also when the list box refuses a row part-way.
TEST(DocListMirrorTest, AddMyRecentAllEqualsAddMyRecentOfEachInTurn) {
  struct CountedMirror : MemoryMirror {
    size_t rows_left = SIZE_MAX;  // then the list box refuses
    void InsertRow(size_t index) override {
      if (rows_left == 0) throw std::runtime_error("list box full");
      --rows_left;
      MemoryMirror::InsertRow(index);
    }
  };
  using Docs = std::vector<std::pair<std::string, std::string>>;
  const struct Case {
    const char* name;
    std::vector<std::string> before;
    Docs docs;
    size_t rows_left;
  } cases[] = {
      {"into an empty list", {}, {{"C:\\a", "A"}, {"http://h/b", "B"}}, SIZE_MAX},
      {"known paths are skipped",
       {"C:\\a*|*old", "http://h/x*|*X"},
       {{"c:\\A", "A"}, {"http://h/x", "X"}, {"http://H/x", "other host case"}, {"D:\\d", "D"}},
       SIZE_MAX},
      {"the same path twice in one go",
       {},
       {{"file:///C:/w", "W"}, {"C:/w", "again"}, {"c:/W", "case"}, {"C:\\w", "turned"}},
       SIZE_MAX},
      {"names with the separator", {}, {{"C:\\s", "a*|*b"}, {"C:\\t", ""}}, SIZE_MAX},
      {"nothing to add", {"C:\\a*|*A"}, {}, SIZE_MAX},
      {"a refused row", {"C:\\a*|*A"}, {{"C:\\b", "B"}, {"C:\\c", "C"}, {"C:\\d", "D"}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountedMirror one_box, all_box;
    DocList one_by_one(&one_box), all(&all_box);
    for (DocList* list : {&one_by_one, &all}) list->ReplaceAll(c.before);
    if (!c.before.empty()) {
      one_box.SetSelected(0, true);
      all_box.SetSelected(0, true);
    }
    one_box.rows_left = all_box.rows_left = c.rows_left;
    bool one_failed = false, all_failed = false;
    try {
      for (const auto& [path, name] : c.docs) AddMyRecent(one_by_one, path, name);
    } catch (const std::runtime_error&) {
      one_failed = true;
    }
    try {
      AddMyRecentAll(all, c.docs);
    } catch (const std::runtime_error&) {
      all_failed = true;
    }
    EXPECT_EQ(all_failed, one_failed);
    EXPECT_EQ(all.Lines(), one_by_one.Lines());
    EXPECT_EQ(all_box.SelectedRows(), one_box.SelectedRows());
    EXPECT_TRUE(Mirrored(all, all_box));
    for (const auto& [path, name] : c.docs) {
      EXPECT_EQ(IsInRecentList(all, path), IsInRecentList(one_by_one, path)) << path;
    }
  }
}

// The path of a line is the text before its first "*|*" (none: an empty
// path); it is compared untrimmed, a local path whatever its case.
TEST_F(DocListTest, IsInRecentListComparesThePathsBeforeTheFirstSeparator) {
  const std::vector<std::string> two = {"C:\\a.exe*|*A", "http://h/*|*H*2*1"};
  const std::vector<std::string> odd = {"a*|*|*x", "b*|*c*|*d"};
  const std::tuple<std::vector<std::string>, const char*, bool> cases[] = {
      {two, "C:\\a.exe", true},
      {two, "http://h/", true},
      {two, " C:\\a.exe", false},
      {two, "c:\\A.EXE", true},
      {two, "http://H/", false},
      {two, "A", false},
      {two, "", false},
      {odd, "a", true},
      {odd, "a*|", false},
      {odd, "b*|*c", false},
      {odd, "b", true},
      {{"garbage"}, "", true},
      {{"garbage"}, "garbage", false},
  };
  for (const auto& [lines, path, in] : cases) {
    list.ReplaceAll(lines);
    EXPECT_EQ(IsInRecentList(list, path), in) << path << " in " << lines[0];
  }
}

TEST_F(DocListTest, AReopenedDocumentMovesToTheTopAsItsOnlyLine) {
  list.ReplaceAll({"C:\\a.txt*|*A", "http://h/x*|*X", "C:/Work/*|*W", "c:\\A.TXT*|*old case"});
  struct Step {
    const char* path;
    const char* name;
    std::vector<std::string> after;
  };
  const Step steps[] = {
      {"C:\\b.txt",
       "B",
       {"C:\\b.txt*|*B", "C:\\a.txt*|*A", "http://h/x*|*X", "C:/Work/*|*W",
        "c:\\A.TXT*|*old case"}},
      {"C:\\A.txt", "A", {"C:\\A.txt*|*A", "C:\\b.txt*|*B", "http://h/x*|*X", "C:/Work/*|*W"}},
      {"c:\\work", "W", {"c:\\work*|*W", "C:\\A.txt*|*A", "C:\\b.txt*|*B", "http://h/x*|*X"}},
      {"http://H/x",
       "X2",
       {"http://H/x*|*X2", "c:\\work*|*W", "C:\\A.txt*|*A", "C:\\b.txt*|*B", "http://h/x*|*X"}},
  };
  for (const Step& step : steps) {
    MoveToTopOfRecent(list, step.path, step.name);
    EXPECT_EQ(list.Lines(), step.after) << step.path;
    EXPECT_TRUE(Mirrored(list, box)) << step.path;
  }
}

TEST_F(DocListTest, NameWithSeparatorShowsWholeInTheRow) {
  AddMyLove(list, "C:\\a.exe", "A*|*B");
  EXPECT_EQ(list.RowText(0), "A*|*B");
  DocLine r;
  ASSERT_TRUE(ListLineSplit(list.Lines()[0], r));
  EXPECT_EQ(r.name, "A*|*B");
}

// Exactly the selected lines go, with their rows, whatever rows are selected.
TEST_F(DocListTest, DeleteListSelectionRemovesExactlyTheSelectedLines) {
  const std::vector<std::string> five = {"p0*|*n0", "p1*|*n1", "p2*|*n2", "p3*|*n3", "p4*|*n4"};
  const std::pair<std::vector<size_t>, std::vector<std::string>> cases[] = {
      {{0, 1}, {"p2*|*n2", "p3*|*n3", "p4*|*n4"}},
      {{}, five},  // nothing selected, nothing removed
      {{1, 4}, {"p0*|*n0", "p2*|*n2", "p3*|*n3"}},
      {{0, 1, 2, 3, 4}, {}},
  };
  for (const auto& [selected, after] : cases) {
    list.ReplaceAll(five);
    for (size_t row : selected) box.SetSelected(row, true);
    DeleteListSelection(list);
    EXPECT_EQ(list.Lines(), after);
    EXPECT_TRUE(Mirrored(list, box));
    EXPECT_TRUE(box.SelectedRows().empty());
  }
}

// A list box that reports the same row twice and a row past the end must not
// cost an extra line.
class SloppyMirror : public MemoryMirror {
 public:
  std::vector<size_t> SelectedRows() const override {
    std::vector<size_t> rows = MemoryMirror::SelectedRows();
    if (!rows.empty()) rows.push_back(rows.front());
    rows.push_back(RowCount() + 3);
    return rows;
  }
};

TEST(DocListMirrorTest, DeleteSelectionToleratesDuplicateAndStaleRows) {
  SloppyMirror box;
  DocList list(&box);
  list.ReplaceAll({"a*|*1", "b*|*2", "c*|*3"});
  box.SetSelected(1, true);
  list.DeleteSelection();
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a*|*1", "c*|*3"}));
  EXPECT_TRUE(Mirrored(list, box));
}

// A list box that refuses a row leaves the list as it was.
TEST(DocListMirrorTest, ARefusedRowLeavesTheListAsItWas) {
  struct RefusingMirror : MemoryMirror {
    void InsertRow(size_t) override { throw std::runtime_error("list box full"); }
  } box;
  DocList list(&box);
  list.ReplaceAll({"C:\\a*|*A"});
  EXPECT_THROW(AddMyRecent(list, "C:\\b", "B"), std::runtime_error);
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"C:\\a*|*A"});
  EXPECT_FALSE(IsInRecentList(list, "C:\\b"));
  EXPECT_TRUE(Mirrored(list, box));
}

TEST(DocListMirrorTest, AttachMirrorFillsTheNewBoxAndDetachRefillsTheOwnOne) {
  DocList list;
  AddMyLove(list, "C:\\a", "A");
  AddMyLove(list, "C:\\b", "B");
  MemoryMirror box;
  box.InsertRow(0);  // a stale row
  list.AttachMirror(&box);
  EXPECT_EQ(Shown(list, box), (std::vector<std::string>{"B", "A"}));
  AddMyLove(list, "C:\\c", "C");
  EXPECT_EQ(Shown(list, box).front(), "C");
  list.AttachMirror(nullptr);
  EXPECT_EQ(&list.Mirror() == &box, false);
  EXPECT_EQ(list.Mirror().RowCount(), 3u);
}

// How many lines a walk finds whose path names the document `probe` names.
size_t WalkedLinesOf(const DocList& list, const std::string& probe) {
  size_t found = 0;
  for (const std::string_view line : list.Lines()) {
    DocLine doc;
    const std::string path = ListLineSplit(line, doc) ? doc.path : std::string();
    if (DocPathKey(path) == DocPathKey(probe)) ++found;
  }
  return found;
}

// Every operation, in any order, keeps row i showing line i, and the path
// index answering as a walk does.
void RandomOperations(DocList::PathHash hash) {
  std::mt19937 rng(20240611);
  MemoryMirror box;
  DocList list(&box);
  list.SetPathHash(hash);
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  const auto codec = MakeCodec(936);
  ASSERT_TRUE(codec);
  const std::vector<std::string> paths = {"file:///C:/a", "C:\\b.exe", "http://x/y", "",
                                          "C:/中文",      "p*|*q"};
  const std::vector<std::string> names = {"A", "", "名字", "n*|*m", "file:///D:/n", " sp "};
  for (int step = 0; step < 2000; ++step) {
    const std::string& path = paths[rng() % paths.size()];
    const std::string& name = names[rng() % names.size()];
    switch (rng() % 11) {
      case 0:
        AddMyLove(list, path, name);
        break;
      case 1:
        AddMyRecent(list, path, name);
        break;
      case 2:
        AddMyRun(list, path, name);
        break;
      case 3:
      case 4:
        for (size_t i = 0; i < box.RowCount(); ++i) box.SetSelected(i, rng() % 3 == 0);
        DeleteListSelection(list);
        break;
      case 5:
        ASSERT_TRUE(ListFileSave(list, files, *codec, "C:\\l.dat"));
        ListFileLoad(list, files, *codec, "C:\\l.dat");
        break;
      case 6:
        if (rng() % 10 == 0) list.Clear();
        break;
      case 7: {
        const size_t index = rng() % (list.size() + 1);  // one past the end now and then
        EXPECT_EQ(list.ReplaceLine(index, MakeDocLine(path, name)), index < list.size());
        break;
      }
      case 8: {
        const size_t before = list.size();
        const size_t index = rng() % (before + 1);
        EXPECT_EQ(list.DeleteLine(index), index < before);
        EXPECT_EQ(list.size(), index < before ? before - 1 : before);
        break;
      }
      case 9: {
        const size_t walked = WalkedLinesOf(list, path);
        EXPECT_EQ(list.DeletePath(path), walked) << path << " at step " << step;
        EXPECT_EQ(WalkedLinesOf(list, path), 0u);
        break;
      }
      default:
        list.AttachMirror(&box);
        break;
    }
    ASSERT_TRUE(Mirrored(list, box)) << "after step " << step;
    // The path index agrees with a walk over the lines.
    for (const std::string& probe :
         {std::string("C:\\b.exe"), std::string("http://x/y"), std::string(""), std::string("p"),
          std::string("C:/a"), std::string("c:\\A\\")}) {
      ASSERT_EQ(IsInRecentList(list, probe), WalkedLinesOf(list, probe) > 0)
          << probe << " after step " << step;
    }
  }
}

// Lookups check each candidate line, so the hash only decides how many they
// check: the real one, one under which every path collides, one that splits
// them in two.
TEST(DocListMirrorTest, InvariantHoldsUnderRandomOperations) {
  const DocList::PathHash hashes[] = {
      nullptr, [](std::string_view) -> uint32_t { return 7; },
      [](std::string_view key) -> uint32_t { return static_cast<uint32_t>(key.size() % 2); }};
  for (DocList::PathHash hash : hashes) RandomOperations(hash);
}

// A list used for months: lines put on top, replaced and deleted far more
// often than it is loaded, whose text is copied afresh now and then. Its
// lines stay those a plain vector of lines holds after the same steps.
TEST(DocListMirrorTest, LinesStayAsWrittenThroughLongUse) {
  for (const size_t length : {size_t{3}, size_t{300}, size_t{5000}}) {
    std::mt19937 rng(static_cast<unsigned>(length));
    MemoryMirror box;
    DocList list(&box);
    std::vector<std::string> expected;
    for (int step = 0; step < 3000; ++step) {
      const std::string line =
          "C:\\" + std::to_string(step) + "*|*" + std::string(rng() % length, 'a' + step % 26);
      const size_t index = expected.empty() ? 0 : rng() % expected.size();
      switch (expected.size() > 200 ? 1 + rng() % 3 : rng() % 4) {
        case 0:
          list.InsertTop(line);
          expected.insert(expected.begin(), line);
          break;
        case 1:
          ASSERT_EQ(list.ReplaceLine(index, line), !expected.empty());
          if (!expected.empty()) expected[index] = line;
          break;
        case 2:
          ASSERT_EQ(list.DeleteLine(index), !expected.empty());
          if (!expected.empty()) expected.erase(expected.begin() + static_cast<long>(index));
          break;
        default:
          if (expected.empty()) break;
          box.SetSelected(index, true);
          list.DeleteSelection();
          expected.erase(expected.begin() + static_cast<long>(index));
          break;
      }
      ASSERT_EQ(list.Lines(), expected) << "length " << length << ", step " << step;
    }
  }
}

class ListFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.AddDrive("C:\\", DriveKind::kFixed);
    files.AddDirectory("C:\\MrxConfig\\");
    ASSERT_TRUE(codec);
  }
  static std::string NumberedLines(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
      text += "C:\\doc" + std::to_string(i) + ".txt*|*doc" + std::to_string(i) + "\r\n";
    }
    return text;
  }

  FakeFiles files;
  std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  const std::string file = "C:\\MrxConfig\\fav.dat";
  MemoryMirror box;
  DocList list{&box};
};

// What a load leaves in the list (and its box), and whether the list counts
// as loaded, so that the exit writes it.
TEST_F(ListFileTest, ALoadKeepsTheFirstTenThousandTrimmedLines) {
  using L = std::vector<std::string>;
  const auto numbered = [](size_t count) {
    L lines;
    for (size_t i = 0; i < count; ++i) {
      lines.push_back("C:\\doc" + std::to_string(i) + ".txt*|*doc" + std::to_string(i));
    }
    return lines;
  };
  struct Case {
    const char* what;
    std::optional<std::string> text;  // none: no file
    bool readable;
    L before, after;
    bool loaded;
  };
  const Case cases[] = {
      {"a missing file keeps the list", std::nullopt, true, {"C:\\a*|*A"}, {"C:\\a*|*A"}, true},
      {"an unreadable file is not loaded, so it is not overwritten",
       "C:\\a*|*A\r\n",
       false,
       {},
       {},
       false},
      {"ten thousand lines load whole",
       NumberedLines(kMaxListLines),
       true,
       {},
       numbered(kMaxListLines),
       true},
      {"past ten thousand the newest stay",
       NumberedLines(kMaxListLines + 1),
       true,
       {},
       numbered(kMaxListLines),
       true},
      {"blank lines do not count towards the limit",
       "\r\n   \r\n\t\r\n" + NumberedLines(kMaxListLines),
       true,
       {},
       numbered(kMaxListLines),
       true},
      {"blank lines go and lines are trimmed",
       "\r\n  C:\\a*|*A  \r\n   \r\n\tC:\\b*|*B\n\rC:\\c*|*C",
       true,
       {},
       {"C:\\a*|*A", "C:\\b*|*B", "C:\\c*|*C"},
       true},
      {"a load replaces what the list held",
       "C:\\f*|*F\r\n",
       true,
       {"C:\\added at start*|*x"},
       {"C:\\f*|*F"},
       true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = "C:\\MrxConfig\\list" + std::to_string(++n) + ".dat";
    if (c.text) files.PutFile(path, *c.text);
    if (!c.readable) files.FailReadsOf(path);
    DocList loaded(&box);
    loaded.ReplaceAll(c.before);
    ListFileLoad(loaded, files, *codec, path);
    EXPECT_EQ(loaded.Lines(), c.after);
    EXPECT_EQ(loaded.loaded(), c.loaded);
    EXPECT_TRUE(Mirrored(loaded, box));
  }
}

// The file itself is only rewritten at exit, with what was kept.
TEST_F(ListFileTest, OverTenThousandLinesAreCutAtTheNextSave) {
  files.PutFile(file, NumberedLines(kMaxListLines + 1));
  ListFileLoad(list, files, *codec, file);
  EXPECT_EQ(files.files().at(file), NumberedLines(kMaxListLines + 1));
  ASSERT_TRUE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), NumberedLines(kMaxListLines));
}

TEST_F(ListFileTest, GbkFileLoadsAndSavesInTheCodePage) {
  // "C:\文档*|*文档" in code page 936.
  const std::string gbk = "C:\\\xCE\xC4\xB5\xB5*|*\xCE\xC4\xB5\xB5\r\n";
  files.PutFile(file, gbk);
  ListFileLoad(list, files, *codec, file);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list.Lines()[0], "C:\\文档*|*文档");
  EXPECT_EQ(list.RowText(0), "文档");
  ASSERT_TRUE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), gbk);
}

TEST_F(ListFileTest, TextOutsideTheCodePageIsSavedAsUtf8WithBom) {
  AddMyLove(list, "C:\\Año\\😀.txt", "Año 😀");
  AddMyLove(list, "C:\\文档", "文档");
  ASSERT_TRUE(ListFileSave(list, files, *codec, file));
  const std::string& bytes = files.files().at(file);
  EXPECT_EQ(bytes, std::string(kUtf8Bom) + "C:\\文档*|*文档\r\nC:\\Año\\😀.txt*|*Año 😀\r\n");
  DocList again;
  ListFileLoad(again, files, *codec, file);
  EXPECT_EQ(again.Lines(), list.Lines());
}

// A failed save says so and leaves the old file; an empty list saves an
// empty file.
TEST_F(ListFileTest, ASaveReplacesTheFileOrSaysItFailed) {
  files.PutFile(file, "C:\\a*|*A\r\n");
  ASSERT_TRUE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), "");
  files.PutFile(file, "old\r\n");
  files.FailWritesTo(file);
  AddMyLove(list, "C:\\a", "A");
  EXPECT_FALSE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), "old\r\n");
}

}  // namespace
}  // namespace zd

namespace zd {
namespace {

// The recent list answers from an index; it must follow every change.
TEST(RecentListIndex, FollowsInsertsDeletesReplacesAndClears) {
  MemoryMirror box;
  DocList list(&box);
  AddMyRecent(list, "C:\\a", "A");
  AddMyRecent(list, "C:\\b", "B");
  AddMyRun(list, "C:\\a", "A again");  // the same path twice
  EXPECT_TRUE(IsInRecentList(list, "C:\\a"));
  EXPECT_TRUE(IsInRecentList(list, "c:\\A")) << "one document whatever its case";
  box.SetSelected(0, true);  // one of the two "C:\a" lines
  DeleteListSelection(list);
  EXPECT_TRUE(IsInRecentList(list, "C:\\a"));
  box.SetSelected(1, true);  // now the other one
  DeleteListSelection(list);
  EXPECT_FALSE(IsInRecentList(list, "C:\\a"));
  EXPECT_TRUE(IsInRecentList(list, "C:\\b"));
  list.ReplaceAll({"C:\\c*|*C", "no separator"});
  EXPECT_FALSE(IsInRecentList(list, "C:\\b"));
  EXPECT_TRUE(IsInRecentList(list, "C:\\c"));
  EXPECT_TRUE(IsInRecentList(list, ""));  // a line without "*|*" has an empty path
  list.Clear();
  EXPECT_FALSE(IsInRecentList(list, ""));
  EXPECT_FALSE(IsInRecentList(list, "C:\\c"));
}

}  // namespace
}  // namespace zd
