#include "mainwin/menu_model.h"

#include <utility>

#include "lang/captions.h"

namespace zd {
namespace {

using enum Ui;

MenuItem Item(Ui id, bool visible = true, std::vector<MenuItem> items = {}) {
  MenuItem item;
  item.id = id;
  item.caption = std::string(lang::CaptionOf(id, 0));
  item.visible = visible;
  item.items = std::move(items);
  return item;
}

MenuItem Hidden(Ui id, std::vector<MenuItem> items = {}) {
  return Item(id, false, std::move(items));
}

MenuItem Separator(Ui id = kUnnamed, bool visible = true) {
  MenuItem item;
  item.id = id;
  item.caption.assign(1, '-');  // not = "-": GCC 12 warns falsely on that assignment
  item.visible = visible;
  return item;
}

PopupMenu TrayMenu() {
  MenuItem recent = Item(PmRecent);
  recent.is_submenu = true;  // filled with the recent documents at every right click
  MenuItem pause = Item(MnPauseRecording);
  pause.auto_check = true;
  return {popMenu,
          {
              Item(MnOpenZapdock),
              Separator(),
              Hidden(MnZDWeb),
              Hidden(MnZDDir),
              Hidden(MnSoftware),
              Hidden(MnDayCalify, {Item(MnToday), Item(MnYesday), Item(MnPre3days), Item(MnPreWeek),
                                   Item(MnZDAll)}),
              Separator(kUnnamed, false),
              Hidden(PmAutoRun),
              Item(MnSystemUse, true,
                   {Item(MnMyComputer), Item(MnZDMyDoc), Item(MnMyDesk), Item(MnZDControl),
                    Item(MnZDRecycle), Item(MnZDTask), Hidden(MnZDRecent), Hidden(MnZDRun)}),
              std::move(recent),
              Item(MnRestoreLastSession),
              Hidden(PmMyDocs),
              std::move(pause),
              Separator(),
              Item(MnZDExit),
          }};
}

PopupMenu DocTreeMenu() {
  return {PmDocTree,
          {
              // Shown only for a program node; the menu's popup handler decides.
              Item(MnOpenDIr),
              Item(MnRefresh),
              Item(StopProgramItem),
              Item(MnExpandAll),
              Item(CollapseAllItem),
              Separator(DeleteSeparator),
              Item(MnDeleteSelected),
              Item(ForgetAndStopRecordingItem),
              Item(MnDeleteAllDocs),
              Separator(ListsSeparator),
              Item(MyMyLove),
              Hidden(MnAddToRunList),
          }};
}

PopupMenu FavouritesMenu() {
  MenuItem show_edit = Item(MnShowFavEdit);
  show_edit.auto_check = true;
  return {PmMyFav,
          {
              Item(MnOpenMyFavDoc),
              Item(MyDeleteFav),
              Item(MnZDAddToRun),
              Item(MnZDDeleteNotExistsDoc),
              Item(MnNewToFav),
              Item(MnUpdateFav),
              std::move(show_edit),
          }};
}

PopupMenu AutoRunListMenu() {
  return {PmAutoRunList,
          {Item(AddToFavouritesItem), Item(DeleteFromRunItem), Item(OpenDirectlyItem),
           Item(MnOpenDirInAutoRUn)}};
}

PopupMenu MoreSpecialDirMenu() {
  return {PmMoreSpecialDir,
          {
              Item(CurrentUserMenu, true,
                   {Item(PmDesktopPath), Item(CookiesItem), Item(FontsItem), Item(DrivesItem),
                    Item(CacheItem), Item(NetworkConnectionsItem), Item(PrintersItem),
                    Item(NetworkPrintersItem), Item(ProgramFilesItem), Item(ProgramMenuItem),
                    Item(SendToFolderItem), Item(StartMenuItem), Item(DrivesAgainItem),
                    Item(WindowsFolderItem), Item(SendToItem)}),
              Item(AllUsersMenu, true,
                   {Item(AllUsersDocumentsItem), Item(AllUsersDesktopItem),
                    Item(AllUsersFavouritesItem), Item(AllUsersProgramsItem),
                    Item(AllUsersStartMenuItem), Item(AllUsersStartupItem), Item(ModulesItem)}),
          }};
}

template <typename Items>
auto FindIn(Items& items, Ui id) -> decltype(&items[0]) {
  for (auto& item : items) {
    if (item.id == id) return &item;
    if (auto* found = FindIn(item.items, id)) return found;
  }
  return nullptr;
}

template <typename Menus>
auto FindItem(Menus& menus, Ui id) -> decltype(&menus[0].items[0]) {
  if (id == kUnnamed) return nullptr;  // unnamed separators are not addressable
  for (auto& menu : menus)
    if (auto* found = FindIn(menu.items, id)) return found;
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
  menus.push_back({PmRecentList, {}});
  return menus;
}

void ApplyMenuCaptions(std::vector<PopupMenu>& menus, const lang::InterfaceTexts& texts) {
  for (const auto& [part, text] : texts.captions) {
    // An unfilled row keeps the design caption rather than blanking the entry.
    if (text.empty()) continue;
    if (MenuItem* item = FindMenuItem(menus, part)) item->caption = text;
  }
}

MenuItem* FindMenuItem(std::vector<PopupMenu>& menus, Ui id) { return FindItem(menus, id); }

const MenuItem* FindMenuItem(const std::vector<PopupMenu>& menus, Ui id) {
  return FindItem(menus, id);
}

PopupMenu* FindMenu(std::vector<PopupMenu>& menus, Ui id) {
  for (PopupMenu& menu : menus)
    if (menu.id == id) return &menu;
  return nullptr;
}

}  // namespace zd
