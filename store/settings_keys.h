// The keys of section "default": the one list that the window's handlers, the
// start-up load and the exit save all use.
#pragma once

#include "store/program_files.h"

namespace zd::setting {

struct Key {
  const char* section;
  const char* name;
};

inline constexpr Key kRefresh{kSectionDefault, "CbRefresh"};
inline constexpr Key kCheckDocInterval{kSectionDefault, "CheckDocInterval"};
inline constexpr Key kControlIndex{kSectionDefault, "ControlIndex"};
inline constexpr Key kShowFavEdit{kSectionDefault, "ShowFavEdit"};
inline constexpr Key kRunSelectDoc{kSectionDefault, "RunSelectDoc"};
inline constexpr Key kQueryAutoRunDoc{kSectionDefault, "QueryAutoRunDoc"};
inline constexpr Key kNeedRemoveUrl{kSectionDefault, "needremoveurl"};
inline constexpr Key kNeedRemoveAllStart{kSectionDefault, "needRemoveAllStart"};
inline constexpr Key kWidth{kSectionDefault, "width"};
inline constexpr Key kHeight{kSectionDefault, "height"};
// The launcher: its global hotkey (a choice, 0 off) and ranked search results.
inline constexpr Key kHotkey{kSectionDefault, "Hotkey"};
inline constexpr Key kRankSearch{kSectionDefault, "RankSearch"};
// Written the moment the tray menu's pause switch changes.
inline constexpr Key kPauseRecording{kSectionDefault, "PauseRecording"};

}  // namespace zd::setting
