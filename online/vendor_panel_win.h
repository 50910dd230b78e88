// The vendor button panel in the main window's right column: a column of two
// flat picture buttons, help (a menu at the cursor) and exit.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lang/service_texts.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace zd {

class VendorPanel : public Window {
 public:
  enum Command : UINT { kDemoItem = 1, kHomePageItem, kAboutItem };

  struct Deps {
    const lang::ServiceTexts* texts = nullptr;
    std::string help_hint, exit_hint;  // tooltips
    std::function<void()> open_demo_notes, open_home_page, show_about, close_main_window;
  };

  // The panel as a child of `parent` at (x, y), in design pixels.
  static std::unique_ptr<VendorPanel> Create(HWND parent, int x, int y, Deps deps);
  ~VendorPanel() override;

  Button BtnHelp, BtnExit;
  // Runs a help-menu command as choosing it would.
  void RunHelpCommand(Command command);
  // Builds the help menu (for the menu at the cursor and for tests).
  UniqueMenu MakeHelpMenu() const;

 private:
  explicit VendorPanel(Deps deps) : deps_(std::move(deps)) {}
  void OnCreate() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void BtnHelpClick();
  void BtnExitClick();
  void DrawButton(const DRAWITEMSTRUCT& item);

  Deps deps_;
  UniqueBitmap help_glyph_, exit_glyph_;
};

}  // namespace zd
