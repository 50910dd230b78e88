// The main window's popup menus as data: the Win32 side builds HMENUs from it,
// tests read it natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/lang_tables.h"

namespace zd {

struct MenuItem {
  std::string name;     // control name, empty for separators
  std::string caption;  // "-" for a separator
  bool visible = true;
  bool auto_check = false;      // toggles its own check mark when clicked
  bool is_submenu = false;      // a submenu even while empty (filled at run time)
  std::vector<MenuItem> items;  // a submenu when not empty
  bool IsSeparator() const { return caption == "-"; }
  bool IsSubmenu() const { return is_submenu || !items.empty(); }
};

struct PopupMenu {
  std::string name;
  std::vector<MenuItem> items;
};

// popMenu, PmDocTree, PmMyFav, PmAutoRunList, PmMoreSpecialDir, PmRecentList,
// with their design captions.
std::vector<PopupMenu> BuildMainMenus();

// Replaces the captions of the entries the texts name.
void ApplyMenuCaptions(std::vector<PopupMenu>& menus, const lang::InterfaceTexts& texts);

MenuItem* FindMenuItem(std::vector<PopupMenu>& menus, std::string_view name);
const MenuItem* FindMenuItem(const std::vector<PopupMenu>& menus, std::string_view name);
PopupMenu* FindMenu(std::vector<PopupMenu>& menus, std::string_view name);

}  // namespace zd
