// The window's popup menus, built as HMENUs from the menu model. A menu
// entry's command id is made from its part, so a WM_COMMAND leads straight
// back to the entry.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "lang/lang_tables.h"
#include "mainwin/menu_model.h"
#include "platform/handles_win.h"

namespace zd {

class Menus {
 public:
  static constexpr UINT kFirstCommand = 1000;
  static UINT CommandOf(Ui entry) { return kFirstCommand + static_cast<UINT>(entry); }
  // The entry of a menu command; nullopt for any other id.
  static std::optional<Ui> EntryOf(UINT command);

  void Build();
  const std::vector<PopupMenu>& model() const { return model_; }
  HMENU Get(Ui menu) const;
  // Replaces the captions the texts name, in the model and in the menus.
  void ApplyCaptions(const lang::InterfaceTexts& texts);
  // Replaces one entry's caption, in the model and in its menu.
  void SetCaption(Ui entry, std::string_view caption);
  // Greys an entry out, or makes it choosable again.
  void SetEnabled(Ui entry, bool enabled);
  bool Enabled(Ui entry) const;
  // The menu an entry opens (PmRecent, MnSystemUse, ...), or null.
  HMENU Submenu(Ui entry) const;
  bool Checked(Ui entry) const;
  void SetChecked(Ui entry, bool checked);
  // Shows or hides an entry of a top-level popup at its place in the design.
  void SetVisible(Ui entry, bool visible);
  bool Shown(Ui entry) const { return MenuHolding(entry) != nullptr; }

 private:
  HMENU MenuHolding(Ui entry) const;

  std::vector<PopupMenu> model_;
  std::map<Ui, UniqueMenu> menus_;
  std::set<Ui> hidden_;  // design-visible entries hidden at run time
};

}  // namespace zd
