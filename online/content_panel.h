// The vendor-content page's progress and timers as a model: what the page
// shows after each tick, so that its rules are tested without a window.
#pragma once

#include <string>

namespace zd {

// What the page shows and which of its timers run.
struct ContentPanelView {
  bool first_run_timer = false;  // TimerFirstRun, 1000 ms, one tick
  bool refresh_timer = false;    // TimerRefreshWB, 200 ms
  bool run_timer = false;        // TimerRun, 100 ms
  bool progress_visible = false;
  int progress = 0;  // 0..100
  bool hint_visible = false;
  std::string hint;
  bool demo_tab_visible = false;
  bool operator==(const ContentPanelView&) const = default;
};

class ContentPanel {
 public:
  static constexpr int kFirstRunMs = 1000;
  static constexpr int kRefreshMs = 200;
  static constexpr int kRunMs = 100;
  static constexpr int kHintAfterTicks = 15;
  static constexpr int kGiveUpAfterTicks = 30;
  static constexpr int kStep = 10;

  explicit ContentPanel(std::string fetching_hint) : fetching_hint_(std::move(fetching_hint)) {}
  const ContentPanelView& view() const { return view_; }

  // The page was created: its first start comes with TimerFirstRun.
  void Created();
  // TimerFirstRun ticked, or the refresh button was pressed. The caller
  // starts the server search (if the gate lets it).
  void Start();
  // TimerRefreshWB ticked. True when the demo view should now go to the
  // active server's demo page (a server has been found).
  bool RefreshTick(bool server_found, bool search_running);
  // TimerRun ticked.
  void RunTick();
  // The demo view has loaded a page with a body.
  void PageLoaded();
  bool page_loaded() const { return page_loaded_; }
  int ticks() const { return ticks_; }

 private:
  void StopRun();
  std::string fetching_hint_;
  ContentPanelView view_;
  int ticks_ = 0;
  bool page_loaded_ = false;
};

}  // namespace zd
