// TPnlVazOzod: the vendor button panel in the main window's right column, a
// column of two flat buttons: help (a menu at the cursor) and exit.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "lang/service_texts.h"
#include "platform/handles_win.h"

namespace zd {

class TPnlVazOzod {
 public:
  static constexpr wchar_t kClassName[] = L"ZapdockVendorPanel";
  enum Control : int { kBtnHelp = 100, kBtnExit };
  enum Command : UINT { kMnDemo = 1, kMnHome, kMnAbout };

  struct Deps {
    const lang::ServiceTexts* texts = nullptr;
    std::string help_hint, exit_hint;  // tooltips
    std::function<void()> open_demo_notes, open_home_page, show_about, close_main_window;
  };

  // The panel as a child of `parent` at (x, y), in design pixels.
  static std::unique_ptr<TPnlVazOzod> Create(HINSTANCE instance, HWND parent, int x, int y,
                                             Deps deps);
  ~TPnlVazOzod();
  TPnlVazOzod(const TPnlVazOzod&) = delete;
  TPnlVazOzod& operator=(const TPnlVazOzod&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND button(Control id) const { return GetDlgItem(hwnd_, id); }
  // Runs a help-menu command as choosing it would.
  void RunHelpCommand(Command command);
  // Builds the help menu (for the menu at the cursor and for tests).
  UniqueMenu MakeHelpMenu() const;

  HWND hwnd_ = nullptr;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);

 private:
  explicit TPnlVazOzod(Deps deps) : deps_(std::move(deps)) {}
  void FormCreate();
  void BtnHelpClick();
  void BtnExitClick();
  void DrawButton(const DRAWITEMSTRUCT& item);

  Deps deps_;
  UniqueBitmap help_glyph_, exit_glyph_;
  HWND tooltip_ = nullptr;
};

}  // namespace zd
