// The web browser control in our own container, where the system has no HTML
// engine (Wine with its engine switched off): it is created, navigates and
// answers, never holds a document, makes no page view, and the web search
// goes to the default browser at once instead of waiting. Its events, given as
// an engine gives them, reach the page view.
#include <windows.h>
// windows.h must come first
#include <exdispid.h>
#include <gtest/gtest.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "launch/web_search.h"
#include "platform/browser_host_win.h"
#include "platform/com_ptr_win.h"
#include "platform/errors.h"
#include "platform/fake_shell_launcher.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

class BrowserHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    parent_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    caught_ = CaughtFailureCount();
  }
  void TearDown() override {
    EXPECT_EQ(CaughtFailureCount(), caught_) << LastCaughtFailure();
    if (parent_) DestroyWindow(parent_);
    OleUninitialize();
  }
  HWND parent_ = nullptr;
  uint64_t caught_ = 0;
};

TEST_F(BrowserHostTest, ControlWithoutAnEngineNavigatesButHoldsNoDocument) {
  auto host = BrowserHost::Create(parent_, RECT{0, 0, 300, 200});
  ASSERT_NE(host, nullptr) << "the system's web browser control could not be hosted";
  EXPECT_TRUE(IsWindow(host->window()));
  EXPECT_EQ(GetParent(host->window()), parent_);
  EXPECT_FALSE(host->HtmlEngineAvailable());
  EXPECT_TRUE(host->Navigate("about:blank"));
  for (int i = 0; i < 10; ++i) {
    Pump();
    Sleep(20);
  }
  const int state = host->ReadyState();
  EXPECT_GE(state, kReadyUninitialized);
  EXPECT_LE(state, kReadyComplete);
  EXPECT_FALSE(host->HasDocument());
  EXPECT_FALSE(host->CallScriptFunction("SearchNow", "x\"y"));
  EXPECT_FALSE(host->LoadHtml(BuiltInSearchPage()));
  EXPECT_EQ(BrowserHost::MakePageView(parent_), nullptr) << "no view without an engine";
  host->SetBounds(10, 10, 200, 100);
  RECT r{};
  GetWindowRect(host->window(), &r);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 100);
}

TEST_F(BrowserHostTest, WebSearchGoesToTheDefaultBrowserWithoutWaiting) {
  auto host = BrowserHost::Create(parent_, RECT{0, 0, 300, 200});
  ASSERT_NE(host, nullptr);
  FakeShellLauncher shell;
  int pumps = 0;
  WebSearcher web(host.get(), shell, {[&] { ++pumps; }, {}, {}, {}});
  web.ShowSearchPage();
  EXPECT_EQ(web.WebSearch("天气 & \"news\""), WebSearcher::Outcome::kDefaultBrowser);
  EXPECT_EQ(pumps, 0) << "nothing to wait for";
  ASSERT_EQ(shell.calls().size(), 1u);
  EXPECT_EQ(shell.calls()[0],
            "execute verb=open file=https://www.baidu.com/s?ie=utf-8&wd="
            "%E5%A4%A9%E6%B0%94%20%26%20%22news%22 params= show=1");
}

// One call of the control's event interface, its arguments in call order.
void Fire(IDispatch* events, DISPID id, std::vector<VARIANT> args) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXPECT_EQ(events->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
}

VARIANT Bstr(BSTR text) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = text;
  return v;
}

TEST_F(BrowserHostTest, TheEnginesEventsReachThePageView) {
  auto host = BrowserHost::Create(parent_, RECT{0, 0, 300, 200});
  ASSERT_NE(host, nullptr);
  IDispatch* events = host->event_sink();
  ASSERT_NE(events, nullptr);
  std::vector<std::string> seen;
  host->on_title_change = [&](const std::string& title) { seen.push_back("title " + title); };
  host->on_document_complete = [&](bool body) { seen.push_back(body ? "loaded" : "empty"); };
  host->on_new_window = [&](const std::string& url) {
    seen.push_back("new " + url);
    return url == "https://taken.example/";
  };
  UniqueBstr title, url, context, taken, left;
  *title.Put() = SysAllocString(L"演示页");
  *url.Put() = SysAllocString(L"http://s2/demo/");
  *context.Put() = SysAllocString(L"http://s2/demo/");
  *taken.Put() = SysAllocString(L"https://taken.example/");
  *left.Put() = SysAllocString(L"https://left.example/");
  Fire(events, DISPID_TITLECHANGE, {Bstr(title.get())});
  // DocumentComplete(pDisp, URL): a frame's end is not the page's.
  VARIANT address = Bstr(url.get());
  VARIANT address_ref;
  address_ref.vt = VT_VARIANT | VT_BYREF;
  address_ref.pvarVal = &address;
  VARIANT frame;
  frame.vt = VT_DISPATCH;
  frame.pdispVal = events;
  Fire(events, DISPID_DOCUMENTCOMPLETE, {frame, address_ref});
  frame.pdispVal = nullptr;  // the top page (no document without an engine)
  Fire(events, DISPID_DOCUMENTCOMPLETE, {frame, address_ref});
  // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): refused
  // for the page when the view takes it.
  const std::pair<BSTR, bool> windows[] = {{taken.get(), true}, {left.get(), false}};
  for (const auto& [target, cancelled] : windows) {
    IDispatch* made = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT out, cancel_ref, flags;
    out.vt = VT_DISPATCH | VT_BYREF;
    out.ppdispVal = &made;
    cancel_ref.vt = VT_BOOL | VT_BYREF;
    cancel_ref.pboolVal = &cancel;
    flags.vt = VT_UI4;
    flags.ulVal = 0;
    Fire(events, DISPID_NEWWINDOW3, {out, cancel_ref, flags, Bstr(context.get()), Bstr(target)});
    EXPECT_EQ(cancel == VARIANT_TRUE, cancelled);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"title 演示页", "empty", "new https://taken.example/",
                                            "new https://left.example/"}));
}

TEST_F(BrowserHostTest, HostsComeAndGoCleanly) {
  for (int i = 0; i < 3; ++i) {
    auto host = BrowserHost::Create(parent_, RECT{0, 0, 100, 100});
    ASSERT_NE(host, nullptr);
    host->Navigate("about:blank");
    Pump();
  }
}

}  // namespace
}  // namespace zd
