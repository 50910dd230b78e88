#include "tracking/browser_pages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/fake_shared_files.h"
#include "platform/fake_window_system.h"
#include "platform/temp_dir_for_tests.h"
#include "tracking/browser_files_for_tests.h"

namespace zd {
namespace {

using testing::MozLz4;
using testing::SessionJson;

constexpr char kFirefox[] = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
constexpr char kChrome[] = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr char kIni[] = "R\\Mozilla\\Firefox\\profiles.ini";
constexpr char kSessionA[] =
    "R\\Mozilla\\Firefox\\Profiles\\a\\sessionstore-backups\\recovery.jsonlz4";
constexpr char kSessionB[] =
    "R\\Mozilla\\Firefox\\Profiles\\b\\sessionstore-backups\\recovery.jsonlz4";

class FirefoxPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.Put(kIni, testing::ProfilesIni({"Profiles/a", "Profiles/b"}));
    files_.Put(kSessionA, MozLz4(SessionJson({{{{{"https://a.example/", "A"}}, 1}}})));
    files_.Put(kSessionB, MozLz4(SessionJson({{{{{"https://b.example/", "B"}}, 1},
                                               {{{"https://c.example/", "C"}}, 1}}})));
  }
  std::vector<std::string> Urls() {
    std::vector<std::string> urls;
    for (const OpenBrowserPage& page : pages_.Collect()) urls.push_back(page.url);
    return urls;
  }
  FakeWindowSystem windows_;
  FakeSharedFiles files_;
  BrowserPages pages_{windows_, files_, UserFolders{"R", "L"}};
};

TEST_F(FirefoxPagesTest, EveryTabOfEveryProfileWhileTheBrowserRuns) {
  EXPECT_TRUE(Urls().empty());  // not running: nothing read
  EXPECT_EQ(files_.ReadCount(kSessionA), 0);
  windows_.AddWindow("A - Mozilla Firefox", kFirefox);
  const std::vector<OpenBrowserPage> pages = pages_.Collect();
  const std::vector<OpenBrowserPage> expected = {{"https://a.example/", "A", kFirefox},
                                             {"https://b.example/", "B", kFirefox},
                                             {"https://c.example/", "C", kFirefox}};
  EXPECT_EQ(pages, expected);
  // A second window of the same browser reads nothing twice.
  windows_.AddWindow("B - Mozilla Firefox", kFirefox);
  EXPECT_EQ(pages_.Collect(), expected);
}

TEST_F(FirefoxPagesTest, OnlyAChangedFileIsReadAgainAndAnUnreadableOneKeepsItsLastRead) {
  windows_.AddWindow("A - Mozilla Firefox", kFirefox);
  Urls();
  const int reads = pages_.file_reads();
  EXPECT_EQ(Urls().size(), 3u);
  EXPECT_EQ(pages_.file_reads(), reads);
  EXPECT_EQ(files_.ReadCount(kSessionA), 1);

  // The tab moved on: only that file is read again.
  files_.Put(
      kSessionA,
      MozLz4(SessionJson({{{{{"https://a.example/", "A"}, {"https://a2.example/", "A2"}}, 2}}})));
  EXPECT_EQ(Urls(), (std::vector<std::string>{"https://a2.example/", "https://b.example/",
                                              "https://c.example/"}));
  EXPECT_EQ(files_.ReadCount(kSessionA), 2);
  EXPECT_EQ(files_.ReadCount(kSessionB), 1);

  // Busy, then torn: the last good read stands, and the file is tried again.
  files_.Put(kSessionA, MozLz4(SessionJson({{{{{"https://a3.example/", "A3"}}, 1}}})));
  files_.SetUnreadable(kSessionA, true);
  EXPECT_EQ(Urls().front(), "https://a2.example/");
  files_.SetUnreadable(kSessionA, false);
  files_.Put(kSessionA,
             MozLz4(SessionJson({{{{{"https://a3.example/", "A3"}}, 1}}})).substr(0, 30));
  EXPECT_EQ(Urls().front(), "https://a2.example/");
  files_.Put(kSessionA, MozLz4(SessionJson({{{{{"https://a3.example/", "A3"}}, 1}}})));
  EXPECT_EQ(Urls().front(), "https://a3.example/");

  // A profile dropped from profiles.ini, and a session file gone.
  files_.Put(kIni, testing::ProfilesIni({"Profiles/b"}));
  EXPECT_EQ(Urls(), (std::vector<std::string>{"https://b.example/", "https://c.example/"}));
  files_.Remove(kSessionB);
  EXPECT_TRUE(Urls().empty());
}

// Chromium browsers: real History files on disk, found through "Local State".
class ChromiumPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    local_ = dir_.path() + "local";
    data_ = local_ + "/Google/Chrome/User Data";
    std::filesystem::create_directories(data_ + "/Default");
    std::filesystem::create_directories(data_ + "/Profile 1");
    std::ofstream(data_ + "/Local State")
        << testing::LocalState({{"Default", "Me"}, {"Profile 1", "Work"}});
    ASSERT_TRUE(testing::WriteHistory(data_ + "/Default/History",
                                      {{"https://me.example/old", "Shared", 10},
                                       {"https://me.example/news", "News", 20},
                                       {"https://me.example/left", "Left behind", 30}}));
    ASSERT_TRUE(testing::WriteHistory(data_ + "/Profile 1/History",
                                      {{"https://work.example/shared", "Shared", 50},
                                       {"https://work.example/wiki", "Wiki", 60}}));
  }
  std::vector<OpenBrowserPage> Collect() { return pages_.Collect(); }

  TempDirForTests dir_;
  std::string local_, data_;
  FakeWindowSystem windows_;
  std::unique_ptr<SharedFiles> files_ = MakeSystemSharedFiles();
  BrowserPages pages_{windows_, *files_,
                      UserFolders{dir_.path() + "roaming", dir_.path() + "local"}};
};

TEST_F(ChromiumPagesTest, EachWindowsPageComesFromTheHistoryOfItsProfile) {
  windows_.AddWindow("News - Google Chrome - Me", kChrome);
  windows_.AddWindow("Wiki - Google Chrome - Work", kChrome);
  windows_.AddWindow("Shared - Google Chrome", kChrome);  // no profile named: the latest anywhere
  windows_.AddWindow("Shared - Google Chrome - Me", kChrome);
  windows_.AddWindow("Wiki - Google Chrome - Me", kChrome);  // not in that profile's History
  windows_.AddWindow("Private page - Google Chrome (Incognito)", kChrome);
  windows_.AddWindow("New Tab - Google Chrome", kChrome);
  windows_.AddWindow("Downloads", kChrome);
  windows_.AddWindow("News - Google Chrome - Me", "C:\\Tools\\other.exe");
  const std::vector<OpenBrowserPage> expected = {
      {"https://me.example/news", "News", kChrome},
      {"https://work.example/wiki", "Wiki", kChrome},
      {"https://work.example/shared", "Shared", kChrome},
      {"https://me.example/old", "Shared", kChrome},
  };
  EXPECT_EQ(Collect(), expected);
  // Unchanged files, the same titles: nothing is asked again.
  const int queries = pages_.history_queries(), reads = pages_.file_reads();
  EXPECT_EQ(Collect(), expected);
  EXPECT_EQ(pages_.history_queries(), queries);
  EXPECT_EQ(pages_.file_reads(), reads);
  // A new title is asked of its History alone.
  windows_.AddWindow("Left behind - Google Chrome - Me", kChrome);
  EXPECT_EQ(Collect().size(), 5u);
  EXPECT_EQ(pages_.history_queries(), queries + 1);
}

TEST_F(ChromiumPagesTest, AChangedHistoryIsAskedOnlyOfItsNewVisits) {
  windows_.AddWindow("News - Google Chrome - Me", kChrome);
  windows_.AddWindow("Nowhere - Google Chrome - Me", kChrome);
  EXPECT_EQ(Collect(), (std::vector<OpenBrowserPage>{{"https://me.example/news", "News", kChrome}}));
  // The same title at a new address, and one never seen still missing.
  ASSERT_TRUE(testing::WriteHistory(
      data_ + "/Default/History",
      {{"https://me.example/news2", "News", 90}, {"https://me.example/other", "Other", 91}}));
  const int queries = pages_.history_queries();
  EXPECT_EQ(Collect(), (std::vector<OpenBrowserPage>{{"https://me.example/news2", "News", kChrome}}));
  EXPECT_EQ(pages_.history_queries(), queries + 1);
  // A History that cannot be read any more keeps the answers it gave.
  std::filesystem::resize_file(data_ + "/Default/History", 50);
  EXPECT_EQ(Collect(), (std::vector<OpenBrowserPage>{{"https://me.example/news2", "News", kChrome}}));
}

TEST_F(ChromiumPagesTest, WithoutLocalStateTheDefaultProfileIsRead) {
  std::filesystem::remove(data_ + "/Local State");
  windows_.AddWindow("News - Google Chrome", kChrome);
  windows_.AddWindow("Wiki - Google Chrome", kChrome);
  const std::vector<OpenBrowserPage> expected = {{"https://me.example/news", "News", kChrome}};
  EXPECT_EQ(Collect(), expected);
}

}  // namespace
}  // namespace zd
