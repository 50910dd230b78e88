#include "mainwin/menu_model.h"

#include <utility>

namespace zd {
namespace {

MenuItem Item(std::string name, std::string caption, bool visible = true,
              std::vector<MenuItem> items = {}) {
  MenuItem item;
  item.name = std::move(name);
  item.caption = std::move(caption);
  item.visible = visible;
  item.items = std::move(items);
  return item;
}

MenuItem Hidden(std::string name, std::string caption, std::vector<MenuItem> items = {}) {
  return Item(std::move(name), std::move(caption), false, std::move(items));
}

MenuItem Separator(std::string name = {}, bool visible = true) {
  return Item(std::move(name), "-", visible);
}

PopupMenu TrayMenu() {
  MenuItem recent = Item("PmRecent", "最近使用");
  recent.is_submenu = true;  // filled with the recent documents at every right click
  return {"popMenu",
          {
              Item("MnOpenZapdock", "打开Zapdock(&S)"),
              Separator(),
              Hidden("MnZDWeb", "网页"),
              Hidden("MnZDDir", "文件夹"),
              Hidden("MnSoftware", "软件"),
              Hidden("MnDayCalify", "按日期分类",
                     {
                         Item("MnToday", "今天"),
                         Item("MnYesday", "昨天"),
                         Item("MnPre3days", "前三天"),
                         Item("MnPreWeek", "前一周"),
                         Item("MnZDAll", "所有"),
                     }),
              Separator({}, false),
              Hidden("PmAutoRun", "自动启动"),
              Item("MnSystemUse", "系统常用", true,
                   {
                       Item("MnMyComputer", "我的电脑"),
                       Item("MnZDMyDoc", "我的文档"),
                       Item("MnMyDesk", "我的桌面"),
                       Item("MnZDControl", "控制面板"),
                       Item("MnZDRecycle", "垃圾回收站"),
                       Item("MnZDTask", "任务管理器"),
                       Hidden("MnZDRecent", "最近使用"),
                       Hidden("MnZDRun", "启动"),
                   }),
              std::move(recent),
              Hidden("PmMyDocs", "我的收藏"),
              Separator(),
              Item("MnZDExit", "退出(&E)"),
          }};
}

PopupMenu DocTreeMenu() {
  return {"PmDocTree",
          {
              // Shown only for a program node; the menu's popup handler decides.
              Item("MnOpenDIr", "打开所在的文件夹"),
              Item("MnRefresh", "刷新"),
              Item("N24", "停止运行的软件"),
              Item("MnExpandAll", "展开全部(&E)"),
              Item("N23", "折叠全部"),
              Separator("N22"),
              Item("MnDeleteSelected", "删除所选(&D)"),
              Item("MnDeleteAllDocs", "删除所有(&D)"),
              Separator("N21"),
              Item("MyMyLove", "加入到『收藏』中"),
              Hidden("MnAddToRunList", "加入到『启动』中"),
          }};
}

PopupMenu FavouritesMenu() {
  MenuItem show_edit = Item("MnShowFavEdit", "显示收藏夹编辑栏");
  show_edit.auto_check = true;
  return {"PmMyFav",
          {
              Item("MnOpenMyFavDoc", "打开"),
              Item("MyDeleteFav", "删除所选"),
              Item("MnZDAddToRun", "加入到『启动』"),
              Item("MnZDDeleteNotExistsDoc", "删除已不存在文档"),
              Item("MnNewToFav", "新增到收藏夹"),
              Item("MnUpdateFav", "修改收藏夹"),
              std::move(show_edit),
          }};
}

PopupMenu AutoRunListMenu() {
  return {"PmAutoRunList",
          {
              Item("N35", "加入到『收藏夹』"),
              Item("N37", "删除启动"),
              Item("N38", "直接打开"),
              Item("MnOpenDirInAutoRUn", "打开所在文件夹"),
          }};
}

PopupMenu MoreSpecialDirMenu() {
  return {"PmMoreSpecialDir",
          {
              Item("N2", "当前用户", true,
                   {
                       Item("PmDesktopPath", "桌面文件夹"),
                       Item("Cookie1", "Cookies"),
                       Item("pmFont", "系统字体"),
                       Item("N4", "驱动"),
                       Item("N11", "缓存"),
                       Item("lianj1", "网络连接"),
                       Item("N12", "打印机"),
                       Item("N13", "网络打印机"),
                       Item("N14", "程序文件所在文件夹"),
                       Item("N15", "程序菜单文件夹"),
                       Item("N16", "发送到文件夹"),
                       Item("N17", "开始菜单"),
                       Item("N18", "驱动"),
                       Item("Windows1", "Windows文件夹"),
                       Item("N19", "发送给"),
                   }),
              Item("N1", "所有用户", true,
                   {
                       Item("N3", "我的文档"),
                       Item("N5", "桌面"),
                       Item("N6", "我的收藏夹"),
                       Item("N7", "程序"),
                       Item("N8", "开始菜单"),
                       Item("N9", "启动"),
                       Item("N10", "模块"),
                   }),
          }};
}

template <typename Items>
auto FindIn(Items& items, std::string_view name) -> decltype(&items[0]) {
  for (auto& item : items) {
    if (item.name == name) return &item;
    if (auto* found = FindIn(item.items, name)) return found;
  }
  return nullptr;
}

template <typename Menus>
auto FindItem(Menus& menus, std::string_view name) -> decltype(&menus[0].items[0]) {
  if (name.empty()) return nullptr;  // unnamed separators are not addressable
  for (auto& menu : menus)
    if (auto* found = FindIn(menu.items, name)) return found;
  return nullptr;
}

}  // namespace

std::vector<PopupMenu> BuildMainMenus() {
  std::vector<PopupMenu> menus;
  menus.push_back(TrayMenu());
  menus.push_back(DocTreeMenu());
  menus.push_back(FavouritesMenu());
  menus.push_back(AutoRunListMenu());
  menus.push_back(MoreSpecialDirMenu());
  menus.push_back({"PmRecentList", {}});
  return menus;
}

void ApplyMenuCaptions(std::vector<PopupMenu>& menus, const lang::InterfaceTexts& texts) {
  for (const auto& [control, text] : texts.captions) {
    // An unfilled row keeps the design caption rather than blanking the entry.
    if (text.empty()) continue;
    if (MenuItem* item = FindMenuItem(menus, control)) item->caption = text;
  }
}

MenuItem* FindMenuItem(std::vector<PopupMenu>& menus, std::string_view name) {
  return FindItem(menus, name);
}

const MenuItem* FindMenuItem(const std::vector<PopupMenu>& menus, std::string_view name) {
  return FindItem(menus, name);
}

PopupMenu* FindMenu(std::vector<PopupMenu>& menus, std::string_view name) {
  for (PopupMenu& menu : menus)
    if (menu.name == name) return &menu;
  return nullptr;
}

}  // namespace zd
