#include "online/content_panel.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

// Runs TimerRun ticks until it stops; returns how many ran.
int TicksUntilStopped(ContentPanel& panel, int limit = 1000) {
  int n = 0;
  while (panel.view().run_timer && n < limit) {
    panel.RunTick();
    ++n;
  }
  return n;
}

TEST(ContentPanel, NoServerShowsProgressForAboutThreeSecondsThenHidesIt) {
  ContentPanel panel("fetching");
  panel.Created();
  EXPECT_TRUE(panel.view().first_run_timer);
  panel.Start();
  EXPECT_TRUE(panel.view().progress_visible && panel.view().run_timer &&
              panel.view().refresh_timer && !panel.view().first_run_timer);
  std::string hint_at[32];
  for (int i = 1; i <= 31; ++i) {
    EXPECT_TRUE(panel.view().run_timer) << i;
    panel.RunTick();
    hint_at[i] = panel.view().hint;
  }
  EXPECT_EQ(hint_at[15], "");
  EXPECT_EQ(hint_at[16], "fetching");
  EXPECT_EQ(hint_at[30], "fetching");
  EXPECT_EQ(hint_at[31], "") << "given up";
  EXPECT_FALSE(panel.view().run_timer);
  EXPECT_FALSE(panel.view().progress_visible);
  EXPECT_EQ(panel.view().progress, 0);
  EXPECT_EQ(panel.ticks() * ContentPanel::kRunMs, 3100);
  // The search ended without a server: the refresh timer stops too.
  EXPECT_FALSE(panel.RefreshTick(false, true));
  EXPECT_TRUE(panel.view().refresh_timer);
  EXPECT_FALSE(panel.RefreshTick(false, false));
  EXPECT_FALSE(panel.view().refresh_timer);
}

TEST(ContentPanel, AFoundServerShowsTheDemoAndALoadedPageEndsTheProgress) {
  ContentPanel panel("fetching");
  panel.Start();
  for (int i = 0; i < 3; ++i) panel.RunTick();
  EXPECT_EQ(panel.view().progress, 30);
  EXPECT_TRUE(panel.RefreshTick(true, false));
  ContentPanelView want;
  want.hint_visible = true;
  want.demo_tab_visible = true;
  EXPECT_EQ(panel.view(), want);

  ContentPanel loading("fetching");
  loading.Start();
  loading.RunTick();
  loading.PageLoaded();
  EXPECT_EQ(TicksUntilStopped(loading), 1);
  EXPECT_FALSE(loading.view().progress_visible);
  EXPECT_EQ(loading.view().hint, "");
}

TEST(ContentPanel, ProgressStepsAndWrapsAndRefreshStartsAgain) {
  ContentPanel panel("h");
  panel.Start();
  int seen[12];
  for (int& p : seen) {
    panel.RunTick();
    p = panel.view().progress;
  }
  const int want[12] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0, 10};
  EXPECT_TRUE(std::equal(std::begin(seen), std::end(seen), std::begin(want)));
  EXPECT_EQ(TicksUntilStopped(panel), 31 - 12);
  panel.Start();  // the refresh button
  EXPECT_EQ(panel.ticks(), 0);
  EXPECT_TRUE(panel.view().run_timer);
  EXPECT_EQ(panel.view().progress, 0);
}

}  // namespace
}  // namespace zd
