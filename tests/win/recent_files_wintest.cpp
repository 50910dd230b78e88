// The files a user opened in other programs, under Wine: a Recent folder of
// links made through IShellLinkW and a program's jump list made with the
// structured-storage API, read by the real main window through a refresh.
// The files' tree is read as another program reads it, a file is opened and
// found by its pinyin, and Windows' own switch keeps every file out.
#include <windows.h>
// windows.h must come first
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "mainwin/main_window_win.h"
#include "platform/temp_dir_for_tests.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/shell_recent_writer.h"
#include "tests/win/window_input.h"
#include "tracking/recording_gate.h"

namespace zd {
namespace {

using V = std::vector<std::string>;
constexpr int kFilesPage = 3;

class RecentFilesWinTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::string roaming = dir_.path() + "roaming";
    user_folders_ = UserFolders{roaming, dir_.path() + "local"};
    std::filesystem::create_directories(Utf8ToWide(roaming + "\\Microsoft\\Windows"));
    shell_recent_ =
        std::make_unique<testing::ShellRecentWriter>(roaming + "\\Microsoft\\Windows\\Recent");
    // Two links of the Recent folder, one to a file named in Han characters,
    // and a spreadsheet program's jump list with a pinned entry and a
    // network path (kept, never asked about).
    shell_recent_->AddLink("报告.docx.lnk", "C:\\Work\\报告.docx", 1700000300);
    shell_recent_->AddLink("notes.txt.lnk", "C:\\Work\\Notes\\notes.txt", 1700000200);
    shell_recent_->AddJumpList(
        "9b9cdc69c1c24e2b.automaticDestinations-ms",
        {"C:\\Data\\plan.xlsx", "\\\\server\\share\\budget.xlsx"},
        {{1, testing::FileTimeOf(1700000500), true, u"C:\\Data\\plan.xlsx"},
         {2, testing::FileTimeOf(1700000100), false, u"\\\\server\\share\\budget.xlsx"}});
    for (const char* file : {"C:\\Work\\报告.docx", "C:\\Work\\Notes\\notes.txt",
                             "C:\\Data\\plan.xlsx", "\\\\server\\share\\budget.xlsx"}) {
      launcher_.AddFile(file);
    }
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    shell_recent_.reset();
    CoUninitialize();
  }

  // A refresh, and the read of the Recent folder it asked for seen through.
  void Refresh() {
    Choose(Ui::MnRefresh);
    form_->Recorder()->WaitForRecentFiles();
    Pump();
  }
  // The paths of the file records, sorted.
  V FileRecords() {
    V paths;
    for (const DocRecord& doc : form_->store().docs) {
      if (doc.doctype == DocKind::kFile) paths.push_back(doc.path);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
  }
  // The files' tree as a screen reader reads it, without the pictures.
  V FileTreeRows() {
    V rows = TreeRowsReadByAnotherProgram(ShownTree(kFilesPage));
    for (std::string& row : rows) row = row.substr(0, row.rfind('|'));
    return rows;
  }

  TempDirForTests dir_;
  std::unique_ptr<testing::ShellRecentWriter> shell_recent_;
};

TEST_F(RecentFilesWinTest, FilesOfTheShellsListsAreShownOpenedAndFoundByPinyin) {
  MainWindow& form = OpenLoaded();
  Refresh();
  const V files = {"C:\\Data\\plan.xlsx", "C:\\Work\\Notes\\notes.txt", "C:\\Work\\报告.docx",
                   "\\\\server\\share\\budget.xlsx"};
  EXPECT_EQ(FileRecords(), files);
  // "Expand all" opens the files' groups too (its mark is off at the start).
  const HWND files_tree = ShownTree(kFilesPage);
  Choose(Ui::MnExpandAll);
  for (HTREEITEM root = NextItem(files_tree, nullptr, TVGN_ROOT); root;
       root = NextItem(files_tree, root, TVGN_NEXT)) {
    EXPECT_TRUE(ItemState(files_tree, root, TVIS_EXPANDED) & TVIS_EXPANDED)
        << ItemCaption(files_tree, root);
  }
  // Grouped by drive and top folder, then by folder; the network path by its share.
  const V tree = FileTreeRows();
  EXPECT_EQ(tree, (V{"C:\\Data", "  plan.xlsx", "C:\\Work", "  C:\\Work\\Notes", "    notes.txt",
                     "  报告.docx", "\\\\server\\share", "  budget.xlsx"}));

  // A double-click opens the file with the shell, and it tops the recent list.
  form.SetActivePage(kFilesPage);
  launcher_.ClearLog();
  DoubleClick(files_tree, LabelPoint(files_tree, FindItem(files_tree, "报告.docx")));
  EXPECT_EQ(launcher_.calls(), V{"execute verb=open file=C:\\Work\\报告.docx params= show=1"});
  ASSERT_FALSE(form.store().MyRecentList.empty());
  EXPECT_EQ(form.store().MyRecentList.Lines()[0], "C:\\Work\\报告.docx*|*报告.docx");

  // Typed as its pinyin, the file is the search list's first row.
  LauncherPage& l = form.launcher();
  l.EdtSearch.SetText("");  // the click put the node's caption there
  Type(l.EdtSearch.hwnd(), "baogao");
  const V rows = RowsReadByAnotherProgram(l.LbSearchResult.hwnd());
  ASSERT_FALSE(rows.empty());
  EXPECT_NE(rows[0].find("报告.docx"), std::string::npos) << rows[0];

  // The next start shows them from files.dat before any refresh.
  Close();
  OpenLoaded();
  EXPECT_EQ(FileRecords(), files);
  Choose(Ui::MnExpandAll);
  EXPECT_EQ(FileTreeRows(), tree);
}

// Windows' "track documents" switch, as HKCU's Explorer\Advanced holds it:
// off, nothing of the lists is recorded, nor written.
TEST_F(RecentFilesWinTest, WindowsSwitchOffRecordsNoFile) {
  struct Case {
    const char* what;
    std::optional<uint32_t> track_docs;
    size_t recorded;
  } const cases[] = {
      {"no value", std::nullopt, 4},
      {"on", 1, 4},
      {"off", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    registry_.DeleteValue(RegRoot::kCurrentUser, kExplorerAdvancedKey, kTrackDocsValue);
    if (c.track_docs) {
      std::string dword(4, '\0');
      dword[0] = static_cast<char>(*c.track_docs);
      registry_.WriteValue(RegRoot::kCurrentUser, kExplorerAdvancedKey, RegView::kDefault,
                           RegValue{kTrackDocsValue, RegType::kDword, "", dword});
    }
    files_.RemoveFile("D:\\MrxConfig\\" + std::string(kFilesFileName));
    files_.RemoveFile("D:\\MrxConfig\\defualt.ini");
    OpenLoaded();
    Refresh();
    EXPECT_EQ(FileRecords().size(), c.recorded);
    EXPECT_EQ(File(kFilesFileName) != "<missing>", c.recorded > 0);
    Close();
  }
}

}  // namespace
}  // namespace zd
