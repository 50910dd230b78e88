// The system's web browser control, hosted in a child window by an OLE
// container of our own. Script error dialogs are silenced. It serves the page
// view: its title, load-complete and new-window events come from the
// control's event interface.
#pragma once

#include <windows.h>
// windows.h must come first
#include <exdisp.h>
#include <oleidl.h>

#include <memory>
#include <string>

#include "platform/browser_control.h"
#include "platform/com_ptr_win.h"

namespace zd {

class BrowserHost : public BrowserControl {
 public:
  // A child window of `parent` at `bounds` holding the control; nullptr when
  // the system has no web browser control at all. COM (OleInitialize) must be
  // initialised on the calling thread, which then owns the host.
  static std::unique_ptr<BrowserHost> Create(HWND parent, const RECT& bounds);
  ~BrowserHost() override;
  BrowserHost(const BrowserHost&) = delete;
  BrowserHost& operator=(const BrowserHost&) = delete;

  // Whether the system has an HTML engine, without making a control.
  static bool EngineInstalled();
  // A page view in a child window of `parent` where the system has an HTML
  // engine; nothing without one.
  static std::unique_ptr<PageView> MakePageView(HWND parent);

  HWND window() const { return window_; }
  // What the control calls with its events (tests call it as the control would).
  IDispatch* event_sink() const;

  bool HtmlEngineAvailable() override { return engine_; }
  bool Navigate(const std::string& url) override;
  std::string Address() override;
  void SetBounds(int x, int y, int width, int height) override;
  void Show(bool visible) override;
  int ReadyState() override;
  bool HasDocument() override;
  bool CallScriptFunction(const std::string& function, const std::string& argument) override;
  bool LoadHtml(const std::string& html) override;

  class Site;

 private:
  BrowserHost() = default;
  bool Embed(HWND parent, const RECT& bounds);
  void Connect();
  // The control's events, as the page view tells them.
  void TitleChanged(const std::string& title);
  void DocumentComplete(IDispatch* frame);
  bool NewWindow(const std::string& url);
  void FitToWindow();
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  HWND window_ = nullptr;
  ComPtr<Site> site_;
  ComPtr<IOleObject> ole_;
  ComPtr<IWebBrowser2> browser_;
  ComPtr<IConnectionPoint> connection_;
  DWORD cookie_ = 0;
  bool engine_ = false;
};

}  // namespace zd
