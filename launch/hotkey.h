// The global hotkey that brings the launcher forward from anywhere: which
// one the settings chose, and the double tap of a modifier key as the
// keyboard hook sees it (press and release, twice, nothing else between).
#pragma once

#include <cstdint>
#include <string>

#include "lang/lang_tables.h"

namespace zd {

// Stored as the setting "Hotkey"; the order of the settings page's choices.
enum class HotkeyChoice : int {
  kOff = 0,
  kDoubleCtrl = 1,
  kDoubleShift = 2,
  kAltSpace = 3,
  kCtrlAltZ = 4,
};
inline constexpr int kHotkeyChoiceCount = 5;
inline constexpr HotkeyChoice kDefaultHotkey = HotkeyChoice::kDoubleCtrl;
// A stored value outside the choices falls back to the default.
HotkeyChoice HotkeyChoiceOf(int stored);
bool IsDoubleTap(HotkeyChoice choice);
// What the settings page calls a choice ("Alt+空格"), and what a message
// naming a taken key says.
const std::string& HotkeyText(HotkeyChoice choice, const lang::InterfaceTexts& texts);

class DoubleTap {
 public:
  // A press held longer is no tap; a second press later than this after the
  // first release starts over.
  static constexpr uint32_t kTapMs = 400;
  static constexpr uint32_t kGapMs = 400;

  enum class Key { kTapped, kOther };
  // One key going down or up at `time_ms` (the system's tick count, which
  // may wrap). True when it completes a double tap: the second release.
  bool OnKey(Key key, bool down, uint32_t time_ms);

 private:
  enum class State { kIdle, kFirstDown, kFirstUp, kSecondDown };
  State state_ = State::kIdle;
  uint32_t since_ = 0;  // when the state began
};

}  // namespace zd
