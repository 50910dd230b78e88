// Every writer of what was seen or done asks the recording gate: the
// refreshes, the close-time snapshot, the search's picks and the recent list
// on reopening. None goes round it, whatever stops or changes the recording.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "launch/fake_search_view.h"
#include "launch/open_docs.h"
#include "launch/search.h"
#include "platform/fake_browser_control.h"
#include "platform/fake_registry.h"
#include "platform/fake_shell_launcher.h"
#include "tracking/doc_kinds.h"
#include "tracking/recording_gate.h"
#include "tracking/tracker_harness_for_tests.h"
#include "tracking/tree_input.h"

namespace zd {
namespace {

constexpr char kChrome[] = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr char kEditor[] = "C:\\Tools\\editor.exe";

enum class Writer { kPrograms, kFolders, kBrowserPages, kSnapshot, kPick, kRecentOnOpen };

// The desk of one user: an editor's window, an Explorer folder, a browser
// page, and a history with the editor's record that the search finds.
class Desk : public testing_support::TrackerTest {
 public:
  Desk() {
    admit = [this](FoundDoc& found) { return gate.Admit(found); };
    browser_pages = [this] {
      return std::vector<FoundDoc>{
          {"https://bank.example/account?t=1", page_title, kChrome, DocKind::kWeb}};
    };
    MakeTracker();
    browser.ShowPage({"SearchNow"});
    launcher.AddFile(kEditor);
    presenter.EnableLauncher(true, [] { return int64_t{1700000000}; });
    presenter.SetAdmit(admit);
  }
  void TestBody() override {}

  // Runs the writer; what it kept, one line per item.
  std::vector<std::string> Run(Writer writer) {
    windows.AddWindow(window_title, kEditor);
    shell.AddWindow("file:///C:/Work/Proj");
    std::vector<std::string> kept;
    switch (writer) {
      case Writer::kPrograms:
        tracker->CheckAppDocs();
        break;
      case Writer::kFolders:
        tracker->CheckKindDocs(DocKind::kFolder);
        break;
      case Writer::kBrowserPages:
        tracker->CheckKindDocs(DocKind::kWeb);
        break;
      case Writer::kSnapshot:
        tracker->CollectOpenDocs();
        return store.LastRunList;
      case Writer::kPick:
      case Writer::kRecentOnOpen: {
        store.docs.push_back(
            DocRecord{"", kEditor, "editor", false, DocKind::kProgram, "2024-01-01"});
        presenter.EdtSearchTyped();
        presenter.EdtSearchChange("editor");
        presenter.EdtSearchKeyDown(kKeyEnter, "editor", 0);
        if (writer == Writer::kRecentOnOpen) return recent.Lines().ToVector();
        for (const Pick& pick : presenter.picks().picks()) kept.push_back(pick.path);
        return kept;
      }
    }
    for (const DocRecord& doc : store.docs) kept.push_back(doc.name + " @ " + doc.path);
    return kept;
  }

  FakeRegistry registry;
  RecordingGate gate{&registry};
  std::string window_title = "Report - Editor";
  std::string page_title = "Account";
  FakeShellLauncher launcher;
  MemoryMirror recent_box;
  DocList recent{&recent_box};
  DocOpener opener{launcher, recent, [this] {
                     OpenHooks hooks;
                     hooks.admit = [this](FoundDoc& found) { return gate.Admit(found); };
                     return hooks;
                   }()};
  FakeBrowserControl browser;
  WebSearcher web{&browser, launcher, {}};
  FakeSearchView view;
  SearchPresenter presenter{store, opener, web, launcher, view};
};

TEST(RecordingWritersTest, NoWriterGoesRoundTheGate) {
  const auto dword = [](bool on) { return std::string(on ? "\x01\0\0\0" : "\0\0\0\0", 4); };
  struct State {
    const char* what;
    std::function<void(Desk&)> set;
    // Kept in part: the refreshes and the snapshot keep what the rule leaves.
    bool redacts = false;
  } const states[] = {
      {"paused", [](Desk& d) { d.gate.SetPaused(true); }},
      {"Windows keeps no recent documents",
       [&](Desk& d) {
         d.registry.WriteValue(RegRoot::kCurrentUser, kExplorerAdvancedKey, RegView::kDefault,
                               RegValue{kTrackDocsValue, RegType::kDword, "", dword(false)});
       }},
      {"the user's policy",
       [&](Desk& d) {
         d.registry.WriteValue(
             RegRoot::kCurrentUser, kExplorerPoliciesKey, RegView::kDefault,
             RegValue{kNoRecentDocsHistoryValue, RegType::kDword, "", dword(true)});
       }},
      {"the machine's policy",
       [&](Desk& d) {
         d.registry.WriteValue(
             RegRoot::kLocalMachine, kExplorerPoliciesKey, RegView::kDefault,
             RegValue{kNoRecentDocsHistoryValue, RegType::kDword, "", dword(true)});
       }},
      {"the rules could not be read", [](Desk& d) { d.gate.SetRulesUnreadable(true); }},
      {"a drop rule on everything",
       [](Desk& d) {
         d.gate.filter().SetRules({PrivacyRule{RuleAction::kDrop, RuleField::kAddress, true, "."}});
       }},
      {"a broken expression",
       [](Desk& d) {
         d.gate.filter().SetRules({PrivacyRule{RuleAction::kDrop, RuleField::kTitle, true, "(("}});
       }},
      {"a redact rule on everything",
       [](Desk& d) {
         d.gate.filter().SetRules(
             {PrivacyRule{RuleAction::kRedact, RuleField::kAddress, true, "."}});
       },
       true},
  };
  const Writer writers[] = {Writer::kPrograms, Writer::kFolders, Writer::kBrowserPages,
                            Writer::kSnapshot, Writer::kPick,    Writer::kRecentOnOpen};
  for (const Writer writer : writers) {
    SCOPED_TRACE(static_cast<int>(writer));
    const std::vector<std::string> open = Desk().Run(writer);
    ASSERT_FALSE(open.empty()) << "with recording on, the writer keeps something";
    for (const State& state : states) {
      SCOPED_TRACE(state.what);
      Desk desk;
      state.set(desk);
      const std::vector<std::string> kept = desk.Run(writer);
      const bool partial =
          state.redacts && writer != Writer::kPick && writer != Writer::kRecentOnOpen;
      if (!partial) {
        EXPECT_TRUE(kept.empty()) << testing::PrintToString(kept);
        continue;
      }
      ASSERT_EQ(kept.size(), open.size());
      for (const std::string& line : kept) {
        EXPECT_EQ(line.find("account"), std::string::npos) << line;
        EXPECT_EQ(line.find("Report"), std::string::npos) << line;
        EXPECT_EQ(line.find("Proj"), std::string::npos) << line;
      }
    }
  }
  // A private window's title: no scan keeps it, and it never becomes a
  // program's stored name.
  for (const Writer writer : {Writer::kPrograms, Writer::kSnapshot}) {
    for (const char* title : {"体检报告结果 - Google Chrome (Incognito)",
                              "报告 - 某浏览器 (无痕模式)", "[InPrivate] 报告 - 另一个浏览器"}) {
      SCOPED_TRACE(title);
      Desk desk;
      desk.window_title = title;
      for (const std::string& line : desk.Run(writer)) {
        EXPECT_EQ(line.find("editor"), std::string::npos) << line;
      }
    }
  }
}

}  // namespace
}  // namespace zd
