#include "online/content_panel.h"

namespace zd {

void ContentPanel::Created() { view_.first_run_timer = true; }

void ContentPanel::Start() {
  view_.first_run_timer = false;
  ticks_ = 0;
  page_loaded_ = false;
  view_.progress_visible = true;
  view_.progress = 0;
  view_.hint_visible = true;
  view_.run_timer = true;
  view_.refresh_timer = true;
}

bool ContentPanel::RefreshTick(bool server_found, bool search_running) {
  if (!server_found) {
    // A round that ended without a server leaves nothing to wait for.
    if (!search_running) view_.refresh_timer = false;
    return false;
  }
  view_.run_timer = false;
  view_.demo_tab_visible = true;
  view_.progress_visible = false;
  view_.progress = 0;
  view_.refresh_timer = false;
  return true;
}

void ContentPanel::StopRun() {
  view_.run_timer = false;
  view_.progress_visible = false;
  view_.hint.clear();
}

void ContentPanel::RunTick() {
  if (!view_.run_timer) return;
  view_.progress = view_.progress + kStep > 100 ? 0 : view_.progress + kStep;
  ++ticks_;
  if (page_loaded_) {
    StopRun();
  } else if (ticks_ > kGiveUpAfterTicks) {
    StopRun();
    view_.progress = 0;
  } else if (ticks_ > kHintAfterTicks) {
    view_.hint = fetching_hint_;
  }
}

void ContentPanel::PageLoaded() {
  page_loaded_ = true;
  view_.hint.clear();
}

}  // namespace zd
