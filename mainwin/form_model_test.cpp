#include "mainwin/form_model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tracking/doc_kinds.h"

namespace zd {
namespace {

TEST(FormModel, TabAndPageIndexesSkipHiddenPages) {
  // The note (7) and "all" (9) pages have no tab; the settings page is tab 7.
  EXPECT_EQ(TabIndexOfPage(0), 0);
  EXPECT_EQ(TabIndexOfPage(6), 6);
  EXPECT_EQ(TabIndexOfPage(7), -1);
  EXPECT_EQ(TabIndexOfPage(8), 7);
  EXPECT_EQ(TabIndexOfPage(9), -1);
  EXPECT_EQ(TabIndexOfPage(10), -1);
  EXPECT_EQ(TabIndexOfPage(-1), -1);
  for (int tab = 0; tab < 8; ++tab) {
    EXPECT_EQ(TabIndexOfPage(PageIndexOfTab(tab)), tab) << tab;
  }
  EXPECT_EQ(PageIndexOfTab(7), 8);
  EXPECT_EQ(PageIndexOfTab(8), -1);
  EXPECT_EQ(PageOfStored(12), 0);
  EXPECT_EQ(PageOfStored(-3), 0);
  // The numbers stored before the files' page came keep naming their pages.
  EXPECT_EQ(PageOfStored(8), 9);
  EXPECT_EQ(PageOfStored(3), kSystemPageIndex);
  EXPECT_EQ(PageOfStored(7), kSettingsPageIndex);
  EXPECT_EQ(PageOfStored(9), kFilesPageIndex);
  for (int page = 0; page < kTVControlPageCount; ++page) {
    EXPECT_EQ(PageOfStored(StoredOfPage(page)), page) << "each page comes back where it was";
  }
}

TEST(FormModel, PlacementOnA1024By768Screen) {
  EXPECT_EQ(InitialWindowRect(1024, 768), (WindowRect{19, 123, 1000, 600}));
  EXPECT_EQ(BottomRightRect(1024, 768, 1000, 600), (WindowRect{4, 118, 1000, 600}));
}

TEST(FormModel, PlacementScalesWithDpi) {
  // 144 DPI: the design sizes grow by half, the margins too.
  WindowRect r = InitialWindowRect(2560, 1440, 1.5);
  EXPECT_EQ(r.width, 1500);
  EXPECT_EQ(r.height, 900);
  EXPECT_EQ(r.left + r.width, 2560 - 8);  // 1005*1.5 = 1507.5 rounds to 1508
  WindowRect b = BottomRightRect(2560, 1440, 1500, 900, 1.5);
  EXPECT_EQ(b.left + b.width, 2560 - 30);
  EXPECT_EQ(b.top + b.height, 1440 - 75);
}

TEST(FormModel, UninstallOnlyForTheExactFirstArgument) {
  EXPECT_TRUE(IsUninstallStart({"uninstall"}));
  EXPECT_TRUE(IsUninstallStart({"uninstall", "x"}));
  EXPECT_FALSE(IsUninstallStart({"UNINSTALL"}));
  EXPECT_FALSE(IsUninstallStart({"x", "uninstall"}));
  EXPECT_FALSE(IsUninstallStart({}));
  EXPECT_FALSE(IsUninstallStart({" uninstall"}));
}

// The running copy answers, or ends, after so many milliseconds (-1: never).
// A start hands over to an answering window, starts once the copy has ended,
// says why it waits only when the wait grows noticeable, and gives up on a
// copy that never ends.
TEST(FormModel, AStartWaitsForThePreviousCopyToAnswerOrEnd) {
  struct Case {
    const char* what;
    int answers_at, ends_at;
    StartGate gate;
    bool told;
  } const cases[] = {
      {"a running window takes the start", 0, -1, StartGate::kHandedOver, false},
      {"a copy still starting answers soon", 300, -1, StartGate::kHandedOver, false},
      {"a copy saving at its exit ends soon", -1, 400, StartGate::kGoOn, false},
      {"a long save at exit", -1, 9000, StartGate::kGoOn, true},
      {"a window that answers only after a long wait", 5000, -1, StartGate::kHandedOver, true},
      {"a copy that never ends", -1, -1, StartGate::kGaveUp, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int now = 0, told = 0;
    PreviousCopy previous;
    previous.hand_over = [&] { return c.answers_at >= 0 && now >= c.answers_at; };
    previous.wait_for_end = [&](int ms) {
      now += ms;
      return c.ends_at >= 0 && now >= c.ends_at;
    };
    previous.show_waiting = [&] { ++told; };
    EXPECT_EQ(WaitForPreviousCopy(previous), c.gate);
    EXPECT_EQ(told, c.told ? 1 : 0);
    if (c.gate == StartGate::kGaveUp) {
      EXPECT_GE(now, kStartWaitLimitMs);
    }
  }
}

TEST(FormModel, PlacementKeepsTheWholeWindowInsideTheWorkArea) {
  struct Case {
    const char* what;
    int screen_width, screen_height;
    double scale;
    WorkArea area;
  };
  const Case cases[] = {
      {"1024x768, taskbar 40 px", 1024, 768, 1.0, {0, 0, 1024, 728}},
      {"1366x768 at 125%", 1366, 768, 1.25, {0, 0, 1366, 728}},
      {"1366x768 at 150%", 1366, 768, 1.5, {0, 0, 1366, 728}},
      {"1280x720 at 150%, taskbar on the left", 1280, 720, 1.5, {62, 0, 1280, 720}},
      {"second monitor left of the primary", 1920, 1080, 1.0, {-1280, 0, 0, 984}},
      {"2560x1440 at 100%", 2560, 1440, 1.0, {0, 0, 2560, 1400}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const WindowRect wanted = InitialWindowRect(c.screen_width, c.screen_height, c.scale);
    for (const WindowRect& placed :
         {FitIntoWorkArea(wanted, c.area),
          FitIntoWorkArea(BottomRightRect(c.screen_width, c.screen_height, wanted.width,
                                          wanted.height, c.scale),
                          c.area)}) {
      EXPECT_GE(placed.left, c.area.left);
      EXPECT_GE(placed.top, c.area.top);
      EXPECT_LE(placed.left + placed.width, c.area.right);
      EXPECT_LE(placed.top + placed.height, c.area.bottom);
      // Shrunk only where the work area is smaller than the window.
      EXPECT_EQ(placed.width, std::min(wanted.width, c.area.right - c.area.left));
      EXPECT_EQ(placed.height, std::min(wanted.height, c.area.bottom - c.area.top));
    }
  }
  // A window that fits keeps the designed position.
  const WindowRect fits = InitialWindowRect(1024, 768);
  EXPECT_EQ(FitIntoWorkArea(fits, {0, 0, 1024, 728}), fits);
}

TEST(FormModel, ScrollBarMovesWithinItsRange) {
  // The reference: what each code means for a bar at `pos` between 60 and 600.
  auto reference = [](int code, int pos, int track) {
    int next = pos;
    if (code == 0)
      next = pos - 1;
    else if (code == 1)
      next = pos + 1;
    else if (code == 2)
      next = pos - 10;
    else if (code == 3)
      next = pos + 10;
    else if (code == 4 || code == 5)
      next = track;
    else if (code == 6)
      next = 60;
    else if (code == 7)
      next = 600;
    else
      return -1;
    return next < 60 ? 60 : next > 600 ? 600 : next;
  };
  for (int code = 0; code <= 9; ++code)
    for (int pos : {60, 61, 65, 120, 595, 599, 600})
      for (int track : {60, 300, 600})
        EXPECT_EQ(ScrollBarPosition(code, pos, track, 60, 600), reference(code, pos, track))
            << code << " " << pos << " " << track;
}

TEST(FormModel, EachTreePageRefreshesItsKind) {
  const std::optional<DocKind> kinds[] = {
      DocKind::kWeb, DocKind::kProgram, DocKind::kFolder, DocKind::kFile, std::nullopt,
      std::nullopt,  std::nullopt,      std::nullopt,     std::nullopt,   std::nullopt};
  for (int page = -1; page <= kTVControlPageCount; ++page) {
    const bool in_range = page >= 0 && page < kTVControlPageCount;
    EXPECT_EQ(TreeKindOfPage(page), in_range ? kinds[page] : std::nullopt) << page;
    EXPECT_EQ(ShowsAllDocsTree(page), page == kSystemPageIndex)
        << "the system page names the hidden tree";
  }
}

}  // namespace
}  // namespace zd
