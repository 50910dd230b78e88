// The "常用" page: the embedded web browser, made the first time it is needed
// and out of sight until then. Where the system has no HTML engine the page
// says so in one line. The page is the browser the web search talks to.
#pragma once

#include <memory>
#include <string>

#include "mainwin/page_win.h"
#include "platform/browser_control.h"

namespace zd {

class WebSearcher;

class BrowserPage : public Page, public BrowserControl {
 public:
  using Page::Page;
  void Create(HWND parent);
  void Layout(int width, int height) override;

  Panel BrowserFrame;  // holds the control
  Label LblNoEngine;   // the one line shown without an HTML engine

  // The tab was chosen: the browser comes into sight and shows our search
  // page (loaded again the next time when a load did not finish), or the
  // page says that there is no HTML engine.
  void ShowBrowser(WebSearcher& web);
  // The control, made on first use; null when none could be made.
  BrowserControl* control();

  // BrowserControl, answered by the control (made on first use).
  bool HtmlEngineAvailable() override;
  bool Navigate(const std::string& url) override;
  int ReadyState() override;
  bool HasDocument() override;
  bool CallScriptFunction(const std::string& function, const std::string& argument) override;
  bool LoadHtml(const std::string& html) override;
  std::string Address() override;
  void SetBounds(int x, int y, int width, int height) override {
    BrowserFrame.Place(x, y, width, height);
  }
  void Show(bool visible) override { BrowserFrame.Show(visible); }

 private:
  void FitControl();

  std::unique_ptr<BrowserControl> control_;
  HWND control_window_ = nullptr;  // the system control's window, following the layout
  bool tried_ = false;
};

}  // namespace zd
