#include "tray/recent_menu.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(TrayClicks, OnlyPressesOfTheTwoButtonsOrTheVersion4EventsMeanSomething) {
  struct Case {
    uint32_t event;
    TrayClick old_shell;  // the icon without NOTIFYICON_VERSION_4
    TrayClick version4;
  };
  const Case cases[] = {
      {0x0201, TrayClick::kShowWindow, TrayClick::kNone},  // WM_LBUTTONDOWN: NIN_SELECT follows
      {0x0204, TrayClick::kOpenMenu, TrayClick::kNone},    // WM_RBUTTONDOWN: WM_CONTEXTMENU follows
      {0x0202, TrayClick::kNone, TrayClick::kNone},        // releases, double clicks
      {0x0203, TrayClick::kNone, TrayClick::kNone},
      {0x0205, TrayClick::kNone, TrayClick::kNone},
      {0x0206, TrayClick::kNone, TrayClick::kNone},
      {0x0200, TrayClick::kNone, TrayClick::kNone},
      {0x0400, TrayClick::kNone, TrayClick::kShowWindow},  // NIN_SELECT: a click
      {0x0401, TrayClick::kNone, TrayClick::kShowWindow},  // NIN_KEYSELECT: Enter, Space
      {0x007B, TrayClick::kNone, TrayClick::kOpenMenu},    // WM_CONTEXTMENU: Shift+F10, menu key
      {0x0402, TrayClick::kNone, TrayClick::kNone},        // NIN_BALLOONSHOW
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyTrayMessage(c.event), c.old_shell) << c.event;
    EXPECT_EQ(ClassifyTrayMessage(c.event, true), c.version4) << c.event;
  }
}

TEST(RecentMenu, NewestAtTheBottomNumberedFromOneAndCappedAtTwenty) {
  for (size_t lines : {0u, 1u, 19u, 20u, 25u}) {
    std::vector<std::string> list;
    for (size_t i = 0; i < lines; ++i)
      list.push_back("C:\\d" + std::to_string(i) + "*|*doc" + std::to_string(i));
    const std::vector<RecentMenuEntry> entries = RecentMenuEntries(list);
    const size_t shown = std::min<size_t>(lines, 20);
    ASSERT_EQ(entries.size(), shown);
    // Entry k from the top shows line shown-1-k, numbered shown-k.
    for (size_t k = 0; k < shown; ++k) {
      const size_t line = shown - 1 - k;
      EXPECT_EQ(entries[k].caption,
                "（&" + std::to_string(line + 1) + "） doc" + std::to_string(line));
      EXPECT_EQ(entries[k].path, "C:\\d" + std::to_string(line)) << "the entry keeps its document";
    }
  }
}

TEST(RecentMenu, NamesAreEscapedAndCut) {
  const std::string sixty(60, 'x');
  struct Case {
    std::string name, shown;
  };
  std::string han;
  for (int i = 0; i < 61; ++i) han += "文";
  std::string han60;
  for (int i = 0; i < 60; ++i) han60 += "文";
  const Case cases[] = {
      {"A&B", "A&&B"},
      {sixty, sixty},
      {sixty + "y", sixty + "…"},
      {han, han60 + "…"},  // characters, not bytes
  };
  for (const Case& c : cases) EXPECT_EQ(MenuText(c.name), c.shown) << c.name;
}

}  // namespace
}  // namespace zd
