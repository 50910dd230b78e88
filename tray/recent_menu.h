// The tray menu's content as data: what a click on the icon means, and the
// entries of the recent-documents submenu.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

enum class TrayClick { kNone, kShowWindow, kOpenMenu };
// What the icon reports, by the version the shell speaks to it. With
// NOTIFYICON_VERSION_4 (`version4`, the event in the low word of lParam): a
// selection by mouse or keyboard (NIN_SELECT, NIN_KEYSELECT: a click, Enter
// or Space on the icon) brings the window back and a context menu request
// (WM_CONTEXTMENU: a right click, Shift+F10, the menu key) opens the menu;
// the raw button messages that come before them mean nothing. Without it: a
// left press brings the window back, a right press opens the menu. Double
// clicks and releases do nothing either way.
TrayClick ClassifyTrayMessage(uint32_t event, bool version4 = false);

inline constexpr size_t kRecentMenuEntries = 20;
inline constexpr size_t kMenuCaptionChars = 60;

struct RecentMenuEntry {
  std::string caption;
  // The document the entry showed when the menu was built: a refresh that
  // inserts lines while the menu is open does not change what it opens.
  std::string path;
  std::string name;
};

// The submenu from top to bottom: the first 20 lines at most, the newest
// (line 0, numbered 1) at the bottom.
std::vector<RecentMenuEntry> RecentMenuEntries(const std::vector<std::string>& lines);

// A name as a menu shows it: "&" doubled (else it marks an accelerator), cut
// at 60 characters with "…".
std::string MenuText(std::string_view name);

}  // namespace zd
