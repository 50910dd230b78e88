// The web search of the search box: the text goes to the page of the "常用"
// tab through its script function SearchNow; where that page cannot take it,
// our own search page is loaded and asked; where the system has no HTML
// engine, the engine's result page opens in the default browser.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/browser_control.h"
#include "platform/shell_launcher.h"

namespace zd {

// The public engine: it takes the query as a GET parameter.
inline constexpr char kSearchEngineAction[] = "https://www.baidu.com/s";
inline constexpr char kNavigationPage[] = "https://www.hao123.com/";
inline constexpr char kSearchFunction[] = "SearchNow";
// How long a search waits for the browser to be ready.
inline constexpr int64_t kBrowserWaitMs = 5000;

struct WebSearchHooks {
  std::function<void()> pump;  // serve pending window messages
  std::function<void(int)> sleep_ms;
  std::function<int64_t()> now_ms;  // a steady clock
  std::function<bool()> closing;    // the window is going: stop waiting
};

class WebSearcher {
 public:
  enum class Outcome {
    kPage,            // the shown page's SearchNow took it
    kBuiltInPage,     // our own page was loaded and took it
    kDefaultBrowser,  // the engine's result page in the default browser
    kReplaced,        // a search waits for the browser: it takes this query instead
    kNothing,         // the window closed while waiting
  };

  // `browser` may be null (no control could be created).
  WebSearcher(BrowserControl* browser, ShellLauncher& shell, WebSearchHooks hooks);

  // Waits for the browser at most kBrowserWaitMs from the moment it is asked,
  // a deadline that the messages served meanwhile cannot move.
  Outcome WebSearch(const std::string& text);
  // What the "常用" tab shows: our own search page, where there is an engine.
  // True once it is loaded; until then every call tries again. A search
  // asked for while it waits runs once the page is there.
  bool ShowSearchPage();
  // False: the page says so in one line (lang::Texts().NoHtmlEngine).
  bool HtmlEngineAvailable() const;
  bool busy() const { return busy_; }

 private:
  int64_t Now() const;
  bool WaitUntilReady();
  // Sleeps and serves messages; false when the window is closing.
  bool Pause(int ms);
  bool LoadBuiltInPage();
  Outcome OpenInDefaultBrowser(const std::string& text);
  bool Closing() const;

  BrowserControl* browser_;
  ShellLauncher& shell_;
  WebSearchHooks hooks_;
  bool busy_ = false;
  int64_t deadline_ = 0;
  std::optional<std::string> query_;  // the one the waiting search delivers
  bool search_page_loaded_ = false;
};

// The text as SearchNow gets it: double quotes turned into blanks.
std::string SearchArgument(std::string_view text);
// The engine's result page for the text, every reserved character encoded.
std::string SearchResultUrl(std::string_view text);
// Our own search page: SearchNow(text) fills the field "word" and clicks "sbb".
const std::string& BuiltInSearchPage();

}  // namespace zd
