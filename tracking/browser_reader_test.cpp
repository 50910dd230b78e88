#include "tracking/browser_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "platform/fake_registry.h"
#include "platform/fake_shared_files.h"
#include "tracking/browser_files_for_tests.h"
#include "tracking/recording.h"
#include "tracking/tracker_harness_for_tests.h"

namespace zd {
namespace {

constexpr char kSession[] = "R\\Mozilla\\Firefox\\p\\sessionstore-backups\\recovery.jsonlz4";

// Shared files whose session file reads wait at a gate while it is shut, as
// a large file keeps the reader busy.
class GatedSharedFiles : public FakeSharedFiles {
 public:
  std::optional<std::string> ReadShared(const std::string& path, uint64_t max_bytes) override {
    if (path == kSession && shut_) {
      if (!arrived_flag_.exchange(true)) arrived_.set_value();
      opened_future_.wait();
    }
    return FakeSharedFiles::ReadShared(path, max_bytes);
  }
  std::atomic<bool> shut_{false};
  std::atomic<bool> arrived_flag_{false};
  std::promise<void> arrived_, opened_;
  std::shared_future<void> opened_future_ = opened_.get_future().share();
};

class BrowserReaderTest : public testing_support::TrackerTest {
 protected:
  BrowserReaderTest() {
    shared.Put("R\\Mozilla\\Firefox\\profiles.ini", testing::ProfilesIni({"p"}));
    windows.AddWindow("Tab - Mozilla Firefox", "C:\\Firefox\\firefox.exe");
    // The main window's wiring: a refresh asks for a read and registers the
    // last finished one; the interface hears of each read (BrowserPagesRead).
    read_browser_pages = [this](const WindowPass& pass) { recording.ReadBrowserPages(pass); };
    browser_pages = [this] { return recording.BrowserPagesFound(); };
    MakeTracker();
    recording.Load();  // as the start-up load: the rules read, recording on
  }
  void Show(const std::vector<std::string>& urls) {
    std::vector<testing::TabSpec> tabs;
    for (const std::string& url : urls) tabs.push_back({{{url, "Title of " + url}}, 1});
    shared.Put(kSession, testing::MozLz4(testing::SessionJson({tabs})));
  }
  std::vector<std::string> Records() const {
    std::vector<std::string> records;
    for (const DocRecord& doc : store.docs)
      records.push_back(std::to_string(StoredNumber(doc.doctype)) + " " + doc.path);
    return records;
  }

  GatedSharedFiles shared;
  FakeRegistry registry;
  Recording recording{store, windows, shared, UserFolders{"R", "L"}, &registry};
};

// What a tab shows, through the session file, the reader's thread and a
// refresh: only http and https pages become records (web records), by the
// scheme at the start of the address; a local file is never a folder record,
// nor recorded at all until files are documents of their own; the browsers'
// and extensions' pages never are.
TEST_F(BrowserReaderTest, WhatATabShowsIsRecordedAsItsSchemeSays) {
  // What each tab's address is recorded as: a web page by its address, a
  // local file a browser shows as a file document by its path; nullptr: nothing.
  struct Case {
    const char* address;
    const char* record;
  } cases[] = {
      {"https://a.example/x", "1 https://a.example/x"},
      {"http://b.example/", "1 http://b.example/"},
      {"HTTPS://c.example/y", "1 HTTPS://c.example/y"},
      {"file:///C:/%E6%8A%A5%E5%91%8A.pdf", "4 C:\\报告.pdf"},
      {"file:///D:/My%20Docs/a.pdf", "4 D:\\My Docs\\a.pdf"},
      {"file:///C:/Users/", nullptr},
      {"moz-extension://0f3c9a3e-1111-4c5e-9d1e-2222/page.html", nullptr},
      {"chrome-extension://abcdefghijklmnopabcdefghijklmnop/options.html", nullptr},
      {"about:preferences", nullptr},
      {"chrome://settings/", nullptr},
      {"edge://settings/", nullptr},
      {"view-source:https://a.example/", nullptr},
      {"data:text/html,<a href='https://x.example/'>", nullptr},
      {"blob:https://a.example/1234", nullptr},
      {"ftp://files.example/a.txt", nullptr},
      {"xhttp://d.example/", nullptr},
      {"javascript:void('http://e.example/')", nullptr},
  };
  std::vector<std::string> urls, expected;
  for (const Case& c : cases) {
    urls.push_back(c.address);
    if (c.record) expected.push_back(c.record);
  }
  Show(urls);
  tracker->CheckShellDocs();
  recording.WaitForBrowserPages();
  tracker->BrowserPagesRead();
  EXPECT_EQ(Records(), expected);
}

// The refresh never waits for the files; one read runs at a time, the latest
// request made meanwhile is read after it, and a finished read is registered
// once, when registration may run: not nested in a refresh, not before the
// start-up load.
TEST_F(BrowserReaderTest, ARefreshNeverWaitsAndAReadIsRegisteredOnceWhenItMayBe) {
  Show({"https://one.example/"});
  shared.shut_ = true;
  tracker->CheckShellDocs();  // returns with the read held at the gate
  shared.arrived_.get_future().wait();
  Show({"https://two.example/"});
  tracker->CheckShellDocs();
  tracker->CheckShellDocs();
  const int reads = shared.ReadCount(kSession);
  shared.opened_.set_value();
  recording.WaitForBrowserPages();
  EXPECT_EQ(shared.ReadCount(kSession), reads + 2) << "the held read and one more";
  EXPECT_TRUE(Records().empty());

  // Heard of during a refresh (served by its pump): registered after it.
  on_pump = [&] {
    on_pump = nullptr;
    tracker->BrowserPagesRead();
    EXPECT_TRUE(Records().empty());
  };
  tracker->CheckAppDocs();
  EXPECT_EQ(Records(),
            (std::vector<std::string>{"2 C:\\Firefox\\firefox.exe", "1 https://two.example/"}));
  tracker->BrowserPagesRead();  // taken once
  EXPECT_EQ(Records().size(), 2u);

  // Heard of before the start-up load: registered at its end.
  store.docs.clear();
  history_loaded = false;
  MakeTracker();
  recording.ReadBrowserPages();
  recording.WaitForBrowserPages();
  tracker->BrowserPagesRead();
  EXPECT_TRUE(Records().empty());
  tracker->HistoryLoaded();
  EXPECT_EQ(Records(), (std::vector<std::string>{"1 https://two.example/"}));
}

// Every refresh looks at the desktop's windows once, programs and browsers
// alike: the browsers' read is asked with the programs' pass.
TEST_F(BrowserReaderTest, EachRefreshLooksAtTheWindowsOnce) {
  Show({"https://one.example/"});
  const struct {
    const char* what;
    std::function<void()> refresh;
    std::vector<std::string> records;  // after it, and the read it asked for
  } cases[] = {
      {"all",
       [&] { tracker->CheckAllDocs(); },
       {"2 C:\\Firefox\\firefox.exe", "1 https://one.example/"}},
      {"programs", [&] { tracker->CheckAppDocs(); }, {"2 C:\\Firefox\\firefox.exe"}},
      {"pages", [&] { tracker->CheckShellDocs(); }, {"1 https://one.example/"}},
      {"web tree", [&] { tracker->CheckKindDocs(DocKind::kWeb); }, {"1 https://one.example/"}},
      {"program tree",
       [&] { tracker->CheckKindDocs(DocKind::kProgram); },
       {"2 C:\\Firefox\\firefox.exe"}},
  };
  for (const auto& c : cases) {
    store.docs.clear();
    const int before = windows.enumerate_calls();
    c.refresh();
    EXPECT_EQ(windows.enumerate_calls() - before, 1) << c.what;
    recording.WaitForBrowserPages();
    tracker->BrowserPagesRead();
    EXPECT_EQ(Records(), c.records) << c.what;
  }
}

}  // namespace
}  // namespace zd
