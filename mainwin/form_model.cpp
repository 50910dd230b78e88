#include "mainwin/form_model.h"

#include <algorithm>
#include <cmath>

#include "tracking/doc_kinds.h"

namespace zd {

int TabIndexOfPage(int page_index) {
  if (page_index < 0 || page_index >= kTVControlPageCount) return -1;
  if (!kTVControlPages[page_index].tab_visible) return -1;
  int tab = 0;
  for (int i = 0; i < page_index; ++i) {
    if (kTVControlPages[i].tab_visible) ++tab;
  }
  return tab;
}

int PageIndexOfTab(int tab_index) {
  int tab = 0;
  for (int i = 0; i < kTVControlPageCount; ++i) {
    if (!kTVControlPages[i].tab_visible) continue;
    if (tab == tab_index) return i;
    ++tab;
  }
  return -1;
}

int PageOfStored(int stored) {
  for (int i = 0; i < kTVControlPageCount; ++i) {
    if (kTVControlPages[i].stored == stored) return i;
  }
  return 0;
}

int StoredOfPage(int page_index) {
  return page_index >= 0 && page_index < kTVControlPageCount ? kTVControlPages[page_index].stored
                                                             : 0;
}

std::optional<DocKind> TreeKindOfPage(int page_index) {
  if (page_index < 0 || page_index >= kTVControlPageCount) return std::nullopt;
  return KindOfPage(kTVControlPages[page_index].page);
}

bool ShowsAllDocsTree(int page_index) {
  return page_index >= 0 && page_index < kTVControlPageCount &&
         kTVControlPages[page_index].page == Ui::SystemSheet;
}

static int Scaled(int value, double scale) { return static_cast<int>(std::lround(value * scale)); }

WindowRect InitialWindowRect(int screen_width, int screen_height, double scale) {
  WindowRect r;
  r.width = Scaled(kDesignWidth, scale);
  r.height = Scaled(kDesignHeight, scale);
  r.left = screen_width - Scaled(1005, scale);
  r.top = screen_height - Scaled(645, scale);
  return r;
}

WindowRect BottomRightRect(int screen_width, int screen_height, int width, int height,
                           double scale) {
  WindowRect r;
  r.width = width;
  r.height = height;
  r.left = screen_width - width - Scaled(20, scale);
  r.top = screen_height - height - Scaled(50, scale);
  return r;
}

WindowRect FitIntoWorkArea(WindowRect r, const WorkArea& area) {
  const int area_width = std::max(0, area.right - area.left);
  const int area_height = std::max(0, area.bottom - area.top);
  r.width = std::min(r.width, area_width);
  r.height = std::min(r.height, area_height);
  r.left = std::clamp(r.left, area.left, area.right - r.width);
  r.top = std::clamp(r.top, area.top, area.bottom - r.height);
  return r;
}

int ScrollBarPosition(int code, int position, int track_position, int minimum, int maximum) {
  int next = position;
  switch (static_cast<ScrollCode>(code)) {
    case ScrollCode::kLineLeft:
      next = position - 1;
      break;
    case ScrollCode::kLineRight:
      next = position + 1;
      break;
    case ScrollCode::kPageLeft:
      next = position - kScrollPageStep;
      break;
    case ScrollCode::kPageRight:
      next = position + kScrollPageStep;
      break;
    case ScrollCode::kThumbPosition:
    case ScrollCode::kThumbTrack:
      next = track_position;
      break;
    case ScrollCode::kLeft:
      next = minimum;
      break;
    case ScrollCode::kRight:
      next = maximum;
      break;
    default:
      return -1;
  }
  return std::clamp(next, minimum, maximum);
}

bool IsUninstallStart(const std::vector<std::string>& args) {
  return !args.empty() && args[0] == "uninstall";
}

StartGate WaitForPreviousCopy(const PreviousCopy& previous) {
  bool shown = false;
  for (int waited = 0; waited < kStartWaitLimitMs; waited += kStartWaitStepMs) {
    if (previous.hand_over()) return StartGate::kHandedOver;
    if (previous.wait_for_end(kStartWaitStepMs)) return StartGate::kGoOn;
    if (!shown && waited + kStartWaitStepMs >= kStartWaitShownAfterMs) {
      shown = true;
      previous.show_waiting();
    }
  }
  return StartGate::kGaveUp;
}

}  // namespace zd
