#include "mainwin/menu_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>

namespace zd {
namespace {

std::vector<std::string> Names(const std::vector<MenuItem>& items) {
  std::vector<std::string> names;
  for (const MenuItem& item : items) names.emplace_back(item.name());
  return names;
}

std::vector<std::string> Captions(const std::vector<MenuItem>& items) {
  std::vector<std::string> captions;
  for (const MenuItem& item : items) captions.push_back(item.caption);
  return captions;
}

std::vector<bool> Visible(const std::vector<MenuItem>& items) {
  std::vector<bool> visible;
  for (const MenuItem& item : items) visible.push_back(item.visible);
  return visible;
}

void ForEachItem(const std::vector<MenuItem>& items,
                 const std::function<void(const MenuItem&)>& fn) {
  for (const MenuItem& item : items) {
    fn(item);
    ForEachItem(item.items, fn);
  }
}

const PopupMenu& Menu(const std::vector<PopupMenu>& menus, Ui id) {
  for (const PopupMenu& m : menus)
    if (m.id == id) return m;
  throw std::runtime_error("no menu " + std::string(UiName(id)));
}

TEST(MenuModel, MenusInOrder) {
  const auto menus = BuildMainMenus();
  std::vector<std::string> names;
  for (const PopupMenu& m : menus) names.emplace_back(m.name());
  EXPECT_EQ(names, (std::vector<std::string>{"popMenu", "PmDocTree", "PmMyFav", "PmAutoRunList",
                                             "PmMoreSpecialDir", "PmRecentList"}));
  EXPECT_TRUE(Menu(menus, Ui::PmRecentList).items.empty());
}

TEST(MenuModel, TrayMenu) {
  const auto menus = BuildMainMenus();
  const auto& items = Menu(menus, Ui::popMenu).items;
  EXPECT_EQ(Names(items),
            (std::vector<std::string>{"MnOpenZapdock", "", "MnZDWeb", "MnZDDir", "MnSoftware",
                                      "MnDayCalify", "", "PmAutoRun", "MnSystemUse", "PmRecent",
                                      "MnRestoreLastSession", "PmMyDocs", "MnPauseRecording", "",
                                      "MnZDExit"}));
  EXPECT_EQ(Captions(items), (std::vector<std::string>{"打开Zapdock(&S)", "-", "网页", "文件夹",
                                                       "软件", "按日期分类", "-", "自动启动",
                                                       "系统常用", "最近使用", "恢复上次打开的文档",
                                                       "我的收藏", "暂停记录", "-", "退出(&E)"}));
  EXPECT_EQ(Visible(items), (std::vector<bool>{true, true, false, false, false, false, false, false,
                                               true, true, true, false, true, true, true}));
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].IsSeparator(), i == 1 || i == 6 || i == 13) << i;
    // The pause switch alone carries a check mark.
    EXPECT_EQ(items[i].auto_check, items[i].id == Ui::MnPauseRecording) << i;
  }

  // What the user sees: open, separator, two submenus, the last session, the
  // pause switch, separator, exit.
  std::vector<std::string> shown;
  for (const MenuItem& item : items)
    if (item.visible) shown.push_back(item.IsSeparator() ? "-" : std::string(item.name()));
  EXPECT_EQ(shown, (std::vector<std::string>{"MnOpenZapdock", "-", "MnSystemUse", "PmRecent",
                                             "MnRestoreLastSession", "MnPauseRecording", "-",
                                             "MnZDExit"}));

  const MenuItem& by_date = items[5];
  EXPECT_EQ(Names(by_date.items), (std::vector<std::string>{"MnToday", "MnYesday", "MnPre3days",
                                                            "MnPreWeek", "MnZDAll"}));
  EXPECT_EQ(Captions(by_date.items),
            (std::vector<std::string>{"今天", "昨天", "前三天", "前一周", "所有"}));

  const MenuItem& system = items[8];
  EXPECT_TRUE(system.IsSubmenu());
  EXPECT_EQ(Names(system.items),
            (std::vector<std::string>{"MnMyComputer", "MnZDMyDoc", "MnMyDesk", "MnZDControl",
                                      "MnZDRecycle", "MnZDTask", "MnZDRecent", "MnZDRun"}));
  EXPECT_EQ(Captions(system.items),
            (std::vector<std::string>{"我的电脑", "我的文档", "我的桌面", "控制面板", "垃圾回收站",
                                      "任务管理器", "最近使用", "启动"}));
  EXPECT_EQ(Visible(system.items),
            (std::vector<bool>{true, true, true, true, true, true, false, false}));

  // The recent-documents entry is a submenu even before anything fills it.
  EXPECT_TRUE(items[9].items.empty());
  EXPECT_TRUE(items[9].IsSubmenu());
  EXPECT_FALSE(items[0].IsSubmenu());
}

TEST(MenuModel, DocTreeMenu) {
  const auto menus = BuildMainMenus();
  const auto& items = Menu(menus, Ui::PmDocTree).items;
  EXPECT_EQ(Names(items),
            (std::vector<std::string>{"MnOpenDIr", "MnRefresh", "StopProgramItem", "MnExpandAll",
                                      "CollapseAllItem", "DeleteSeparator", "MnDeleteSelected",
                                      "ForgetAndStopRecordingItem", "MnDeleteAllDocs",
                                      "ListsSeparator", "MyMyLove", "MnAddToRunList"}));
  EXPECT_EQ(Captions(items), (std::vector<std::string>{
                                 "打开所在的文件夹", "刷新", "停止运行的软件", "展开全部(&E)",
                                 "折叠全部", "-", "删除所选(&D)", "删除并不再记录", "删除所有(&D)",
                                 "-", "加入到『收藏』中", "加入到『启动』中"}));
  EXPECT_EQ(Visible(items), (std::vector<bool>{true, true, true, true, true, true, true, true, true,
                                               true, true, false}));
  for (const MenuItem& item : items) EXPECT_FALSE(item.auto_check) << item.name();
}

TEST(MenuModel, FavouritesAutoRunAndSpecialFolderMenus) {
  const auto menus = BuildMainMenus();
  const auto& fav = Menu(menus, Ui::PmMyFav).items;
  EXPECT_EQ(Names(fav), (std::vector<std::string>{"MnOpenMyFavDoc", "MyDeleteFav", "MnZDAddToRun",
                                                  "MnZDDeleteNotExistsDoc", "MnNewToFav",
                                                  "MnUpdateFav", "MnShowFavEdit"}));
  EXPECT_EQ(Captions(fav),
            (std::vector<std::string>{"打开", "删除所选", "加入到『启动』", "删除已不存在文档",
                                      "新增到收藏夹", "修改收藏夹", "显示收藏夹编辑栏"}));
  for (const MenuItem& item : fav) {
    EXPECT_TRUE(item.visible) << item.name();
    EXPECT_EQ(item.auto_check, item.id == Ui::MnShowFavEdit) << item.name();
  }

  const auto& run = Menu(menus, Ui::PmAutoRunList).items;
  EXPECT_EQ(Names(run), (std::vector<std::string>{"AddToFavouritesItem", "DeleteFromRunItem",
                                                  "OpenDirectlyItem", "MnOpenDirInAutoRUn"}));
  EXPECT_EQ(Captions(run), (std::vector<std::string>{"加入到『收藏夹』", "删除启动", "直接打开",
                                                     "打开所在文件夹"}));

  const auto& more = Menu(menus, Ui::PmMoreSpecialDir).items;
  ASSERT_EQ(more.size(), 2u);
  EXPECT_EQ(more[0].id, Ui::CurrentUserMenu);
  EXPECT_EQ(more[0].caption, "当前用户");
  EXPECT_EQ(Names(more[0].items),
            (std::vector<std::string>{"PmDesktopPath", "CookiesItem", "FontsItem", "DrivesItem",
                                      "CacheItem", "NetworkConnectionsItem", "PrintersItem",
                                      "NetworkPrintersItem", "ProgramFilesItem", "ProgramMenuItem",
                                      "SendToFolderItem", "StartMenuItem", "DrivesAgainItem",
                                      "WindowsFolderItem", "SendToItem"}));
  EXPECT_EQ(
      Captions(more[0].items),
      (std::vector<std::string>{"桌面文件夹", "Cookies", "系统字体", "驱动", "缓存", "网络连接",
                                "打印机", "网络打印机", "程序文件所在文件夹", "程序菜单文件夹",
                                "发送到文件夹", "开始菜单", "驱动", "Windows文件夹", "发送给"}));
  EXPECT_EQ(more[1].id, Ui::AllUsersMenu);
  EXPECT_EQ(more[1].caption, "所有用户");
  EXPECT_EQ(
      Names(more[1].items),
      (std::vector<std::string>{"AllUsersDocumentsItem", "AllUsersDesktopItem",
                                "AllUsersFavouritesItem", "AllUsersProgramsItem",
                                "AllUsersStartMenuItem", "AllUsersStartupItem", "ModulesItem"}));
  EXPECT_EQ(Captions(more[1].items),
            (std::vector<std::string>{"我的文档", "桌面", "我的收藏夹", "程序", "开始菜单", "启动",
                                      "模块"}));
  for (const PopupMenu& m : {Menu(menus, Ui::PmAutoRunList), Menu(menus, Ui::PmMoreSpecialDir)})
    ForEachItem(m.items, [](const MenuItem& item) {
      EXPECT_TRUE(item.visible) << item.name();
      EXPECT_FALSE(item.IsSeparator()) << item.name();
    });
}

TEST(MenuModel, NamesAreUniqueAndFindable) {
  auto menus = BuildMainMenus();
  std::set<std::string> seen;
  int unnamed = 0;
  for (const PopupMenu& m : menus)
    ForEachItem(m.items, [&](const MenuItem& item) {
      if (item.id == kUnnamed) {
        EXPECT_TRUE(item.IsSeparator());
        ++unnamed;
        return;
      }
      EXPECT_TRUE(seen.insert(std::string(item.name())).second) << "duplicate " << item.name();
      EXPECT_EQ(FindMenuItem(menus, item.id), &item) << item.name();
    });
  EXPECT_EQ(unnamed, 3);  // the tray menu's separators
  EXPECT_EQ(seen.size(), 15u + 5 + 8 + 12 + 7 + 4 + 2 + 22 - 3);

  EXPECT_EQ(FindMenuItem(menus, kUnnamed), nullptr);
  EXPECT_EQ(FindMenuItem(menus, Ui::CbZDRefresh), nullptr) << "a control, not a menu entry";
  EXPECT_EQ(FindMenuItem(menus, Ui::popMenu), nullptr);  // menus are not items
  MenuItem* today = FindMenuItem(menus, Ui::MnToday);
  ASSERT_NE(today, nullptr);
  today->caption = "changed";
  const auto& const_menus = menus;
  ASSERT_NE(FindMenuItem(const_menus, Ui::MnToday), nullptr);
  EXPECT_EQ(FindMenuItem(const_menus, Ui::MnToday)->caption, "changed");

  ASSERT_NE(FindMenu(menus, Ui::PmMyFav), nullptr);
  EXPECT_EQ(FindMenu(menus, Ui::PmMyFav)->items.size(), 7u);
  EXPECT_EQ(FindMenu(menus, Ui::MnToday), nullptr);
}

TEST(MenuModel, EnglishCaptionsChangeExactlyTheNamedItems) {
  lang::InterfaceTexts en;
  lang::LoadLanguageTables(2, {}, en);
  const auto design = BuildMainMenus();
  auto menus = BuildMainMenus();
  ApplyMenuCaptions(menus, en);

  int changed = 0;
  for (size_t m = 0; m < menus.size(); ++m) {
    std::vector<const MenuItem*> before, after;
    ForEachItem(design[m].items, [&](const MenuItem& i) { before.push_back(&i); });
    ForEachItem(menus[m].items, [&](const MenuItem& i) { after.push_back(&i); });
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
      const std::string* text = before[i]->id == kUnnamed ? nullptr : en.Caption(before[i]->id);
      EXPECT_EQ(after[i]->caption, text ? *text : before[i]->caption) << before[i]->name();
      EXPECT_EQ(after[i]->visible, before[i]->visible);
      if (text) ++changed;
    }
  }
  EXPECT_EQ(changed, 14 + 24);  // tree and favourites entries, then the whole tray menu
  EXPECT_EQ(FindMenuItem(menus, Ui::CollapseAllItem)->caption, "折叠全部");
  EXPECT_EQ(FindMenuItem(menus, Ui::StopProgramItem)->caption, "停止运行的软件");
  EXPECT_EQ(FindMenuItem(menus, Ui::MnExpandAll)->caption, "Expand All (&E)");
  EXPECT_EQ(FindMenu(menus, Ui::popMenu)->items.back().caption, "exit (&E)");
  EXPECT_EQ(FindMenuItem(menus, Ui::DeleteSeparator)->caption, "-");
}

TEST(MenuModel, DefaultCaptionsKeepTheDesignAndEmptyRowsAreSkipped) {
  lang::InterfaceTexts zh;
  lang::LoadLanguageTables(0, {}, zh);
  auto menus = BuildMainMenus();
  ApplyMenuCaptions(menus, zh);
  const auto design = BuildMainMenus();
  for (size_t m = 0; m < menus.size(); ++m) {
    std::vector<std::string> before, after;
    ForEachItem(design[m].items, [&](const MenuItem& i) { before.push_back(i.caption); });
    ForEachItem(menus[m].items, [&](const MenuItem& i) { after.push_back(i.caption); });
    EXPECT_EQ(after, before) << design[m].name();
  }

  lang::InterfaceTexts partial;
  partial.captions = {{Ui::MnZDExit, ""}, {Ui::MnRefresh, "R"}, {Ui::CbZDRefresh, "x"}};
  ApplyMenuCaptions(menus, partial);
  EXPECT_EQ(FindMenuItem(menus, Ui::MnZDExit)->caption, "退出(&E)");
  EXPECT_EQ(FindMenuItem(menus, Ui::MnRefresh)->caption, "R");
  for (const PopupMenu& m : menus)
    ForEachItem(m.items, [](const MenuItem& i) {
      if (i.id == kUnnamed) {
        EXPECT_EQ(i.caption, "-");  // the row with no name touched no separator
      }
    });
}

}  // namespace
}  // namespace zd
