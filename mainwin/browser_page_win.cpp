#include "mainwin/browser_page_win.h"

#include <algorithm>

#include "lang/lang_tables.h"
#include "launch/web_search.h"
#include "mainwin/form_model.h"
#include "platform/browser_host_win.h"
#include "platform/errors.h"

namespace zd {
namespace {

constexpr int kNoEngineLineHeight = 22;

}  // namespace

void TBrowserPage::Create(HWND parent) {
  ControlFactory& f = host_.Factory();
  f.Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent, 0, 0, 10,
         10);
  f.Make(WebBrowser1, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
         sheet.hwnd(), 0, 0, 10, 10);
  f.Make(LblNoEngine, L"STATIC", "", WS_CHILD | WS_CLIPSIBLINGS | SS_LEFT | SS_CENTERIMAGE,
         sheet.hwnd(), 8, 0, 400, kNoEngineLineHeight);
  SetWindowPos(WebBrowser1.hwnd(), nullptr, 0, kMinimisedTop, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TBrowserPage::Layout(int width, int height) {
  // Keeps its place out of sight until it is first shown.
  const RECT r = WebBrowser1.RectInParent();
  const int top = r.top < 0 ? r.top : (LblNoEngine.Visible() ? Px(kNoEngineLineHeight) : 0);
  WebBrowser1.Place(0, top, width, height - std::max(top, 0));
  LblNoEngine.Place(Px(8), 0, width - Px(16), Px(kNoEngineLineHeight));
  FitControl();
}

void TBrowserPage::FitControl() {
  if (!control_window_ || !IsWindow(control_window_)) return;
  RECT client;
  GetClientRect(WebBrowser1.hwnd(), &client);
  MoveWindow(control_window_, 0, 0, client.right, client.bottom, TRUE);
}

BrowserControl* TBrowserPage::control() {
  if (tried_) return control_.get();
  tried_ = true;
  try {
    if (host_.Deps().make_browser) {
      control_ = host_.Deps().make_browser();
    } else {
      RECT client;
      GetClientRect(WebBrowser1.hwnd(), &client);
      std::unique_ptr<BrowserHost> real = BrowserHost::Create(WebBrowser1.hwnd(), client);
      if (real) control_window_ = real->window();
      control_ = std::move(real);
    }
  }
  ZD_CATCH_LOG("TBrowserPage::control")
  return control_.get();
}

void TBrowserPage::ShowBrowser(WebSearcher& web) {
  const bool engine = web.HtmlEngineAvailable();
  LblNoEngine.SetText(engine ? "" : lang::Texts().NoHtmlEngine);
  LblNoEngine.Show(!engine);
  // Out of sight until now (see Create).
  const RECT r = WebBrowser1.RectInParent();
  if (r.top < 0) WebBrowser1.Place(0, 0, 10, 10);
  host_.Relayout();
  // Until our page is loaded, every showing of the tab tries again.
  if (engine) web.ShowSearchPage();
}

bool TBrowserPage::HtmlEngineAvailable() {
  BrowserControl* c = control();
  return c && c->HtmlEngineAvailable();
}

bool TBrowserPage::Navigate(const std::string& url) {
  BrowserControl* c = control();
  return c && c->Navigate(url);
}

int TBrowserPage::ReadyState() {
  BrowserControl* c = control();
  return c ? c->ReadyState() : kReadyUninitialized;
}

bool TBrowserPage::HasDocument() {
  BrowserControl* c = control();
  return c && c->HasDocument();
}

bool TBrowserPage::CallScriptFunction(const std::string& function, const std::string& argument) {
  BrowserControl* c = control();
  return c && c->CallScriptFunction(function, argument);
}

bool TBrowserPage::LoadHtml(const std::string& html) {
  BrowserControl* c = control();
  return c && c->LoadHtml(html);
}

}  // namespace zd
