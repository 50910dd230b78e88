#include "tray/recent_menu.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(TrayClicks, OnlyPressesOfTheTwoButtonsMeanSomething) {
  const std::pair<uint32_t, TrayClick> cases[] = {
      {0x0201, TrayClick::kShowWindow}, {0x0204, TrayClick::kOpenMenu}, {0x0202, TrayClick::kNone},
      {0x0203, TrayClick::kNone},  // release, double click
      {0x0205, TrayClick::kNone},       {0x0206, TrayClick::kNone},     {0x0200, TrayClick::kNone},
  };
  for (const auto& [message, click] : cases)
    EXPECT_EQ(ClassifyTrayMessage(message), click) << message;
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
