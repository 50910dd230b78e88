#include "store/doc_list.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/fake_files.h"
#include "store/AppParams.h"
#include "store/doc.h"
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

TEST_F(DocListTest, AddMyLoveHasNoDuplicateTestAndAddsAtTheTop) {
  AddMyLove(list, "C:\\a.exe", "A");
  AddMyLove(list, "C:\\b.exe", "B");
  AddMyLove(list, "C:\\a.exe", "A");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.Lines()[0], "C:\\a.exe*|*A");
  EXPECT_EQ(list.Lines()[1], "C:\\b.exe*|*B");
  EXPECT_EQ(list.Lines()[2], "C:\\a.exe*|*A");
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

TEST_F(DocListTest, IsInRecentListComparesUntrimmedPathsLocalOnesWhateverTheirCase) {
  list.ReplaceAll({"C:\\a.exe*|*A", "http://h/*|*H*2*1"});
  EXPECT_TRUE(IsInRecentList(list, "C:\\a.exe"));
  EXPECT_TRUE(IsInRecentList(list, "http://h/"));
  EXPECT_FALSE(IsInRecentList(list, " C:\\a.exe"));
  EXPECT_TRUE(IsInRecentList(list, "c:\\A.EXE"));
  EXPECT_FALSE(IsInRecentList(list, "http://H/"));
  EXPECT_FALSE(IsInRecentList(list, "A"));
  EXPECT_FALSE(IsInRecentList(list, ""));
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

TEST_F(DocListTest, IsInRecentListUsesTheFirstSeparatorOnly) {
  list.ReplaceAll({"a*|*|*x", "b*|*c*|*d"});
  EXPECT_TRUE(IsInRecentList(list, "a"));
  EXPECT_FALSE(IsInRecentList(list, "a*|")) << "the first \"*|*\" starts inside the text";
  EXPECT_FALSE(IsInRecentList(list, "b*|*c"));
  EXPECT_TRUE(IsInRecentList(list, "b"));
}

TEST_F(DocListTest, LineWithoutSeparatorCountsAsAnEmptyPath) {
  // Each line is split into a fresh record, so such a line has an empty path.
  list.ReplaceAll({"garbage"});
  EXPECT_TRUE(IsInRecentList(list, ""));
  EXPECT_FALSE(IsInRecentList(list, "garbage"));
}

TEST_F(DocListTest, AddMyRunAddsTheSameDocumentTwice) {
  AddMyRun(list, "file:///C:/Tools/t.exe", "Tool");
  AddMyRun(list, "file:///C:/Tools/t.exe", "Tool");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.Lines()[0], "C:/Tools/t.exe*|*Tool");
  EXPECT_EQ(list.Lines()[1], list.Lines()[0]);
  EXPECT_TRUE(Mirrored(list, box));
}

TEST_F(DocListTest, NameWithSeparatorShowsWholeInTheRow) {
  AddMyLove(list, "C:\\a.exe", "A*|*B");
  EXPECT_EQ(list.RowText(0), "A*|*B");
  TMyDocObj r;
  ASSERT_TRUE(ListLineSplit(list.Lines()[0], r));
  EXPECT_EQ(r.name, "A*|*B");
}

TEST_F(DocListTest, DeleteListSelectionRemovesExactlyTheSelectedLines) {
  list.ReplaceAll({"p0*|*n0", "p1*|*n1", "p2*|*n2", "p3*|*n3"});
  box.SetSelected(0, true);
  box.SetSelected(1, true);
  DeleteListSelection(list);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"p2*|*n2", "p3*|*n3"}));
  EXPECT_TRUE(Mirrored(list, box));
  EXPECT_TRUE(box.SelectedRows().empty());
}

TEST_F(DocListTest, DeleteListSelectionWithScatteredAndNoRows) {
  list.ReplaceAll({"p0*|*n0", "p1*|*n1", "p2*|*n2", "p3*|*n3", "p4*|*n4"});
  DeleteListSelection(list);
  EXPECT_EQ(list.size(), 5u) << "nothing selected, nothing removed";
  box.SetSelected(1, true);
  box.SetSelected(4, true);
  DeleteListSelection(list);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"p0*|*n0", "p2*|*n2", "p3*|*n3"}));
  EXPECT_TRUE(Mirrored(list, box));
  for (size_t i = 0; i < box.RowCount(); ++i) box.SetSelected(i, true);
  DeleteListSelection(list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(box.RowCount(), 0u);
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

// Every operation, in any order, keeps row i showing line i.
TEST(DocListMirrorTest, InvariantHoldsUnderRandomOperations) {
  std::mt19937 rng(20240611);
  MemoryMirror box;
  DocList list(&box);
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
    switch (rng() % 10) {
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
      default:
        list.AttachMirror(&box);
        break;
    }
    ASSERT_TRUE(Mirrored(list, box)) << "after step " << step;
    // The path index agrees with a walk over the lines.
    for (const std::string& probe :
         {std::string("C:\\b.exe"), std::string("http://x/y"), std::string(""), std::string("p"),
          std::string("C:/a"), std::string("c:\\A\\")}) {
      bool walked = false;
      for (const std::string& line : list.Lines()) {
        TMyDocObj doc;
        const std::string path = ListLineSplit(line, doc) ? doc.path : std::string();
        walked = walked || DocPathKey(path) == DocPathKey(probe);
      }
      ASSERT_EQ(IsInRecentList(list, probe), walked) << probe << " after step " << step;
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

TEST_F(ListFileTest, MissingFileKeepsTheListAndCountsAsLoaded) {
  AddMyLove(list, "C:\\a", "A");
  ListFileLoad(list, files, *codec, file);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_TRUE(list.loaded());
}

TEST_F(ListFileTest, UnreadableFileIsNotLoadedSoItIsNotOverwritten) {
  files.PutFile(file, "C:\\a*|*A\r\n");
  files.FailReadsOf(file);
  ListFileLoad(list, files, *codec, file);
  EXPECT_FALSE(list.loaded());
  EXPECT_TRUE(list.empty());
}

TEST_F(ListFileTest, TenThousandLinesLoadWhole) {
  files.PutFile(file, NumberedLines(kMaxListLines));
  ListFileLoad(list, files, *codec, file);
  ASSERT_EQ(list.size(), 10000u);
  EXPECT_EQ(list.Lines().back(), "C:\\doc9999.txt*|*doc9999");
  EXPECT_TRUE(Mirrored(list, box));
}

TEST_F(ListFileTest, OverTenThousandLinesKeepTheNewestTenThousand) {
  files.PutFile(file, NumberedLines(kMaxListLines + 1));
  ListFileLoad(list, files, *codec, file);
  ASSERT_EQ(list.size(), 10000u);
  EXPECT_EQ(list.Lines().front(), "C:\\doc0.txt*|*doc0");
  EXPECT_EQ(list.Lines().back(), "C:\\doc9999.txt*|*doc9999");
  EXPECT_TRUE(list.loaded());
  EXPECT_TRUE(Mirrored(list, box));
  // The file itself is only rewritten at exit, with what was kept.
  EXPECT_EQ(files.files().at(file), NumberedLines(kMaxListLines + 1));
  ASSERT_TRUE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), NumberedLines(kMaxListLines));
}

TEST_F(ListFileTest, BlankLinesDoNotCountTowardsTheLimit) {
  std::string text = NumberedLines(kMaxListLines);
  text.insert(0, "\r\n   \r\n\t\r\n");
  files.PutFile(file, text);
  ListFileLoad(list, files, *codec, file);
  EXPECT_EQ(list.size(), 10000u);
}

TEST_F(ListFileTest, BlankLinesAreDroppedFromListAndBoxAndLinesTrimmed) {
  files.PutFile(file, "\r\n  C:\\a*|*A  \r\n   \r\n\tC:\\b*|*B\n\rC:\\c*|*C");
  ListFileLoad(list, files, *codec, file);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"C:\\a*|*A", "C:\\b*|*B", "C:\\c*|*C"}));
  EXPECT_EQ(Shown(list, box), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(ListFileTest, LoadReplacesWhatTheListHeld) {
  AddMyRecent(list, "C:\\added at start", "x");
  files.PutFile(file, "C:\\f*|*F\r\n");
  ListFileLoad(list, files, *codec, file);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"C:\\f*|*F"}));
  EXPECT_TRUE(Mirrored(list, box));
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

TEST_F(ListFileTest, FailedSaveReportsAndKeepsTheOldFile) {
  files.PutFile(file, "old\r\n");
  files.FailWritesTo(file);
  AddMyLove(list, "C:\\a", "A");
  EXPECT_FALSE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), "old\r\n");
}

TEST_F(ListFileTest, EmptyListSavesAnEmptyFile) {
  files.PutFile(file, "C:\\a*|*A\r\n");
  ASSERT_TRUE(ListFileSave(list, files, *codec, file));
  EXPECT_EQ(files.files().at(file), "");
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
