// The refreshes: scans handed to the registration, their order and pauses,
// their failures, and requests that arrive while one is running.
#include <gtest/gtest.h>

#include "tracking/doc_kinds.h"
#include "tracking/scan_lines_for_tests.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

using testing_support::TrackerTest;
using V = std::vector<std::string>;

class RefreshTest : public TrackerTest {
 protected:
  // Two programs and, in the shell, a folder and a page.
  void Desktop() {
    windows.AddWindow("Report.txt - Writer", "C:\\Tools\\editor.exe");
    windows.AddWindow("Now Playing", "D:\\Media\\player.exe");
    shell.AddWindow("file:///C:/Work/Proj");
    shell.AddWindow("http://HOST/page.html", "A page");
  }
};

TEST_F(RefreshTest, CheckAppDocsRegistersEachProgramWindowOnce) {
  Desktop();
  windows.AddWindow("Second window", "C:\\Tools\\editor.exe");
  tracker->CheckAppDocs();
  EXPECT_EQ(Paths(), V({"C:\\Tools\\editor.exe", "D:\\Media\\player.exe"}));
  EXPECT_EQ(store.docs[0].name, "Report.txt - Writer");
  EXPECT_EQ(
      testing_support::ScanLines(tracker->AppWindowList()),
      V({"C:\\Tools\\editor.exe*|*Report.txt - Writer*2*2",
         "D:\\Media\\player.exe*|*Now Playing*2*2", "C:\\Tools\\editor.exe*|*Second window*2*2"}));
  EXPECT_EQ(pumps, 3) << "messages are served before every line";
  EXPECT_EQ(sleeps, std::vector<int>({5, 5, 5}));
  EXPECT_EQ(shell.scan_calls(), 0);
  EXPECT_FALSE(tracker->refreshing());
}

TEST_F(RefreshTest, CheckShellDocsRegistersFoldersAndPages) {
  Desktop();
  tracker->CheckShellDocs();
  EXPECT_EQ(Paths(), V({"C:\\Work\\Proj", "http://HOST/page.html"}));
  EXPECT_EQ(store.docs[0].doctype, DocKind::kFolder);
  EXPECT_EQ(store.docs[1].doctype, DocKind::kWeb);
  EXPECT_EQ(store.docs[1].name, "A page");
  EXPECT_EQ(windows.enumerate_calls(), 0);
  EXPECT_EQ(pumps, 2);
  EXPECT_EQ(sleeps, std::vector<int>({5, 5}));
}

TEST_F(RefreshTest, FailedShellScanRegistersNothingButKeepsItsLines) {
  Desktop();
  shell.AddWindow("http://OTHER/", "Other");
  shell.FailAt(2);
  tracker->CheckShellDocs();
  EXPECT_TRUE(store.docs.empty());
  EXPECT_EQ(
      testing_support::ScanLines(tracker->ShellWindowList()),
      V({"file:///C:/Work/Proj*|*file:///C:/Work/Proj*2*3", "http://HOST/page.html*|*A page*2*1"}));
}

TEST_F(RefreshTest, FailedProgramScanRegistersTheLinesGatheredBeforeIt) {
  expect_caught = true;
  Desktop();
  windows.AddWindow("Third", "C:\\Third\\third.exe");
  windows.ThrowOnProcessOf(windows.windows()[1].top.id);
  tracker->CheckAppDocs();
  EXPECT_EQ(Paths(), V({"C:\\Tools\\editor.exe"}));
}

TEST_F(RefreshTest, CheckAllDocsRegistersProgramsBeforePagesAndFolders) {
  Desktop();
  tracker->CheckAllDocs();
  EXPECT_EQ(Paths(), V({"C:\\Tools\\editor.exe", "D:\\Media\\player.exe", "C:\\Work\\Proj",
                        "http://HOST/page.html"}));
  EXPECT_EQ(steps, 3);
  // 3 ms between the phases, 5 ms per line.
  EXPECT_EQ(sleeps, std::vector<int>({3, 5, 5, 3, 5, 5, 3}));
  EXPECT_EQ(pumps, 2 + 2 + 2);
}

TEST_F(RefreshTest, CheckAllDocsEndsAtAFailedShellScan) {
  Desktop();
  shell.FailAt(0);
  tracker->CheckAllDocs();
  EXPECT_EQ(Paths(), V({"C:\\Tools\\editor.exe", "D:\\Media\\player.exe"}));
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(sleeps, std::vector<int>({3, 5, 5, 3}));
}

TEST_F(RefreshTest, ThrowingShellIsSwallowed) {
  expect_caught = true;
  Desktop();
  shell.set_throw_on_scan(true);
  EXPECT_NO_THROW(tracker->CheckAllDocs());
  EXPECT_EQ(store.docs.size(), 2u);
  EXPECT_FALSE(tracker->refreshing());
}

TEST_F(RefreshTest, CheckKindDocsRefreshesWhatATreeOfThatKindShows) {
  Desktop();
  tracker->CheckKindDocs(DocKind::kWeb);
  EXPECT_EQ(Paths(), V({"C:\\Work\\Proj", "http://HOST/page.html"}));
  EXPECT_EQ(windows.enumerate_calls(), 0);
  EXPECT_EQ(steps, 1);

  tracker->CheckKindDocs(DocKind::kProgram);
  EXPECT_EQ(store.docs.size(), 4u);
  EXPECT_EQ(windows.enumerate_calls(), 1);
  EXPECT_EQ(shell.scan_calls(), 1);
  EXPECT_EQ(resets, 1) << "the program kind sets the progress back";

  shell.AddWindow("file:///D:/Other", "");
  sleeps.clear();
  tracker->CheckKindDocs(DocKind::kFolder);
  EXPECT_EQ(store.docs.size(), 5u);
  EXPECT_EQ(sleeps, std::vector<int>({5, 5, 5, 3}));

  const int scans = shell.scan_calls();
  tracker->CheckKindDocs(std::nullopt);  // a page of no kind
  EXPECT_EQ(shell.scan_calls(), scans);
  EXPECT_EQ(windows.enumerate_calls(), 1);
}

TEST_F(RefreshTest, ProgramKindExpandsTheProgramTree) {
  windows.AddWindow("Report.txt - Writer", "C:\\Tools\\editor.exe");
  // A node with children in TVApp (the trees' own commands may add some).
  TreeNode* group = tv_app.InsertRootFirst("Group", 0, 0);
  tv_app.AppendChild(group, "Child", 0, 0);
  tracker->CheckKindDocs(DocKind::kProgram);
  EXPECT_TRUE(group->expanded);
}

TEST_F(RefreshTest, RequestDuringARefreshRunsOnceAfterItNotNested) {
  Desktop();
  int requests = 0;
  std::vector<int> enumerations_seen;
  on_pump = [&] {
    enumerations_seen.push_back(windows.enumerate_calls());
    EXPECT_TRUE(tracker->refreshing());
    if (requests++ == 0) tracker->CheckAllDocs();  // a timer tick, say
  };
  tracker->CheckAppDocs();
  // The inner request did not scan at once: every pump of the first loop saw
  // one enumeration. Then the remembered refresh ran, once.
  ASSERT_GE(enumerations_seen.size(), 2u);
  EXPECT_EQ(enumerations_seen[0], 1);
  EXPECT_EQ(enumerations_seen[1], 1);
  EXPECT_EQ(windows.enumerate_calls(), 2);
  EXPECT_EQ(shell.scan_calls(), 1);
  EXPECT_EQ(store.docs.size(), 4u);
  EXPECT_FALSE(tracker->refreshing());
}

TEST_F(RefreshTest, ScanListIsNotReplacedUnderARunningLoop) {
  windows.AddWindow("One", "C:\\A\\p1.exe");
  windows.AddWindow("Two", "C:\\A\\p2.exe");
  windows.AddWindow("Three", "C:\\A\\p3.exe");
  // Each scan after the first sees other windows.
  windows.on_enumerate = [](FakeWindowSystem& fake) {
    if (fake.enumerate_calls() < 2) return;
    fake.ClearWindows();
    fake.AddWindow("Later", "C:\\B\\p4.exe");
  };
  bool asked = false;
  on_pump = [&] {
    if (!asked) {
      asked = true;
      tracker->CheckAppDocs();
      tracker->ScanShellWindows();  // a scan of the other list is harmless
    }
  };
  tracker->CheckAppDocs();
  EXPECT_EQ(Paths(), V({"C:\\A\\p1.exe", "C:\\A\\p2.exe", "C:\\A\\p3.exe", "C:\\B\\p4.exe"}));
  EXPECT_EQ(testing_support::ScanLines(tracker->AppWindowList()), V({"C:\\B\\p4.exe*|*Later*2*2"}));
}

TEST_F(RefreshTest, SeveralRequestsDuringARefreshRunTheWidestOnce) {
  Desktop();
  bool asked = false;
  on_pump = [&] {
    if (asked) return;
    asked = true;
    tracker->CheckKindDocs(DocKind::kWeb);
    tracker->CheckAllDocs();
    tracker->CheckKindDocs(DocKind::kWeb);
  };
  tracker->CheckKindDocs(DocKind::kWeb);
  EXPECT_EQ(shell.scan_calls(), 2);
  EXPECT_EQ(windows.enumerate_calls(), 1) << "the pending full refresh ran once";
  EXPECT_EQ(store.docs.size(), 4u);
}

TEST_F(RefreshTest, RepeatedSameRequestRunsOnceAndDifferentKindsWiden) {
  Desktop();
  bool asked = false;
  on_pump = [&] {
    if (asked) return;
    asked = true;
    tracker->CheckKindDocs(DocKind::kFolder);
    tracker->CheckKindDocs(DocKind::kFolder);
    tracker->CheckKindDocs(std::nullopt);  // no kind: nothing to remember
  };
  tracker->CheckKindDocs(DocKind::kFolder);
  EXPECT_EQ(shell.scan_calls(), 2);
  EXPECT_EQ(windows.enumerate_calls(), 0);

  asked = false;
  on_pump = [&] {
    if (asked) return;
    asked = true;
    tracker->CheckKindDocs(DocKind::kWeb);
    tracker->CheckKindDocs(DocKind::kProgram);
  };
  tracker->CheckShellDocs();
  EXPECT_EQ(shell.scan_calls(), 4) << "two kinds together widen to the full refresh";
  EXPECT_EQ(windows.enumerate_calls(), 1);
}

TEST_F(RefreshTest, RequestArrivingDuringThePendingRunIsServedToo) {
  Desktop();
  int round = 0;
  on_pump = [&] {
    // One request from the first run's loop, one from the second's.
    const int scans = shell.scan_calls();
    if (round == 0 && scans == 1) {
      ++round;
      tracker->CheckShellDocs();
    } else if (round == 1 && scans == 2) {
      ++round;
      tracker->CheckAppDocs();
    }
  };
  tracker->CheckShellDocs();
  EXPECT_EQ(shell.scan_calls(), 2);
  EXPECT_EQ(windows.enumerate_calls(), 1);
  EXPECT_FALSE(tracker->refreshing());
}

TEST_F(RefreshTest, RefreshRequestedFromTheHistoryLoadRunsAtOnce) {
  store.settings->WriteString(kSectionDocs, "path0", "http://HOST/a");
  store.settings->WriteString(kSectionDocs, "name0", "A");
  store.settings->WriteString(kSectionDocs, "path1", "http://HOST/b");
  store.settings->WriteString(kSectionDocs, "name1", "B");
  shell.AddWindow("http://LIVE/", "Live");
  bool asked = false;
  on_pump = [&] {
    if (asked) return;
    asked = true;
    tracker->CheckShellDocs();
  };
  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(Paths(), V({"http://HOST/a", "http://LIVE/", "http://HOST/b"}));
}

}  // namespace
}  // namespace zd

namespace zd {
namespace {

// Before the start-up load, a registration would write its keys at position
// 0 over the stored record there; the refresh waits for the load instead.
TEST_F(RefreshTest, ARefreshBeforeTheStartUpLoadWaitsForIt) {
  store.settings->WriteKeys(kSectionDocs, {{"name0", "Stored"},
                                           {"date0", "2020-01-02"},
                                           {"RootPath0", "HOST"},
                                           {"doctype0", "1"},
                                           {"path0", "http://HOST/stored.html"},
                                           {"selected0", "0"}});
  history_loaded = false;
  MakeTracker();
  shell.AddWindow("http://OTHER/new.html", "New page");
  tracker->CheckAllDocs();
  tracker->CheckKindDocs(DocKind::kProgram);
  EXPECT_TRUE(store.docs.empty());
  EXPECT_EQ(shell.scan_calls(), 0);

  tracker->LoadHistory(*store.settings);
  EXPECT_EQ(Paths(), V({"http://HOST/stored.html"}));
  tracker->HistoryLoaded();
  // The deferred requests ran once, as one full refresh, after the stored record.
  EXPECT_EQ(shell.scan_calls(), 1);
  EXPECT_EQ(Paths(), V({"http://HOST/stored.html", "http://OTHER/new.html"}));
  EXPECT_EQ(DocKey("path", 0), "http://HOST/stored.html");
  EXPECT_EQ(DocKey("date", 0), "2020-01-02");
  tracker->HistoryLoaded();  // a second call changes nothing
  EXPECT_EQ(shell.scan_calls(), 1);
}

}  // namespace
}  // namespace zd
