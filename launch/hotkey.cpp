#include "launch/hotkey.h"

namespace zd {

HotkeyChoice HotkeyChoiceOf(int stored) {
  if (stored < 0 || stored >= kHotkeyChoiceCount) return kDefaultHotkey;
  return static_cast<HotkeyChoice>(stored);
}

bool IsDoubleTap(HotkeyChoice choice) {
  return choice == HotkeyChoice::kDoubleCtrl || choice == HotkeyChoice::kDoubleShift;
}

const std::string& HotkeyText(HotkeyChoice choice, const lang::InterfaceTexts& texts) {
  switch (choice) {
    case HotkeyChoice::kDoubleCtrl:
      return texts.HotkeyDoubleCtrl;
    case HotkeyChoice::kDoubleShift:
      return texts.HotkeyDoubleShift;
    case HotkeyChoice::kAltSpace:
      return texts.HotkeyAltSpace;
    case HotkeyChoice::kCtrlAltZ:
      return texts.HotkeyCtrlAltZ;
    case HotkeyChoice::kOff:
      break;
  }
  return texts.HotkeyOff;
}

bool DoubleTap::OnKey(Key key, bool down, uint32_t time_ms) {
  if (key == Key::kOther) {
    // Ctrl+C and the like: no tap.
    if (down) state_ = State::kIdle;
    return false;
  }
  const uint32_t elapsed = time_ms - since_;  // unsigned: a wrapped tick count is fine
  switch (state_) {
    case State::kIdle:
      if (down) {
        state_ = State::kFirstDown;
        since_ = time_ms;
      }
      return false;
    case State::kFirstDown:
      // A repeat of the held key changes nothing.
      if (down) return false;
      if (elapsed > kTapMs) {
        state_ = State::kIdle;
      } else {
        state_ = State::kFirstUp;
        since_ = time_ms;
      }
      return false;
    case State::kFirstUp:
      if (!down) return false;
      // Too late for a second tap: this press may be the first of another.
      state_ = elapsed > kGapMs ? State::kFirstDown : State::kSecondDown;
      since_ = time_ms;
      return false;
    case State::kSecondDown:
      if (down) return false;
      state_ = State::kIdle;
      return elapsed <= kTapMs;
  }
  return false;
}

}  // namespace zd
