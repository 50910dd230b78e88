// Today's browsers under Wine: windows of programs named firefox.exe and
// chrome.exe (copies of the helper), beside a Firefox-like profile and a
// Chromium-like one written here. A refresh through the main window records
// what they show, and the privacy rules, the pause switch and Windows' own
// setting decide what is kept.
#include <windows.h>
// windows.h must come first
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "mainwin/main_window_win.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/wide_win.h"
#include "tests/win/helper_process.h"
#include "tests/win/main_window_fixture.h"
#include "tracking/browser_files_for_tests.h"
#include "tracking/recording_gate.h"

namespace zd {
namespace {

using testing::MozLz4;
using testing::SessionJson;
using testing::TabSpec;

void WriteFile(const std::string& path, const std::string& data) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << data;
}

class BrowserPagesWinTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    use_real_windows_ = true;
    roaming_ = dir_.path() + "roaming";
    local_ = dir_.path() + "local";
    user_folders_ = UserFolders{roaming_, local_};
    firefox_dir_ = roaming_ + "\\Mozilla\\Firefox";
    chrome_data_ = local_ + "\\Google\\Chrome\\User Data";
    WriteFile(firefox_dir_ + "\\profiles.ini", testing::ProfilesIni({"Profiles/abc.default"}));
    // Tab 1 went back one page: the page it left is history, not shown. A
    // local file (a PDF) and an extension's page are no web pages.
    WriteSession({{{{"https://left.example/", "Left page"},
                    {"https://ff.example/docs", "FF docs"},
                    {"https://forward.example/", "Forward page"}},
                   2},
                  {{{"https://second.example/", "Second tab"}}, 1},
                  {{{"file:///C:/%E6%8A%A5%E5%91%8A.pdf", "报告.pdf"}}, 1},
                  {{{"moz-extension://0f3c9a3e-1111-4c5e-9d1e-2222/popup.html", "Extension"}}, 1}});
    WriteFile(chrome_data_ + "\\Local State",
              testing::LocalState({{"Default", "Me"}, {"Profile 1", "Work"}}));
    std::filesystem::create_directories(chrome_data_ + "\\Default");
    std::filesystem::create_directories(chrome_data_ + "\\Profile 1");
    ASSERT_TRUE(testing::WriteHistory(chrome_data_ + "\\Default\\History",
                                      {{"https://news.example/old", "Daily news", 100},
                                       {"https://news.example/today", "Daily news", 200},
                                       {"https://unshown.example/", "Never on screen", 300},
                                       {"https://secret.example/", "Secret", 400}}));
    ASSERT_TRUE(testing::WriteHistory(chrome_data_ + "\\Profile 1\\History",
                                      {{"https://wiki.example/start", "Team wiki", 50}}));
    firefox_exe_ = CopyHelper("firefox");
    chrome_exe_ = CopyHelper("chrome");
  }

  std::wstring CopyHelper(const std::string& name) {
    const std::string dir = dir_.path() + name;
    std::filesystem::create_directories(dir);
    const std::wstring exe = Utf8ToWide(dir + "\\" + name + ".exe");
    EXPECT_TRUE(CopyFileW(HelperExePath().c_str(), exe.c_str(), FALSE));
    return exe;
  }

  void WriteSession(const std::vector<TabSpec>& tabs) {
    // A private window never reaches the file; a closed one stays in it.
    WriteFile(firefox_dir_ + "\\Profiles\\abc.default\\sessionstore-backups\\recovery.jsonlz4",
              MozLz4(SessionJson({tabs}, {{{{{"https://closed.example/", "Closed"}}, 1}}})));
  }

  // "title @ address [root]" of the web pages recorded, sorted: the browsers
  // come in the windows' z-order.
  std::vector<std::string> Pages() {
    std::vector<std::string> pages;
    for (const DocRecord& doc : form_->store().docs) {
      if (doc.doctype == DocKind::kWeb)
        pages.push_back(doc.name + " @ " + doc.path + " [" + doc.RootPath + "]");
    }
    std::sort(pages.begin(), pages.end());
    return pages;
  }

  // A refresh, and the read of the browsers' files it asked for seen through.
  void Refresh() {
    Choose(Ui::MnRefresh);
    form_->Recorder()->WaitForBrowserPages();
    Pump();
  }
  // Every record but the programs (the helpers' windows): "doctype path".
  std::vector<std::string> NotPrograms() {
    std::vector<std::string> records;
    for (const DocRecord& doc : form_->store().docs) {
      if (doc.doctype != DocKind::kProgram) {
        records.push_back(std::to_string(StoredNumber(doc.doctype)) + " " + doc.path);
      }
    }
    std::sort(records.begin(), records.end());
    return records;
  }

  TempDirForTests dir_;
  std::string roaming_, local_, firefox_dir_, chrome_data_;
  std::wstring firefox_exe_, chrome_exe_;
};

TEST_F(BrowserPagesWinTest, OpenPagesAreRecordedAndTheRulesAndThePauseDecideWhatIsKept) {
  HelperProcess firefox({L"normal:FF docs \u2014 Mozilla Firefox"}, firefox_exe_);
  HelperProcess chrome(
      {L"normal:Daily news - Google Chrome - Me", L"normal:Team wiki - Google Chrome - Work",
       L"normal:Secret - Google Chrome (Incognito)"},
      chrome_exe_);
  ASSERT_TRUE(firefox.started() && chrome.started());
  ASSERT_NE(firefox.Window(L"FF docs \u2014 Mozilla Firefox"), nullptr);
  // The first window first: closing it ends the helper.
  ASSERT_NE(chrome.Window(L"Daily news - Google Chrome - Me"), nullptr);
  ASSERT_NE(chrome.Window(L"Secret - Google Chrome (Incognito)"), nullptr);

  MainWindow& form = OpenLoaded();
  Refresh();
  // Every open Firefox tab, and the page of each Chrome window, with title and host.
  const std::vector<std::string> first = {
      "Daily news @ https://news.example/today [news.example]",
      "FF docs @ https://ff.example/docs [ff.example]",
      "Second tab @ https://second.example/ [second.example]",
      "Team wiki @ https://wiki.example/start [wiki.example]",
  };
  EXPECT_EQ(Pages(), first);
  // The PDF is a file, not a folder nor a page; the extension's page is nothing.
  EXPECT_EQ(NotPrograms(),
            (std::vector<std::string>{"1 https://ff.example/docs", "1 https://news.example/today",
                                      "1 https://second.example/", "1 https://wiki.example/start",
                                      "4 C:\\报告.pdf"}));

  // A drop rule and a redact rule, added on the settings page.
  PrivacyPanel& privacy = ShownSettings().privacy;
  const auto add_rule = [&](const char* pattern, int field, int action) {
    privacy.EdtRulePattern.SetText(pattern);
    SendMessageW(privacy.CmbRuleField.hwnd(), CB_SETCURSEL, field, 0);
    SendMessageW(privacy.CmbRuleAction.hwnd(), CB_SETCURSEL, action, 0);
    Click(privacy.BtnAddRule);
  };
  // The choices show the language's words.
  ASSERT_EQ(SendMessageW(privacy.CmbRuleField.hwnd(), CB_GETCOUNT, 0, 0), 3);
  wchar_t field[64] = {};
  SendMessageW(privacy.CmbRuleField.hwnd(), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(field));
  EXPECT_EQ(WideToUtf8(field), lang::Texts().RuleFieldAddress);
  add_rule("drop.example", 1, 0);  // address: never record
  add_rule("Bank", 0, 1);          // title: the host only
  EXPECT_EQ(privacy.LbPrivacyRules.Count(), 2);
  EXPECT_NE(File("rules.dat").find("redact*|*title*|*text*|*Bank"), std::string::npos);
  WriteSession({{{{"https://drop.example/a", "Dropped page"}}, 1},
                {{{"https://online.bank.example/account?id=7", "Bank account"}}, 1},
                {{{"https://ff.example/docs", "FF docs"}}, 1}});
  Refresh();
  std::vector<std::string> second = first;
  second.push_back("online.bank.example @ https://online.bank.example/ [online.bank.example]");
  std::sort(second.begin(), second.end());
  EXPECT_EQ(Pages(), second);

  // Paused: nothing new, and the next start remembers it.
  Choose(Ui::MnPauseRecording);
  EXPECT_TRUE(form.menus().Checked(Ui::MnPauseRecording));
  EXPECT_EQ(privacy.LblRecordingState.Text(), lang::Texts().RecordingPaused);
  WriteSession({{{{"https://paused.example/", "While paused"}}, 1}});
  Refresh();
  EXPECT_EQ(Pages(), second);
  Close();
  MainWindow& again = OpenLoaded();
  EXPECT_TRUE(again.menus().Checked(Ui::MnPauseRecording));
  EXPECT_EQ(ShownSettings().privacy.LbPrivacyRules.Count(), 2);
  Refresh();
  EXPECT_EQ(Pages(), second);

  // Unpaused, but Windows is set not to track documents: still nothing, and the line says why.
  registry_.WriteValue(RegRoot::kCurrentUser, kExplorerAdvancedKey, RegView::kDefault,
                       RegValue{kTrackDocsValue, RegType::kDword, "", std::string(4, '\0')});
  Choose(Ui::MnPauseRecording);
  EXPECT_FALSE(again.menus().Checked(Ui::MnPauseRecording));
  Refresh();
  EXPECT_EQ(Pages(), second);
  EXPECT_EQ(again.launcher().settings.privacy.LblRecordingState.Text(),
            lang::Texts().RecordingWindowsOff);
}

}  // namespace
}  // namespace zd

namespace zd {
namespace {

// A refresh while a large session file (60 MB of JSON) is read keeps the
// window answering: the file is read on the reader's thread.
TEST_F(BrowserPagesWinTest, TheWindowAnswersWhileALargeSessionIsRead) {
  std::string padding(60u << 20, 'a');
  const std::string json =
      "{\"windows\":[{\"tabs\":[{\"entries\":[{\"url\":\"https://big.example/\",\"title\":"
      "\"Big\"}],\"index\":1,\"image\":\"" +
      padding + "\"}]}]}";
  padding.clear();
  padding.shrink_to_fit();
  WriteFile(firefox_dir_ + "\\Profiles\\abc.default\\sessionstore-backups\\recovery.jsonlz4",
            MozLz4(json));
  HelperProcess firefox({L"normal:Big \u2014 Mozilla Firefox"}, firefox_exe_);
  ASSERT_TRUE(firefox.started());
  ASSERT_NE(firefox.Window(L"Big \u2014 Mozilla Firefox"), nullptr);
  MainWindow& form = OpenLoaded();

  // Another thread asks the window for WM_NULL over and over while the file
  // is read, and counts the answers and the questions left unanswered.
  std::atomic<bool> watching{true};
  std::atomic<int> answered_while_reading{0};
  std::atomic<int> unanswered_while_reading{0};
  std::atomic<bool> reading{false};
  std::thread watcher([&] {
    while (watching) {
      const bool asked_while_reading = reading;
      DWORD_PTR result = 0;
      const bool answered =
          SendMessageTimeoutW(form.hwnd(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
      if (asked_while_reading && reading)
        ++(answered ? answered_while_reading : unanswered_while_reading);
      Sleep(5);
    }
  });
  Choose(Ui::MnRefresh);
  // Serve the window's messages, as its message loop does, until the read is through.
  const ULONGLONG deadline = GetTickCount64() + 60000;
  do {
    reading = form.Recorder()->ReadingBrowserPages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    Pump();
  } while (form.Recorder()->ReadingBrowserPages() && GetTickCount64() < deadline);
  reading = false;
  watching = false;
  watcher.join();
  Pump();
  EXPECT_GT(answered_while_reading.load(), 0) << "the read was over before it was watched";
  EXPECT_EQ(unanswered_while_reading.load(), 0) << "the window kept a WM_NULL waiting";
  EXPECT_EQ(Pages(), (std::vector<std::string>{"Big @ https://big.example/ [big.example]"}));
}

}  // namespace
}  // namespace zd
