// The update offer and the main window's start-up load, which lets messages
// through while it runs: the offer waits for its end, and a setup accepted
// inside it starts only after the window has saved and closed.
#include <windows.h>

#include <gtest/gtest.h>

#include "online/online_services_win.h"
#include "online/update_signing_for_tests.h"
#include "online/update_window_win.h"
#include "platform/fake_held_file.h"
#include "platform/fake_http_client.h"
#include "platform/fake_processes.h"
#include "platform/fake_shell_folders.h"
#include "platform/window_win.h"
#include "tests/win/main_window_fixture.h"

namespace zd {
namespace {

constexpr char kServer[] = "http://s/";
const std::string kSetup = std::string(100000, 'S') + "MZ";
constexpr UINT kOfferNow = WM_APP + 77;

class UpdateDuringLoad : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    if (std::string(ZD_TEST_UPDATE_SEED).empty()) GTEST_SKIP() << "release key: no test signatures";
    http_.Serve(std::string(kServer) + "vazozod/VAROV3.5.htm",
                signer_.Page(kServerSignature, "3.6", kSetup));
    http_.Serve(std::string(kServer) + "vazozod/update/zd/setupZD.exe", kSetup);
  }
  void TearDown() override {
    // The window refers to the services until it is gone.
    form_.reset();
    services_.reset();
    MainWindowFixture::TearDown();
  }
  OnlineServices& Attach(MainWindow& form) {
    OnlineDeps deps;
    deps.http = &http_;
    deps.processes = &processes_;
    deps.held_files = &held_;
    deps.folders = &folders_;
    deps.servers = {kServer};
    deps.message_box = [this, &form](HWND, const std::string& text, const std::string&, UINT) {
      questions_.push_back({text, form.loading()});
      return IDYES;
    };
    deps.save_and_exit = [&form] { return form.CloseForUpdate(); };
    deps.update_start_ms = 1;
    deps.update_wait_ms = 1;
    services_ = OnlineServices::Create(GetModuleHandleW(nullptr), form.hwnd(), deps);
    EXPECT_NE(services_, nullptr);
    form.AttachOnline(services_.get());
    return *services_;
  }
  // Waits until the search has posted its answer to this thread, without taking it.
  static bool WaitForSearchAnswer() {
    constexpr UINT kDone = OnlineServices::kSearchDoneMessage;
    for (int i = 0; i < 1000; ++i) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, kDone, kDone, PM_NOREMOVE)) return true;
      Sleep(10);
    }
    return false;
  }

  FakeHttpClient http_;
  FakeProcesses processes_;
  FakeHeldFiles held_;
  FakeShellFolders folders_;
  TestSigner signer_{ZD_TEST_UPDATE_SEED};
  std::unique_ptr<OnlineServices> services_;
  struct Question {
    std::string text;
    bool during_load;
  };
  std::vector<Question> questions_;
};

TEST_F(UpdateDuringLoad, TheOfferIsMadeOnlyAfterTheLoad) {
  MainWindow& form = Open();
  OnlineServices& s = Attach(form);
  ASSERT_TRUE(s.StartServerSearch());
  ASSERT_TRUE(WaitForSearchAnswer());
  // The search's answer is taken inside the load.
  form.TimerFirstRunTimer();
  EXPECT_TRUE(questions_.empty());
  for (int i = 0; i < 500 && questions_.empty(); ++i) {
    Pump();
    Sleep(10);
  }
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0].text, s.texts().UpdateQuestion);
  EXPECT_FALSE(questions_[0].during_load);
  // Accepted: downloaded, saved, closed, started.
  EXPECT_FALSE(IsWindow(form.hwnd()));
  ASSERT_EQ(processes_.started().size(), 1u);
  EXPECT_EQ(processes_.started()[0].file, folders_.temp + "setupZD.exe");
}

TEST_F(UpdateDuringLoad, ASetupAcceptedInsideTheLoadStartsAfterItAndTheSave) {
  MainWindow& form = Open();
  OnlineServices& s = Attach(form);
  SearchOutcome found;
  found.found = true;
  found.active_server = kServer;
  found.page = ReadVersionPage(signer_.Page(kServerSignature, "3.6", kSetup), kServerSignature);
  const std::optional<UpdateOffer> offer = DecideUpdateOffer(found, s.names(), 3.5f);
  ASSERT_TRUE(offer);
  // Accepted inside the load, as an offer made just before it would be: the
  // download then ends inside the load too.
  struct Offerer : Window {
    OnlineServices* services = nullptr;
    UpdateOffer offer;
    bool Make() {
      CreateArgs args;
      args.class_name = L"ZdTestOfferer";
      args.parent = HWND_MESSAGE;
      return Create(args);
    }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
      if (msg == kOfferNow) services->OfferUpdate(offer);
      return Window::OnMessage(msg, wp, lp);
    }
  } offerer;
  offerer.services = &s;
  offerer.offer = *offer;
  ASSERT_TRUE(offerer.Make());
  PostMessageW(offerer.hwnd(), kOfferNow, 0, 0);
  form.TimerFirstRunTimer();
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_TRUE(questions_[0].during_load);
  ASSERT_NE(s.update_window(), nullptr);
  EXPECT_EQ(s.update_window()->outcome(), UpdateWindow::Outcome::kWaitingForClose);
  EXPECT_TRUE(processes_.started().empty()) << "not while the load runs";
  EXPECT_TRUE(IsWindow(form.hwnd()));
  // The close asked for during the load comes at its end; then the setup.
  Pump();
  EXPECT_FALSE(IsWindow(form.hwnd()));
  EXPECT_NE(File("defualt.ini"), "<missing>") << "saved before the setup runs";
  EXPECT_EQ(s.update_window()->outcome(), UpdateWindow::Outcome::kStarted);
  ASSERT_EQ(processes_.started().size(), 1u);
  EXPECT_EQ(processes_.started()[0].file, folders_.temp + "setupZD.exe");
  EXPECT_EQ(held_.Get(folders_.temp + "setupZD.exe").content, kSetup);
}

// The content page (its web views, and the server search it starts) waits
// for the history: made when the queue is first empty after the load, or
// when its tab is chosen before that.
TEST_F(UpdateDuringLoad, TheContentPageComesAfterTheLoadOrWithItsTab) {
  enum class Then { kLoad, kChooseTab, kDetachAndLoad };
  struct Case {
    const char* name;
    Then then;
    bool page_made;
  };
  const Case cases[] = {
      {"after the load", Then::kLoad, true},
      {"its tab chosen first", Then::kChooseTab, true},
      // Nothing waits for services that went: the programs' pictures still come.
      {"services gone before the load", Then::kDetachAndLoad, false},
  };
  Store("defualt.ini", "[docs]\r\nname0=Gone\r\ndoctype0=2\r\npath0=C:\\Gone\\gone.exe\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainWindow& form = Open();
    OnlineServices& s = Attach(form);
    EXPECT_EQ(s.demo_page(), nullptr) << "not before the load";
    if (c.then == Then::kChooseTab) {
      form.OuterTabs.Select(1);
      NMHDR change{form.OuterTabs.hwnd(),
                   static_cast<UINT_PTR>(GetDlgCtrlID(form.OuterTabs.hwnd())),
                   static_cast<UINT>(TCN_SELCHANGE)};
      SendMessageW(form.hwnd(), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
    } else {
      if (c.then == Then::kDetachAndLoad) form.AttachOnline(nullptr);
      form.TimerFirstRunTimer();
      EXPECT_EQ(s.demo_page(), nullptr) << "not inside the load";
      ASSERT_EQ(form.store().docs.size(), 1u);
      for (int i = 0;
           i < 300 && (form.store().docs[0].image_pending || (c.page_made && !s.demo_page()));
           ++i) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        Pump();
      }
      EXPECT_FALSE(form.store().docs[0].image_pending);
    }
    ASSERT_EQ(s.demo_page() != nullptr, c.page_made);
    if (c.page_made) {
      // Shown on its sheet when its tab is (the test's window itself is never shown).
      const HWND page_window = s.demo_page()->hwnd(), sheet_window = GetParent(page_window);
      const bool tab = c.then == Then::kChooseTab;
      EXPECT_EQ((GetWindowLongPtrW(sheet_window, GWL_STYLE) & WS_VISIBLE) != 0, tab);
      EXPECT_TRUE(GetWindowLongPtrW(page_window, GWL_STYLE) & WS_VISIBLE);
      RECT page{}, sheet{};
      GetClientRect(page_window, &page);
      GetClientRect(sheet_window, &sheet);
      EXPECT_EQ(page.right, sheet.right) << "it fills its sheet";
      EXPECT_EQ(page.bottom, sheet.bottom);
    }
    Close();
  }
}

}  // namespace
}  // namespace zd
