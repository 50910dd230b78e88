// The settings of section "default" as the first load applies them to the window.
#pragma once

#include "store/settings_file.h"

namespace zd {

inline constexpr int kMinCheckInterval = 60;
inline constexpr int kMaxCheckInterval = 600;
inline constexpr int kDefaultCheckInterval = 120;

struct DefaultSettings {
  bool show_fav_edit = true;
  bool run_select_doc = false;
  bool refresh = false;
  bool query_auto_run_doc = false;
  int control_index = 0;
  int check_interval = kDefaultCheckInterval;  // seconds, clamped
  int hotkey = 1;                              // the launcher's hotkey choice: Ctrl pressed twice
  bool rank_search = true;                     // false: search results oldest first
};

int ClampCheckInterval(int seconds);
DefaultSettings ReadDefaultSettings(const SettingsFile& settings);

}  // namespace zd
