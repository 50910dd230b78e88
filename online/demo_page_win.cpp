#include "online/demo_page_win.h"

#include <commctrl.h>

#include "online/online_names.h"
#include "platform/resources_win.h"
#include "platform/window_class_win.h"

namespace zd {
namespace {

constexpr COLORREF kPageColor = RGB(245, 250, 254);
constexpr int kHintHeight = 26, kBarHeight = 28, kTabHeight = 24;

HBRUSH PageBrush() {
  static HBRUSH brush = CreateSolidBrush(kPageColor);
  return brush;
}

// A plain container that hands its children's notifications to the page.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_DRAWITEM:
      return SendMessageW(GetParent(hwnd), msg, wp, lp);
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}
constexpr wchar_t kPanelClassName[] = L"ZapdockDemoPanel";

// Enter in the address edit navigates the advert view.
LRESULT CALLBACK AddressEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                 DWORD_PTR data) {
  if (msg == WM_GETDLGCODE && wp == VK_RETURN) return DLGC_WANTALLKEYS;
  if (msg == WM_KEYDOWN && wp == VK_RETURN) {
    reinterpret_cast<TFrmMyPControl*>(data)->EdtAddressEnter();
    return 0;
  }
  if (msg == WM_CHAR && wp == L'\r') return 0;
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TFrmMyPControl::TFrmMyPControl(Deps deps)
    : deps_(std::move(deps)), model_(deps_.texts->FetchingVersion) {}

std::unique_ptr<TFrmMyPControl> TFrmMyPControl::Create(HINSTANCE instance, HWND page, Deps deps) {
  if (!RegisterWindowClassOnce(instance, kClassName, ObjectWindowProc<TFrmMyPControl>,
                               PageBrush()) ||
      !RegisterWindowClassOnce(instance, kPanelClassName, PanelProc, PageBrush())) {
    return nullptr;
  }
  std::unique_ptr<TFrmMyPControl> form(new TFrmMyPControl(std::move(deps)));
  RECT rc{};
  GetClientRect(page, &rc);
  CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                  0, rc.right, rc.bottom, page, nullptr, instance, form.get());
  if (!form->hwnd_) return nullptr;
  return form;
}

TFrmMyPControl::~TFrmMyPControl() {
  demo_view_.reset();
  advert_view_.reset();
  hidden_view_.reset();
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND TFrmMyPControl::control(Control id) const {
  // Controls sit on the page or on one of its panels.
  if (HWND direct = GetDlgItem(hwnd_, id)) return direct;
  for (Control panel : {kPnlDemo, kPnlHot, kPnlHint}) {
    if (HWND found = GetDlgItem(GetDlgItem(hwnd_, panel), id)) return found;
  }
  return nullptr;
}

void TFrmMyPControl::FormCreate() {
  font_ = MessageFont();
  HFONT f = font_.get();
  const lang::ServiceTexts& t = *deps_.texts;
  HWND tabs = MakeControl(hwnd_, WC_TABCONTROLW, "", WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER,
                          0, 0, 10, 10, kPageControl1, f);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::wstring caption = Utf8ToWide(t.DemoTab);
  item.pszText = caption.data();
  SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  const auto panel = [&](Control id, bool visible) {
    return CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClassName, L"",
                           WS_CHILD | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), 0, 0, 10, 10,
                           hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  };
  HWND demo = panel(kPnlDemo, true);
  HWND hot = panel(kPnlHot, false);
  HWND hint = panel(kPnlHint, false);
  MakeControl(demo, L"STATIC", t.NoBrowserEngine, SS_LEFT, 0, 0, 10, 10, kLblNoEngine, f);
  MakeControl(demo, L"BUTTON", t.OpenDemoInBrowser, WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10, 10,
              kBtnOpenDemo, f);
  MakeControl(hot, L"STATIC", t.AddressLabel, WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE, 0, 0, 10, 10,
              kLblAddress, f);
  HWND edit = MakeControl(hot, L"EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 10, 10,
                          kEdtAddress, f, WS_EX_CLIENTEDGE);
  SetWindowSubclass(edit, AddressEditProc, 1, reinterpret_cast<DWORD_PTR>(this));
  new_win_glyph_ = LoadBmpResource(L"btnNewWin");
  close_glyph_ = LoadBmpResource(L"btnCloseAvert");
  HWND new_win = MakeControl(hot, L"BUTTON", t.OpenAdvertWindow,
                             WS_VISIBLE | WS_TABSTOP | BS_BITMAP, 0, 0, 10, 10, kBtnNewWin, f);
  SendMessageW(new_win, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(new_win_glyph_.get()));
  HWND close = MakeControl(hot, L"BUTTON", t.CloseAdvert, WS_VISIBLE | WS_TABSTOP | BS_BITMAP, 0, 0,
                           10, 10, kBtnCloseAvert, f);
  SendMessageW(close, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(close_glyph_.get()));
  MakeControl(hint, L"STATIC", "", WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_ENDELLIPSIS, 0, 0, 10,
              10, kLblHint, f);
  MakeControl(hint, PROGRESS_CLASSW, "", 0, 0, 0, 10, 10, kProgressBar1, nullptr);
  MakeControl(hint, L"BUTTON", t.RefreshButton, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 10,
              10, kBtnRefresh, f);
  SendMessageW(control(kProgressBar1), PBM_SETRANGE32, 0, 100);
  CreateViews();
  Layout();
  model_.Created();
  Apply();
}

void TFrmMyPControl::CreateViews() {
  if (!deps_.page_views) return;
  demo_view_ = deps_.page_views(control(kPnlDemo));
  advert_view_ = deps_.page_views(control(kPnlHot));
  hidden_view_ = deps_.page_views(hwnd_);
  if (demo_view_) {
    demo_view_->on_title_change = [this](const std::string& title) {
      SetTextUtf8(control(kPnlDemo), title);
      std::wstring caption = Utf8ToWide(" " + title + "  ");
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = caption.data();
      SendMessageW(control(kPageControl1), TCM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    };
    demo_view_->on_document_complete = [this](bool has_body) {
      if (has_body && demo_view_ && !demo_view_->Address().empty()) model_.PageLoaded();
      Apply();
    };
    demo_view_->on_new_window = [this](const std::string& url) { return ShowAdvert(url); };
  }
  if (advert_view_) {
    // The advert's own new windows go to the hidden view, which refuses them.
    advert_view_->on_new_window = [](const std::string&) { return true; };
  }
  if (hidden_view_) {
    hidden_view_->SetBounds(0, 0, 1, 1);
    hidden_view_->Show(false);
    hidden_view_->on_new_window = [](const std::string&) { return true; };
  }
}

void TFrmMyPControl::Layout() {
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  const int w = rc.right, h = rc.bottom;
  const int tab_h = ScalePx(kTabHeight), hint_h = ScalePx(kHintHeight), bar_h = ScalePx(kBarHeight);
  const int body_h = std::max(0, h - tab_h - hint_h);
  MoveWindow(control(kPageControl1), 0, 0, w, tab_h, TRUE);
  MoveWindow(control(kPnlDemo), 0, tab_h, w, body_h, TRUE);
  MoveWindow(control(kPnlHot), 0, tab_h, w, body_h, TRUE);
  MoveWindow(control(kPnlHint), 0, h - hint_h, w, hint_h, TRUE);
  const int m = ScalePx(8), button_w = ScalePx(72), progress_w = ScalePx(160);
  MoveWindow(control(kBtnRefresh), w - button_w - 2, 1, button_w, hint_h - 2, TRUE);
  MoveWindow(control(kProgressBar1), w - button_w - progress_w - m, ScalePx(6), progress_w,
             hint_h - ScalePx(12), TRUE);
  MoveWindow(control(kLblHint), m, 0, std::max(0, w - button_w - progress_w - 3 * m), hint_h, TRUE);
  // Demo tab: the view, or the line that says there is none.
  if (demo_view_) demo_view_->SetBounds(0, 0, w, body_h);
  MoveWindow(control(kLblNoEngine), ScalePx(24), ScalePx(24), std::max(0, w - ScalePx(48)),
             ScalePx(20), TRUE);
  MoveWindow(control(kBtnOpenDemo), ScalePx(24), ScalePx(52), ScalePx(220), ScalePx(28), TRUE);
  // Advert tab: the address bar, then the view.
  const int label_w = ScalePx(40), glyph_w = ScalePx(28);
  MoveWindow(control(kLblAddress), 0, 2, label_w, bar_h - 4, TRUE);
  MoveWindow(control(kEdtAddress), label_w + 4, 3, std::max(0, w - label_w - 2 * glyph_w - 12),
             bar_h - 6, TRUE);
  MoveWindow(control(kBtnNewWin), w - 2 * glyph_w - 4, 2, glyph_w, bar_h - 4, TRUE);
  MoveWindow(control(kBtnCloseAvert), w - glyph_w - 2, 2, glyph_w, bar_h - 4, TRUE);
  if (advert_view_) advert_view_->SetBounds(0, bar_h, w, std::max(0, body_h - bar_h));
  const bool no_view = !demo_view_;
  ShowWindow(control(kLblNoEngine), no_view ? SW_SHOW : SW_HIDE);
  ShowWindow(control(kBtnOpenDemo), no_view ? SW_SHOW : SW_HIDE);
}

void TFrmMyPControl::Resize() {
  RECT rc{};
  GetClientRect(GetParent(hwnd_), &rc);
  MoveWindow(hwnd_, 0, 0, rc.right, rc.bottom, TRUE);
  Layout();
}

void TFrmMyPControl::Apply() {
  const DemoPanelView& v = model_.view();
  const std::pair<Timer, std::pair<bool, int>> timers[] = {
      {kTimerFirstRun, {v.first_run_timer, DemoPanel::kFirstRunMs}},
      {kTimerRefreshWB, {v.refresh_timer, DemoPanel::kRefreshMs}},
      {kTimerRun, {v.run_timer, DemoPanel::kRunMs}},
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
  ShowWindow(control(kProgressBar1), v.progress_visible ? SW_SHOW : SW_HIDE);
  SendMessageW(control(kProgressBar1), PBM_SETPOS, static_cast<WPARAM>(v.progress), 0);
  ShowWindow(control(kPnlHint), v.hint_visible ? SW_SHOW : SW_HIDE);
  SetTextUtf8(control(kLblHint), v.hint);
  EnableWindow(control(kBtnOpenDemo), deps_.server_found && deps_.server_found());
}

LRESULT TFrmMyPControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_SIZE:
      Layout();
      return 0;
    case WM_TIMER:
      if (wp == kTimerFirstRun) TimerFirstRunTimer();
      if (wp == kTimerRefreshWB) TimerRefreshWBTimer();
      if (wp == kTimerRun) TimerRunTimer();
      return 0;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kBtnRefresh:
          BtnRefreshClick();
          break;
        case kBtnNewWin:
          BtnNewWinClick();
          break;
        case kBtnCloseAvert:
          BtnCloseAvertClick();
          break;
        case kBtnOpenDemo:
          BtnOpenDemoClick();
          break;
      }
      return 0;
    case WM_NOTIFY: {
      const auto* nm = reinterpret_cast<const NMHDR*>(lp);
      if (nm->idFrom == kPageControl1 && nm->code == TCN_SELCHANGE) {
        ShowTab(static_cast<int>(SendMessageW(nm->hwndFrom, TCM_GETCURSEL, 0, 0)));
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetBkColor(dc, kPageColor);
      return reinterpret_cast<LRESULT>(PageBrush());
    }
    case WM_DESTROY:
      for (UINT_PTR id : {kTimerFirstRun, kTimerRefreshWB, kTimerRun}) KillTimer(hwnd_, id);
      return 0;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TFrmMyPControl::ShowTab(int index) {
  ShowWindow(control(kPnlDemo), index == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(control(kPnlHot), index == 1 ? SW_SHOW : SW_HIDE);
  SendMessageW(control(kPageControl1), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TFrmMyPControl::TimerFirstRunTimer() { BtnRefreshClick(); }

void TFrmMyPControl::BtnRefreshClick() {
  model_.Start();
  if (deps_.start_search) deps_.start_search();
  if (hidden_view_ && deps_.server_found && deps_.server_found()) {
    hidden_view_->Navigate(deps_.active_server() + "online/");
  }
  Apply();
}

void TFrmMyPControl::TimerRefreshWBTimer() {
  const bool found = deps_.server_found && deps_.server_found();
  const bool running = deps_.searching && deps_.searching();
  if (model_.RefreshTick(found, running)) {
    if (demo_view_) demo_view_->Navigate(DemoAddress());
    ShowTab(0);
  }
  Apply();
}

void TFrmMyPControl::TimerRunTimer() {
  model_.RunTick();
  Apply();
}

void TFrmMyPControl::SearchDone() {
  // The refresh timer sees the outcome at its next tick; the button that
  // opens the demo in the browser depends on it now.
  Apply();
}

std::string TFrmMyPControl::DemoAddress() const {
  return deps_.active_server ? deps_.active_server() + deps_.demo_path : std::string();
}

void TFrmMyPControl::BtnOpenDemoClick() {
  if (deps_.open_web_address) deps_.open_web_address(DemoAddress());
}

bool TFrmMyPControl::ShowAdvert(const std::string& url) {
  if (!IsHttpUrl(url)) return true;  // refused: the page gets no window either
  if (!hot_visible_) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    std::wstring caption = Utf8ToWide(deps_.texts->HotTab);
    item.pszText = caption.data();
    SendMessageW(control(kPageControl1), TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    hot_visible_ = true;
  }
  SetTextUtf8(control(kEdtAddress), url);
  if (advert_view_) advert_view_->Navigate(url);
  ShowTab(1);
  return true;
}

void TFrmMyPControl::EdtAddressEnter() {
  if (advert_view_) advert_view_->Navigate(TextUtf8(control(kEdtAddress)));
}

void TFrmMyPControl::BtnNewWinClick() {
  // The address comes from a remote page: only web addresses reach the shell.
  const std::string address = TextUtf8(control(kEdtAddress));
  if (IsHttpUrl(address) && deps_.open_web_address) deps_.open_web_address(address);
}

void TFrmMyPControl::BtnCloseAvertClick() {
  if (advert_view_) advert_view_->Navigate("about:blank");
  if (hot_visible_) {
    SendMessageW(control(kPageControl1), TCM_DELETEITEM, 1, 0);
    hot_visible_ = false;
  }
  ShowTab(0);
}

}  // namespace zd
