#include "launch/hotkey.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zd {
namespace {

// "C" the tapped key down, "c" up, "X" another key down, "x" up; each with
// the time it came at.
struct Event {
  char what;
  uint32_t ms;
};

// The events after which the tap fired.
std::vector<size_t> Fired(const std::vector<Event>& events) {
  DoubleTap tap;
  std::vector<size_t> fired;
  for (size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    const bool mine = e.what == 'C' || e.what == 'c';
    const bool down = e.what == 'C' || e.what == 'X';
    if (tap.OnKey(mine ? DoubleTap::Key::kTapped : DoubleTap::Key::kOther, down, e.ms)) {
      fired.push_back(i);
    }
  }
  return fired;
}

TEST(DoubleTap, TwoQuickTapsAndNothingElse) {
  struct Case {
    const char* what;
    std::vector<Event> events;
    std::vector<size_t> fired;
  };
  const Case cases[] = {
      {"two taps", {{'C', 0}, {'c', 80}, {'C', 200}, {'c', 260}}, {3}},
      {"held keys repeat",
       {{'C', 0}, {'C', 30}, {'c', 80}, {'C', 200}, {'C', 230}, {'c', 260}},
       {3 + 2}},
      {"one tap", {{'C', 0}, {'c', 80}}, {}},
      {"the first press held too long", {{'C', 0}, {'c', 900}, {'C', 1000}, {'c', 1050}}, {}},
      {"the second press held too long", {{'C', 0}, {'c', 80}, {'C', 200}, {'c', 800}}, {}},
      {"too long between", {{'C', 0}, {'c', 80}, {'C', 900}, {'c', 950}}, {}},
      // ... but the late press may begin a double tap of its own.
      {"late press starts over",
       {{'C', 0}, {'c', 80}, {'C', 900}, {'c', 950}, {'C', 1100}, {'c', 1150}},
       {5}},
      {"Ctrl+C between", {{'C', 0}, {'X', 40}, {'x', 60}, {'c', 80}, {'C', 200}, {'c', 260}}, {}},
      {"a key while the second is held",
       {{'C', 0}, {'c', 80}, {'C', 200}, {'X', 220}, {'c', 260}},
       {}},
      {"typing between", {{'C', 0}, {'c', 80}, {'X', 100}, {'C', 200}, {'c', 260}}, {}},
      {"three taps fire once",
       {{'C', 0}, {'c', 50}, {'C', 100}, {'c', 150}, {'C', 200}, {'c', 250}},
       {3}},
      {"four taps fire twice",
       {{'C', 0},
        {'c', 50},
        {'C', 100},
        {'c', 150},
        {'C', 200},
        {'c', 250},
        {'C', 300},
        {'c', 350}},
       {3, 7}},
      {"a release without a press",
       {{'c', 0}, {'C', 100}, {'c', 150}, {'C', 200}, {'c', 250}},
       {4}},
      // The tick count wraps after 49.7 days.
      {"across the wrap", {{'C', 0xFFFFFFC0}, {'c', 0xFFFFFFF0}, {'C', 0x40}, {'c', 0x90}}, {3}},
  };
  for (const Case& c : cases) EXPECT_EQ(Fired(c.events), c.fired) << c.what;
}

TEST(DoubleTap, StoredChoicesOutsideTheListFallBackToTheDefault) {
  const std::pair<int, HotkeyChoice> cases[] = {
      {0, HotkeyChoice::kOff},      {1, HotkeyChoice::kDoubleCtrl}, {2, HotkeyChoice::kDoubleShift},
      {3, HotkeyChoice::kAltSpace}, {4, HotkeyChoice::kCtrlAltZ},   {5, kDefaultHotkey},
      {-1, kDefaultHotkey},
  };
  for (const auto& [stored, choice] : cases) EXPECT_EQ(HotkeyChoiceOf(stored), choice) << stored;
  EXPECT_TRUE(IsDoubleTap(HotkeyChoice::kDoubleShift));
  EXPECT_FALSE(IsDoubleTap(HotkeyChoice::kAltSpace));
}

}  // namespace
}  // namespace zd
