// The main window's popup menus as data: the Win32 side builds HMENUs from it,
// tests read it natively. Captions come from the caption table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/lang_tables.h"
#include "lang/ui.h"

namespace zd {

// The id of an unnamed separator.
inline constexpr Ui kUnnamed = Ui::kCount;

struct MenuItem {
  Ui id = kUnnamed;
  std::string caption;  // "-" for a separator
  bool visible = true;
  bool auto_check = false;      // toggles its own check mark when clicked
  bool is_submenu = false;      // a submenu even while empty (filled at run time)
  std::vector<MenuItem> items;  // a submenu when not empty
  bool IsSeparator() const { return caption == "-"; }
  bool IsSubmenu() const { return is_submenu || !items.empty(); }
  std::string_view name() const { return id == kUnnamed ? std::string_view() : UiName(id); }
};

struct PopupMenu {
  Ui id;
  std::vector<MenuItem> items;
  std::string_view name() const { return UiName(id); }
};

// popMenu, PmDocTree, PmMyFav, PmAutoRunList, PmMoreSpecialDir, PmRecentList,
// with their design captions.
std::vector<PopupMenu> BuildMainMenus();

// Replaces the captions of the entries the texts name.
void ApplyMenuCaptions(std::vector<PopupMenu>& menus, const lang::InterfaceTexts& texts);

MenuItem* FindMenuItem(std::vector<PopupMenu>& menus, Ui id);
const MenuItem* FindMenuItem(const std::vector<PopupMenu>& menus, Ui id);
PopupMenu* FindMenu(std::vector<PopupMenu>& menus, Ui id);

}  // namespace zd
