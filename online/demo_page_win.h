// TFrmMyPControl: the vendor-content page on the main window's "我的主页"
// page. A demo tab with the vendor's demo page, a hidden advert tab with an
// address bar, and at the bottom the hint, the progress and the refresh
// button. Its timers follow DemoPanel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lang/service_texts.h"
#include "online/demo_panel.h"
#include "online/page_view.h"
#include "platform/handles_win.h"

namespace zd {

// Makes an embedded web view inside `parent`; nullptr when there is none.
using PageViewFactory = std::function<std::unique_ptr<PageView>(HWND parent)>;

class TFrmMyPControl {
 public:
  static constexpr wchar_t kClassName[] = L"ZapdockDemoPage";
  enum Control : int {
    kPageControl1 = 100,
    kPnlDemo,
    kPnlHot,
    kPnlHint,
    kLblHint,
    kBtnRefresh,
    kProgressBar1,
    kLblNoEngine,
    kBtnOpenDemo,
    kLblAddress,
    kEdtAddress,
    kBtnNewWin,
    kBtnCloseAvert,
  };
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

  static std::unique_ptr<TFrmMyPControl> Create(HINSTANCE instance, HWND page, Deps deps);
  ~TFrmMyPControl();
  TFrmMyPControl(const TFrmMyPControl&) = delete;
  TFrmMyPControl& operator=(const TFrmMyPControl&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND control(Control id) const;
  const DemoPanel& model() const { return model_; }
  bool hot_tab_visible() const { return hot_visible_; }
  // Fits the page's client area.
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

  HWND hwnd_ = nullptr;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

 private:
  explicit TFrmMyPControl(Deps deps);
  void FormCreate();
  void CreateViews();
  void Apply();  // the model's view onto the controls and timers
  void ShowTab(int index);
  void Layout();

  Deps deps_;
  DemoPanel model_;
  UniqueFont font_;
  UniqueBitmap new_win_glyph_, close_glyph_;
  std::unique_ptr<PageView> demo_view_, advert_view_, hidden_view_;
  bool hot_visible_ = false;
  bool timers_[4] = {};
};

}  // namespace zd
