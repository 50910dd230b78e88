#include "launch/web_search.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/script_text.h"

namespace zd {
namespace {

constexpr int kPollMs = 20;
// After loading our page: four pauses of 200 ms with messages served, so
// the page's script is ready before it is called.
constexpr int kSettlePauses = 4;
constexpr int kSettlePauseMs = 200;

// Clears the flag when the search ends, however it ends.
class BusyFlag {
 public:
  explicit BusyFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyFlag() { flag_ = false; }
  BusyFlag(const BusyFlag&) = delete;
  BusyFlag& operator=(const BusyFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

std::string SearchArgument(std::string_view text) {
  std::string argument(text);
  std::replace(argument.begin(), argument.end(), '"', ' ');
  return argument;
}

std::string SearchResultUrl(std::string_view text) {
  return std::string(kSearchEngineAction) + "?ie=utf-8&wd=" + PercentEncode(text);
}

const std::string& BuiltInSearchPage() {
  // The elements carry their names as ids as well, so getElementById finds
  // them in every document mode of the control.
  static const std::string page = std::string(
                                      "<!DOCTYPE html>\n"
                                      "<html><head>\n"
                                      "<meta http-equiv=\"Content-Type\" "
                                      "content=\"text/html; charset=utf-8\">\n"
                                      "<title>搜索</title>\n"
                                      "<script type=\"text/javascript\">\n"
                                      "function SearchNow(fontname) {\n"
                                      "  document.getElementById(\"word\").value = fontname;\n"
                                      "  document.getElementById(\"sbb\").click();\n"
                                      "}\n"
                                      "</script>\n"
                                      "</head><body>\n"
                                      "<form action=\"") +
                                  kSearchEngineAction +
                                  "\" method=\"get\" target=\"_blank\" accept-charset=\"utf-8\">\n"
                                  "<table bgcolor=\"#FFFFFF\"><tr><td>\n"
                                  "<input type=\"hidden\" name=\"tn\" value=\"baidu\">\n"
                                  "<input type=\"hidden\" name=\"ie\" value=\"utf-8\">\n"
                                  "<input type=\"text\" name=\"word\" id=\"word\" size=\"30\">\n"
                                  "<input type=\"submit\" name=\"sbb\" id=\"sbb\" value=\"搜索\">\n"
                                  "&nbsp;&nbsp;<a href=\"" +
                                  kNavigationPage +
                                  "\" target=\"_blank\"><font color=\"green\">绿色导航</font></a>\n"
                                  "</td></tr></table>\n"
                                  "</form>\n"
                                  "</body></html>\n";
  return page;
}

WebSearcher::WebSearcher(BrowserControl* browser, ShellLauncher& shell, WebSearchHooks hooks)
    : browser_(browser), shell_(shell), hooks_(std::move(hooks)) {}

bool WebSearcher::HtmlEngineAvailable() const {
  return browser_ && browser_->HtmlEngineAvailable();
}

bool WebSearcher::Closing() const { return hooks_.closing && hooks_.closing(); }

int64_t WebSearcher::Now() const {
  return hooks_.now_ms ? hooks_.now_ms()
                       : std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count();
}

bool WebSearcher::Pause(int ms) {
  if (hooks_.sleep_ms) hooks_.sleep_ms(ms);
  if (hooks_.pump) hooks_.pump();
  return !Closing();
}

bool WebSearcher::WaitUntilReady() {
  while (browser_->ReadyState() <= kReadyLoaded) {
    if (Now() >= deadline_ || !Pause(kPollMs)) return false;
  }
  return !Closing();
}

bool WebSearcher::LoadBuiltInPage() {
  // A control that never showed a page has no document to load into.
  if (!browser_->HasDocument()) browser_->Navigate("about:blank");
  if (!WaitUntilReady()) return false;
  search_page_loaded_ = browser_->LoadHtml(BuiltInSearchPage());
  return search_page_loaded_;
}

WebSearcher::Outcome WebSearcher::OpenInDefaultBrowser(const std::string& text) {
  shell_.Execute({"open", SearchResultUrl(text), "", ShowMode::kNormal});
  return Outcome::kDefaultBrowser;
}

WebSearcher::Outcome WebSearcher::WebSearch(const std::string& text) {
  // A second Enter while a search waits for the browser starts no search
  // inside the waiting one: the waiting one takes the newer query.
  if (busy_) {
    query_ = text;
    return Outcome::kReplaced;
  }
  BusyFlag busy(busy_);
  query_ = text;
  deadline_ = Now() + kBrowserWaitMs;
  if (!HtmlEngineAvailable()) return OpenInDefaultBrowser(*query_);
  if (browser_->HasDocument() &&
      browser_->CallScriptFunction(kSearchFunction, SearchArgument(*query_))) {
    return Outcome::kPage;
  }
  // The page shown offers no SearchNow: ours does.
  if (LoadBuiltInPage()) {
    // Its script settles; the pauses end at the deadline all the same.
    for (int i = 0; i < kSettlePauses && Now() < deadline_; ++i) {
      if (!Pause(kSettlePauseMs)) return Outcome::kNothing;
    }
    if (browser_->CallScriptFunction(kSearchFunction, SearchArgument(*query_))) {
      return Outcome::kBuiltInPage;
    }
  }
  if (Closing()) return Outcome::kNothing;
  return OpenInDefaultBrowser(*query_);
}

bool WebSearcher::ShowSearchPage() {
  if (busy_) return false;
  if (search_page_loaded_) return true;
  if (!HtmlEngineAvailable()) return false;
  {
    BusyFlag busy(busy_);
    query_.reset();
    deadline_ = Now() + kBrowserWaitMs;
    browser_->Navigate("about:blank");
    if (WaitUntilReady()) search_page_loaded_ = browser_->LoadHtml(BuiltInSearchPage());
  }
  // A search asked for while the page loaded.
  if (std::optional<std::string> waiting = std::exchange(query_, std::nullopt)) {
    if (!Closing()) WebSearch(*waiting);
  }
  return search_page_loaded_;
}

}  // namespace zd
