#include "platform/fake_browser_control.h"

namespace zd {

bool FakeBrowserControl::Navigate(const std::string& url) {
  calls_.push_back("navigate " + url);
  address_ = url;
  has_document_ = engine_;
  functions_.clear();
  loading_left_ = engine_ ? load_questions_ : -1;
  return true;
}

int FakeBrowserControl::ReadyState() {
  ++ready_questions_;
  if (on_ready_question) on_ready_question();
  if (loading_left_ < 0) return kReadyLoading;  // without an engine: loading forever
  if (loading_left_ > 0) {
    --loading_left_;
    return kReadyLoading;
  }
  return kReadyComplete;
}

bool FakeBrowserControl::CallScriptFunction(const std::string& function,
                                            const std::string& argument) {
  calls_.push_back("call " + function + "(" + argument + ")");
  return HasDocument() && functions_.count(function) != 0;
}

bool FakeBrowserControl::LoadHtml(const std::string& html) {
  calls_.push_back("load-html");
  if (!HasDocument()) return false;
  if (failing_loads_ > 0) {
    --failing_loads_;
    return false;
  }
  last_html_ = html;
  functions_ = html_functions_;
  return true;
}

void FakeBrowserControl::ShowPage(std::set<std::string> functions) {
  has_document_ = engine_;
  loading_left_ = 0;
  functions_ = std::move(functions);
}

}  // namespace zd
