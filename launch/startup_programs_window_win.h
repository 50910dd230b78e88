// The startup programs window ("开机启动"): the log-on programs of
// both Run keys, with add, change, delete, clear, try out and close. Created
// on first use, owned by the main window, shown modelessly and kept.
#pragma once

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "launch/startup_programs.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/registry.h"
#include "platform/window_win.h"

namespace zd {

struct StartupWindowDeps {
  Registry* registry = nullptr;
  int language_index = 0;
  // A message box; tests answer without a window.
  MessageBoxFn message_box;
  // Opens a path as the open operations do (without a message for a missing one).
  std::function<void(const std::string& path)> open_path;
};

class StartupProgramsWindow : public Window {
 public:
  static std::unique_ptr<StartupProgramsWindow> Create(HWND owner, StartupWindowDeps deps);
  ~StartupProgramsWindow() override;

  // Shows the window (again) and brings it forward.
  void Show();

  Label LblHeader;
  Control LV;
  Label LbZDPCStartName;
  Edit TxtStartName;
  Label LbZDPCStartPath;
  Edit TxtStartPath;
  Button BtnZDPCRun, BtnZDAddPCStart, BtnZDDeletePCStart, BtnZDClearPCStart, BtnClose;
  Label LblStatus;  // which keys could not be read

  const StartupListing& listing() const { return listing_; }
  // The entry of the selected row, or null.
  const StartupEntry* Selected() const;
  void SelectRow(int row);

  void List();
  void LVClick();
  void BtnZDAddPCStartClick();
  void BtnZDDeletePCStartClick();
  void BtnZDClearPCStartClick();
  void BtnZDPCRunClick();
  void BtnCloseClick();
  // Which field the add check coloured red (none, name, path).
  enum class Flagged { kNone, kName, kPath };
  Flagged flagged() const { return flagged_; }

 private:
  explicit StartupProgramsWindow(StartupWindowDeps deps);
  void OnCreate() override;
  void Layout() override;
  void OnRescaled() override { FitColumns(); }
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void FitColumns();
  void Flag(Flagged field);
  int Message(const std::string& text, UINT flags);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);

  StartupWindowDeps deps_;
  std::vector<UniqueBitmap> images_;
  UniqueBrush flag_brush_;
  StartupListing listing_;
  Flagged flagged_ = Flagged::kNone;
};

}  // namespace zd
