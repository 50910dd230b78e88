#include "mainwin/menus_win.h"

#include <functional>

#include "platform/wide_win.h"

namespace zd {

std::optional<Ui> Menus::EntryOf(UINT command) {
  if (command < kFirstCommand || command >= kFirstCommand + kUiCount) return std::nullopt;
  return static_cast<Ui>(command - kFirstCommand);
}

void Menus::Build() {
  model_ = BuildMainMenus();
  std::function<void(HMENU, const std::vector<MenuItem>&)> fill =
      [&](HMENU menu, const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
          if (!item.visible) continue;  // hidden entries exist but are not shown
          const UINT id = item.id == kUnnamed ? 0 : CommandOf(item.id);
          std::wstring caption = Utf8ToWide(item.caption);
          if (item.IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
          } else if (item.IsSubmenu()) {
            HMENU sub = CreatePopupMenu();
            fill(sub, item.items);
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_STRING | MIIM_SUBMENU | MIIM_ID;
            mii.wID = id;
            mii.hSubMenu = sub;
            mii.dwTypeData = caption.data();
            InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mii);
          } else {
            AppendMenuW(menu, MF_STRING, id, caption.c_str());
          }
        }
      };
  menus_.clear();
  hidden_.clear();
  for (const PopupMenu& popup : model_) {
    HMENU menu = CreatePopupMenu();
    fill(menu, popup.items);
    menus_[popup.id] = UniqueMenu(menu);
  }
}

HMENU Menus::Get(Ui menu) const {
  auto it = menus_.find(menu);
  return it == menus_.end() ? nullptr : it->second.get();
}

HMENU Menus::MenuHolding(Ui entry) const {
  for (const auto& [id, menu] : menus_) {
    if (GetMenuState(menu.get(), CommandOf(entry), MF_BYCOMMAND) != static_cast<UINT>(-1))
      return menu.get();
  }
  return nullptr;
}

void Menus::ApplyCaptions(const lang::InterfaceTexts& texts) {
  for (const auto& [part, caption] : texts.captions) {
    if (!caption.empty()) SetCaption(part, caption);
  }
}

void Menus::SetCaption(Ui entry, std::string_view caption) {
  if (MenuItem* item = FindMenuItem(model_, entry)) item->caption = std::string(caption);
  HMENU menu = MenuHolding(entry);
  if (!menu) return;
  std::wstring text = Utf8ToWide(caption);
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_STRING;
  mii.dwTypeData = text.data();
  SetMenuItemInfoW(menu, CommandOf(entry), FALSE, &mii);
}

void Menus::SetEnabled(Ui entry, bool enabled) {
  if (HMENU menu = MenuHolding(entry)) {
    EnableMenuItem(menu, CommandOf(entry), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  }
}

bool Menus::Enabled(Ui entry) const {
  HMENU menu = MenuHolding(entry);
  return menu &&
         (GetMenuState(menu, CommandOf(entry), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

HMENU Menus::Submenu(Ui entry) const {
  HMENU menu = MenuHolding(entry);
  if (!menu) return nullptr;
  MENUITEMINFOW mii{};
  mii.cbSize = sizeof(mii);
  mii.fMask = MIIM_SUBMENU;
  return GetMenuItemInfoW(menu, CommandOf(entry), FALSE, &mii) ? mii.hSubMenu : nullptr;
}

bool Menus::Checked(Ui entry) const {
  HMENU menu = MenuHolding(entry);
  return menu && (GetMenuState(menu, CommandOf(entry), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void Menus::SetChecked(Ui entry, bool checked) {
  if (HMENU menu = MenuHolding(entry))
    CheckMenuItem(menu, CommandOf(entry), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void Menus::SetVisible(Ui entry, bool visible) {
  for (const PopupMenu& popup : model_) {
    HMENU menu = Get(popup.id);
    int position = 0;  // among the entries the menu holds now
    for (const MenuItem& item : popup.items) {
      if (item.id == entry) {
        if (!item.visible || item.IsSubmenu()) return;
        const bool shown = !hidden_.contains(entry);
        if (shown == visible) return;
        if (visible) {
          hidden_.erase(entry);
          const std::wstring caption = Utf8ToWide(item.caption);
          InsertMenuW(menu, static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                      CommandOf(entry), caption.c_str());
        } else {
          hidden_.insert(entry);
          RemoveMenu(menu, CommandOf(entry), MF_BYCOMMAND);
        }
        return;
      }
      if (item.visible && !hidden_.contains(item.id)) ++position;
    }
  }
}

}  // namespace zd
