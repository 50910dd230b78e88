#include "mainwin/form_model.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(FormModel, TabAndPageIndexesSkipHiddenPages) {
  // The note (6) and "all" (8) pages have no tab; the settings page is tab 6.
  EXPECT_EQ(TabIndexOfPage(0), 0);
  EXPECT_EQ(TabIndexOfPage(5), 5);
  EXPECT_EQ(TabIndexOfPage(6), -1);
  EXPECT_EQ(TabIndexOfPage(7), 6);
  EXPECT_EQ(TabIndexOfPage(8), -1);
  EXPECT_EQ(TabIndexOfPage(9), -1);
  EXPECT_EQ(TabIndexOfPage(-1), -1);
  for (int tab = 0; tab < 7; ++tab) {
    EXPECT_EQ(TabIndexOfPage(PageIndexOfTab(tab)), tab) << tab;
  }
  EXPECT_EQ(PageIndexOfTab(6), 7);
  EXPECT_EQ(PageIndexOfTab(7), -1);
  EXPECT_EQ(ClampPageIndex(12), 0);
  EXPECT_EQ(ClampPageIndex(-3), 0);
  EXPECT_EQ(ClampPageIndex(8), 8);
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

TEST(FormModel, DesignCaptionsPerLanguage) {
  ASSERT_NE(DesignCaption("TabSheet8", 0), nullptr);
  EXPECT_STREQ(DesignCaption("TabSheet8", 0), "我的启动");
  EXPECT_STREQ(DesignCaption("tbDemo", 2), "My Home");
  EXPECT_STREQ(DesignCaption("tbDemo", 7), "我的主页");  // unknown language: design text
  EXPECT_EQ(DesignCaption("NoSuchControl", 0), nullptr);
}

}  // namespace
}  // namespace zd
