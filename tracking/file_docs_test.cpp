// Files as documents: their tree, their place beside section "docs", what a
// refresh learns of them from the shell's lists and from window titles, and
// their return at the next start.
#include <gtest/gtest.h>

#include <atomic>
#include <utility>

#include "platform/fake_recent_items.h"
#include "store/file_history.h"
#include "tracking/doc_kinds.h"
#include "tracking/recent_reader.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::Outline;
using testing_support::TrackerTest;
using V = std::vector<std::string>;

FoundDoc File(const std::string& path, int64_t opened = 0, const std::string& program = "") {
  FoundDoc doc{path, FileNameOfPath(path), program, DocKind::kFile};
  doc.opened = opened;
  return doc;
}

TEST(FilePaths, GroupFolderAndName) {
  const struct {
    const char* path;
    const char* root;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\Work\\Proj\\报告.docx", "C:\\Work", "C:\\Work\\Proj", "报告.docx"},
      {"C:\\Work\\a.txt", "C:\\Work", "C:\\Work", "a.txt"},
      {"C:\\a.txt", "C:\\", "C:\\", "a.txt"},
      {"d:/x/y/z.pdf", "d:\\x", "d:\\x\\y", "z.pdf"},
      {"\\\\server\\share\\dir\\plan.xlsx", "\\\\server\\share", "\\\\server\\share\\dir",
       "plan.xlsx"},
      {"\\\\server\\share\\plan.xlsx", "\\\\server\\share", "\\\\server\\share", "plan.xlsx"},
      {"\\\\server", "", "", "server"},
      {"relative\\a.txt", "", "relative", "a.txt"},
      {"http://host/a.txt", "", "http:\\\\host", "a.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FileRoot(c.path), c.root) << c.path;
    EXPECT_EQ(FileFolder(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOfPath(c.path), c.name) << c.path;
  }
}

class FileDocsTest : public TrackerTest {
 protected:
  // As after a start-up load that found no files' list.
  FileDocsTest() { store.files_origin.loaded = true; }
};

TEST_F(FileDocsTest, FilesAreGroupedByDriveAndTopFolderThenByFolder) {
  for (const char* path :
       {"C:\\Work\\Proj\\报告.docx", "C:\\Work\\Proj\\plan.xlsx", "C:\\Work\\a.txt",
        "C:\\Work\\Other\\b.pdf", "D:\\c.txt", "\\\\srv\\share\\d\\e.doc"}) {
    ASSERT_TRUE(tracker->AddMyDoc(File(path))) << path;
  }
  const int doc = kImageDocument, folder = kImageFolder;
  auto node = [](int depth, const std::string& caption, int image, int index) {
    return std::string(static_cast<size_t>(depth) * 2, ' ') + caption + " [" +
           std::to_string(image) + "] #" + std::to_string(index);
  };
  EXPECT_EQ(Outline(tv_file),
            V({node(0, "\\\\srv\\share", doc, 5), node(1, "\\\\srv\\share\\d", folder, 5),
               node(2, "e.doc", doc, 5), node(0, "D:\\", doc, 4), node(1, "c.txt", doc, 4),
               node(0, "C:\\Work", doc, 0), node(1, "C:\\Work\\Proj", folder, 0),
               node(2, "报告.docx", doc, 0), node(2, "plan.xlsx", doc, 1), node(1, "a.txt", doc, 2),
               node(1, "C:\\Work\\Other", folder, 3), node(2, "b.pdf", doc, 3)}));
  EXPECT_TRUE(tv_path.empty() && tv_doc.empty() && tv_app.empty());
  EXPECT_EQ(store.docs[0].RootPath, "C:\\Work");
  EXPECT_EQ(store.docs[0].name, "报告.docx");
  EXPECT_TRUE(store.MyRecentList.HasPath("C:\\Work\\a.txt")) << "the tray's recent list has them";
  // A path is one file whatever its letter case.
  EXPECT_FALSE(tracker->AddMyDoc(File("c:\\work\\A.TXT")));
}

// Section "docs" holds the other kinds only, numbered without holes, so that
// an earlier build reads all of them and no file as a web page.
TEST_F(FileDocsTest, SectionDocsSkipsFilesAndTheFilesListHoldsThem) {
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://h/", "H", "", DocKind::kWeb}));
  ASSERT_TRUE(tracker->AddMyDoc(File("C:\\Work\\a.txt", 0, "notepad.exe")));
  ASSERT_TRUE(tracker->AddMyDoc(File("C:\\Work\\b.txt")));
  ASSERT_TRUE(tracker->AddMyDoc(
      FoundDoc{"file:///C:/Work/Sub", "file:///C:/Work/Sub", "", DocKind::kFolder}));
  EXPECT_EQ(DocKey("path", 0), "http://h/");
  EXPECT_EQ(DocKey("path", 1), "file:///C:\\Work\\Sub");
  EXPECT_EQ(DocKey("path", 2), "<none>");
  EXPECT_EQ(DocKey("path", 3), "<none>");
  EXPECT_EQ(HistorySectionCount(store.docs), 2u);
  ASSERT_TRUE(SaveFileHistory(store));
  std::optional<std::string> text =
      files.ReadAll(std::string(testing_support::kConfigDir) + kFilesFileName);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "C:\\Work\\a.txt*|*a.txt*2*4*|*2024-05-06*|*2024-05-06*|*notepad.exe*|*0\r\n"
            "C:\\Work\\b.txt*|*b.txt*2*4*|*2024-05-06*|*2024-05-06*|**|*0\r\n");
}

// The next start: section "docs" first, then the files, each as it was, and
// the section rewritten without holes.
TEST_F(FileDocsTest, FilesComeBackAtTheNextStartAfterTheSection) {
  ASSERT_TRUE(tracker->AddMyDoc(File("C:\\Work\\a.txt", 0, "notepad.exe"), "2024-01-01"));
  ASSERT_TRUE(tracker->AddMyDoc(FoundDoc{"http://h/", "H", "", DocKind::kWeb}));
  ASSERT_TRUE(tracker->AddMyDoc(File("C:\\Work\\b.txt")));
  store.docs[2].selected = true;
  store.files_changed = true;
  ASSERT_TRUE(SaveFileHistory(store));
  store.settings->Flush();

  store.docs.clear();
  store.file_seen.clear();
  for (TreeModel* tree : {&tv_docs, &tv_doc, &tv_app, &tv_path, &tv_file}) tree->Clear();
  store.settings.reset();
  OpenSettingsFile(store);
  history_loaded = false;
  MakeTracker();
  ASSERT_TRUE(tracker->LoadHistory(*store.settings));
  ASSERT_EQ(Paths(), V({"http://h/", "C:\\Work\\a.txt", "C:\\Work\\b.txt"}));
  EXPECT_EQ(store.docs[1].date, "2024-01-01");
  EXPECT_TRUE(store.docs[2].selected);
  EXPECT_EQ(store.docs[1].doctype, DocKind::kFile);
  EXPECT_EQ(FileRecordsOf(store)[0].program, "notepad.exe");
  EXPECT_EQ(DocKey("path", 0), "http://h/");
  EXPECT_EQ(DocKey("path", 1), "<none>");
  EXPECT_FALSE(store.files_changed) << "a load writes nothing back";
}

TEST_F(FileDocsTest, ARefreshTakesTheShellsFilesAndNotesWhenEachWasSeenAgain) {
  std::vector<FoundDoc> read;
  int reads_asked = 0;
  read_recent_files = [&] { ++reads_asked; };
  recent_files = [&] { return std::exchange(read, {}); };
  MakeTracker();
  // 2024-05-01 and 2024-05-03 in seconds since 1970.
  const int64_t may1 = 1714521600, may3 = may1 + 2 * 86400;
  read = {File("C:\\Work\\a.txt", may1),
          FoundDoc{"file:///C:/Work/Sub", "file:///C:/Work/Sub", "explorer.exe", DocKind::kFolder}};
  tracker->CheckKindDocs(DocKind::kFile);
  EXPECT_EQ(reads_asked, 1);
  ASSERT_EQ(Paths(), V({"C:\\Work\\a.txt", "C:\\Work\\Sub"}));
  EXPECT_EQ(store.docs[0].date, "2024-05-01") << "first seen: when it was opened";
  EXPECT_EQ(store.docs[1].doctype, DocKind::kFolder) << "a link to a folder is a folder";
  EXPECT_FALSE(store.files_changed) << "written at the refresh's end";
  std::optional<std::string> text =
      files.ReadAll(std::string(testing_support::kConfigDir) + kFilesFileName);
  ASSERT_TRUE(text);

  read = {File("C:\\Work\\a.txt", may3, "writer.exe")};
  tracker->RecentFilesRead();
  ASSERT_EQ(FileRecordsOf(store).size(), 1u);
  EXPECT_EQ(FileRecordsOf(store)[0].first_seen, "2024-05-01");
  EXPECT_EQ(FileRecordsOf(store)[0].last_seen, "2024-05-03");
  EXPECT_EQ(FileRecordsOf(store)[0].program, "writer.exe");
  // An older time seen later changes nothing.
  read = {File("C:\\Work\\a.txt", may1, "writer.exe")};
  tracker->RecentFilesRead();
  EXPECT_EQ(FileRecordsOf(store)[0].last_seen, "2024-05-03");
}

TEST_F(FileDocsTest, AProgramWindowShowingAKnownFileRecordsItWithTheProgram) {
  windows.AddWindow("notes.txt - 记事本", "C:\\Windows\\notepad.exe");
  file_of_window = [](const FoundDoc& window) -> std::optional<FoundDoc> {
    if (window.name != "notes.txt - 记事本") return std::nullopt;
    return FoundDoc{"C:\\Work\\notes.txt", "notes.txt", window.program, DocKind::kFile};
  };
  MakeTracker();
  tracker->CheckAppDocs();
  ASSERT_EQ(Paths(), V({"C:\\Windows\\notepad.exe", "C:\\Work\\notes.txt"}));
  EXPECT_EQ(FileRecordsOf(store)[0].program, "C:\\Windows\\notepad.exe");
}

// The one gate keeps files out as it keeps out everything else.
TEST_F(FileDocsTest, WhatTheGateRefusesIsNotRecorded) {
  std::vector<FoundDoc> read = {File("C:\\Secret\\a.txt"), File("C:\\Work\\b.txt")};
  recent_files = [&] { return std::exchange(read, {}); };
  admit = [](FoundDoc& found) { return found.address.find("Secret") == std::string::npos; };
  MakeTracker();
  tracker->CheckAllDocs();
  EXPECT_EQ(Paths(), V({"C:\\Work\\b.txt"}));
}

TEST(MergeRecent, OneEntryPerPathWithItsNewestTime) {
  const std::vector<RecentLink> links = {
      {"C:\\Work\\a.txt", 100, false},
      {"C:\\Work\\Sub", 90, true},
      {"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", 300, true},
      {"", 50, false},
      {"notes.txt", 60, false},
  };
  const std::vector<JumpListItem> items = {
      {"c:\\work\\A.TXT", 200, true, false, "1b4dd67f29cb1962"},
      {"\\\\server\\share\\plan.xlsx", 150, false, false, "1b4dd67f29cb1962"},
  };
  EXPECT_EQ(MergeRecent(links, items),
            (std::vector<RecentFile>{{"C:\\Work\\a.txt", 200, false, true},
                                     {"\\\\server\\share\\plan.xlsx", 150, false, false},
                                     {"C:\\Work\\Sub", 90, true, false}}));
}

TEST(RecentReader, ReadsAgainOnlyWhenTheStampChanged) {
  FakeRecentItems* fake = nullptr;
  std::atomic<int> told{0};
  RecentReader reader(
      [&] {
        auto items = std::make_unique<FakeRecentItems>();
        fake = items.get();
        items->links = {{"C:\\a.txt", 5, false}};
        return items;
      },
      [&] { ++told; });
  reader.Request();
  reader.WaitIdle();
  ASSERT_TRUE(fake);
  EXPECT_EQ(reader.Take(), (std::vector<RecentFile>{{"C:\\a.txt", 5, false, false}}));
  reader.Request();
  reader.WaitIdle();
  EXPECT_EQ(reader.Take(), std::nullopt) << "nothing changed: nothing read, nothing told";
  EXPECT_EQ(fake->link_reads.load(), 1);
  EXPECT_EQ(told.load(), 1);
  fake->stamp = "2";
  reader.Request();
  reader.WaitIdle();
  EXPECT_TRUE(reader.Take());
  EXPECT_EQ(told.load(), 2);
}

}  // namespace
}  // namespace zd
