// Refreshes through the main window under Wine: what the fakes show reaches
// the trees, "rec.dat" at exit and section "docs", and comes back at restart.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "mainwin/main_window_win.h"
#include "platform/fake_files.h"
#include "platform/fake_shell_windows.h"
#include "platform/fake_window_system.h"
#include "platform/wide_win.h"
#include "store/program_files.h"
#include "tests/win/helper_process.h"
#include "tests/win/main_window_fixture.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

// The tree view's items as "caption" and "  child" lines, in display order.
std::vector<std::string> Outline(HWND tree) {
  std::vector<std::string> lines;
  for (HTREEITEM item : AllItems(tree)) {
    const bool child = NextItem(tree, item, TVGN_PARENT) != nullptr;
    lines.push_back((child ? "  " : "") + ItemCaption(tree, item));
  }
  return lines;
}

// The same lines from a tree's model.
std::vector<std::string> ModelOutline(const TreeModel& tree) {
  std::vector<std::string> lines;
  for (const auto& root : tree.roots()) {
    lines.push_back(root->caption);
    for (const auto& child : root->children) lines.push_back("  " + child->caption);
  }
  return lines;
}

using TrackingWindowTest = MainWindowFixture;

TEST_F(TrackingWindowTest, ARefreshFillsTheTreesAndSurvivesARestart) {
  windows_.AddWindow("记事本 - a.txt", "C:\\Windows\\notepad.exe");
  shell_.AddWindow("file:///C:/Work/Proj");
  shell_.AddWindow("http://example.com/", "Example home");
  shell_.AddWindow("http://example.com/a.html", "Example A");
  // Pages of today's web: each of them under its host, whatever the scheme.
  shell_.AddWindow("https://docs.example/a", "Docs A");
  shell_.AddWindow("https://docs.example/b", "Docs B");
  shell_.AddWindow("https://docs.example/", "Docs home");
  MainWindow& form = OpenLoaded();
  Choose(Ui::MnRefresh);
  Pump();

  const std::vector<std::string> app = {"记事本 - a.txt"};
  const std::vector<std::string> path = {"C:\\Work", "  C:\\Work\\Proj"};
  const std::vector<std::string> web = {"docs.example", "  Docs A",    "  Docs B",
                                        "  Docs home",  "example.com", "  Example home",
                                        "  Example A"};
  EXPECT_EQ(SendMessageW(form.launcher().TVPath.hwnd(), TVM_GETCOUNT, 0, 0), 0)
      << "no items before its page is shown";
  EXPECT_EQ(Outline(ShownTree(1)), app);
  EXPECT_EQ(Outline(ShownTree(2)), path);
  EXPECT_EQ(Outline(ShownTree(0)), web);
  // Newest group first in the all-documents tree.
  std::vector<std::string> all = web;
  all.insert(all.end(), {"C:\\Work", "  C:\\Work\\Proj", "记事本 - a.txt"});
  EXPECT_EQ(ModelOutline(form.launcher().tv_docs), all);
  EXPECT_EQ(SendMessageW(form.launcher().TVDocs.hwnd(), TVM_GETCOUNT, 0, 0), 0)
      << "a tree of the design that is never shown holds no items";
  ASSERT_EQ(form.store().docs.size(), 7u);
  std::string ini = File("defualt.ini");
  EXPECT_NE(ini.find("path0=C:\\Windows\\notepad.exe"), std::string::npos) << ini;
  EXPECT_NE(ini.find("path1=file:///C:\\Work\\Proj"), std::string::npos) << ini;
  Close();
  EXPECT_NE(File("rec.dat").find("C:\\Windows\\notepad.exe*|*"), std::string::npos);

  // Nothing open any more: the next start brings the history back from the
  // settings, with one write of the settings file at most.
  windows_.ClearWindows();
  shell_.Clear();
  const int writes = files_.WriteCount("D:\\MrxConfig\\defualt.ini");
  MainWindow& again = OpenLoaded();
  EXPECT_LE(files_.WriteCount("D:\\MrxConfig\\defualt.ini") - writes, 1);
  EXPECT_EQ(again.store().docs.size(), 7u);
  EXPECT_EQ(Outline(ShownTree(2)), path);
  EXPECT_EQ(Outline(ShownTree(0)), web);
  EXPECT_EQ(Outline(ShownTree(1)), app);
}

TEST_F(TrackingWindowTest, F5RefreshesOnlyWhatTheTabShows) {
  windows_.AddWindow("Editor", "C:\\Tools\\editor.exe");
  shell_.AddWindow("file:///D:/Music");
  MainWindow& form = OpenLoaded();
  form.SetActivePage(2);  // folders
  MSG f5{form.launcher().TVPath.hwnd(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
  EXPECT_TRUE(form.FormShortCut(f5));
  EXPECT_EQ(Outline(ShownTree(2)), std::vector<std::string>{"D:\\Music"});
  EXPECT_TRUE(form.launcher().tv_app.empty()) << "the programs are not refreshed";
  MSG other{form.launcher().TVPath.hwnd(), WM_KEYDOWN, VK_F6, 0, 0, {0, 0}};
  EXPECT_FALSE(form.FormShortCut(other));
  // With Alt held, F5 arrives as a system key and still refreshes.
  shell_.AddWindow("file:///D:/Video");
  MSG alt_f5{form.launcher().TVPath.hwnd(), WM_SYSKEYDOWN, VK_F5, 0x20000000, 0, {0, 0}};
  EXPECT_TRUE(form.FormShortCut(alt_f5));
  EXPECT_EQ(Outline(ShownTree(2)), (std::vector<std::string>{"D:\\Video", "D:\\Music"}));
}

TEST_F(TrackingWindowTest, ClosingRecordsWhatIsOpen) {
  windows_.AddWindow("Editor", "C:\\Tools\\editor.exe");
  windows_.AddWindow("Other window of the editor", "C:\\Tools\\editor.exe");
  shell_.AddWindow("file:///D:/Music");
  OpenLoaded();
  Close();
  EXPECT_EQ(File("lr.dat"), "C:\\Tools\\editor.exe\r\nfile:///D:/Music\r\n");
}

TEST_F(TrackingWindowTest, TheRefreshTimerFollowsTheCheckBox) {
  windows_.AddWindow("notes.txt - Text editor", "C:\\Tools\\editor.exe");
  MainWindow& form = OpenLoaded();
  // Unticked: a tick registers nothing.
  SendMessageW(form.hwnd(), WM_TIMER, MainWindow::kTimerCheckDocs, 0);
  EXPECT_TRUE(form.store().docs.empty());
  Click(ShownSettings().CbZDRefresh);
  SendMessageW(form.hwnd(), WM_TIMER, MainWindow::kTimerCheckDocs, 0);
  EXPECT_EQ(form.store().docs.size(), 1u);
}

TEST_F(TrackingWindowTest, ARealProgramWindowIsRegisteredAndComesBack) {
  const std::wstring title = L"Quarterly report 季度 - Writer";
  use_real_windows_ = true;
  std::string caption = WideToUtf8(title);
  {
    HelperProcess helper({L"normal:" + title});
    ASSERT_TRUE(helper.started());
    ASSERT_NE(helper.Window(title), nullptr);
    OpenLoaded();
    Choose(Ui::MnRefresh);
    std::vector<std::string> app = Outline(ShownTree(1));
    EXPECT_NE(std::find(app.begin(), app.end(), caption), app.end());
    Close();
  }
  std::string recent = File("rec.dat");
  EXPECT_NE(recent.find("zd_window_helper.exe*|*"), std::string::npos) << recent;
  EXPECT_NE(File("defualt.ini").find("zd_window_helper.exe"), std::string::npos);
  // The helper is gone; the next start still shows it, from the settings.
  OpenLoaded();
  std::vector<std::string> app = Outline(ShownTree(1));
  EXPECT_NE(std::find(app.begin(), app.end(), caption), app.end());
}

}  // namespace
}  // namespace zd
