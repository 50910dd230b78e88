// A browser for tests: a page is a set of script functions; navigation and
// loading take a chosen number of ready-state questions to complete.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/browser_control.h"

namespace zd {

class FakeBrowserControl : public BrowserControl {
 public:
  bool HtmlEngineAvailable() override { return engine_; }
  // "navigate URL"; without an engine the control navigates but never loads.
  bool Navigate(const std::string& url) override;
  std::string Address() override { return address_; }
  void SetBounds(int x, int y, int width, int height) override { bounds_ = {x, y, width, height}; }
  void Show(bool visible) override { visible_ = visible; }
  // Counts down the questions a load still takes.
  int ReadyState() override;
  bool HasDocument() override { return engine_ && has_document_; }
  // "call F(ARG)"; succeeds when the page defines F.
  bool CallScriptFunction(const std::string& function, const std::string& argument) override;
  // "load-html"; the loaded page defines what `html_functions` says.
  bool LoadHtml(const std::string& html) override;

  void set_engine(bool engine) { engine_ = engine; }
  // The page currently shown and the script functions it defines.
  void ShowPage(std::set<std::string> functions);
  void set_html_functions(std::set<std::string> functions) {
    html_functions_ = std::move(functions);
  }
  // How many ReadyState questions a navigation stays below "interactive".
  void set_load_questions(int n) { load_questions_ = n; }
  // The next n LoadHtml calls fail (a load that did not finish).
  void set_failing_loads(int n) { failing_loads_ = n; }
  // Called on every ReadyState question (a test closes the window there).
  std::function<void()> on_ready_question;

  const std::vector<std::string>& calls() const { return calls_; }
  // Where SetBounds put it (x, y, width, height) and whether it is shown.
  const std::vector<int>& bounds() const { return bounds_; }
  bool visible() const { return visible_; }
  const std::string& last_html() const { return last_html_; }
  int ready_questions() const { return ready_questions_; }

 private:
  bool engine_ = true;
  bool has_document_ = false;
  std::set<std::string> functions_;
  std::set<std::string> html_functions_;
  int load_questions_ = 0;
  int failing_loads_ = 0;
  int loading_left_ = 0;
  int ready_questions_ = 0;
  std::vector<std::string> calls_;
  std::string last_html_;
  std::string address_;
  std::vector<int> bounds_;
  bool visible_ = true;
};

}  // namespace zd
