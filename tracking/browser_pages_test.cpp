#include "tracking/browser_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
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

OpenBrowserPage Web(const std::string& url, const std::string& title, const std::string& program) {
  return OpenBrowserPage{url, title, program, BrowserAddressKind::kWebPage, ""};
}

class FirefoxPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.Put(kIni, testing::ProfilesIni({"Profiles/a", "Profiles/b"}));
    files_.Put(kSessionA, MozLz4(SessionJson({{{{{"https://a.example/", "A"}}, 1}}})));
    files_.Put(kSessionB, MozLz4(SessionJson({{{{{"https://b.example/", "B"}}, 1},
                                               {{{"https://c.example/", "C"}}, 1}}})));
  }
  std::vector<OpenBrowserPage> Collect() { return pages_.Read(FindRunningBrowsers(windows_)); }
  std::vector<std::string> Urls() {
    std::vector<std::string> urls;
    for (const OpenBrowserPage& page : Collect()) urls.push_back(page.url);
    return urls;
  }
  FakeWindowSystem windows_;
  FakeSharedFiles files_;
  BrowserPages pages_{files_, UserFolders{"R", "L"}};
};

TEST_F(FirefoxPagesTest, EveryTabOfEveryProfileWhileTheBrowserRuns) {
  EXPECT_TRUE(Urls().empty());  // not running: nothing read
  EXPECT_EQ(files_.ReadCount(kSessionA), 0);
  windows_.AddWindow("A - Mozilla Firefox", kFirefox);
  const std::vector<OpenBrowserPage> pages = Collect();
  const std::vector<OpenBrowserPage> expected = {Web("https://a.example/", "A", kFirefox),
                                                 Web("https://b.example/", "B", kFirefox),
                                                 Web("https://c.example/", "C", kFirefox)};
  EXPECT_EQ(pages, expected);
  // A second window of the same browser reads nothing twice.
  windows_.AddWindow("B - Mozilla Firefox", kFirefox);
  EXPECT_EQ(Collect(), expected);
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

  // Busy, then torn: the last good read stands, and the file is tried again
  // only once it has changed.
  files_.Put(kSessionA, MozLz4(SessionJson({{{{{"https://a3.example/", "A3"}}, 1}}})));
  files_.SetUnreadable(kSessionA, true);
  EXPECT_EQ(Urls().front(), "https://a2.example/");
  files_.SetUnreadable(kSessionA, false);
  EXPECT_EQ(Urls().front(), "https://a2.example/");
  EXPECT_EQ(files_.ReadCount(kSessionA), 3);
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

TEST_F(FirefoxPagesTest, ProfilesOnTheNetworkAreNotRead) {
  files_.SetRemoteDrive("Z:\\");
  struct Case {
    const char* path;  // as profiles.ini gives it (absolute)
    bool read;
  } cases[] = {
      {"D:\\Profiles\\local", true},           {"Z:\\Profiles\\mapped", false},
      {"\\\\server\\share\\p", false},         {"//server/share/p", false},
      {"\\\\?\\UNC\\server\\share\\p", false}, {"\\\\?\\D:\\Profiles\\long", true},
  };
  std::string ini;
  for (size_t i = 0; i < std::size(cases); ++i) {
    ini += "[Profile" + std::to_string(i) + "]\r\nIsRelative=0\r\nPath=" + cases[i].path + "\r\n";
    files_.Put(
        JoinPath(cases[i].path, "sessionstore-backups\\recovery.jsonlz4"),
        MozLz4(SessionJson({{{{{"https://p" + std::to_string(i) + ".example/", "P"}}, 1}}})));
  }
  files_.Put(kIni, ini);
  windows_.AddWindow("A - Mozilla Firefox", kFirefox);
  const std::vector<std::string> urls = Urls();
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string url = "https://p" + std::to_string(i) + ".example/";
    EXPECT_EQ(std::count(urls.begin(), urls.end(), url), cases[i].read ? 1 : 0) << cases[i].path;
    EXPECT_EQ(files_.ReadCount(JoinPath(cases[i].path, "sessionstore-backups\\recovery.jsonlz4")),
              cases[i].read ? 1 : 0)
        << cases[i].path;
  }
}

TEST_F(FirefoxPagesTest, AnOutsizedSessionIsSkippedAndNotReadAgainUntilItChanges) {
  windows_.AddWindow("A - Mozilla Firefox", kFirefox);
  const auto with_title_of = [](size_t bytes) {
    return MozLz4(SessionJson({{{{{"https://big.example/", std::string(bytes, 'a')}}, 1}}}));
  };
  struct Case {
    const char* what;
    std::string file;
    bool pages;
    int reads;  // of the file, over two refreshes
  } cases[] = {
      {"inflates to more than the limit", with_title_of(kMaxSessionBytes), false, 1},
      {"larger on disk than any session within the limit",
       std::string(MaxSessionFileBytes() + 1, 'x'), false, 0},
      {"well within the limit", with_title_of(1000), true, 1},
  };
  for (const Case& c : cases) {
    files_.Put(kSessionA, c.file);
    const int reads = files_.ReadCount(kSessionA);
    const std::vector<std::string> urls = Urls();
    EXPECT_EQ(std::count(urls.begin(), urls.end(), "https://big.example/"), c.pages ? 1 : 0)
        << c.what;
    Urls();
    EXPECT_EQ(files_.ReadCount(kSessionA), reads + c.reads) << c.what;
  }
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
  std::vector<OpenBrowserPage> Collect() { return pages_.Read(FindRunningBrowsers(windows_)); }

  TempDirForTests dir_;
  std::string local_, data_;
  FakeWindowSystem windows_;
  std::unique_ptr<SharedFiles> files_ = MakeSystemSharedFiles();
  BrowserPages pages_{*files_, UserFolders{dir_.path() + "roaming", dir_.path() + "local"}};
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
      Web("https://me.example/news", "News", kChrome),
      Web("https://work.example/wiki", "Wiki", kChrome),
      Web("https://work.example/shared", "Shared", kChrome),
      Web("https://me.example/old", "Shared", kChrome),
  };
  EXPECT_EQ(Collect(), expected);
  // Unchanged files, the same titles: nothing is asked again.
  const int queries = pages_.history_queries(), reads = pages_.file_reads();
  EXPECT_EQ(Collect(), expected);
  EXPECT_EQ(pages_.history_queries(), queries);
  EXPECT_EQ(pages_.file_reads(), reads);
  // A title never asked before is answered from the index of the History's
  // newest visits: the file is not read again.
  windows_.AddWindow("Left behind - Google Chrome - Me", kChrome);
  EXPECT_EQ(Collect().size(), 5u);
  EXPECT_EQ(pages_.history_queries(), queries);
}

TEST_F(ChromiumPagesTest, AChangedHistoryIsAskedOnlyOfItsNewVisits) {
  windows_.AddWindow("News - Google Chrome - Me", kChrome);
  windows_.AddWindow("Nowhere - Google Chrome - Me", kChrome);
  EXPECT_EQ(Collect(),
            (std::vector<OpenBrowserPage>{Web("https://me.example/news", "News", kChrome)}));
  // The same title at a new address, and one never seen still missing.
  ASSERT_TRUE(testing::WriteHistory(
      data_ + "/Default/History",
      {{"https://me.example/news2", "News", 90}, {"https://me.example/other", "Other", 91}}));
  const int queries = pages_.history_queries();
  EXPECT_EQ(Collect(),
            (std::vector<OpenBrowserPage>{Web("https://me.example/news2", "News", kChrome)}));
  EXPECT_EQ(pages_.history_queries(), queries + 1);
  // A History that cannot be read any more keeps the answers it gave.
  std::filesystem::resize_file(data_ + "/Default/History", 50);
  EXPECT_EQ(Collect(),
            (std::vector<OpenBrowserPage>{Web("https://me.example/news2", "News", kChrome)}));
}

TEST_F(ChromiumPagesTest, WithoutLocalStateTheDefaultProfileIsRead) {
  std::filesystem::remove(data_ + "/Local State");
  windows_.AddWindow("News - Google Chrome", kChrome);
  windows_.AddWindow("Wiki - Google Chrome", kChrome);
  const std::vector<OpenBrowserPage> expected = {Web("https://me.example/news", "News", kChrome)};
  EXPECT_EQ(Collect(), expected);
}

}  // namespace
}  // namespace zd
