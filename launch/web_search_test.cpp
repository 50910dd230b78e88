#include "launch/web_search.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/fake_browser_control.h"
#include "platform/fake_shell_launcher.h"
#include "platform/script_text.h"

namespace zd {
namespace {

using V = std::vector<std::string>;
using Outcome = WebSearcher::Outcome;

std::string DefaultBrowser(const std::string& encoded_query) {
  return "execute verb=open file=https://www.baidu.com/s?ie=utf-8&wd=" + encoded_query +
         " params= show=1";
}

// A fake clock that moves with the pauses.
class WebSearchTest : public ::testing::Test {
 protected:
  WebSearchTest() {
    hooks.pump = [this] {
      ++pumps;
      if (on_pump) on_pump();
    };
    hooks.sleep_ms = [this](int ms) {
      sleeps.push_back(ms);
      now += ms;
    };
    hooks.now_ms = [this] { return now; };
    hooks.closing = [this] { return closing; };
  }
  void TearDown() override { EXPECT_EQ(CaughtFailureCount(), caught_at_start_); }

  WebSearcher Searcher(BrowserControl* control) { return WebSearcher(control, shell, hooks); }

  FakeShellLauncher shell;
  FakeBrowserControl browser;
  WebSearchHooks hooks;
  std::function<void()> on_pump;
  int pumps = 0;
  std::vector<int> sleeps;
  int64_t now = 0;
  bool closing = false;

 private:
  uint64_t caught_at_start_ = CaughtFailureCount();
};

TEST_F(WebSearchTest, ThePagesSearchNowTakesTheTextWithQuotesAsBlanks) {
  browser.ShowPage({"SearchNow"});
  WebSearcher web = Searcher(&browser);
  EXPECT_EQ(web.WebSearch("a \"quoted\" word"), Outcome::kPage);
  EXPECT_EQ(browser.calls(), V({"call SearchNow(a  quoted  word)"}));
  EXPECT_TRUE(shell.calls().empty());
  EXPECT_TRUE(sleeps.empty());
}

TEST_F(WebSearchTest, APageWithoutSearchNowGetsOurPageThenTheSearch) {
  struct Case {
    bool shown_page;  // the tab showed a page (the vendor's) before
    int load_questions;
    V calls;
  };
  const Case cases[] = {
      {true, 0, {"call SearchNow(x)", "load-html", "call SearchNow(x)"}},
      {true, 3, {"call SearchNow(x)", "load-html", "call SearchNow(x)"}},
      // Never navigated: a blank page first, so there is a document to load into.
      {false, 2, {"navigate about:blank", "load-html", "call SearchNow(x)"}},
  };
  for (const Case& c : cases) {
    FakeBrowserControl control;
    if (c.shown_page) control.ShowPage({"Other"});
    control.set_load_questions(c.load_questions);
    control.set_html_functions({"SearchNow"});
    sleeps.clear();
    EXPECT_EQ(Searcher(&control).WebSearch("x"), Outcome::kBuiltInPage);
    EXPECT_EQ(control.calls(), c.calls);
    EXPECT_EQ(control.last_html(), BuiltInSearchPage());
    // The settling pauses after the load, besides any polls while waiting.
    ASSERT_GE(sleeps.size(), 4u);
    EXPECT_EQ(std::vector<int>(sleeps.end() - 4, sleeps.end()), std::vector<int>(4, 200));
    EXPECT_TRUE(shell.calls().empty());
  }
}

TEST_F(WebSearchTest, WithoutAnEngineOrAWorkingPageTheDefaultBrowserSearches) {
  struct Case {
    const char* what;
    std::function<void(FakeBrowserControl&)> setup;
    bool has_control;
  };
  const Case cases[] = {
      {"no engine", [](FakeBrowserControl& b) { b.set_engine(false); }, true},
      {"no control", [](FakeBrowserControl&) {}, false},
      {"our page fails too", [](FakeBrowserControl& b) { b.ShowPage({}); }, true},
      {"never ready", [](FakeBrowserControl& b) { b.set_load_questions(1 << 30); }, true},
  };
  for (const Case& c : cases) {
    FakeBrowserControl control;
    c.setup(control);
    shell.ClearLog();
    now = 0;
    const Outcome outcome = Searcher(c.has_control ? &control : nullptr).WebSearch("a\"b&c#d 搜");
    EXPECT_EQ(outcome, Outcome::kDefaultBrowser) << c.what;
    EXPECT_EQ(shell.calls(), V({DefaultBrowser("a%22b%26c%23d%20%E6%90%9C")})) << c.what;
    EXPECT_LE(now, kBrowserWaitMs + 1000) << c.what << ": the wait is bounded";
  }
}

TEST_F(WebSearchTest, TheWaitGivesUpAfterFiveSecondsOrWhenTheWindowCloses) {
  browser.set_load_questions(1 << 30);
  WebSearcher web = Searcher(&browser);
  web.WebSearch("x");
  EXPECT_GE(now, kBrowserWaitMs);
  EXPECT_LT(now, kBrowserWaitMs + 100);

  FakeBrowserControl closing_browser;
  closing_browser.set_load_questions(1 << 30);
  closing_browser.on_ready_question = [this, &closing_browser] {
    if (closing_browser.ready_questions() == 3) closing = true;
  };
  shell.ClearLog();
  EXPECT_EQ(Searcher(&closing_browser).WebSearch("x"), Outcome::kNothing);
  EXPECT_LE(closing_browser.ready_questions(), 4);
  EXPECT_TRUE(shell.calls().empty()) << "a closing window opens nothing";
}

TEST_F(WebSearchTest, ASecondSearchDuringTheWaitReplacesTheWaitingQuery) {
  browser.set_load_questions(5);
  browser.set_html_functions({"SearchNow"});
  WebSearcher web = Searcher(&browser);
  std::vector<Outcome> nested;
  on_pump = [&] {
    if (nested.size() < 2) nested.push_back(web.WebSearch(nested.empty() ? "second" : "third"));
  };
  EXPECT_EQ(web.WebSearch("first"), Outcome::kBuiltInPage);
  EXPECT_EQ(nested, std::vector<Outcome>({Outcome::kReplaced, Outcome::kReplaced}));
  EXPECT_FALSE(web.busy());
  EXPECT_EQ(browser.calls().back(), "call SearchNow(third)");
  EXPECT_EQ(std::count(browser.calls().begin(), browser.calls().end(), "load-html"), 1)
      << "one search, one load";
}

TEST_F(WebSearchTest, TheFiveSecondsAreADeadlineThatServedMessagesCannotMove) {
  struct Case {
    const char* what;
    int load_questions;  // before the browser is ready
    int jump_at_pump;    // the pump at which a long nested handler runs
    Outcome outcome;
  };
  const Case cases[] = {
      // Waiting for the browser: the next question sees the deadline gone.
      {"while loading", 1 << 30, 3, Outcome::kDefaultBrowser},
      // Settling after our page loaded: no further pause, the page is asked at once.
      {"while settling", 0, 1, Outcome::kBuiltInPage},
  };
  for (const Case& c : cases) {
    FakeBrowserControl control;
    control.set_load_questions(c.load_questions);
    control.set_html_functions({"SearchNow"});
    now = 0;
    pumps = 0;
    sleeps.clear();
    int64_t jumped_at = -1;
    size_t sleeps_before_jump = 0;
    on_pump = [&] {
      if (pumps != c.jump_at_pump) return;
      sleeps_before_jump = sleeps.size();
      now += 30000;  // a message box opened by another handler, say
      jumped_at = now;
    };
    EXPECT_EQ(Searcher(&control).WebSearch("x"), c.outcome) << c.what;
    EXPECT_EQ(now, jumped_at) << c.what << ": no wait after the deadline";
    EXPECT_EQ(sleeps.size(), sleeps_before_jump) << c.what;
  }
}

TEST_F(WebSearchTest, TheSearchPageOfTheTabIsOursWhereThereIsAnEngine) {
  browser.set_load_questions(2);
  WebSearcher tab = Searcher(&browser);
  EXPECT_TRUE(tab.ShowSearchPage());
  EXPECT_TRUE(tab.ShowSearchPage());
  EXPECT_EQ(browser.calls(), V({"navigate about:blank", "load-html"})) << "loaded once";
  FakeBrowserControl none;
  none.set_engine(false);
  WebSearcher web = Searcher(&none);
  EXPECT_FALSE(web.ShowSearchPage());
  EXPECT_TRUE(none.calls().empty());
  EXPECT_FALSE(web.HtmlEngineAvailable());
  EXPECT_FALSE(Searcher(nullptr).HtmlEngineAvailable());
}

TEST_F(WebSearchTest, AnUnfinishedLoadOfTheTabsPageIsTriedAgainAndASearchMeanwhileRuns) {
  FakeBrowserControl slow;
  slow.set_load_questions(1 << 30);
  slow.set_html_functions({"SearchNow"});
  WebSearcher web = Searcher(&slow);
  on_pump = [&] {
    if (pumps == 2) web.WebSearch("asked meanwhile");
  };
  EXPECT_FALSE(web.ShowSearchPage()) << "never ready in time";
  // The search asked for while the page waited ran afterwards (it found no
  // page either, so the default browser has it).
  EXPECT_EQ(shell.calls(), V({DefaultBrowser("asked%20meanwhile")}));
  on_pump = nullptr;
  slow.set_load_questions(0);
  EXPECT_TRUE(web.ShowSearchPage());
  EXPECT_EQ(slow.calls().back(), "load-html");
  const size_t calls = slow.calls().size();
  EXPECT_TRUE(web.ShowSearchPage());
  EXPECT_EQ(slow.calls().size(), calls);
}

TEST(BuiltInSearchPageTest, OffersSearchNowOverAGetFormOfThePublicEngine) {
  const std::string& page = BuiltInSearchPage();
  const char* const parts[] = {
      "function SearchNow(fontname)",
      "getElementById(\"word\").value = fontname",
      "getElementById(\"sbb\").click()",
      "action=\"https://www.baidu.com/s\" method=\"get\" target=\"_blank\"",
      "<input type=\"hidden\" name=\"tn\"",
      "name=\"word\" id=\"word\" size=\"30\"",
      "type=\"submit\" name=\"sbb\" id=\"sbb\"",
      "target=\"_blank\"><font color=\"green\">",
      "charset=utf-8",
  };
  for (const char* part : parts) EXPECT_NE(page.find(part), std::string::npos) << part;
  // The query goes as a GET parameter the engine reads.
  EXPECT_EQ(SearchResultUrl("q"), std::string(kSearchEngineAction) + "?ie=utf-8&wd=q");
  EXPECT_EQ(SearchArgument("\"a\"\"b\""), " a  b ");
}

}  // namespace
}  // namespace zd
