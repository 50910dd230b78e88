#include "tracking/recording_gate.h"

#include <gtest/gtest.h>

#include "platform/fake_files.h"
#include "tracking/doc_kinds.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

constexpr char kChrome[] = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";

PrivacyRule Rule(RuleAction action, RuleField field, std::string pattern, bool regex = false) {
  return PrivacyRule{action, field, regex, std::move(pattern)};
}

TEST(PrivacyFilterTest, DropKeepsOutAndRedactKeepsOnlyTheHostOrProgramName) {
  const FoundDoc bank{"https://online.bank.example/account?id=7", "My account 账户", kChrome, kDocWeb};
  const FoundDoc wiki{"http://wiki.example/page", "Wiki page", kChrome, kDocWeb};
  const FoundDoc editor{"C:\\Tools\\editor.exe", "secret-plan.txt - Editor", "C:\\Tools\\editor.exe",
                        kDocProgram};
  const FoundDoc folder{"file:///D:/Private/Taxes/2024", "file:///D:/Private/Taxes/2024",
                        "explorer.exe", kDocFolder};
  const FoundDoc bank_host{"https://online.bank.example/", "online.bank.example", kChrome, kDocWeb};
  const FoundDoc editor_named{editor.address, "editor.exe", editor.program, kDocProgram};
  const FoundDoc folder_top{"file:///D:/Private", "file:///D:/Private", "explorer.exe", kDocFolder};
  using A = RuleAction;
  using F = RuleField;
  struct Case {
    const char* what;
    std::vector<PrivacyRule> rules;
    FoundDoc found;
    std::optional<FoundDoc> kept;
  } cases[] = {
      {"no rules", {}, bank, bank},
      {"drop by address, any letter case", {Rule(A::kDrop, F::kAddress, "BANK.example")}, bank,
       std::nullopt},
      {"drop by title in Chinese", {Rule(A::kDrop, F::kTitle, "账户")}, bank, std::nullopt},
      {"a title rule does not look at the address", {Rule(A::kDrop, F::kTitle, "bank")}, bank, bank},
      {"drop by program", {Rule(A::kDrop, F::kProgram, "chrome.exe")}, wiki, std::nullopt},
      {"redact a page: the host only", {Rule(A::kRedact, F::kAddress, "bank")}, bank, bank_host},
      {"redact a program: its file name", {Rule(A::kRedact, F::kTitle, "secret")}, editor,
       editor_named},
      {"redact a folder: its top folder", {Rule(A::kRedact, F::kAddress, "Private")}, folder,
       folder_top},
      {"a regular expression", {Rule(A::kDrop, F::kAddress, "^https://[a-z.]*bank\\.", true)}, bank,
       std::nullopt},
      {"a regular expression that does not match", {Rule(A::kDrop, F::kAddress, "^http:", true)},
       bank, bank},
      {"a broken expression matches nothing", {Rule(A::kDrop, F::kAddress, "([bank", true)}, bank,
       bank},
      {"drop wins over an earlier redact",
       {Rule(A::kRedact, F::kAddress, "bank"), Rule(A::kDrop, F::kTitle, "account")}, bank,
       std::nullopt},
      {"plain text is not an expression", {Rule(A::kDrop, F::kAddress, "bank.example/acc.unt")}, bank,
       bank},
  };
  for (const Case& c : cases) {
    PrivacyFilter filter;
    filter.SetRules(c.rules);
    EXPECT_EQ(filter.Apply(c.found), c.kept) << c.what;
  }
  // Nothing to keep of an address without a host: dropped rather than kept whole.
  EXPECT_EQ(Redacted(FoundDoc{"about:blank", "Blank", kChrome, kDocWeb}), std::nullopt);
}

TEST(PrivacyFilterTest, OnlyUsableExpressionsAreValidPatterns) {
  EXPECT_TRUE(IsValidRulePattern(Rule(RuleAction::kDrop, RuleField::kTitle, "a(b")));
  EXPECT_FALSE(IsValidRulePattern(Rule(RuleAction::kDrop, RuleField::kTitle, "a(b", true)));
  EXPECT_TRUE(IsValidRulePattern(Rule(RuleAction::kDrop, RuleField::kTitle, "a(b)", true)));
  EXPECT_FALSE(IsValidRulePattern(Rule(RuleAction::kDrop, RuleField::kTitle, "  ")));
}

TEST(RecordingGateTest, PauseAndWindowsOwnSettingStopRecording) {
  FakeRegistry registry;
  auto now = std::chrono::steady_clock::time_point();
  RecordingGate gate(&registry, [&] { return now; });
  const auto set_track_docs = [&](RegType type, std::string bytes) {
    registry.WriteValue(RegRoot::kCurrentUser, kExplorerAdvancedKey, RegView::kDefault,
                        RegValue{kTrackDocsValue, type, "", std::move(bytes)});
    now += std::chrono::seconds(2);
  };
  FoundDoc page{"https://a.example/", "A", kChrome, kDocWeb};
  EXPECT_EQ(gate.State(), RecordingState::kOn);  // no value: Windows tracks
  EXPECT_TRUE(gate.Admit(page));
  gate.SetPaused(true);
  EXPECT_EQ(gate.State(), RecordingState::kPaused);
  EXPECT_FALSE(gate.Admit(page));
  gate.SetPaused(false);
  set_track_docs(RegType::kDword, std::string(4, '\0'));
  EXPECT_EQ(gate.State(), RecordingState::kWindowsOff);
  EXPECT_FALSE(gate.Admit(page));
  set_track_docs(RegType::kDword, std::string("\x01\0\0\0", 4));
  EXPECT_EQ(gate.State(), RecordingState::kOn);
  // Asked again only after a second.
  registry.WriteValue(RegRoot::kCurrentUser, kExplorerAdvancedKey, RegView::kDefault,
                      RegValue{kTrackDocsValue, RegType::kDword, "", std::string(4, '\0')});
  EXPECT_EQ(gate.State(), RecordingState::kOn);
  now += std::chrono::seconds(1);
  EXPECT_EQ(gate.State(), RecordingState::kWindowsOff);
  // A value of another type is not the switch.
  set_track_docs(RegType::kString, "");
  EXPECT_EQ(gate.State(), RecordingState::kOn);
}

TEST(PrivacyRulesFileTest, RulesSurviveARestartInTheirOwnFile) {
  FakeFiles files;
  files.AddDrive("C:\\", DriveKind::kFixed);
  files.AddDirectory("C:\\MrxConfig");
  const auto codec = MakeCodec(936);
  const std::string dir = "C:\\MrxConfig\\";
  const std::string path = dir + kPrivacyRulesFileName;
  struct Case {
    const char* what;
    std::vector<PrivacyRule> rules;
    bool utf8;  // kept as UTF-8: something does not fit the code page
  } cases[] = {
      {"none", {}, false},
      {"all kinds, Chinese in the code page",
       {Rule(RuleAction::kDrop, RuleField::kAddress, "bank"),
        Rule(RuleAction::kRedact, RuleField::kTitle, "病历 *|* record", false),
        Rule(RuleAction::kDrop, RuleField::kProgram, "^c:\\\\tools\\\\.*\\.exe$", true)},
       false},
      {"a pattern beyond the code page", {Rule(RuleAction::kDrop, RuleField::kTitle, "日記 🙂")},
       true},
  };
  for (const Case& c : cases) {
    FileOrigin origin;
    LoadPrivacyRules(files, *codec, dir, origin);
    ASSERT_TRUE(SavePrivacyRules(files, *codec, dir, c.rules, origin)) << c.what;
    FileOrigin again;
    EXPECT_EQ(LoadPrivacyRules(files, *codec, dir, again), c.rules) << c.what;
    EXPECT_EQ(again.utf8, c.utf8) << c.what;
  }
  // A save cut short leaves the rules as they were; lines of other forms are skipped.
  files.PutFile(path, "drop*|*title*|*text*|*keep\r\nexplode*|*title*|*text*|*x\r\ndrop*|*title\r\n"
                      "redact*|*size*|*text*|*x\r\ndrop*|*title*|*text*|*  \r\n");
  FileOrigin origin;
  const std::vector<PrivacyRule> kept = LoadPrivacyRules(files, *codec, dir, origin);
  EXPECT_EQ(kept, std::vector<PrivacyRule>{Rule(RuleAction::kDrop, RuleField::kTitle, "keep")});
  files.step_hook = [](WriteStep step) { return step != WriteStep::kReplace; };
  EXPECT_FALSE(SavePrivacyRules(files, *codec, dir, {}, origin));
  files.step_hook = nullptr;
  EXPECT_EQ(LoadPrivacyRules(files, *codec, dir, origin), kept);
  // A file that could not be read is never written over.
  files.FailReadsOf(path);
  LoadPrivacyRules(files, *codec, dir, origin);
  EXPECT_TRUE(origin.unreadable);
  EXPECT_FALSE(SavePrivacyRules(files, *codec, dir, {}, origin));
  // A save cut short by a crash leaves its temporary file, which the next start removes.
  files.PutFile(TempPathFor(path), "half");
  EXPECT_EQ(RemoveInterruptedSaves(files, dir), 1);
}

// The refresh: what the gate lets through of programs, folders, shell pages
// and the browsers' pages.
class GatedRefreshTest : public testing_support::TrackerTest {
 protected:
  GatedRefreshTest() {
    admit = [this](FoundDoc& found) { return gate.Admit(found); };
    browser_pages = [this] { return pages; };
    MakeTracker();
    windows.AddWindow("Report - Editor", "C:\\Tools\\editor.exe");
    shell.AddWindow("file:///C:/Work/Proj");
    pages = {{"https://bank.example/account", "Account", kChrome, kDocWeb},
             {"https://news.example/today", "Today", kChrome, kDocWeb}};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const TMyDoc& doc : store.docs) names.push_back(doc.name + " @ " + doc.path);
    return names;
  }
  FakeRegistry registry;
  RecordingGate gate{&registry};
  std::vector<FoundDoc> pages;
};

TEST_F(GatedRefreshTest, BrowserPagesFollowTheShellAndPassTheRules) {
  gate.filter().SetRules({Rule(RuleAction::kDrop, RuleField::kAddress, "news"),
                          Rule(RuleAction::kRedact, RuleField::kTitle, "account")});
  tracker->CheckAllDocs();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Report - Editor @ C:\\Tools\\editor.exe",
                                               "C:\\Work\\Proj @ C:\\Work\\Proj",
                                               "bank.example @ https://bank.example/"}));
  EXPECT_EQ(store.docs.back().RootPath, "bank.example");
  EXPECT_EQ(store.docs.back().doctype, kDocWeb);
}

TEST_F(GatedRefreshTest, PausedNothingIsRecordedAndAFailedShellScanKeepsTheBrowsersPages) {
  gate.SetPaused(true);
  tracker->CheckAllDocs();
  EXPECT_TRUE(store.docs.empty());
  gate.SetPaused(false);
  shell.FailAt(0);
  tracker->CheckShellDocs();
  EXPECT_EQ(Names(), (std::vector<std::string>{"Account @ https://bank.example/account",
                                               "Today @ https://news.example/today"}));
}

}  // namespace
}  // namespace zd
