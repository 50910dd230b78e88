// The embedded web browser, as the web search uses it: a page view that also
// answers for its HTML engine, its load and its page's script.
#pragma once

#include <memory>
#include <string>

#include "platform/page_view.h"

namespace zd {

// The browser's ready states (READYSTATE_*).
inline constexpr int kReadyUninitialized = 0;
inline constexpr int kReadyLoading = 1;
inline constexpr int kReadyLoaded = 2;
inline constexpr int kReadyInteractive = 3;
inline constexpr int kReadyComplete = 4;

class BrowserControl : public PageView {
 public:
  // Whether the system has an HTML engine for the control. Without one the
  // control navigates but never holds a document (Wine without its engine).
  virtual bool HtmlEngineAvailable() = 0;
  virtual int ReadyState() = 0;
  // An HTML document is loaded.
  virtual bool HasDocument() = 0;
  // Runs `function`("argument") in the page's window as script; false when
  // there is no document or the script fails (no such function, say).
  virtual bool CallScriptFunction(const std::string& function, const std::string& argument) = 0;
  // Replaces the loaded document's content by this HTML text (UTF-8).
  virtual bool LoadHtml(const std::string& html) = 0;
};

// The control as a page view where its HTML engine can show pages; nothing
// without one, so that the page's user says there is none.
std::unique_ptr<PageView> PageViewWithEngine(std::unique_ptr<BrowserControl> control);

}  // namespace zd
