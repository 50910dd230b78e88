// The online windows on fakes: the search and the update offer through the
// interface thread, the update window's outcomes, the about box, the vendor
// panel and its help menu, and the vendor-content page.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "lang/lang_tables.h"
#include "online/about_window_win.h"
#include "online/online_services_win.h"
#include "online/update_signing_for_tests.h"
#include "online/update_window_win.h"
#include "online/vendor_content_page_win.h"
#include "online/vendor_panel_win.h"
#include "platform/errors.h"
#include "platform/fake_browser_control.h"
#include "platform/fake_held_file.h"
#include "platform/fake_http_client.h"
#include "platform/fake_processes.h"
#include "platform/fake_shell_folders.h"
#include "platform/wide_win.h"
#include "platform/win_util_win.h"
#include "platform/window_win.h"
#include "tests/win/window_input.h"

namespace zd {
namespace {

// An embedded view that records what it was asked and fires events on demand.
class FakePageView : public PageView {
 public:
  explicit FakePageView(std::vector<FakePageView*>* all) { all->push_back(this); }
  bool Navigate(const std::string& url) override {
    visited.push_back(url);
    return true;
  }
  std::string Address() override { return visited.empty() ? "" : visited.back(); }
  void SetBounds(int, int, int w, int h) override { size = {w, h}; }
  void Show(bool v) override { visible = v; }
  std::vector<std::string> visited;
  std::pair<int, int> size{};
  bool visible = true;
};

// Counts the messages that change a control (its text, its visibility, its
// bar's position) while it lives.
struct ChangeCount {
  int count = 0;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR data) {
    if (msg == WM_SETTEXT || msg == WM_SHOWWINDOW || msg == PBM_SETPOS || msg == WM_ENABLE) {
      ++reinterpret_cast<ChangeCount*>(data)->count;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
};

constexpr char kServer[] = "http://s2/";
const std::string kSetup = std::string(200000, 'S') + "MZ";

class OnlineWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    RegisterWindowClassOnce(GetModuleHandleW(nullptr), L"ZdOnlineTestMain", DefWindowProcW,
                            GetSysColorBrush(COLOR_WINDOW));
    main_ = CreateWindowExW(0, L"ZdOnlineTestMain", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(main_, SW_SHOWNOACTIVATE);
    failures_before_ = CaughtFailureCount();
  }
  void TearDown() override {
    services_.reset();
    if (IsWindow(main_)) DestroyWindow(main_);
    PumpFor(10);
  }
  // `views`: the content page's views; unset: FakePageView.
  OnlineServices& Make(PageViewFactory views = {}) {
    OnlineDeps deps;
    deps.http = &http_;
    deps.processes = &processes_;
    deps.held_files = &held_;
    deps.folders = &folders_;
    deps.servers = {"http://s1/", kServer};
    deps.language_index = 0;
    deps.about_title = "关于";
    deps.message_box = [this](HWND, const std::string& text, const std::string& caption, UINT) {
      boxes_.push_back(caption + "|" + text);
      return answer_;
    };
    deps.save_and_exit = [this] {
      ++saved_;
      return MainWindowClose::kClosed;
    };
    deps.close_main_window = [this] { ++closed_; };
    deps.page_views = views ? std::move(views) : [this](HWND) -> std::unique_ptr<PageView> {
      return std::make_unique<FakePageView>(&views_);
    };
    deps.update_start_ms = 1;
    deps.update_wait_ms = 1;
    services_ = OnlineServices::Create(GetModuleHandleW(nullptr), main_, deps);
    EXPECT_NE(services_, nullptr);
    return *services_;
  }
  // The version page and the setup, signed with this build's test key.
  void Serve(const std::string& version, const std::string& served_setup) {
    http_.Serve(std::string(kServer) + "vazozod/VAROV3.5.htm",
                signer_.Page(kServerSignature, version, kSetup));
    FakeHttpClient::Answer setup;
    setup.body = served_setup;
    setup.piece = 16384;
    http_.Serve(std::string(kServer) + "vazozod/update/zd/setupZD.exe", setup);
  }
  bool Search(OnlineServices& s) {
    int done = 0;
    s.on_search_done = [&done](const SearchOutcome&) { ++done; };
    if (!s.StartServerSearch()) return false;
    PumpFor(10000, [&] { return done > 0; });
    return done == 1;
  }
  std::vector<FakeProcesses::Start> Opened() const { return processes_.started(); }
  // A page of the main window for the vendor-content page to fill.
  HWND MakePage() const {
    return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, main_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  }

  HWND main_ = nullptr;
  FakeHttpClient http_;
  FakeProcesses processes_;
  FakeHeldFiles held_;
  FakeShellFolders folders_;
  TestSigner signer_{ZD_TEST_UPDATE_SEED};
  std::unique_ptr<OnlineServices> services_;
  std::vector<FakePageView*> views_;
  std::vector<std::string> boxes_;
  int answer_ = IDYES;
  int saved_ = 0, closed_ = 0;
  uint64_t failures_before_ = 0;
};

#define ZD_NEED_TEST_KEY()                      \
  if (std::string(ZD_TEST_UPDATE_SEED).empty()) \
  GTEST_SKIP() << "release key: "               \
                  "no test signatures"

TEST_F(OnlineWindows, ANewerSignedVersionIsOfferedOnceDownloadedAndStartedAfterSaving) {
  ZD_NEED_TEST_KEY();
  Serve("3.6", kSetup);
  OnlineServices& s = Make();
  ASSERT_TRUE(Search(s));
  EXPECT_TRUE(s.server_found());
  EXPECT_EQ(s.active_server(), kServer);
  EXPECT_FLOAT_EQ(s.latest_version(), 3.6f);
  const lang::ServiceTexts& t = s.texts();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0], t.UpdateQuestionCaption + "|" + t.UpdateQuestion);
  ASSERT_NE(s.update_window(), nullptr);
  EXPECT_EQ(s.update_window()->outcome(), UpdateWindow::Outcome::kStarted);
  EXPECT_EQ(saved_, 1) << "saved before the setup started";
  const std::string target = folders_.temp + "setupZD.exe";
  ASSERT_EQ(Opened().size(), 1u);
  EXPECT_EQ(Opened()[0].file, target);
  EXPECT_EQ(Opened()[0].verb, "open");
  EXPECT_EQ(held_.Get(target).content, kSetup);
  EXPECT_EQ(s.update_window()->shown_progress(),
            (std::pair<uint64_t, uint64_t>(kSetup.size(), kSetup.size())));
  EXPECT_FALSE(IsWindow(s.update_window()->hwnd()));
  // Once per run: a second round asks nothing.
  ASSERT_TRUE(Search(s));
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(CaughtFailureCount(), failures_before_);
}

TEST_F(OnlineWindows, NoMeansNothingIsDownloaded) {
  ZD_NEED_TEST_KEY();
  Serve("3.6", kSetup);
  answer_ = IDNO;
  OnlineServices& s = Make();
  ASSERT_TRUE(Search(s));
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(s.update_window(), nullptr);
  for (const std::string& url : http_.requests()) EXPECT_FALSE(url.ends_with(".exe")) << url;
  EXPECT_EQ(saved_, 0);
}

// Each failure after the offer is named in the update window's box, and the
// setup is deleted; a tampered setup is refused before anything starts.
TEST_F(OnlineWindows, EachFailureSaysWhatHappened) {
  ZD_NEED_TEST_KEY();
  const lang::ServiceTexts& t = lang::ServiceTextsFor(0);
  std::string tampered = kSetup;
  tampered[10] = 'X';
  struct Case {
    const char* what;
    HttpStatus download;  // of the setup
    const std::string& served;
    ShellStart start;  // of the checked setup
    const std::string* message;
    bool checked;  // the setup passed its checks: saved before it was started
  };
  const Case cases[] = {
      {"tampered", HttpStatus::kOk, tampered, ShellStart::kStarted, &t.UpdateCheckFailed, false},
      {"not on the server", HttpStatus::kHttpError, kSetup, ShellStart::kStarted,
       &t.DownloadAddressFailed, false},
      {"elevation declined", HttpStatus::kOk, kSetup, ShellStart::kDeclined,
       &t.UpdateElevationDeclined, true},
      {"setup not started", HttpStatus::kOk, kSetup, ShellStart::kFailed, &t.UpdateStartFailed,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Serve("3.6", kSetup);
    const bool downloaded = c.download == HttpStatus::kOk;
    http_.Serve(std::string(kServer) + "vazozod/update/zd/setupZD.exe",
                FakeHttpClient::Answer{c.download, downloaded ? 200 : 404, c.served});
    processes_.start_fails = c.start == ShellStart::kFailed;
    processes_.start_declined = c.start == ShellStart::kDeclined;
    boxes_.clear();
    saved_ = 0;
    OnlineServices& s = Make();
    ASSERT_TRUE(Search(s));
    ASSERT_EQ(boxes_.size(), 2u);
    EXPECT_EQ(boxes_[1], t.UpdateWindowCaption + "|" + *c.message);
    EXPECT_EQ(s.update_window()->outcome(), UpdateWindow::Outcome::kFailed);
    EXPECT_EQ(saved_ == 1, c.checked) << "saved only for a setup that passed its checks";
    if (!c.checked) EXPECT_TRUE(Opened().empty());
    EXPECT_TRUE(held_.Get(folders_.temp + "setupZD.exe").deleted);
  }
}

TEST_F(OnlineWindows, ClosingTheUpdateWindowKeepsTheSetupFromStarting) {
  ZD_NEED_TEST_KEY();
  // Closed by its frame, and by its cancel button.
  for (bool by_button : {false, true}) {
    SCOPED_TRACE(by_button ? "button" : "frame");
    Serve("3.6", kSetup);
    OnlineServices& s = Make();
    http_.before_answer = [&s, by_button](const std::string& url) {
      if (!url.ends_with(".exe")) return;
      UpdateWindow& w = *s.update_window();
      if (by_button) {
        w.BtnCancel.PostClick();
      } else {
        PostMessageW(w.hwnd(), WM_CLOSE, 0, 0);
      }
      // The close reaches the window while the download still runs.
      Sleep(300);
    };
    ASSERT_TRUE(Search(s));
    EXPECT_EQ(s.update_window()->outcome(), UpdateWindow::Outcome::kCancelled);
    EXPECT_TRUE(Opened().empty());
    EXPECT_EQ(saved_, 0);
    http_.before_answer = nullptr;
  }
}

TEST_F(OnlineWindows, NoServerMeansNoOfferAndNoMoreSearching) {
  OnlineServices& s = Make();
  ASSERT_TRUE(Search(s));
  EXPECT_FALSE(s.server_found());
  EXPECT_EQ(s.active_server(), "http://s1/") << "the list's first entry until one answers";
  EXPECT_TRUE(boxes_.empty());
  EXPECT_FALSE(s.searching_allowed());
  EXPECT_FALSE(s.StartServerSearch());
  EXPECT_EQ(http_.requests().size(), 2u);
}

TEST_F(OnlineWindows, TheAboutBoxOpensTheHomePageFromItsLabels) {
  OnlineServices& s = Make();
  s.ShowAbout();
  AboutWindow* about = s.about_window();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(IsWindowVisible(about->hwnd()));
  EXPECT_EQ(WindowTextUtf8(about->hwnd()), "关于 MRXZapdock");
  EXPECT_EQ(about->LblVersion.Text(), "3.5");
  // This build's key: made when it was configured (the tests sign with its
  // seed), or the release key. Only the first says "test build".
  const bool throwaway_key = !std::string(ZD_TEST_UPDATE_SEED).empty();
  const Label& test_build = about->LblTestBuild;
  EXPECT_EQ(test_build && IsWindowVisible(test_build.hwnd()), throwaway_key);
  if (throwaway_key) {
    EXPECT_EQ(test_build.Text(), s.texts().AboutTestBuild);
  }
  for (const Label* label : {&about->Picture, &about->LblVersion, &about->LblHome}) {
    SendMessageW(about->hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(label->hwnd()), STN_CLICKED),
                 reinterpret_cast<LPARAM>(label->hwnd()));
  }
  ASSERT_EQ(Opened().size(), 3u);
  for (const auto& o : Opened()) EXPECT_EQ(o.file, kVendorHomePage);
  SendMessageW(about->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(about->hwnd()));
  const HWND first = about->hwnd();
  s.ShowAbout();
  EXPECT_EQ(s.about_window()->hwnd(), first) << "kept for the run";
}

TEST_F(OnlineWindows, VendorPanelButtonsAndHelpMenu) {
  ZD_NEED_TEST_KEY();
  Serve("3.5", kSetup);
  OnlineServices& s = Make();
  ASSERT_TRUE(Search(s));
  lang::LoadLanguageTables(0, {}, lang::Texts());  // the buttons' hints
  const HWND panel = s.CreateVendorPanel(main_, 9, 100);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(GetParent(panel), main_);
  RECT rc{};
  GetWindowRect(panel, &rc);
  POINT at{rc.left, rc.top};
  ScreenToClient(main_, &at);
  EXPECT_EQ(at.x, ScalePx(9, main_));
  EXPECT_EQ(at.y, ScalePx(100, main_));
  VendorPanel& p = *s.vendor_panel();
  RECT help{}, exit{};
  GetWindowRect(p.BtnHelp.hwnd(), &help);
  GetWindowRect(p.BtnExit.hwnd(), &exit);
  EXPECT_EQ(exit.top - help.bottom, ScalePx(3, main_)) << "a column, 3 pixels apart";
  // Drawn as pictures, named by their hints for screen readers and other programs.
  const lang::InterfaceTexts& texts = lang::Texts();
  ASSERT_GT(texts.shared.size(), 11u);
  const std::pair<const Button*, const std::string*> names[] = {{&p.BtnHelp, &texts.shared[11]},
                                                                {&p.BtnExit, &texts.shared[8]}};
  for (const auto& [button, name] : names) {
    wchar_t text[64] = {};
    GetWindowTextW(button->hwnd(), text, 64);
    EXPECT_FALSE(name->empty());
    EXPECT_EQ(WideToUtf8(text), *name);
  }

  UniqueMenu menu = p.MakeHelpMenu();
  ASSERT_EQ(GetMenuItemCount(menu.get()), 4);
  EXPECT_EQ(GetMenuItemID(menu.get(), 2), 0u) << "a separator before the about entry";
  p.RunHelpCommand(VendorPanel::kDemoItem);
  p.RunHelpCommand(VendorPanel::kHomePageItem);
  ASSERT_EQ(Opened().size(), 2u);
  EXPECT_EQ(Opened()[0].file, std::string(kServer) + "vazozod/demo/zd/#detail");
  EXPECT_EQ(Opened()[1].file, kVendorHomePage);
  p.RunHelpCommand(VendorPanel::kAboutItem);
  ASSERT_NE(s.about_window(), nullptr);
  EXPECT_TRUE(IsWindowVisible(s.about_window()->hwnd()));
  SendMessageW(p.BtnExit.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(closed_, 1);
}

TEST_F(OnlineWindows, DemoPageFollowsTheSearchAndItsViews) {
  ZD_NEED_TEST_KEY();
  Serve("3.5", kSetup);
  OnlineServices& s = Make();
  const HWND page = MakePage();
  ASSERT_NE(s.FillHomePage(page), nullptr);
  VendorContentPage& d = *s.demo_page();
  ASSERT_EQ(views_.size(), 3u) << "demo, advert and hidden views";
  EXPECT_FALSE(views_[2]->visible);
  EXPECT_TRUE(d.model().view().first_run_timer);
  // The first-run tick starts the search; the refresh tick then shows the demo.
  d.TimerFirstRunTimer();
  EXPECT_TRUE(IsWindowVisible(d.Progress.hwnd()));
  {
    // Ticks of the search change what changes: the bar's position each
    // time, the hint's text once it is due, nothing else.
    ChangeCount hint, shown, bar;
    SetWindowSubclass(d.LblHint.hwnd(), ChangeCount::Proc, 1, reinterpret_cast<DWORD_PTR>(&hint));
    SetWindowSubclass(d.PnlHint.hwnd(), ChangeCount::Proc, 1, reinterpret_cast<DWORD_PTR>(&shown));
    SetWindowSubclass(d.Progress.hwnd(), ChangeCount::Proc, 1, reinterpret_cast<DWORD_PTR>(&bar));
    const int ticks = ContentPanel::kHintAfterTicks + 1;
    for (int i = 0; i < ticks; ++i) d.TimerRunTimer();
    RemoveWindowSubclass(d.LblHint.hwnd(), ChangeCount::Proc, 1);
    RemoveWindowSubclass(d.PnlHint.hwnd(), ChangeCount::Proc, 1);
    RemoveWindowSubclass(d.Progress.hwnd(), ChangeCount::Proc, 1);
    EXPECT_EQ(hint.count, 1);
    EXPECT_EQ(shown.count, 0);
    EXPECT_EQ(bar.count, ticks);
    EXPECT_FALSE(d.LblHint.Text().empty());
  }
  PumpFor(10000, [&] { return s.server_found(); });
  ASSERT_TRUE(s.server_found());
  d.TimerRefreshWBTimer();
  ASSERT_EQ(views_[0]->visited.size(), 1u);
  EXPECT_EQ(views_[0]->visited[0], std::string(kServer) + "vazozod/demo/zd/");
  EXPECT_FALSE(IsWindowVisible(d.Progress.hwnd()));
  views_[0]->on_title_change("演示");
  wchar_t caption[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = caption;
  item.cchTextMax = 64;
  SendMessageW(d.PageTabs.hwnd(), TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(WideToUtf8(caption), " 演示  ");
  views_[0]->on_document_complete(true);
  EXPECT_TRUE(d.model().page_loaded());

  // New windows of the demo page: web addresses open in the advert tab only.
  EXPECT_TRUE(views_[0]->on_new_window("file:///C:/Windows/notepad.exe"));
  EXPECT_FALSE(d.hot_tab_visible());
  EXPECT_TRUE(views_[0]->on_new_window("https://ads.example/a"));
  EXPECT_TRUE(d.hot_tab_visible());
  EXPECT_EQ(views_[1]->visited.back(), "https://ads.example/a");
  // Its "new window" button hands only web addresses to the shell.
  const std::pair<const char*, bool> addresses[] = {
      {"https://ads.example/a", true},
      {"file:///C:/Windows/notepad.exe", false},
      {"\\\\server\\share\\run.exe", false},
      {"C:\\Windows\\notepad.exe", false},
  };
  for (const auto& [address, opened] : addresses) {
    const size_t before = Opened().size();
    d.EdtAddress.SetText(address);
    d.BtnNewWinClick();
    EXPECT_EQ(Opened().size(), before + (opened ? 1 : 0)) << address;
  }
  d.BtnCloseAvertClick();
  EXPECT_FALSE(d.hot_tab_visible());
  EXPECT_EQ(views_[1]->visited.back(), "about:blank");
}

// The content page on the browser's page views under a fake engine: with an
// HTML engine the demo is navigated in the view, its title names the tab and
// the advert tab's address box follows its view; without one there is no view
// and the page keeps its one line.
TEST_F(OnlineWindows, TheContentPageShowsItsPageWhereThereIsAnEngine) {
  ZD_NEED_TEST_KEY();
  Serve("3.5", kSetup);
  for (const bool engine : {true, false}) {
    SCOPED_TRACE(engine ? "engine" : "no engine");
    services_.reset();
    std::vector<FakeBrowserControl*> made;
    OnlineServices& s = Make([&](HWND) {
      auto control = std::make_unique<FakeBrowserControl>();
      control->set_engine(engine);
      if (engine) made.push_back(control.get());
      return PageViewWithEngine(std::move(control));
    });
    const HWND page = MakePage();
    ASSERT_NE(s.FillHomePage(page), nullptr);
    VendorContentPage& d = *s.demo_page();
    EXPECT_EQ(d.demo_view() != nullptr, engine);
    EXPECT_EQ(IsWindowVisible(d.LblNoEngine.hwnd()) != FALSE, !engine);
    d.TimerFirstRunTimer();
    PumpFor(10000, [&] { return s.server_found(); });
    ASSERT_TRUE(s.server_found());
    d.TimerRefreshWBTimer();
    if (!engine) continue;
    ASSERT_EQ(made.size(), 3u) << "demo, advert and hidden views";
    FakeBrowserControl& demo = *made[0];
    ASSERT_FALSE(demo.calls().empty());
    EXPECT_EQ(demo.calls().back(), std::string("navigate ") + kServer + "vazozod/demo/zd/");
    demo.on_title_change("演示页");
    EXPECT_EQ(d.PageTabs.TabText(0), " 演示页  ");
    EXPECT_TRUE(demo.on_new_window("https://ads.example/a"));
    FakeBrowserControl& advert = *made[1];
    EXPECT_EQ(d.EdtAddress.Text(), "https://ads.example/a");
    advert.Navigate("https://ads.example/b");  // a link followed inside the view
    advert.on_document_complete(true);
    EXPECT_EQ(d.EdtAddress.Text(), "https://ads.example/b");
    DestroyWindow(page);
  }
}

TEST_F(OnlineWindows, WithoutAnEngineTheDemoOpensInTheBrowser) {
  ZD_NEED_TEST_KEY();
  Serve("3.5", kSetup);
  const HWND page = MakePage();
  // A service without web views: the page says so and offers the browser.
  OnlineDeps deps;
  deps.http = &http_;
  deps.processes = &processes_;
  deps.held_files = &held_;
  deps.folders = &folders_;
  deps.servers = {kServer};
  deps.message_box = [](HWND, const std::string&, const std::string&, UINT) { return IDNO; };
  services_ = OnlineServices::Create(GetModuleHandleW(nullptr), main_, deps);
  ASSERT_NE(services_->FillHomePage(page), nullptr);
  VendorContentPage& d = *services_->demo_page();
  EXPECT_TRUE(IsWindowVisible(d.LblNoEngine.hwnd()));
  EXPECT_FALSE(IsWindowEnabled(d.BtnOpenDemo.hwnd()));
  d.TimerFirstRunTimer();
  PumpFor(10000, [&] { return services_->server_found(); });
  d.TimerRefreshWBTimer();
  EXPECT_TRUE(IsWindowEnabled(d.BtnOpenDemo.hwnd()));
  d.BtnOpenDemoClick();
  ASSERT_EQ(Opened().size(), 1u);
  EXPECT_EQ(Opened()[0].file, std::string(kServer) + "vazozod/demo/zd/");
}

}  // namespace
}  // namespace zd
