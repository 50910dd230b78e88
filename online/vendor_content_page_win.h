// The vendor-content page on the main window's "我的主页" page: a demo tab
// with the vendor's demo page in the hosted browser view, an advert tab
// (shown for the demo page's new windows) with an address box that follows
// its view, and at the bottom the hint, the progress and the refresh button.
// Without an HTML engine the demo tab says so in one line and offers the
// demo in the default browser. Its timers follow ContentPanel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "lang/service_texts.h"
#include "online/content_panel.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/page_view.h"
#include "platform/window_win.h"

namespace zd {

// Makes an embedded web view inside `parent`; nullptr when there is none.
using PageViewFactory = std::function<std::unique_ptr<PageView>(HWND parent)>;

class VendorContentPage : public Window {
 public:
  enum Timer : UINT_PTR { kTimerFirstRun = 1, kTimerRefreshWB, kTimerRun };

  struct Deps {
    const lang::ServiceTexts* texts = nullptr;
    PageViewFactory page_views;
    std::string demo_path;  // "vazozod/demo/zd/"
    std::function<bool()> start_search;
    std::function<bool()> server_found;
    std::function<bool()> searching;
    std::function<std::string()> active_server;
    std::function<bool(const std::string&)> open_web_address;
  };

  // The page fills `parent`'s client area.
  static std::unique_ptr<VendorContentPage> Create(HWND parent, Deps deps);
  ~VendorContentPage() override;

  TabControl PageTabs;
  Panel PnlDemo, PnlHot, PnlHint;
  Label LblNoEngine;
  Button BtnOpenDemo;
  Label LblAddress;
  Edit EdtAddress;
  Button BtnNewWin, BtnCloseAvert;
  Label LblHint;
  ProgressBar Progress;
  Button BtnRefresh;

  const ContentPanel& model() const { return model_; }
  bool hot_tab_visible() const { return hot_visible_; }
  // The demo tab's view; null without an HTML engine.
  PageView* demo_view() const { return demo_view_.get(); }
  PageView* advert_view() const { return advert_view_.get(); }
  // Fits the parent's client area.
  void Resize();
  // A search round ended.
  void SearchDone();
  // Handlers, also for tests.
  void TimerFirstRunTimer();
  void TimerRefreshWBTimer();
  void TimerRunTimer();
  void BtnRefreshClick();
  void BtnNewWinClick();
  void BtnCloseAvertClick();
  void BtnOpenDemoClick();
  void EdtAddressEnter();
  // Shows the advert tab with `url` (a new-window request of the demo page).
  bool ShowAdvert(const std::string& url);
  std::string DemoAddress() const;

 private:
  explicit VendorContentPage(Deps deps);
  void OnCreate() override;
  void Layout() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void CreateViews();
  void Apply();  // the model's view onto the controls and timers
  void ShowTab(int index);
  void SetTabCaption(int index, const std::string& caption);

  Deps deps_;
  ContentPanel model_;
  UniqueBitmap new_win_glyph_, close_glyph_;
  std::unique_ptr<PageView> demo_view_, advert_view_, hidden_view_;
  bool hot_visible_ = false;
  bool timers_[4] = {};
  // What the controls show now: Apply runs at every tick of the server
  // search, and a control is changed only when its state does (each change
  // repaints it).
  struct Shown {
    bool progress_visible = false;
    int progress = 0;
    bool hint_visible = false;
    std::string hint;
    bool open_enabled = false;
  };
  std::optional<Shown> shown_;
};

}  // namespace zd
