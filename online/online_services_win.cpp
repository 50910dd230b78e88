#include "online/online_services_win.h"

#include <random>

#include "online/about_window_win.h"
#include "online/update_window_win.h"
#include "online/vendor_panel_win.h"

namespace zd {

// A message-only window: the search thread posts its news here.
struct OnlineServices::Impl : Window {
  static constexpr UINT kSearchMessage = kSearchDoneMessage;
  static constexpr UINT kOfferMessage = WM_APP + 32;
  OnlineServices* owner = nullptr;
  BackgroundJob<SearchOutcome> search;

  bool Create() {
    CreateArgs args;
    args.class_name = L"ZapdockOnlineMessages";
    args.parent = HWND_MESSAGE;
    return Window::Create(args);
  }
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == kSearchMessage && wp == static_cast<WPARAM>(JobEvent::kDone)) {
      owner->OnSearchDone();
      return 0;
    }
    if (msg == kOfferMessage) {
      if (owner->pending_offer_ && !owner->offers_held_) {
        const UpdateOffer offer = *owner->pending_offer_;
        owner->pending_offer_.reset();
        owner->MakeOffer(offer);
      }
      return 0;
    }
    return Window::OnMessage(msg, wp, lp);
  }
};

OnlineServices::OnlineServices(HINSTANCE instance, HWND main_window, OnlineDeps deps)
    : impl_(std::make_unique<Impl>()),
      instance_(instance),
      main_window_(main_window),
      deps_(std::move(deps)),
      texts_(lang::ServiceTextsFor(deps_.language_index)),
      names_(MakeOnlineNames(kProductKey)) {
  impl_->owner = this;
  if (deps_.servers.empty()) {
    std::random_device random;
    servers_ = PickServerList(random());
  } else {
    servers_ = deps_.servers;
  }
  // ActiveServer starts as the list's first entry.
  if (!servers_.empty()) active_server_ = NormalizeServerBase(servers_.front());
  if (deps_.about_title.empty()) {
    deps_.about_title = lang::Texts().AboutTitle;
    if (deps_.about_title.empty()) {
      lang::InterfaceTexts fallback;
      lang::LoadLanguageTables(deps_.language_index, {}, fallback);
      deps_.about_title = fallback.AboutTitle;
    }
  }
}

std::unique_ptr<OnlineServices> OnlineServices::Create(HINSTANCE instance, HWND main_window,
                                                       OnlineDeps deps) {
  if (!deps.http || !deps.processes || !deps.held_files || !deps.folders) return nullptr;
  std::unique_ptr<OnlineServices> services(
      new OnlineServices(instance, main_window, std::move(deps)));
  if (!services->impl_->Create()) return nullptr;
  return services;
}

std::unique_ptr<OnlineServices> OnlineServices::CreateOnSystem(HINSTANCE instance, HWND main_window,
                                                               OnlineDeps deps) {
  std::unique_ptr<HttpClient> http = deps.http ? nullptr : MakeSystemHttpClient();
  std::unique_ptr<Processes> processes = deps.processes ? nullptr : MakeSystemProcesses();
  std::unique_ptr<HeldFiles> held_files = deps.held_files ? nullptr : MakeSystemHeldFiles();
  std::unique_ptr<ShellFolders> folders = deps.folders ? nullptr : MakeSystemShellFolders();
  if (http) deps.http = http.get();
  if (processes) deps.processes = processes.get();
  if (held_files) deps.held_files = held_files.get();
  if (folders) deps.folders = folders.get();
  std::unique_ptr<OnlineServices> services = Create(instance, main_window, std::move(deps));
  if (!services) return nullptr;
  services->own_http_ = std::move(http);
  services->own_processes_ = std::move(processes);
  services->own_held_files_ = std::move(held_files);
  services->own_folders_ = std::move(folders);
  return services;
}

OnlineServices::~OnlineServices() {
  // The threads first: after this nothing posts to our windows.
  impl_->search.Stop(BackgroundJob<SearchOutcome>::kStopWaitMs);
  update_.reset();
  home_.reset();
  panel_.reset();
  about_.reset();
}

int OnlineServices::MessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption,
                                   UINT flags) {
  return ShowMessageBox(deps_.message_box, owner, text, caption, flags);
}

bool OnlineServices::OpenWebAddress(const std::string& address) {
  if (!IsHttpUrl(address)) return false;
  return deps_.processes->ShellOpen(address, "open", "") == ShellStart::kStarted;
}

bool OnlineServices::StartServerSearch() {
  if (!gate_.TryStart()) return false;
  SearchRequest request;
  request.servers = servers_;
  request.app_key = deps_.app_key;
  request.running_version = deps_.version;
  request.server_signature = kServerSignature;
  request.timeout_ms = deps_.search_timeout_ms;
  HttpClient* http = deps_.http;
  const HWND target = impl_->hwnd();
  const bool started = impl_->search.Start(
      [request, http](const BackgroundJob<SearchOutcome>::Context& c) {
        return SearchServers(request, *http, c.cancel);
      },
      [target](JobEvent event) {
        PostMessageW(target, Impl::kSearchMessage, static_cast<WPARAM>(event), 0);
      });
  if (!started) {
    SearchOutcome not_run;
    not_run.cancelled = true;
    gate_.Finish(not_run);
  }
  return started;
}

void OnlineServices::OnSearchDone() {
  std::optional<SearchOutcome> outcome = impl_->search.Take();
  if (!outcome) return;
  gate_.Finish(*outcome);
  if (outcome->found) {
    server_found_ = true;
    active_server_ = outcome->active_server;
    latest_version_ = outcome->page.latest;
  }
  if (home_) home_->SearchDone();
  if (on_search_done) on_search_done(*outcome);
  if (update_offered_) return;
  const std::optional<UpdateOffer> offer = DecideUpdateOffer(*outcome, names_, deps_.version);
  if (!offer) return;
  update_offered_ = true;
  if (offers_held_) {
    pending_offer_ = offer;
    return;
  }
  MakeOffer(*offer);
}

void OnlineServices::MakeOffer(const UpdateOffer& offer) {
  if (on_update_offer) {
    on_update_offer(offer);
  } else {
    OfferUpdate(offer);
  }
}

void OnlineServices::HoldOffers(bool held) {
  offers_held_ = held;
  // Made from the message loop, not from inside the caller.
  if (!held && pending_offer_) PostMessageW(impl_->hwnd(), Impl::kOfferMessage, 0, 0);
}

void OnlineServices::MainWindowClosed() {
  if (update_) update_->MainWindowClosed();
}

void OnlineServices::OfferUpdate(const UpdateOffer& offer) {
  if (MessageBoxUtf8(main_window_, texts_.UpdateQuestion, texts_.UpdateQuestionCaption,
                     MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  UpdateWindow::Deps deps;
  deps.http = deps_.http;
  deps.held_files = deps_.held_files;
  deps.processes = deps_.processes;
  deps.target_path = UpdateTargetPath(deps_.folders->TempFolder(), offer.setup_file_name);
  deps.key = UpdatePublicKey();
  deps.texts = &texts_;
  deps.message_box = [this](HWND owner, const std::string& text, const std::string& caption,
                            UINT flags) { return MessageBoxUtf8(owner, text, caption, flags); };
  deps.save_and_exit = deps_.save_and_exit;
  deps.start_ms = deps_.update_start_ms;
  deps.wait_ms = deps_.update_wait_ms;
  deps.timeout_ms = deps_.download_timeout_ms;
  deps.deadline_ms = deps_.download_deadline_ms;
  // Not owned by the main window: that one closes before the setup starts.
  update_ = UpdateWindow::Create(nullptr, std::move(deps));
  if (update_) update_->ShowModal(offer, main_window_);
}

void OnlineServices::ShowAbout() {
  if (!about_) {
    AboutWindow::Deps deps;
    deps.caption = deps_.about_title + " " + deps_.product_title;
    deps.product = deps_.product_title;
    deps.version = FormatVersion(deps_.version);
    deps.texts = &texts_;
    deps.open_home_page = [this] { OpenWebAddress(kVendorHomePage); };
    deps.test_build = IsTestUpdateKey();
    about_ = AboutWindow::Create(main_window_, std::move(deps));
  }
  if (about_) about_->ShowAnimated();
}

void OnlineServices::OpenDemoNotes() {
  OpenWebAddress(active_server_ + names_.DemoPath + "#detail");
}

HWND OnlineServices::CreateVendorPanel(HWND parent, int x, int y) {
  VendorPanel::Deps deps;
  deps.texts = &texts_;
  const lang::InterfaceTexts& shared = lang::Texts();
  deps.help_hint = shared.shared.size() > 11 ? shared.shared[11] : std::string();
  deps.exit_hint = shared.shared.size() > 8 ? shared.shared[8] : std::string();
  deps.open_demo_notes = [this] { OpenDemoNotes(); };
  deps.open_home_page = [this] { OpenWebAddress(kVendorHomePage); };
  deps.show_about = [this] { ShowAbout(); };
  deps.close_main_window = [this] {
    if (deps_.close_main_window) {
      deps_.close_main_window();
    } else if (main_window_) {
      PostMessageW(main_window_, WM_CLOSE, 0, 0);
    }
  };
  panel_ = VendorPanel::Create(parent, x, y, std::move(deps));
  return panel_ ? panel_->hwnd() : nullptr;
}

HWND OnlineServices::FillHomePage(HWND page) {
  VendorContentPage::Deps deps;
  deps.texts = &texts_;
  deps.page_views = deps_.page_views;
  deps.demo_path = names_.DemoPath;
  deps.start_search = [this] { return StartServerSearch(); };
  deps.server_found = [this] { return server_found_; };
  deps.searching = [this] { return gate_.running(); };
  deps.active_server = [this] { return active_server_; };
  deps.open_web_address = [this](const std::string& address) { return OpenWebAddress(address); };
  home_ = VendorContentPage::Create(page, std::move(deps));
  return home_ ? home_->hwnd() : nullptr;
}

void OnlineServices::ResizeDemoPage() {
  if (home_) home_->Resize();
}

}  // namespace zd
