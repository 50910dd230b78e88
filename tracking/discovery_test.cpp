// The window enumeration's filter, the two scans and the close-time snapshot,
// on fake windows.
#include "tracking/discovery.h"

#include <gtest/gtest.h>

#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "tracking/scan_lines_for_tests.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

constexpr char kExplorer[] = "C:\\WINDOWS\\explorer.exe";

class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest() { lang::LoadLanguageTables(0, {}, lang::Texts()); }
  ~DiscoveryTest() override { lang::LoadLanguageTables(0, {}, lang::Texts()); }

  V AppLines() { return testing_support::ScanLines(ScanAppWindows(windows).found); }
  V Snapshot() {
    V last_run = {"left from before"};
    CollectOpenDocs(last_run, windows, shell, lang::Texts(), [this] { ++steps; });
    return last_run;
  }

  FakeWindowSystem windows;
  FakeShellWindows shell;
  int steps = 0;
};

TEST_F(DiscoveryTest, EnumerationListsVisibleUnownedNormalWindowsOnly) {
  windows.AddWindow("Normal", "C:\\a.exe");
  windows.AddWindow("Hidden", "C:\\a.exe").top.visible = false;
  windows.AddWindow("Dialog", "C:\\a.exe").top.owned = true;
  windows.AddWindow("Palette", "C:\\a.exe").top.tool_window = true;
  windows.AddWindow("", "C:\\a.exe");
  const std::vector<WindowRow> rows = EnumerateWindowRows(windows);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].title, "Normal");
  EXPECT_EQ(rows[0].id, windows.windows()[0].top.id);
  EXPECT_EQ(rows[1].title, "") << "untitled windows are listed";
}

TEST_F(DiscoveryTest, ProgramScanMakesKindTwoLinesInWindowOrder) {
  windows.AddWindow("  Report - Editor ", "C:\\Tools\\edit.exe");
  windows.AddWindow("音乐播放", "D:\\Media\\player.exe");
  EXPECT_EQ(AppLines(), V({"C:\\Tools\\edit.exe*|*Report - Editor*2*2",
                           "D:\\Media\\player.exe*|*音乐播放*2*2"}));
}

TEST_F(DiscoveryTest, ProgramScanSkipsFilteredWindows) {
  windows.AddWindow("Dialog", "C:\\a.exe").top.owned = true;
  windows.AddWindow("Palette", "C:\\b.exe").top.tool_window = true;
  windows.AddWindow("Hidden", "C:\\c.exe").top.visible = false;
  EXPECT_TRUE(AppLines().empty());
}

TEST_F(DiscoveryTest, WindowTitledWithItsOwnPathIsSkipped) {
  windows.AddWindow("NOTEPAD", "C:\\WINDOWS\\NOTEPAD.EXE");
  windows.AddWindow("notepad", "C:\\WINDOWS\\system32\\notepad.exe");
  windows.AddWindow("Program Files", "C:\\Program Files\\x\\x.exe");
  windows.AddWindow("", "C:\\untitled.exe");
  windows.AddWindow("Untitled - Notepad", "C:\\WINDOWS\\NOTEPAD.EXE");
  EXPECT_EQ(AppLines(), V({"C:\\WINDOWS\\NOTEPAD.EXE*|*Untitled - Notepad*2*2"}));
}

TEST_F(DiscoveryTest, TravelerWindowsAreSkipped) {
  windows.AddWindow("Some page", "C:\\Program Files\\TT\\TTraveler.exe");
  EXPECT_TRUE(AppLines().empty());
}

TEST_F(DiscoveryTest, ProgramWithoutReadableOrExistingFileIsSkipped) {
  windows.AddWindow("No process", std::nullopt);
  windows.AddWindowOfMissingFile("Gone", "C:\\Gone\\gone.exe");
  windows.AddWindowOfMissingFile("Empty path", "");
  windows.AddWindow("Null handle", "C:\\ok.exe").top.id = 0;
  EXPECT_TRUE(AppLines().empty());
  // A folder counts as an existing path.
  windows.AddWindow("Folder program", "C:\\Some\\Folder");
  EXPECT_EQ(AppLines(), V({"C:\\Some\\Folder*|*Folder program*2*2"}));
}

TEST_F(DiscoveryTest, ChineseSpecialPlacesPassWhateverTheirPath) {
  windows.AddWindow(" 我的电脑 ", kExplorer);
  windows.AddWindow("桌面", "D:\\桌面\\shell.exe");  // the title is part of the path
  windows.AddWindow("网上邻居", "C:\\TT\\TTRAVELER.EXE");
  windows.AddWindow("我的文档", "D:\\我的文档\\x.exe");  // not one of the fixed texts
  windows.AddWindow("工具", "D:\\工具\\tool.exe");
  EXPECT_EQ(AppLines(),
            V({std::string(kExplorer) + "*|*我的电脑*2*2", "D:\\桌面\\shell.exe*|*桌面*2*2",
               "C:\\TT\\TTRAVELER.EXE*|*网上邻居*2*2"}));
}

TEST_F(DiscoveryTest, FixedTextsStayChineseWithTheEnglishInterface) {
  ASSERT_TRUE(lang::LoadLanguageTables(2, {}, lang::Texts()));
  windows.AddWindow("My Computer", kExplorer);
  windows.AddWindow("My Computer", "C:\\TT\\TTRAVELER.EXE");
  windows.AddWindow("我的电脑", "C:\\TT\\TTRAVELER.EXE");
  EXPECT_EQ(AppLines(), V({std::string(kExplorer) + "*|*My Computer*2*2",
                           "C:\\TT\\TTRAVELER.EXE*|*我的电脑*2*2"}));
}

TEST_F(DiscoveryTest, FailingProcessQueryEndsTheScanWithTheLinesSoFar) {
  windows.AddWindow("One", "C:\\p1.exe");
  windows.AddWindow("Two", "C:\\p2.exe");
  windows.AddWindow("Three", "C:\\p3.exe");
  windows.ThrowOnProcessOf(windows.windows()[1].top.id);
  const ScanResult scan = ScanAppWindows(windows);
  EXPECT_FALSE(scan.complete);
  EXPECT_EQ(testing_support::ScanLines(scan.found), V({"C:\\p1.exe*|*One*2*2"}));
}

TEST_F(DiscoveryTest, ShellScanMakesFolderAndPageLines) {
  shell.AddWindow("file:///C:/Windows/System32");
  shell.AddWindow("  http://HOST/page.html ", "标题");
  shell.AddWindow("about:blank", "");
  shell.AddWindow("file:///C:/", "ignored title");
  shell.AddItem({"", true, "no address"});
  shell.AddItem({"http://HOST/loading", false, "no document"});
  const ScanResult scan = ScanShellWindows(shell);
  EXPECT_TRUE(scan.complete);
  EXPECT_EQ(testing_support::ScanLines(scan.found),
            V({"file:///C:/Windows/System32*|*file:///C:/Windows/System32*2*3",
               "http://HOST/page.html*|*标题*2*1", "about:blank*|**2*1",
               "file:///C:/*|*file:///C:/*2*3"}));
}

TEST_F(DiscoveryTest, ShellScanFailureKeepsTheLinesBeforeIt) {
  shell.AddWindow("http://a/", "A");
  shell.AddWindow("http://b/", "B");
  shell.AddWindow("http://c/", "C");
  shell.FailAt(2);
  ScanResult scan = ScanShellWindows(shell);
  EXPECT_FALSE(scan.complete);
  EXPECT_EQ(testing_support::ScanLines(scan.found), V({"http://a/*|*A*2*1", "http://b/*|*B*2*1"}));
  shell.set_throw_on_scan(true);
  scan = ScanShellWindows(shell);
  EXPECT_FALSE(scan.complete);
  EXPECT_TRUE(scan.found.empty());
}

TEST_F(DiscoveryTest, AddLastRunTrimsAndRefusesDuplicates) {
  V last_run;
  AddLastRun(last_run, "  C:\\a.exe ");
  AddLastRun(last_run, "C:\\a.exe");
  AddLastRun(last_run, "C:\\A.EXE");
  AddLastRun(last_run, "http://x/");
  EXPECT_EQ(last_run, V({"C:\\a.exe", "C:\\A.EXE", "http://x/"}));
  V loaded = {" http://x/ "};  // as a hand-edited file could hold it
  AddLastRun(loaded, "http://x/");
  EXPECT_EQ(loaded.size(), 1u);
}

TEST_F(DiscoveryTest, SnapshotRecordsProgramsExceptBrowsersExplorerAndQQ) {
  windows.AddWindow("Page", "C:\\Program Files\\Internet Explorer\\iexplore.exe");
  windows.AddWindow("Travel", "C:\\TT\\TTraveler.exe");
  windows.AddWindow("Folder", kExplorer);
  windows.AddWindow("Chat", "C:\\Program Files\\Tencent\\qq.exe");
  windows.AddWindow("Chat 2", "C:\\Program Files\\Tencent\\MyQQ.exe");
  windows.AddWindow("Report", "C:\\Tools\\edit.exe");
  windows.AddWindow("Second report", "C:\\Tools\\edit.exe");
  windows.AddWindow("edit", "C:\\Tools\\other.exe");
  windows.AddWindow("Dialog", "C:\\Tools\\dialog.exe").top.owned = true;
  windows.AddWindowOfMissingFile("Gone", "C:\\Gone\\gone.exe");
  EXPECT_EQ(Snapshot(), V({"C:\\Tools\\edit.exe", "C:\\Tools\\other.exe"}))
      << "the title-in-path test does not apply here";
}

TEST_F(DiscoveryTest, SnapshotKeepsExplorerForSpecialPlacesOfTheCurrentLanguage) {
  windows.AddWindow("我的电脑", kExplorer);
  windows.AddWindow("控制面板", "C:\\WINDOWS\\IEXPLORE.EXE");
  windows.AddWindow("我的文档", "C:\\Other\\explorer.exe");  // not among the snapshot's texts
  EXPECT_EQ(Snapshot(), V({kExplorer, "C:\\WINDOWS\\IEXPLORE.EXE"}));

  ASSERT_TRUE(lang::LoadLanguageTables(2, {}, lang::Texts()));
  windows.ClearWindows();
  windows.AddWindow("My Computer", kExplorer);
  windows.AddWindow("我的电脑", "C:\\Other\\explorer.exe");
  windows.AddWindow("desktop", "C:\\Third\\explorer.exe");
  windows.AddWindow("Performance and Maintenance", "C:\\Fourth\\qq.exe");
  EXPECT_EQ(Snapshot(), V({kExplorer, "C:\\Third\\explorer.exe", "C:\\Fourth\\qq.exe"}));
}

TEST_F(DiscoveryTest, SnapshotAddsShellAddressesAfterProgramsAndStepsPerAddress) {
  windows.AddWindow("Report", "C:\\Tools\\edit.exe");
  shell.AddWindow(" file:///C:/Work/Proj ");
  shell.AddWindow("http://HOST/", "Home");
  shell.AddWindow("http://HOST/", "Home again");
  shell.AddItem({"http://HOST/loading", false, ""});
  EXPECT_EQ(Snapshot(), V({"C:\\Tools\\edit.exe", "file:///C:/Work/Proj", "http://HOST/"}));
  EXPECT_EQ(steps, 3);
}

TEST_F(DiscoveryTest, SnapshotSurvivesFailingSources) {
  windows.AddWindow("Report", "C:\\Tools\\edit.exe");
  windows.AddWindow("Broken", "C:\\Tools\\broken.exe");
  windows.ThrowOnProcessOf(windows.windows()[1].top.id);
  shell.AddWindow("http://a/", "A");
  shell.AddWindow("http://b/", "B");
  shell.FailAt(1);
  EXPECT_EQ(Snapshot(), V({"C:\\Tools\\edit.exe", "http://a/"}));
  shell.set_throw_on_scan(true);
  EXPECT_EQ(Snapshot(), V({"C:\\Tools\\edit.exe"}));
}

}  // namespace
}  // namespace zd
