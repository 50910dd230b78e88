// The web browser control in our own container, where the system has no HTML
// engine (Wine with its engine switched off): it is created, navigates and
// answers, never holds a document, and the web search goes to the default
// browser at once instead of waiting.
#include <windows.h>
// windows.h must come first
#include <gtest/gtest.h>
#include <ole2.h>

#include "launch/web_search.h"
#include "platform/browser_host_win.h"
#include "platform/errors.h"
#include "platform/fake_shell_launcher.h"

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
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
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
  host->SetBounds(RECT{10, 10, 210, 110});
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
