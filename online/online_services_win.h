// The online services as the main window uses them: the vendor button panel,
// the vendor-content page, the server search with the update offer, and the
// about box. Everything here runs on the interface thread; the search and
// the download run on worker threads and post their results back.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lang/lang_tables.h"
#include "lang/service_texts.h"
#include "online/online_names.h"
#include "online/server_search.h"
#include "online/update_check.h"
#include "online/vendor_content_page_win.h"
#include "platform/held_file.h"
#include "platform/http_client.h"
#include "platform/page_view.h"
#include "platform/processes.h"
#include "platform/shell_folders.h"
#include "platform/window_win.h"
#include "zd_version.h"

namespace zd {

class AboutWindow;
class UpdateWindow;
class VendorPanel;

struct OnlineDeps {
  HttpClient* http = nullptr;
  Processes* processes = nullptr;
  HeldFiles* held_files = nullptr;
  ShellFolders* folders = nullptr;
  // ServerList: the test run's list, or empty for one of the five orderings
  // picked at random.
  std::vector<std::string> servers;
  int language_index = lang::LanguageIndex;
  std::string app_key = "VAROV";
  float version = ZD_VERSION_NUMBER;
  std::string product_title = "MRXZapdock";  // the about box's product name
  std::string about_title;                   // empty: the language table's
  PageViewFactory page_views;
  MessageBoxFn message_box;  // empty: the system's message box
  // Saves everything as a normal close does and closes the main window; the
  // verified setup starts right after it (after MainWindowClosed when the
  // window closes only at the end of its start-up load). kRefused keeps the
  // program running and the setup unstarted.
  std::function<MainWindowClose()> save_and_exit;
  // The vendor panel's exit button.
  std::function<void()> close_main_window;
  // Timings (tests shorten them).
  int search_timeout_ms = 5000;
  int update_start_ms = 250;
  int update_wait_ms = 1000;
  int download_timeout_ms = 30000;
  int download_deadline_ms = 5 * 60 * 1000;
};

class OnlineServices {
 public:
  // What the search's worker posts to the interface thread when it is done.
  static constexpr UINT kSearchDoneMessage = WM_APP + 31;
  static std::unique_ptr<OnlineServices> Create(HINSTANCE instance, HWND main_window,
                                                OnlineDeps deps);
  // The same on the real system: the HTTP client, processes, held files and
  // shell folders that `deps` leaves empty are the system's, owned here.
  static std::unique_ptr<OnlineServices> CreateOnSystem(HINSTANCE instance, HWND main_window,
                                                        OnlineDeps deps);
  // Stops the search and a running download before any window goes.
  ~OnlineServices();
  OnlineServices(const OnlineServices&) = delete;
  OnlineServices& operator=(const OnlineServices&) = delete;

  // The vendor button panel (help menu, exit) as a child of `parent`, its
  // top-left corner at (x, y) in design pixels (96 DPI; scaled to the
  // parent's DPI). Returns the panel's window.
  HWND CreateVendorPanel(HWND parent, int x, int y);
  // Fills `page` (the "我的主页" page) with the vendor-content page, sized to
  // it; it follows WM_SIZE of `page` only when told by ResizeDemoPage. The
  // page starts the server search one second later.
  HWND FillHomePage(HWND page);
  void ResizeDemoPage();
  // Starts a server search now. False while one runs, or after a round that
  // found no server (then searching stays off for the run).
  bool StartServerSearch();
  // The about box, created on first use, faded in.
  void ShowAbout();
  // The vendor's notes on the demo ("帮助文档"): the active server's demo
  // page at "#detail", in the default browser.
  void OpenDemoNotes();
  // The question, then the update window, modal. Normally called for the
  // first offer of the run.
  void OfferUpdate(const UpdateOffer& offer);
  // While held (during the main window's start-up load, which lets messages
  // through) an offer waits; it is made once they are let go.
  void HoldOffers(bool held);
  bool offer_waiting() const { return pending_offer_.has_value(); }
  // The main window has saved and is going.
  void MainWindowClosed();

  // Called after each search round (on the interface thread).
  std::function<void(const SearchOutcome&)> on_search_done;
  // Called once per run with the first offer; empty: OfferUpdate.
  std::function<void(const UpdateOffer&)> on_update_offer;

  bool server_found() const { return server_found_; }
  bool searching() const { return gate_.running(); }
  bool searching_allowed() const { return gate_.allowed(); }
  const std::string& active_server() const { return active_server_; }
  float latest_version() const { return latest_version_; }
  const std::vector<std::string>& server_list() const { return servers_; }
  const OnlineNames& names() const { return names_; }
  const lang::ServiceTexts& texts() const { return texts_; }
  HWND main_window() const { return main_window_; }
  AboutWindow* about_window() { return about_.get(); }
  UpdateWindow* update_window() { return update_.get(); }
  VendorContentPage* demo_page() { return home_.get(); }
  VendorPanel* vendor_panel() { return panel_.get(); }

  // Opens an address with the shell ("open", in the default browser). Only
  // http and https addresses: a page's text never starts a program.
  bool OpenWebAddress(const std::string& address);
  int MessageBoxUtf8(HWND owner, const std::string& text, const std::string& caption, UINT flags);

 private:
  OnlineServices(HINSTANCE instance, HWND main_window, OnlineDeps deps);
  void OnSearchDone();
  void MakeOffer(const UpdateOffer& offer);

  struct Impl;
  std::unique_ptr<Impl> impl_;
  // The system's services when CreateOnSystem made them.
  std::unique_ptr<HttpClient> own_http_;
  std::unique_ptr<Processes> own_processes_;
  std::unique_ptr<HeldFiles> own_held_files_;
  std::unique_ptr<ShellFolders> own_folders_;
  HINSTANCE instance_;
  HWND main_window_;
  OnlineDeps deps_;
  const lang::ServiceTexts& texts_;
  OnlineNames names_;
  std::vector<std::string> servers_;
  SearchGate gate_;
  std::string active_server_;
  bool server_found_ = false;
  float latest_version_ = 1.0f;
  bool update_offered_ = false;
  bool offers_held_ = false;
  std::optional<UpdateOffer> pending_offer_;
  std::unique_ptr<AboutWindow> about_;
  std::unique_ptr<UpdateWindow> update_;
  std::unique_ptr<VendorContentPage> home_;
  std::unique_ptr<VendorPanel> panel_;
};

}  // namespace zd
