#include "launch/web_search.h"

#include <algorithm>
#include <chrono>

#include "platform/errors.h"
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

bool WebSearcher::Pause(int ms) {
  if (hooks_.sleep_ms) hooks_.sleep_ms(ms);
  if (hooks_.pump) hooks_.pump();
  return !Closing();
}

bool WebSearcher::WaitUntilReady() {
  const auto now = [this] {
    return hooks_.now_ms ? hooks_.now_ms()
                         : std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  };
  const int64_t start = now();
  while (browser_->ReadyState() <= kReadyLoaded) {
    if (now() - start >= kBrowserWaitMs || !Pause(kPollMs)) return false;
  }
  return !Closing();
}

bool WebSearcher::LoadBuiltInPage() {
  // A control that never showed a page has no document to load into.
  if (!browser_->HasDocument()) browser_->Navigate("about:blank");
  if (!WaitUntilReady()) return false;
  return browser_->LoadHtml(BuiltInSearchPage());
}

WebSearcher::Outcome WebSearcher::OpenInDefaultBrowser(const std::string& text) {
  shell_.Execute({"open", SearchResultUrl(text), "", ShowMode::kNormal});
  return Outcome::kDefaultBrowser;
}

WebSearcher::Outcome WebSearcher::WebSearch(const std::string& text) noexcept {
  // A second Enter while this search waits for the browser must not start a
  // search inside the waiting one.
  if (busy_) return Outcome::kBusy;
  try {
    BusyFlag busy(busy_);
    if (!HtmlEngineAvailable()) return OpenInDefaultBrowser(text);
    const std::string argument = SearchArgument(text);
    if (browser_->HasDocument() && browser_->CallScriptFunction(kSearchFunction, argument)) {
      return Outcome::kPage;
    }
    // The page shown offers no SearchNow: ours does.
    if (LoadBuiltInPage()) {
      for (int i = 0; i < kSettlePauses; ++i) {
        if (!Pause(kSettlePauseMs)) return Outcome::kNothing;
      }
      if (browser_->CallScriptFunction(kSearchFunction, argument)) return Outcome::kBuiltInPage;
    }
    if (Closing()) return Outcome::kNothing;
    return OpenInDefaultBrowser(text);
  } catch (...) {
    RecordCurrentException(__func__);
    return Outcome::kNothing;
  }
}

void WebSearcher::ShowSearchPage() noexcept {
  if (busy_) return;
  try {
    BusyFlag busy(busy_);
    if (!HtmlEngineAvailable()) return;
    browser_->Navigate("about:blank");
    if (WaitUntilReady()) browser_->LoadHtml(BuiltInSearchPage());
  }
  ZD_CATCH_LOG(__func__)
}

}  // namespace zd
