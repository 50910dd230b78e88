#include "tracking/browser_profiles.h"

#include <gtest/gtest.h>

#include "tracking/browser_files_for_tests.h"

namespace zd {
namespace {

TEST(BrowserProfilesTest, ProfilesIniListsEachProfileFolder) {
  const std::string ini =
      "\xEF\xBB\xBF[Install308046B0AF4A39CB]\r\nDefault=Profiles/x.default-release\r\n\r\n"
      "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n\r\n"
      "[Profile0]\nName=work\nIsRelative=0\nPath=D:\\Firefox\\work\n\n"
      "[Profile2]\nName=no path\nIsRelative=1\n\n[General]\nPath=not a profile\n";
  const std::vector<std::string> expected = {"C:\\AppData\\Mozilla\\Firefox\\Profiles\\a.default",
                                             "D:\\Firefox\\work"};
  EXPECT_EQ(ParseProfilesIni(ini, "C:\\AppData\\Mozilla\\Firefox"), expected);
  // Relative paths follow the separator of the folder they are joined to.
  EXPECT_EQ(ParseProfilesIni("[Profile0]\nPath=Profiles/b\n", "/home/u/ff"),
            std::vector<std::string>{"/home/u/ff/Profiles/b"});
  EXPECT_TRUE(ParseProfilesIni("", "C:\\x").empty());
}

TEST(BrowserProfilesTest, LocalStateListsTheProfilesAndTheirNames) {
  struct Case {
    const char* what;
    std::string json;
    std::optional<std::vector<ChromiumProfile>> profiles;
  } cases[] = {
      {"two profiles", testing::LocalState({{"Default", "Me"}, {"Profile 1", "Work 工作"}}),
       std::vector<ChromiumProfile>{{"Default", "Me"}, {"Profile 1", "Work 工作"}}},
      {"a profile without a name", R"({"profile":{"info_cache":{"Default":{"avatar":1}}}})",
       std::vector<ChromiumProfile>{{"Default", ""}}},
      {"no profile section", R"({"browser":{}})", std::vector<ChromiumProfile>{}},
      {"info_cache of another type", R"({"profile":{"info_cache":[1]}})",
       std::vector<ChromiumProfile>{}},
      {"not JSON", R"({"profile":{"info_cache":{"Default":)", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseLocalState(c.json), c.profiles) << c.what;
}

TEST(BrowserProfilesTest, ABrowserIsKnownByItsProgramFileName) {
  EXPECT_EQ(BrowserOfProgram("C:\\Program Files\\Google\\Chrome\\Application\\CHROME.EXE")->exe,
            "chrome.exe");
  EXPECT_EQ(BrowserOfProgram("C:\\Program Files\\Mozilla Firefox\\firefox.exe")->family,
            BrowserFamily::kFirefox);
  EXPECT_EQ(BrowserOfProgram("C:\\Tools\\notchrome.exe"), nullptr);
  EXPECT_EQ(BrowserOfProgram("C:\\Windows\\explorer.exe"), nullptr);
  EXPECT_EQ(BrowserDataDir(*BrowserOfProgram("msedge.exe"), {"C:\\R", "C:\\L"}),
            "C:\\L\\Microsoft\\Edge\\User Data");
  EXPECT_EQ(BrowserDataDir(*BrowserOfProgram("firefox.exe"), {"/r", "/l"}), "/r/Mozilla/Firefox");
  EXPECT_EQ(BrowserDataDir(*BrowserOfProgram("firefox.exe"), {"", ""}), "");
}

TEST(BrowserTitleTest, TheCurrentTabsTitleIsWhatPrecedesTheBrandAndItsProfile) {
  const BrowserKind& chrome = *BrowserOfProgram("chrome.exe");
  const BrowserKind& edge = *BrowserOfProgram("msedge.exe");
  const std::vector<std::string> names = {"Me", "Work", "Work - Team"};
  struct Case {
    const char* what;
    const BrowserKind* kind;
    std::string title;
    std::optional<BrowserTitle> parsed;
  } cases[] = {
      {"plain", &chrome, "Example Domain - Google Chrome",
       BrowserTitle{"Example Domain", "", false}},
      {"profile after the brand", &chrome, "Inbox - Google Chrome - Work",
       BrowserTitle{"Inbox", "Work", false}},
      {"the longest profile name that fits", &chrome, "Inbox - Google Chrome - Work - Team",
       BrowserTitle{"Inbox", "Work - Team", false}},
      {"an unknown name after the brand is no profile", &chrome, "Inbox - Google Chrome - Stranger",
       BrowserTitle{"Inbox", "", false}},
      {"profile before the brand", &edge, "News - Work - Microsoft\xE2\x80\x8B Edge",
       BrowserTitle{"News", "Work", false}},
      {"a page title holding separators", &chrome, "A - B - C - Google Chrome",
       BrowserTitle{"A - B - C", "", false}},
      {"a page that names the browser", &chrome, "Why Google Chrome - Google Chrome",
       BrowserTitle{"Why Google Chrome", "", false}},
      {"several tabs selected", &chrome, "Docs and 2 more pages - Google Chrome - Me",
       BrowserTitle{"Docs", "Me", false}},
      {"incognito", &chrome, "Secret - Google Chrome (Incognito)",
       BrowserTitle{"Secret", "", true}},
      {"InPrivate in brackets first", &edge, "[InPrivate] Secret - Microsoft Edge",
       BrowserTitle{"Secret", "", true}},
      {"InPrivate between page and brand", &edge, "Secret - InPrivate - Microsoft Edge",
       BrowserTitle{"Secret", "", true}},
      {"no brand: another window", &chrome, "Downloads", std::nullopt},
      {"brand glued to a word", &chrome, "Page - Google Chromebook", std::nullopt},
      {"the brand alone", &chrome, " - Google Chrome", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseBrowserTitle(c.title, *c.kind, names), c.parsed) << c.what;
    // A window the parse calls private is private to the gate too.
    if (c.parsed && c.parsed->is_private) {
      EXPECT_TRUE(IsPrivateWindowTitle(c.title, c.kind->exe)) << c.what;
    }
  }
}

// Any program's window: a private marker in the last part of its title or
// in brackets makes it private; the same words inside a page's own title do not.
TEST(BrowserTitleTest, APrivateWindowIsKnownByItsTitleWhateverItsProgram) {
  struct Case {
    const char* title;
    const char* program;
    bool is_private;
  } const cases[] = {
      {"Lab results - Google Chrome (Incognito)", "C:\\Chrome\\chrome.exe", true},
      {"体检报告 - Google Chrome (无痕模式)", "chrome.exe", true},
      {"News - Mozilla Firefox Private Browsing", "firefox.exe", true},
      {"新标签页 - 360安全浏览器 （无痕模式）", "360se.exe", true},
      {"首页 - QQ浏览器 隐身窗口", "QQBrowser.exe", true},
      {"[InPrivate] Mail - Some Browser", "browser.exe", true},
      {"Incognito - Wikipedia - Mozilla Firefox", "firefox.exe", false},
      {"隐身衣研究.docx - Word", "WINWORD.EXE", false},
      {"Private - Brave", "notepad.exe", false},
      {"InPrivate tips.txt - Notepad", "notepad.exe", false},
      {"", "chrome.exe", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsPrivateWindowTitle(c.title, c.program), c.is_private) << c.title;
}

}  // namespace
}  // namespace zd
