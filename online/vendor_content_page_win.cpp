#include "online/vendor_content_page_win.h"

#include <commctrl.h>

#include <algorithm>

#include "online/online_names.h"
#include "platform/resources_win.h"
#include "platform/win_util_win.h"

namespace zd {
namespace {

constexpr int kHintHeight = 26, kBarHeight = 28, kTabHeight = 24;

// Enter in the address edit navigates the advert view.
LRESULT CALLBACK AddressEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                 DWORD_PTR data) {
  if (msg == WM_GETDLGCODE && wp == VK_RETURN) return DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && wp == VK_RETURN) {
    reinterpret_cast<VendorContentPage*>(data)->EdtAddressEnter();
    return 0;
  }
  if (msg == WM_CHAR && wp == L'\r') return 0;
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

VendorContentPage::VendorContentPage(Deps deps)
    : deps_(std::move(deps)), model_(deps_.texts->FetchingVersion) {}

std::unique_ptr<VendorContentPage> VendorContentPage::Create(HWND parent, Deps deps) {
  std::unique_ptr<VendorContentPage> page(new VendorContentPage(std::move(deps)));
  return Made(std::move(page), CreateArgs::Child(L"ZapdockDemoPage", parent, Place::kFillParent));
}

VendorContentPage::~VendorContentPage() {
  demo_view_.reset();
  advert_view_.reset();
  hidden_view_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
}

void VendorContentPage::OnCreate() {
  const lang::ServiceTexts& t = *deps_.texts;
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  constexpr auto kText = Fonts::kMessage;
  ControlFactory& f = factory_;
  f.Make(PageTabs, WC_TABCONTROLW, "", kChild | WS_CLIPSIBLINGS | TCS_FOCUSNEVER, hwnd_, 0, 0, 10,
         10, 0, kText);
  PageTabs.AddTab(t.DemoTab);
  constexpr DWORD kSheet = WS_CHILD | WS_CLIPCHILDREN;
  f.Make(PnlDemo, kPanelClass, "", kSheet | WS_VISIBLE, hwnd_, 0, 0, 10, 10, WS_EX_CONTROLPARENT);
  f.Make(PnlHot, kPanelClass, "", kSheet, hwnd_, 0, 0, 10, 10, WS_EX_CONTROLPARENT);
  f.Make(PnlHint, kPanelClass, "", kSheet, hwnd_, 0, 0, 10, 10, WS_EX_CONTROLPARENT);
  f.Make(LblNoEngine, L"STATIC", t.NoBrowserEngine, WS_CHILD | SS_LEFT, PnlDemo.hwnd(), 0, 0, 10,
         10, 0, kText);
  f.Make(BtnOpenDemo, L"BUTTON", t.OpenDemoInBrowser, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON,
         PnlDemo.hwnd(), 0, 0, 10, 10, 0, kText);
  f.Make(LblAddress, L"STATIC", t.AddressLabel, kChild | SS_RIGHT | SS_CENTERIMAGE, PnlHot.hwnd(),
         0, 0, 10, 10, 0, kText);
  f.Make(EdtAddress, L"EDIT", "", kChild | WS_TABSTOP | ES_AUTOHSCROLL, PnlHot.hwnd(), 0, 0, 10, 10,
         WS_EX_CLIENTEDGE, kText);
  SetWindowSubclass(EdtAddress.hwnd(), AddressEditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  new_win_glyph_ = LoadBmpResource(L"btnNewWin");
  close_glyph_ = LoadBmpResource(L"btnCloseAvert");
  f.Make(BtnNewWin, L"BUTTON", t.OpenAdvertWindow, kChild | WS_TABSTOP | BS_BITMAP, PnlHot.hwnd(),
         0, 0, 10, 10, 0, kText);
  BtnNewWin.SetImage(new_win_glyph_.get());
  f.Make(BtnCloseAvert, L"BUTTON", t.CloseAdvert, kChild | WS_TABSTOP | BS_BITMAP, PnlHot.hwnd(), 0,
         0, 10, 10, 0, kText);
  BtnCloseAvert.SetImage(close_glyph_.get());
  f.Make(LblHint, L"STATIC", "", kChild | SS_LEFT | SS_CENTERIMAGE | SS_ENDELLIPSIS, PnlHint.hwnd(),
         0, 0, 10, 10, 0, kText);
  f.Make(Progress, PROGRESS_CLASSW, "", WS_CHILD, PnlHint.hwnd(), 0, 0, 10, 10);
  f.Make(BtnRefresh, L"BUTTON", t.RefreshButton, kChild | WS_TABSTOP | BS_PUSHBUTTON,
         PnlHint.hwnd(), 0, 0, 10, 10, 0, kText);
  SendMessageW(Progress.hwnd(), PBM_SETRANGE32, 0, 100);
  OnClick(BtnRefresh, [this] { BtnRefreshClick(); });
  OnClick(BtnNewWin, [this] { BtnNewWinClick(); });
  OnClick(BtnCloseAvert, [this] { BtnCloseAvertClick(); });
  OnClick(BtnOpenDemo, [this] { BtnOpenDemoClick(); });
  CreateViews();
  model_.Created();
  Apply();
}

void VendorContentPage::CreateViews() {
  if (!deps_.page_views) return;
  demo_view_ = deps_.page_views(PnlDemo.hwnd());
  advert_view_ = deps_.page_views(PnlHot.hwnd());
  hidden_view_ = deps_.page_views(hwnd_);
  if (demo_view_) {
    demo_view_->on_title_change = [this](const std::string& title) {
      PnlDemo.SetText(title);
      SetTabCaption(0, " " + title + "  ");
    };
    demo_view_->on_document_complete = [this](bool has_body) {
      if (has_body && demo_view_ && !demo_view_->Address().empty()) model_.PageLoaded();
      Apply();
    };
    demo_view_->on_new_window = [this](const std::string& url) { return ShowAdvert(url); };
  }
  if (advert_view_) {
    // The address box shows where the view went, links followed included.
    advert_view_->on_document_complete = [this](bool) {
      if (advert_view_) EdtAddress.SetText(advert_view_->Address());
    };
    // The advert's own new windows go to the hidden view, which refuses them.
    advert_view_->on_new_window = [](const std::string&) { return true; };
  }
  if (hidden_view_) {
    hidden_view_->SetBounds(0, 0, 1, 1);
    hidden_view_->Show(false);
    hidden_view_->on_new_window = [](const std::string&) { return true; };
  }
}

void VendorContentPage::Layout() {
  const auto [w, h] = ClientSize();
  const int tab_h = Px(kTabHeight), hint_h = Px(kHintHeight), bar_h = Px(kBarHeight);
  const int body_h = std::max(0, h - tab_h - hint_h);
  PageTabs.Place(0, 0, w, tab_h);
  PnlDemo.Place(0, tab_h, w, body_h);
  PnlHot.Place(0, tab_h, w, body_h);
  PnlHint.Place(0, h - hint_h, w, hint_h);
  const int m = Px(8), button_w = Px(72), progress_w = Px(160);
  BtnRefresh.Place(w - button_w - 2, 1, button_w, hint_h - 2);
  Progress.Place(w - button_w - progress_w - m, Px(6), progress_w, hint_h - Px(12));
  LblHint.Place(m, 0, w - button_w - progress_w - 3 * m, hint_h);
  // Demo tab: the view, or the line that says there is none.
  if (demo_view_) demo_view_->SetBounds(0, 0, w, body_h);
  LblNoEngine.Place(Px(24), Px(24), w - Px(48), Px(20));
  BtnOpenDemo.Place(Px(24), Px(52), Px(220), Px(28));
  // Advert tab: the address bar, then the view.
  const int label_w = Px(40), glyph_w = Px(28);
  LblAddress.Place(0, 2, label_w, bar_h - 4);
  EdtAddress.Place(label_w + 4, 3, w - label_w - 2 * glyph_w - 12, bar_h - 6);
  BtnNewWin.Place(w - 2 * glyph_w - 4, 2, glyph_w, bar_h - 4);
  BtnCloseAvert.Place(w - glyph_w - 2, 2, glyph_w, bar_h - 4);
  if (advert_view_) advert_view_->SetBounds(0, bar_h, w, std::max(0, body_h - bar_h));
  LblNoEngine.Show(!demo_view_);
  BtnOpenDemo.Show(!demo_view_);
}

void VendorContentPage::Resize() {
  RECT rc{};
  GetClientRect(GetParent(hwnd_), &rc);
  MoveWindow(hwnd_, 0, 0, rc.right, rc.bottom, TRUE);
  Layout();
}

void VendorContentPage::Apply() {
  const ContentPanelView& v = model_.view();
  const std::pair<Timer, std::pair<bool, int>> timers[] = {
      {kTimerFirstRun, {v.first_run_timer, ContentPanel::kFirstRunMs}},
      {kTimerRefreshWB, {v.refresh_timer, ContentPanel::kRefreshMs}},
      {kTimerRun, {v.run_timer, ContentPanel::kRunMs}},
  };
  for (const auto& [id, want] : timers) {
    if (want.first == timers_[id]) continue;
    timers_[id] = want.first;
    if (want.first) {
      SetTimer(hwnd_, id, static_cast<UINT>(want.second), nullptr);
    } else {
      KillTimer(hwnd_, id);
    }
  }
  const Shown want{v.progress_visible, v.progress, v.hint_visible, v.hint,
                   deps_.server_found && deps_.server_found()};
  const bool all = !shown_;
  if (all || want.progress_visible != shown_->progress_visible)
    Progress.Show(want.progress_visible);
  if (all || want.progress != shown_->progress) Progress.SetPosition(want.progress);
  if (all || want.hint_visible != shown_->hint_visible) PnlHint.Show(want.hint_visible);
  if (all || want.hint != shown_->hint) LblHint.SetText(want.hint);
  if (all || want.open_enabled != shown_->open_enabled) {
    EnableWindow(BtnOpenDemo.hwnd(), want.open_enabled);
  }
  shown_ = want;
}

LRESULT VendorContentPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == kTimerFirstRun) TimerFirstRunTimer();
      if (wp == kTimerRefreshWB) TimerRefreshWBTimer();
      if (wp == kTimerRun) TimerRunTimer();
      return 0;
    case WM_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMHDR*>(lp);
      if (nm->hwndFrom == PageTabs.hwnd() && nm->code == TCN_SELCHANGE) {
        ShowTab(PageTabs.Selected());
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, kFormColor);
      return reinterpret_cast<LRESULT>(FormBrush());
    }
    case WM_DESTROY:
      for (UINT_PTR id : {kTimerFirstRun, kTimerRefreshWB, kTimerRun}) KillTimer(hwnd_, id);
      return 0;
  }
  return Window::OnMessage(msg, wp, lp);
}

void VendorContentPage::SetTabCaption(int index, const std::string& caption) {
  PageTabs.SetTabText(index, caption);
}

void VendorContentPage::ShowTab(int index) {
  PnlDemo.Show(index == 0);
  PnlHot.Show(index == 1);
  PageTabs.Select(index);
}

void VendorContentPage::TimerFirstRunTimer() { BtnRefreshClick(); }

void VendorContentPage::BtnRefreshClick() {
  model_.Start();
  if (deps_.start_search) deps_.start_search();
  if (hidden_view_ && deps_.server_found && deps_.server_found()) {
    hidden_view_->Navigate(deps_.active_server() + "online/");
  }
  Apply();
}

void VendorContentPage::TimerRefreshWBTimer() {
  const bool found = deps_.server_found && deps_.server_found();
  const bool running = deps_.searching && deps_.searching();
  if (model_.RefreshTick(found, running)) {
    if (demo_view_) demo_view_->Navigate(DemoAddress());
    ShowTab(0);
  }
  Apply();
}

void VendorContentPage::TimerRunTimer() {
  model_.RunTick();
  Apply();
}

void VendorContentPage::SearchDone() {
  // The refresh timer sees the outcome at its next tick; the button that
  // opens the demo in the browser depends on it now.
  Apply();
}

std::string VendorContentPage::DemoAddress() const {
  return deps_.active_server ? deps_.active_server() + deps_.demo_path : std::string();
}

void VendorContentPage::BtnOpenDemoClick() {
  if (deps_.open_web_address) deps_.open_web_address(DemoAddress());
}

bool VendorContentPage::ShowAdvert(const std::string& url) {
  if (!IsHttpUrl(url)) return true;  // refused: the page gets no window either
  if (!hot_visible_) {
    PageTabs.InsertTab(1, deps_.texts->HotTab);
    hot_visible_ = true;
  }
  EdtAddress.SetText(url);
  if (advert_view_) advert_view_->Navigate(url);
  ShowTab(1);
  return true;
}

void VendorContentPage::EdtAddressEnter() {
  if (advert_view_) advert_view_->Navigate(EdtAddress.Text());
}

void VendorContentPage::BtnNewWinClick() {
  // The address comes from a remote page: only web addresses reach the shell.
  const std::string address = EdtAddress.Text();
  if (IsHttpUrl(address) && deps_.open_web_address) deps_.open_web_address(address);
}

void VendorContentPage::BtnCloseAvertClick() {
  if (advert_view_) advert_view_->Navigate("about:blank");
  if (hot_visible_) {
    PageTabs.DeleteTab(1);
    hot_visible_ = false;
  }
  ShowTab(0);
}

}  // namespace zd
