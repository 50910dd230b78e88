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

void BrowserPage::Create(HWND parent) {
  ControlFactory& f = host_.Factory();
  f.Make(sheet, kPanelClass, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, parent, 0, 0, 10,
         10);
  f.Make(BrowserFrame, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
         sheet.hwnd(), 0, 0, 10, 10);
  f.Make(LblNoEngine, L"STATIC", "", WS_CHILD | WS_CLIPSIBLINGS | SS_LEFT | SS_CENTERIMAGE,
         sheet.hwnd(), 8, 0, 400, kNoEngineLineHeight);
  SetWindowPos(BrowserFrame.hwnd(), nullptr, 0, kMinimisedTop, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BrowserPage::Layout(int width, int height) {
  // Keeps its place out of sight until it is first shown.
  const RECT r = BrowserFrame.RectInParent();
  const int top = r.top < 0 ? r.top : (LblNoEngine.Visible() ? Px(kNoEngineLineHeight) : 0);
  BrowserFrame.Place(0, top, width, height - std::max(top, 0));
  LblNoEngine.Place(Px(8), 0, width - Px(16), Px(kNoEngineLineHeight));
  FitControl();
}

void BrowserPage::FitControl() {
  if (!control_window_ || !IsWindow(control_window_)) return;
  RECT client;
  GetClientRect(BrowserFrame.hwnd(), &client);
  MoveWindow(control_window_, 0, 0, client.right, client.bottom, TRUE);
}

BrowserControl* BrowserPage::control() {
  if (tried_) return control_.get();
  tried_ = true;
  try {
    if (host_.Deps().make_browser) {
      control_ = host_.Deps().make_browser();
    } else {
      RECT client;
      GetClientRect(BrowserFrame.hwnd(), &client);
      std::unique_ptr<BrowserHost> real = BrowserHost::Create(BrowserFrame.hwnd(), client);
      if (real) control_window_ = real->window();
      control_ = std::move(real);
    }
  }
  ZD_CATCH_LOG("BrowserPage::control")
  return control_.get();
}

void BrowserPage::ShowBrowser(WebSearcher& web) {
  const bool engine = web.HtmlEngineAvailable();
  LblNoEngine.SetText(engine ? "" : lang::Texts().NoHtmlEngine);
  LblNoEngine.Show(!engine);
  // Out of sight until now (see Create).
  const RECT r = BrowserFrame.RectInParent();
  if (r.top < 0) BrowserFrame.Place(0, 0, 10, 10);
  host_.Relayout();
  // Until our page is loaded, every showing of the tab tries again.
  if (engine) web.ShowSearchPage();
}

bool BrowserPage::HtmlEngineAvailable() {
  BrowserControl* c = control();
  return c && c->HtmlEngineAvailable();
}

bool BrowserPage::Navigate(const std::string& url) {
  BrowserControl* c = control();
  return c && c->Navigate(url);
}

int BrowserPage::ReadyState() {
  BrowserControl* c = control();
  return c ? c->ReadyState() : kReadyUninitialized;
}

bool BrowserPage::HasDocument() {
  BrowserControl* c = control();
  return c && c->HasDocument();
}

bool BrowserPage::CallScriptFunction(const std::string& function, const std::string& argument) {
  BrowserControl* c = control();
  return c && c->CallScriptFunction(function, argument);
}

bool BrowserPage::LoadHtml(const std::string& html) {
  BrowserControl* c = control();
  return c && c->LoadHtml(html);
}

std::string BrowserPage::Address() {
  BrowserControl* c = control();
  return c ? c->Address() : std::string();
}

}  // namespace zd
